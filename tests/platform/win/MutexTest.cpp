// Named mutexes: held by one process at a time, released when their holder
// ends however it ends, and a mutex that cannot be made is a failure, not a
// mutex held by someone else.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/win/Mutex.h"
#include "support/TestSupport.h"

namespace {

class MutexTest : public ::testing::Test {
protected:
    void SetUp() override { SetMutexFolderOverride(Folder.Path()); }
    void TearDown() override { SetMutexFolderOverride(""); }
    TTempFolder Folder;
};

} // namespace

TEST_F(MutexTest, OneHolderAtATimeAndTheNameIsFreeAgainOnceItGoes) {
    auto first = std::make_unique<TNamedMutex>("TarvikLuvoraMutex2007");
    EXPECT_EQ(first->State(), TMutexState::msCreated);
    {
        TNamedMutex second("TarvikLuvoraMutex2007");
        EXPECT_EQ(second.State(), TMutexState::msExisted);
        TNamedMutex other("AnotherName");
        EXPECT_EQ(other.State(), TMutexState::msCreated);
    }
    EXPECT_EQ(TNamedMutex("TarvikLuvoraMutex2007").State(), TMutexState::msExisted)
        << "a copy that found it held took nothing away from the holder";
    first.reset();
    EXPECT_EQ(TNamedMutex("TarvikLuvoraMutex2007").State(), TMutexState::msCreated);
}

TEST_F(MutexTest, AKilledHolderReleasesIt) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        TNamedMutex mutex("Guard");
        const char state = mutex.State() == TMutexState::msCreated ? 'y' : 'n';
        (void)!::write(ready[1], &state, 1);
        ::pause();
        ::_exit(0);
    }
    ASSERT_GT(child, 0);
    char state = 0;
    ASSERT_EQ(::read(ready[0], &state, 1), 1);
    EXPECT_EQ(state, 'y');
    EXPECT_EQ(TNamedMutex("Guard").State(), TMutexState::msExisted);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(TNamedMutex("Guard").State(), TMutexState::msCreated);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(MutexTest, ANameWithSlashesStaysOneFileInTheFolder) {
    TNamedMutex mutex("a/b");
    EXPECT_EQ(mutex.State(), TMutexState::msCreated);
    EXPECT_TRUE(FileExists(Folder.Path() + "a_b.lock"));
}

TEST_F(MutexTest, AMutexThatCannotBeMadeFails) {
    const std::string file = Folder.Path() + "plain-file";
    std::ofstream(file) << "x";
    struct TCase {
        const char* What;
        std::string Override;
        std::string Runtime;
    };
    for (const TCase& c : {TCase{"the folder is a file", file, ""},
                           TCase{"the runtime folder's name is taken by a file", "", Folder.Path()}}) {
        SCOPED_TRACE(c.What);
        SetMutexFolderOverride(c.Override);
        std::ofstream(Folder.Path() + "tarvik") << "taken";
        TEnvironmentValue runtime("XDG_RUNTIME_DIR", c.Runtime.empty() ? Folder.Path() : c.Runtime);
        TNamedMutex mutex("Guard");
        EXPECT_EQ(mutex.State(), TMutexState::msFailed);
        EXPECT_FALSE(mutex.Error().empty());
    }
}

TEST_F(MutexTest, TheDefaultFolderIsPrivate) {
    SetMutexFolderOverride("");
    TEnvironmentValue runtime("XDG_RUNTIME_DIR", Folder.Path());
    TNamedMutex mutex("Guard");
    ASSERT_EQ(mutex.State(), TMutexState::msCreated) << mutex.Error();
    EXPECT_EQ(MutexFolder(), Folder.Path() + "tarvik/");
    struct stat st {};
    ASSERT_EQ(::stat((Folder.Path() + "tarvik").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(MutexTest, WithoutARuntimeFolderTheMutexStaysInAFolderOfTheUsersOwn) {
    const std::string uid = std::to_string(::geteuid());
    struct TCase {
        const char* What;
        mode_t Home;          // the home folder's mode: 0777 lets others make names in it
        bool CacheVariable;   // XDG_CACHE_HOME names a folder
        std::string TempName; // what another user left at the temporary folder's name
        std::string Expected; // where the mutex lives ("home", "cache" or "temp"); "" for nowhere
    };
    const TCase cases[] = {
        {"home folder", 0700, false, "", "home"},
        {"cache folder named", 0700, true, "", "cache"},
        {"a link in the temporary folder", 0700, false, "link", "home"},
        {"another user's folder in the temporary folder", 0700, false, "foreign", "home"},
        {"a home open to others", 0777, false, "", "temp"},
        {"a home open to others, a link in the temporary folder", 0777, false, "link", ""},
        {"a home open to others, another user's folder there", 0777, false, "foreign", ""},
    };
    SetMutexFolderOverride("");
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        if (c.TempName == "foreign" && ::geteuid() != 0) continue; // needs chown
        TTempFolder base;
        const std::string home = base.Path() + "home";
        std::filesystem::create_directory(home);
        ASSERT_EQ(::chmod(home.c_str(), c.Home), 0);
        std::filesystem::create_directory(base.Path() + "cache");
        std::filesystem::create_directory(base.Path() + "tmp");
        const std::string temp = base.Path() + "tmp/tarvik-lock-" + uid;
        if (c.TempName == "link") {
            std::filesystem::create_directory(base.Path() + "elsewhere");
            std::filesystem::create_directory_symlink(base.Path() + "elsewhere", temp);
        } else if (c.TempName == "foreign") {
            std::filesystem::create_directory(temp);
            ASSERT_EQ(::chown(temp.c_str(), 65534, 65534), 0);
        }
        TEnvironmentValue runtime("XDG_RUNTIME_DIR", std::nullopt);
        TEnvironmentValue homeVariable("HOME", home);
        TEnvironmentValue cache("XDG_CACHE_HOME",
                                c.CacheVariable ? std::optional(base.Path() + "cache") : std::nullopt);
        TEnvironmentValue tmp("TMPDIR", base.Path() + "tmp");

        TNamedMutex first("Guard");
        TNamedMutex second("Guard");
        if (c.Expected.empty()) {
            EXPECT_EQ(first.State(), TMutexState::msFailed) << "never a folder another user made";
            EXPECT_FALSE(first.Error().empty());
            continue;
        }
        ASSERT_EQ(first.State(), TMutexState::msCreated) << first.Error();
        EXPECT_EQ(second.State(), TMutexState::msExisted) << "a second copy is recognised";
        const std::string folder = c.Expected == "home"    ? home + "/.cache/tarvik-lock"
                                   : c.Expected == "cache" ? base.Path() + "cache/tarvik-lock"
                                                           : temp;
        EXPECT_EQ(MutexFolder(), folder + "/");
        struct stat st {};
        ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_uid, ::geteuid());
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
}
