// The database failures a user can meet at start-up, each told in Russian
// under a Russian caption: what happened, to which file, what to do, with the
// engine's own text below.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "ProgramFixture.h"

namespace {

const AnsiString kServerSays = "\n\nСообщение сервера базы данных:\n"_cp;

class StartupFailuresTest : public ProgramFixture {
protected:
    std::string MainFile() { return Folder.Path() + "DB/Luvora.FDB"; }

    // Runs the program and checks that it ended at once after the one box it
    // showed: Says (Russian, byte for byte) and then the engine's text,
    // which holds Engine.
    void ExpectStartEndsWith(const AnsiString& Says, const char* Engine) {
        EXPECT_EQ(RunLuvora(), 1);
        EXPECT_EQ(Application->MainForm(), nullptr);
        EXPECT_TRUE(Dialogs.Log.empty()) << "no chooser";
        ASSERT_EQ(Boxes.Log.size(), 1u);
        const AnsiString& text = Boxes.Log[0].Text;
        EXPECT_EQ(AnsiToUtf8(text.substr(0, Says.size())), AnsiToUtf8(Says));
        ASSERT_GE(text.size(), Says.size() + kServerSays.size());
        EXPECT_EQ(AnsiToUtf8(text.substr(Says.size(), kServerSays.size())), AnsiToUtf8(kServerSays));
        EXPECT_NE(text.find(Engine, Says.size()), AnsiString::npos) << AnsiToUtf8(text);
        EXPECT_EQ(Boxes.Log[0].Caption, "Ошибка"_cp);
        EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONERROR));
        EXPECT_EQ(Boxes.Log[0].Buttons(), unsigned(MB_OK));
    }
};

// A file the program cannot write to. Root writes to any file whatever its
// mode: for root the file is made immutable instead.
class TReadOnlyFile {
public:
    explicit TReadOnlyFile(const std::string& File) : FFile(File) {
        if (::geteuid() == 0)
            FImmutable = SetImmutable(true);
        else
            ::chmod(File.c_str(), 0444);
        const int fd = ::open(File.c_str(), O_RDWR);
        FReadOnly = fd < 0;
        if (fd >= 0) ::close(fd);
    }
    ~TReadOnlyFile() {
        if (FImmutable) SetImmutable(false);
        ::chmod(FFile.c_str(), 0644);
    }
    bool ReadOnly() const { return FReadOnly; }

private:
    bool SetImmutable(bool On) {
        const int fd = ::open(FFile.c_str(), O_RDONLY);
        if (fd < 0) return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = On ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return ok;
    }
    std::string FFile;
    bool FImmutable = false;
    bool FReadOnly = false;
};

TEST_F(StartupFailuresTest, AReadOnlyMainFileIsExplained) {
    TReadOnlyFile readOnly(MainFile());
    if (!readOnly.ReadOnly()) GTEST_SKIP() << "this file system lets the test write to any file";
    ExpectStartEndsWith("Программе не разрешено изменять файл базы данных "_cp + MainFile() +
                            ": файл или его папка доступны только для чтения, или файл принадлежит другому "
                            "пользователю.\nРазрешите запись в этот файл и его папку (или попросите об этом "
                            "администратора компьютера) и запустите Luvora снова."_cp,
                        "no permission for read-write access");
}

