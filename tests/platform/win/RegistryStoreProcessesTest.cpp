// The registry store written by several processes at once, and by a process
// killed in the middle of a write.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/Registry.h"
#include "platform/win/WinReg.h"
#include "support/TestSupport.h"

namespace {

// A child process that runs Body and exits with what it returns. It starts
// once Go() is called, so that several children write at the same time.
class TChildren {
public:
    TChildren() {
        if (::pipe(FGate) != 0) throw std::runtime_error("no pipe");
    }
    ~TChildren() {
        Go();
        for (pid_t pid : FPids)
            ::kill(pid, SIGKILL);
        for (pid_t pid : FPids)
            ::waitpid(pid, nullptr, 0);
    }
    pid_t Start(const std::function<int()>& Body) {
        pid_t pid = ::fork();
        if (pid == 0) {
            ::close(FGate[1]);
            char c;
            while (::read(FGate[0], &c, 1) < 0 && errno == EINTR) {
            }
            ::_exit(Body());
        }
        if (pid > 0) FPids.push_back(pid);
        return pid;
    }
    void Go() {
        if (FGate[1] >= 0) ::close(FGate[1]);
        FGate[1] = -1;
    }
    // The exit code of a child, or -1 when it did not exit by itself.
    int Wait(pid_t Pid) {
        int status = 0;
        ::waitpid(Pid, &status, 0);
        std::erase(FPids, Pid);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    int FGate[2] = {-1, -1};
    std::vector<pid_t> FPids;
};

class RegistryStoreProcessesTest : public ::testing::Test {
protected:
    void SetUp() override {
        File = Folder.Path() + "tarvik/registry.reg";
        SetRegistryStoreFileOverride(File);
        TakeRegistryStoreProblem();
    }
    void TearDown() override { SetRegistryStoreFileOverride(""); }
    void Reload() {
        SetRegistryStoreFileOverride(Folder.Path() + "elsewhere.reg");
        TRegistry().KeyExists("x");
        SetRegistryStoreFileOverride(File);
    }
    TTempFolder Folder;
    std::string File;
};

TEST_F(RegistryStoreProcessesTest, WritersInSeveralProcessesLoseNothing) {
    constexpr int kWriters = 3, kValues = 100;
    TChildren children;
    std::vector<pid_t> pids;
    for (int w = 0; w < kWriters; ++w)
        pids.push_back(children.Start([w] {
            int failures = 0;
            for (int i = 0; i < kValues; ++i) {
                TRegistry reg;
                if (!reg.OpenKey("Software\\Race\\" + IntToStr(w), true)) return 100;
                try {
                    reg.WriteInteger("v" + IntToStr(i), i);
                } catch (const ERegistryException&) {
                    ++failures;
                }
            }
            return failures;
        }));
    children.Go();
    for (pid_t pid : pids)
        EXPECT_EQ(children.Wait(pid), 0); // every write reported success
    Reload();
    int kept = 0;
    TRegistry reg;
    for (int w = 0; w < kWriters; ++w)
        if (reg.OpenKey("\\Software\\Race\\" + IntToStr(w), false))
            for (int i = 0; i < kValues; ++i)
                kept += reg.ValueExists("v" + IntToStr(i)) && reg.ReadInteger("v" + IntToStr(i)) == i;
    EXPECT_EQ(kept, kWriters * kValues);
    EXPECT_EQ(TakeRegistryStoreProblem(), "");
}

TEST_F(RegistryStoreProcessesTest, AKilledWriterLeavesTheOldOrTheNewFile) {
    // Each step writes a serial number and a large block of that number's
    // low byte in one batch: a file mixed of two steps would not match.
    constexpr int kBlock = 1 << 18;
    int killedMidWrite = 0;
    for (int delayMs : {0, 4, 8, 12, 16, 20, 25, 30, 40, 50}) {
        SCOPED_TRACE(delayMs);
        std::filesystem::remove(File);
        TChildren children;
        pid_t pid = children.Start([] {
            TRegistry reg;
            if (!reg.OpenKey("Software\\Killed", true)) return 100;
            for (int i = 0;; ++i) {
                const std::string block(kBlock, char(i & 0xFF));
                RegBeginBatch();
                reg.WriteInteger("Serial", i);
                reg.WriteBinaryData("Block", block.data(), kBlock);
                if (RegEndBatch() != ERROR_SUCCESS) return 101;
            }
        });
        children.Go();
        // Killed at some point of a later write, once the first is there.
        auto firstWritten = [&] {
            std::error_code ec;
            return std::filesystem::file_size(File, ec) > std::uintmax_t(kBlock) && !ec;
        };
        for (int waited = 0; !firstWritten() && waited < 10000; ++waited)
            ::usleep(1000);
        ::usleep(useconds_t(delayMs) * 1000);
        ::kill(pid, SIGKILL);
        EXPECT_EQ(children.Wait(pid), -1);
        killedMidWrite += std::filesystem::exists(File + ".tmp-" + std::to_string(pid));
        Reload();
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Killed", false) && reg.ValueExists("Block"));
        EXPECT_EQ(TakeRegistryStoreProblem(), "");
        const int serial = reg.ReadInteger("Serial");
        const std::string block = reg.ReadBinaryData("Block");
        ASSERT_EQ(block.size(), std::size_t(kBlock));
        EXPECT_EQ(block.find_first_not_of(char(serial & 0xFF)), std::string::npos) << serial;
    }
    RecordProperty("KilledMidWrite", killedMidWrite);
    // What the killed writers left beside the file goes at the next start.
    OpenRegistryStore();
    for (const auto& entry : std::filesystem::directory_iterator(Folder.Path() + "tarvik"))
        EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
    TRegistryStoreDamage damage;
    EXPECT_FALSE(TakeRegistryStoreDamage(damage));
}

} // namespace
