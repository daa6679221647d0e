// The program run as a process on a private X server and told to end from
// outside, as the desktop does when the user logs out and the terminal does
// on Ctrl+C: it ends as when its main window is closed, settings written
// and the databases let go, also while a modal window is open.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>

#include "ProgramFixture.h"
#include "core/DataMod.h"
#include "core/uDBsClass.h"
#include "platform/testing/ChildProcess.h"
#include "platform/testing/XSession.h"

namespace {

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

constexpr uint32_t kReturn = 0xff0d;
constexpr uint32_t kInsert = 0xff63;
// A loaded machine is slow; a step that takes longer has failed.
constexpr auto kPatience = std::chrono::seconds(60);

class EndSignalsProcessTest : public ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        if (!X.Available()) GTEST_SKIP() << X.Error();
        // The program looks for its database files beside itself.
        fs::copy_file(LUVORA_PROGRAM, Folder.Path() + "Luvora");
        fs::create_directory(Folder.Path() + "config");
        fs::create_directory(Folder.Path() + "run");
        ::chmod((Folder.Path() + "run").c_str(), 0700);
        TMain_DataModule dm(nullptr);
        TDatabase database;
        database.DB_NAME = "Основная база данных"_cp;
        ASSERT_GT(TListDatabases().AddDatabase(database), 0);
    }

    // Starts the program and opens the database its chooser shows; the main
    // window, or nullopt.
    std::optional<TXSession::TMapped> StartToMainWindow(std::unique_ptr<TChildProcess>& Program) {
        // The engine of this process and the program's share one lock folder.
        Program = std::make_unique<TChildProcess>(
            Folder.Path() + "Luvora", std::vector<std::string>{},
            std::map<std::string, std::optional<std::string>>{{"DISPLAY", X.Display()},
                                                              {"QT_QPA_PLATFORM", std::nullopt},
                                                              {"WAYLAND_DISPLAY", std::nullopt},
                                                              {"XDG_CONFIG_HOME", Folder.Path() + "config"},
                                                              {"XDG_RUNTIME_DIR", Folder.Path() + "run"}},
            Folder.Path() + "output.txt");
        if (!Program->Started()) return std::nullopt;
        auto chooser = X.WaitForWindow("Выбор базы данных", Program->StartedAt(), TClock::now() + kPatience);
        if (!chooser) return std::nullopt;
        const auto pressed = TClock::now();
        X.PressKey(chooser->Window, kReturn);
        return X.WaitForWindow("Севрола", pressed, TClock::now() + kPatience);
    }

    // What the program wrote into its settings file.
    std::string Settings() { return ReadFileBytes(Folder.Path() + "config/tarvik/registry.reg"); }

    TXSession X;
};

TEST_F(EndSignalsProcessTest, TheProgramEndsAsWhenItsMainWindowIsClosed) {
    struct TCase {
        const char* What;
        int Signal;
        int Count;      // signals sent one after the other
        bool OpenModal; // the testee card open when they come
    } cases[] = {
        {"SIGTERM", SIGTERM, 1, false},
        {"SIGINT", SIGINT, 1, false},
        {"SIGTERM with the testee card open", SIGTERM, 1, true},
        {"two SIGTERM with the testee card open", SIGTERM, 2, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        std::error_code ec;
        fs::remove(Folder.Path() + "config/tarvik/registry.reg", ec);
        std::unique_ptr<TChildProcess> program;
        auto main = StartToMainWindow(program);
        ASSERT_TRUE(main) << ReadFileBytes(Folder.Path() + "output.txt");
        std::optional<TXSession::TMapped> card;
        if (c.OpenModal) {
            const auto pressed = TClock::now();
            X.PressKey(main->Window, kInsert);
            card = X.WaitForWindow("Добавление нового тестируемого", pressed, TClock::now() + kPatience);
            ASSERT_TRUE(card);
        }
        for (int i = 0; i < c.Count; ++i)
            program->Signal(c.Signal);
        ASSERT_TRUE(program->WaitUntilEnded(TClock::now() + kPatience)) << "it went on running";
        EXPECT_EQ(program->ExitCode(), 0) << ReadFileBytes(Folder.Path() + "output.txt");
        EXPECT_TRUE(X.WaitUntilGone(main->Window, TClock::now()));
        if (card) {
            EXPECT_TRUE(X.WaitUntilGone(card->Window, TClock::now()));
        }
        const std::string settings = Settings();
        EXPECT_NE(settings.find("\\Software\\Tarvik\\Luvora\\Users_Grid]"), std::string::npos)
            << "the grids' layouts were written";
        EXPECT_NE(settings.find("\\Software\\Tarvik\\Luvora\\Main_Form]"), std::string::npos)
            << "and the window's place";
    }
    // The databases were let go cleanly: they open at once, no repair needed.
    TMain_DataModule dm(nullptr);
    EXPECT_FALSE(dm.StartupFailed());
}

} // namespace
