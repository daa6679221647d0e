// The "open" verb through the desktop's opener program.
#include "platform/win/ShellAPI.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

extern char** environ;

namespace {

AnsiString gCommand;
// Openers that were still busy when their wait ended, reaped later.
std::vector<pid_t> gBusy;
constexpr auto kWait = std::chrono::seconds(5);
constexpr auto kPoll = std::chrono::milliseconds(10);

void ReapBusy() {
    std::erase_if(gBusy, [](pid_t Pid) { return ::waitpid(Pid, nullptr, WNOHANG) != 0; });
}

bool Fail(AnsiString* Error, const AnsiString& Text) {
    if (Error) *Error = Text;
    return false;
}

} // namespace

void SetShellOpenCommandOverride(const AnsiString& Command) {
    gCommand = Command;
}

bool ShellOpen(const AnsiString& Target, AnsiString* Error) {
    ReapBusy();
    const AnsiString command = gCommand.empty() ? AnsiString("xdg-open") : gCommand;
    std::vector<char*> argv{const_cast<char*>(command.c_str()), const_cast<char*>(Target.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = ::posix_spawnp(&pid, command.c_str(), nullptr, nullptr, argv.data(), environ);
    if (spawned != 0) return Fail(Error, "Cannot start " + command + ": " + std::strerror(spawned));
    const auto until = std::chrono::steady_clock::now() + kWait;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) return Fail(Error, command + ": " + std::strerror(errno));
        if (std::chrono::steady_clock::now() >= until) {
            gBusy.push_back(pid);
            return true;
        }
        std::this_thread::sleep_for(kPoll);
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    if (WIFEXITED(status))
        return Fail(Error, command + " could not open " + Target + " (exit code " +
                               IntToStr(WEXITSTATUS(status)) + ")");
    return Fail(Error, command + " ended by signal " + IntToStr(WTERMSIG(status)));
}
