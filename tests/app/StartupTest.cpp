// The program's start and end: one copy at a time, the main window run on a
// chosen database and shut down in order, a data file of other pairs told
// at start, and the ways start-up ends early.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "ProgramFixture.h"
#include "app/DB_Frm.h"
#include "app/Password_Frm.h"
#include "core/DataMod.h"
#include "core/uDBsClass.h"
#include "platform/db/IBIcu.h"
#include "platform/db/IBQuery.h"
#include "platform/win/Registry.h"

extern char** environ;

namespace {

// Start-up as a whole; the grids' layouts show that the window was closed
// as the user closes it.
class StartupTest : public ProgramFixture {
protected:
    static bool LayoutStored() {
        TRegistry reg;
        return reg.KeyExists("\\Software\\Tarvik\\Luvora\\Users_Grid");
    }
};

// Runs the built program in the environment of this one, its output going
// to a file in Folder; answers its exit code (-1 when it did not end within
// the wait) and what it wrote.
int RunProgram(const std::string& Folder, std::string& Output) {
    const std::string program = LUVORA_PROGRAM;
    const std::string output = Folder + "/output.txt";
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &files, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) return -3;
    int status = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::stringstream text;
    text << std::ifstream(output).rdbuf();
    Output = text.str();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST_F(StartupTest, ASecondCopyEndsSilentlyWhileTheFirstRuns) {
    SetMutexFolderOverride("");
    // With the session's runtime folder, and without one (a login that sets
    // none): the home folder's cache then holds the guard.
    for (const bool runtimeFolder : {true, false}) {
        SCOPED_TRACE(runtimeFolder ? "runtime folder" : "no runtime folder");
        TTempFolder home;
        TEnvironmentValue runtime("XDG_RUNTIME_DIR",
                                  runtimeFolder ? std::optional(Folder.Path()) : std::nullopt);
        TEnvironmentValue homeVariable("HOME", home.Path());
        TEnvironmentValue cache("XDG_CACHE_HOME", std::nullopt);
        ASSERT_TRUE(IsFirstInstance(kInstanceMutexName)) << "this process is the first copy";
        std::string output = "not run";
        EXPECT_EQ(RunProgram(Folder.Path(), output), 0);
        EXPECT_EQ(output, "") << "no window, no message";
        EXPECT_EQ(TNamedMutex(kInstanceMutexName).State(), TMutexState::msExisted)
            << "the first copy still holds it";

        CloseInstanceHandle();
        EXPECT_TRUE(IsFirstInstance(kInstanceMutexName)) << "once the first copy let go, a new one starts";
        EXPECT_FALSE(IsFirstInstance(kInstanceMutexName));
        CloseInstanceHandle();
    }
}

TEST_F(StartupTest, MutexNamesTurnBackslashesIntoUnderscores) {
    EXPECT_EQ(MakeMutexName("Global\\Tarvik\\Luvora"), "Global_Tarvik_Luvora");
    EXPECT_EQ(MakeMutexName(kInstanceMutexName), kInstanceMutexName);
}

TEST_F(StartupTest, AGuardThatCannotBeMadeIsReportedNotTakenForASecondCopy) {
    const std::string file = Folder.Path() + "not-a-folder";
    std::ofstream(file) << "x";
    SetMutexFolderOverride(file);
    EXPECT_EQ(RunLuvora(), 1);
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_NE(Boxes.Log[0].Text.find("Не удалось проверить, не запущена ли уже программа"_cp),
              AnsiString::npos);
    EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONERROR));
    EXPECT_TRUE(Dialogs.Log.empty());
}

