// The embedded engine keeps its lock files in a private folder of the user's,
// never in the shared /tmp/firebird.
#include "platform/db/IBLockFolder.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/db/IBDatabase.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

// True when Path is a folder of this user's that nobody else may enter.
::testing::AssertionResult IsPrivateFolder(const std::string& Path) {
    struct stat st {};
    if (::lstat(Path.c_str(), &st) != 0) return ::testing::AssertionFailure() << Path << " does not exist";
    if (!S_ISDIR(st.st_mode)) return ::testing::AssertionFailure() << Path << " is not a folder";
    if (st.st_uid != ::geteuid()) return ::testing::AssertionFailure() << Path << " belongs to another user";
    if ((st.st_mode & 0777) != 0700)
        return ::testing::AssertionFailure() << Path << " has mode " << std::oct << (st.st_mode & 0777);
    return ::testing::AssertionSuccess();
}

TEST(IBLockFolder, TheEngineKeepsItsLocksInAPrivateFolder) {
    TTempFolder folder;
    CreateEmptyDatabase(folder.Path() + "t.fdb");
    TIBDatabase db(nullptr);
    db.DatabaseName = folder.Path() + "t.fdb";
    db.Params = {"user_name=SYSDBA", "password=x"};
    db.Open();
    const char* lock = std::getenv("FIREBIRD_LOCK");
    ASSERT_NE(lock, nullptr) << "the engine falls back to the shared /tmp/firebird";
    EXPECT_EQ(UsePrivateLockFolder(), lock);
    EXPECT_TRUE(IsPrivateFolder(lock));
    EXPECT_FALSE(fs::is_empty(lock)) << "the engine left no files in " << lock;
    db.Close();
}

TEST(IBLockFolder, ChoosesAFolderOfTheUsersOwn) {
    const std::string uid = std::to_string(::geteuid());
    struct Case {
        const char* Name;
        bool Runtime;         // XDG_RUNTIME_DIR names a folder
        const char* Existing; // what stands at the chosen name beforehand
        bool Taken;           // the folder beside it is chosen instead
    } cases[] = {
        {"runtime folder, made", true, "", false},
        {"runtime folder open to others", true, "loose", false},
        {"temporary folder, made", false, "", false},
        {"temporary folder, already private", false, "private", false},
        {"temporary folder open to others", false, "loose", false},
        {"a link in its place", false, "link", true},
        {"a file in its place", false, "file", true},
        {"another user's folder", false, "foreign", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        if (std::string(c.Existing) == "foreign" && ::geteuid() != 0) continue; // needs chown
        TTempFolder base;
        TEnvironmentValue runtime("XDG_RUNTIME_DIR", c.Runtime ? std::optional(base.Path()) : std::nullopt);
        TEnvironmentValue temp("TMPDIR", base.Path());
        const std::string expected =
            base.Path() + (c.Runtime ? std::string("luvora-firebird") : "luvora-firebird-" + uid);
        const std::string existing = c.Existing;
        if (existing == "private" || existing == "loose" || existing == "foreign") {
            fs::create_directory(expected);
            fs::permissions(expected, existing == "private" ? fs::perms::owner_all : fs::perms::all);
            if (existing == "foreign") {
                ASSERT_EQ(::chown(expected.c_str(), 65534, 65534), 0);
            }
        } else if (existing == "link") {
            fs::create_directory(base.Path() + "elsewhere");
            fs::create_directory_symlink(base.Path() + "elsewhere", expected);
        } else if (existing == "file") {
            std::FILE* f = std::fopen(expected.c_str(), "w");
            std::fclose(f);
        }

        const std::string chosen = PrivateLockFolder();
        EXPECT_TRUE(IsPrivateFolder(chosen));
        if (c.Taken) {
            EXPECT_NE(chosen, expected);
            EXPECT_EQ(chosen.rfind(expected + "-", 0), 0u) << chosen;
        } else {
            EXPECT_EQ(chosen, expected);
        }
    }
}

} // namespace
