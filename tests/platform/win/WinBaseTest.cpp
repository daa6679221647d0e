// The process's private temporary folder and the removal of those that
// killed processes left behind.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/win/WinBase.h"
#include "support/TestSupport.h"

namespace {

pid_t DeadPid() {
    pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

TEST(WinBaseTest, TempFoldersOfProcessesThatNoLongerRunAreRemoved) {
    TTempFolder base;
    TEnvironmentValue env("TMPDIR", base.Path());
    const std::string mine = GetTempPath();
    ASSERT_EQ(mine.rfind(base.Path() + "tarvik-" + std::to_string(::getpid()) + "-", 0), 0u) << mine;
    std::ofstream(mine + "chart.bmp") << "x";
    // "tarvik-<pid>-<start>-XXXXXX/"
    const std::string name = std::filesystem::path(mine).parent_path().filename().string();
    const std::string start = name.substr(0, name.rfind('-')).substr(name.find('-', 7) + 1);
    const std::string dead = "tarvik-" + std::to_string(DeadPid()) + "-" + start + "-abcdef";
    const std::string reused = "tarvik-" + std::to_string(::getpid()) + "-" + start + "1-abcdef";
    for (const std::string& stale : {dead, reused}) {
        std::filesystem::create_directories(base.Path() + stale + "/sub");
        std::ofstream(base.Path() + stale + "/sub/file") << "left behind";
    }
    const std::string others[] = {"tarvik-abcdef", "tarvik-1-2", "other-1-2-abcdef"};
    for (const std::string& other : others)
        std::filesystem::create_directory(base.Path() + other);
    std::ofstream(base.Path() + "tarvik-1-1-file") << "a file, not a folder";

    EXPECT_EQ(RemoveStaleTempFolders(), 2);
    EXPECT_FALSE(std::filesystem::exists(base.Path() + dead));
    EXPECT_FALSE(std::filesystem::exists(base.Path() + reused)); // the pid now belongs to another process
    EXPECT_TRUE(std::filesystem::exists(mine + "chart.bmp"));
    for (const std::string& other : others)
        EXPECT_TRUE(std::filesystem::exists(base.Path() + other)) << other;
    EXPECT_TRUE(std::filesystem::exists(base.Path() + "tarvik-1-1-file"));
}

} // namespace