TEST_F(StartupTest, TheMainWindowRunsOnTheChosenDatabaseAndEverythingIsFreedInOrder) {
    // The list is empty at first: the user makes a database and opens it.
    Dialogs.Answers.push_back(AsUser<TDB_Form>([](TDB_Form& w) {
        EXPECT_FALSE(w.OK_But->Enabled());
        Press(w.Databases_Grid, Qt::Key_Insert);
        EXPECT_TRUE(w.OK_But->Enabled());
        Press(w.Databases_Grid, Qt::Key_Return);
    }));
    Dialogs.Answers.push_back(AsUser<TDBEdit_Form>([](TDBEdit_Form& w) {
        Type(w.DB_Edit, "Основная база данных");
        Press(w.DB_Edit, Qt::Key_Return);
    }));
    bool sawWindow = false;
    EXPECT_EQ(RunOnMainWindow([&](TMain_Form& form) {
                  sawWindow = form.Visible();
                  // Its selected row shows as the one the keys act on.
                  EXPECT_EQ(form.ActiveControl(), form.Users_Grid);
                  EXPECT_EQ(form.CurrentDatabase.DB_NAME, "Основная база данных"_cp);
                  EXPECT_EQ(form.Caption(), "Севрола (Методика Ф. Герцберга) - Основная база данных"_cp);
                  EXPECT_NE(Main_DataModule, nullptr);
                  EXPECT_EQ(TarvikApplication->Options->FirstGridRowColor,
                            TApplicationOptions::DefaultFirstGridRowColor);
              }),
              0);
    EXPECT_TRUE(sawWindow);
    EXPECT_EQ(Main_DataModule, nullptr) << "the data module is freed";
    EXPECT_EQ(Application->MainForm(), nullptr) << "the window is freed";
    EXPECT_TRUE(LayoutStored()) << "the window stored its grids' layouts when it closed";
    EXPECT_TRUE(Boxes.Log.empty());
    EXPECT_TRUE(Dialogs.Answers.empty());
}

TEST_F(StartupTest, AProtectedDatabaseOpensAtStartOnceItsPasswordIsTyped) {
    {
        TMain_DataModule dm(nullptr);
        TDatabase closed;
        closed.DB_NAME = "Закрытая"_cp;
        closed.DB_PASSWORD = "секрет"_cp;
        ASSERT_GT(TListDatabases().AddDatabase(closed), 0);
    }
    Dialogs.Answers.push_back(AsUser<TDB_Form>([](TDB_Form& w) { Press(w.Databases_Grid, Qt::Key_Return); }));
    Dialogs.Answers.push_back(AsUser<TInputPassword_Form>([](TInputPassword_Form& w) {
        EXPECT_EQ(w.Caption(), "Ввод пароля"_cp);
        Type(w.Password_Edit, "секрет");
        Press(w.Password_Edit, Qt::Key_Return);
    }));
    bool sawWindow = false;
    EXPECT_EQ(RunOnMainWindow([&](TMain_Form& form) {
                  sawWindow = form.Visible();
                  EXPECT_EQ(form.CurrentDatabase.DB_NAME, "Закрытая"_cp);
                  EXPECT_EQ(form.CurrentDatabase.DB_PASSWORD, "секрет"_cp) << "the window keeps it plain";
              }),
              0);
    EXPECT_TRUE(sawWindow);
    EXPECT_TRUE(Dialogs.Answers.empty());
}

TEST_F(StartupTest, StartUpEndsEarlyWithoutAMainWindow) {
    struct TCase {
        const char* What;
        std::function<void()> Prepare;
        int ExitCode;
        AnsiString Says;
    };
    const TCase cases[] = {
        {"a database file is missing", [&] { std::filesystem::remove(Folder.Path() + "DB/Luvora.FDB"); }, 1,
         "Не могу открыть базу данных! Не найден файл Luvora.FDB!"_cp},
        {"the main file cannot be opened",
         [&] {
             std::fstream f(Folder.Path() + "DB/Luvora.FDB", std::ios::in | std::ios::out | std::ios::binary);
             f << std::string(1024, 'x');
         },
         1, "поврежден и не может быть открыт"_cp},
        {"the password of the database is not given",
         [&] {
             TMain_DataModule dm(nullptr);
             TDatabase protectedOne;
             protectedOne.DB_NAME = "Закрытая"_cp;
             protectedOne.DB_PASSWORD = "секрет"_cp;
             ASSERT_GT(TListDatabases().AddDatabase(protectedOne), 0);
             Dialogs.Answers.push_back(AsUser<TDB_Form>([](TDB_Form& w) {
                 w.OK_But->Click();
                 EXPECT_EQ(w.ModalResult(), mrNone) << "the chooser stays";
                 w.Cancel_But->Click();
             }));
             Dialogs.Answers.push_back([](TCustomForm* Form) {
                 EXPECT_EQ(Form->Caption(), "Ввод пароля"_cp);
                 return mrCancel;
             });
         },
         0, ""},
        {"the chooser is cancelled",
         [&] {
             Dialogs.Answers.push_back(
                 AsUser<TDB_Form>([](TDB_Form& w) { Press(w.Databases_Grid, Qt::Key_Escape); }));
         },
         0, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TearDown();
        SetUp();
        Boxes.Log.clear();
        Dialogs.Log.clear();
        c.Prepare();
        EXPECT_EQ(RunLuvora(), c.ExitCode);
        EXPECT_EQ(Main_DataModule, nullptr);
        EXPECT_EQ(Application->MainForm(), nullptr);
        EXPECT_FALSE(LayoutStored());
        if (c.Says.empty()) {
            EXPECT_TRUE(Boxes.Log.empty());
        } else {
            ASSERT_EQ(Boxes.Log.size(), 1u);
            EXPECT_NE(Boxes.Log[0].Text.find(c.Says), AnsiString::npos) << AnsiToUtf8(Boxes.Log[0].Text);
            EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONERROR));
        }
    }
}