TEST_F(StartupFailuresTest, EveryFailureOfTheFilesIsExplained) {
    struct TCase {
        const char* What;
        std::function<void(const std::string& File)> Spoil;
        std::function<AnsiString(const std::string& File)> Says;
        const char* Engine;
    } cases[] = {
        {"the main file is held by another process", nullptr,
         [](const std::string& f) {
             return "Файл базы данных "_cp + f +
                    " занят другой программой.\nЗакройте программу, которая работает с этим файлом "
                    "(например, "
                    "вторую копию Luvora или программу резервного копирования), и запустите Luvora снова."_cp;
         },
         "already opened"},
        {"the main file is damaged",
         [](const std::string& f) {
             std::fstream(f, std::ios::in | std::ios::out | std::ios::binary) << std::string(1024, 'x');
         },
         [](const std::string& f) {
             return "Файл базы данных "_cp + f +
                    " поврежден и не может быть открыт.\nВосстановите файл из резервной копии и запустите "
                    "Luvora снова."_cp;
         },
         "not a valid database"},
        {"the main file was made by another version of the engine",
         [](const std::string& f) {
             // The on-disk structure's version in the header page: 11.0.
             std::fstream file(f, std::ios::in | std::ios::out | std::ios::binary);
             file.seekp(18);
             file.write("\x0b\x80", 2);
         },
         [](const std::string& f) {
             return "Файл базы данных "_cp + f +
                    " создан другой версией сервера баз данных Firebird и не может быть открыт этой "
                    "версией.\n"
                    "Восстановите файл из резервной копии, сделанной этой программой, или перенесите его в "
                    "установленную версию Firebird (резервным копированием и восстановлением в программе "
                    "gbak) "
                    "и запустите Luvora снова."_cp;
         },
         "unsupported on-disk structure"},
        {"the main file is a database of another program",
         [](const std::string& f) {
             std::filesystem::copy_file(std::filesystem::path(f).parent_path() / "Luvora_Data.FDB", f,
                                        std::filesystem::copy_options::overwrite_existing);
         },
         [](const std::string& f) {
             return "Не удалось открыть или прочитать файл базы данных "_cp + f +
                    ".\nВозможно, файл поврежден или создан не этой программой. Восстановите его из "
                    "резервной "
                    "копии и запустите Luvora снова."_cp;
         },
         "Table unknown"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TearDown();
        SetUp();
        Boxes.Log.clear();
        Dialogs.Log.clear();
        int held = -1;
        if (c.Spoil) {
            c.Spoil(MainFile());
        } else {
            // The engine locks the whole file; so does another process holding it.
            held = ::open(MainFile().c_str(), O_RDONLY);
            ASSERT_EQ(::flock(held, LOCK_EX), 0);
        }
        ExpectStartEndsWith(c.Says(MainFile()), c.Engine);
        if (held >= 0) ::close(held);
    }
}

// The engine reads its lock folder and its configuration once, when it
// first starts in a process: these cases need a process of their own, as
// ctest gives each.
bool EngineStartedHere() {
    return std::getenv("FIREBIRD_LOCK") != nullptr;
}

TEST_F(StartupFailuresTest, ALockFolderTheEngineCannotUseIsExplained) {
    if (EngineStartedHere()) GTEST_SKIP() << "the engine started in this process already";
    const std::string lockFolder = Folder.Path() + "not-a-folder";
    std::ofstream(lockFolder) << "x";
    TEnvironmentValue lock("FIREBIRD_LOCK", lockFolder);
    ExpectStartEndsWith(
        "Сервер баз данных не может работать со своей папкой блокировок "_cp + lockFolder +
            " и не открывает файл "_cp + MainFile() +
            ".\nПроверьте, что эта папка существует и вы можете в нее записывать (или удалите "
            "ее, чтобы программа создала ее заново), и запустите Luvora снова."_cp,
        "Not a directory");
}

TEST_F(StartupFailuresTest, AMissingEngineIsExplained) {
    if (EngineStartedHere()) GTEST_SKIP() << "the engine started in this process already";
    // As without the engine's package: no engine of its own, and no server
    // answers where the client then looks for one.
    const std::string root = Folder.Path() + "engine/";
    std::filesystem::create_directory(root);
    std::ofstream(root + "firebird.conf") << "Providers = Remote,Loopback\nRemoteServicePort = 1\n";
    TEnvironmentValue engine("FIREBIRD", root);
    ExpectStartEndsWith("Не удалось запустить встроенный сервер баз данных Firebird, чтобы открыть файл "_cp +
                            MainFile() +
                            ": похоже, он не установлен.\nУстановите сервер Firebird 3 (пакет "
                            "firebird3.0-server-core) и запустите Luvora снова."_cp,
                        "Unable to complete network request");
}

} // namespace
