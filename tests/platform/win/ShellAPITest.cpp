// The "open" verb: what the opener is given, and its failures reported as
// failures.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "platform/win/ShellAPI.h"
#include "support/TestSupport.h"

TEST(ShellAPITest, TheOpenerGetsTheTargetAndItsFailureIsReported) {
    TTempFolder folder;
    const std::string log = folder.Path() + "opened.txt";
    struct TCase {
        int ExitCode;
        bool Opened;
    };
    for (const TCase& c : {TCase{0, true}, TCase{4, false}}) {
        SCOPED_TRACE(c.ExitCode);
        const std::string opener = folder.Path() + "opener" + std::to_string(c.ExitCode);
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << log << "'\nexit " << c.ExitCode
                              << "\n";
        ::chmod(opener.c_str(), 0700);
        SetShellOpenCommandOverride(opener);
        AnsiString error;
        EXPECT_EQ(ShellOpen("/some where/Luvoras.chm", &error), c.Opened);
        EXPECT_EQ(error.empty(), c.Opened) << error;
        std::stringstream given;
        given << std::ifstream(log).rdbuf();
        EXPECT_EQ(given.str(), "/some where/Luvoras.chm");
    }
    SetShellOpenCommandOverride(folder.Path() + "no-such-opener");
    AnsiString error;
    EXPECT_FALSE(ShellOpen("http://example.org", &error));
    EXPECT_NE(error.find("no-such-opener"), AnsiString::npos);
    SetShellOpenCommandOverride("");
}