TEST_F(StartupTest, ADataFileOfOtherPairsIsToldAndStartUpGoesOn) {
    {
        TMain_DataModule dm(nullptr);
        TIBQuery cut(nullptr);
        cut.SetDatabase(dm.Data_IBDatabase);
        cut.SetSQL("delete from STATEMENTS where NUM_STATEMENT > 27");
        cut.ExecQuery();
        dm.Data_IBTransaction->Commit();
    }
    ChooseNewDatabaseAtStart("Основная база данных");
    bool sawWindow = false;
    EXPECT_EQ(RunOnMainWindow([&](TMain_Form& form) { sawWindow = form.Visible(); }), 0);
    EXPECT_TRUE(sawWindow);
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_NE(Boxes.Log[0].Text.find("27 пар утверждений, а бланк ответов рассчитан на 28"_cp),
              AnsiString::npos)
        << AnsiToUtf8(Boxes.Log[0].Text);
    EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONWARNING));
}

// SIGTERM from the desktop logging out or kill, SIGINT from Ctrl+C in the
// terminal: the program ends as when the user closes the main window.
class StartupSignalTest : public StartupTest, public ::testing::WithParamInterface<int> {
protected:
    void TearDown() override {
        Application->ForgetEndRequests();
        StartupTest::TearDown();
    }
};

TEST_P(StartupSignalTest, ASignalClosesTheMainWindowAsItsUserDoes) {
    ChooseNewDatabaseAtStart("Основная база данных");
    TTimer timer(nullptr);
    timer.SetInterval(10);
    bool raised = false;
    timer.OnTimer = [&](TObject*) {
        auto* form = dynamic_cast<TMain_Form*>(Application->MainForm());
        if (!form || !form->Visible() || raised) return;
        raised = true;
        ::raise(GetParam());
    };
    EXPECT_EQ(RunLuvora(), 0);
    EXPECT_TRUE(raised);
    EXPECT_EQ(Main_DataModule, nullptr) << "the databases were let go";
    EXPECT_TRUE(LayoutStored()) << "the window stored its grids' layouts as it closed";
    TRegistry reg;
    EXPECT_TRUE(reg.KeyExists("\\Software\\Tarvik\\Luvora\\Main_Form")) << "and its place";
    EXPECT_TRUE(Boxes.Log.empty());
}

INSTANTIATE_TEST_SUITE_P(TermAndInt, StartupSignalTest, ::testing::Values(SIGTERM, SIGINT));

// The engine looks for ICU by every version from 4.0 up; it is handed the
// one the program holds, from its own folder, and works with it.
TEST_F(StartupTest, TheEngineUsesTheProgramsIcu) {
    TMain_DataModule dm(nullptr);
    ASSERT_FALSE(dm.StartupFailed());
    EXPECT_GT(IcuNamesLookedUpInPlace(), 0);
    TIBQuery q(nullptr);
    q.SetDatabase(dm.Main_IBDatabase);
    // A comparison only ICU's collation can make.
    q.SetSQL("select case when _utf8 'ЁЛКА' collate unicode_ci = _utf8 'ёлка' then 1 else 0 end "
             "from RDB$DATABASE");
    q.Open();
    EXPECT_EQ(q.Fields(0).AsInteger(), 1);
    q.Close();
}
