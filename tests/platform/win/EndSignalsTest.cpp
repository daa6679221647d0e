// SIGTERM and SIGINT as requests to end: counted, waking a reader, taken
// back from a library that replaced the handlers, and a third one ending
// the process at once.
#include "platform/win/EndSignals.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>

namespace {

bool Readable(int Fd) {
    pollfd p{Fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1;
}

int gForeign = 0;
void ForeignHandler(int) {
    ++gForeign;
}

class EndSignalsTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallEndSignalHandlers();
        ForgetEndSignals();
    }
    void TearDown() override { ForgetEndSignals(); }
};

TEST_F(EndSignalsTest, EachRequestIsCountedAndWakesTheReader) {
    ASSERT_GE(EndSignalWakeupFd(), 0);
    EXPECT_FALSE(Readable(EndSignalWakeupFd()));
    for (int s : {SIGTERM, SIGINT}) {
        ::raise(s);
        EXPECT_TRUE(Readable(EndSignalWakeupFd())) << s;
        DrainEndSignalWakeups();
        EXPECT_FALSE(Readable(EndSignalWakeupFd())) << s;
    }
    EXPECT_EQ(EndSignalCount(), 2) << "the process goes on after each";
}

TEST_F(EndSignalsTest, HandlersALibraryReplacedAreTakenBack) {
    for (int s : {SIGTERM, SIGINT}) {
        struct sigaction foreign {};
        foreign.sa_handler = ForeignHandler;
        ::sigaction(s, &foreign, nullptr);
        ReclaimEndSignalHandlers();
        ::raise(s);
    }
    EXPECT_EQ(gForeign, 0);
    EXPECT_EQ(EndSignalCount(), 2);
}

TEST(EndSignalsDeathTest, TheThirdRequestEndsTheProcessAtOnce) {
    EXPECT_EXIT(
        {
            InstallEndSignalHandlers();
            ForgetEndSignals();
            ::raise(SIGINT);
            ::raise(SIGINT);
            ::raise(SIGINT);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGINT), "");
}

} // namespace
