// The SIGTERM and SIGINT handlers: a count, a pipe that wakes the event loop,
// and the handlers taken back from a library that replaced them.
#include "platform/win/EndSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>

namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGINT};
// The request that ends the process without waiting for the program.
constexpr int kRequestsBeforeKill = 3;

std::atomic<int> gCount{0};
// Read end and write end of the wake-up pipe; -1 until the install.
std::atomic<int> gReadFd{-1};
std::atomic<int> gWriteFd{-1};
std::atomic<bool> gInstalled{false};

// Only async-signal-safe calls here.
void OnEndSignal(int Signal) {
    const int savedErrno = errno;
    if (gCount.fetch_add(1) + 1 >= kRequestsBeforeKill) {
        ::signal(Signal, SIG_DFL);
        ::raise(Signal);
    }
    const int fd = gWriteFd.load();
    if (fd >= 0) {
        const char byte = 1;
        // A full pipe already holds a wake-up.
        [[maybe_unused]] ssize_t n = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

void SetHandler(int Signal) {
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    // A slow call the signal lands in goes on rather than failing.
    action.sa_flags = SA_RESTART;
    ::sigaction(Signal, &action, nullptr);
}

bool IsOurs(int Signal) {
    struct sigaction current {};
    if (::sigaction(Signal, nullptr, &current) != 0) return true;
    return (current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler == OnEndSignal;
}

} // namespace

void InstallEndSignalHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
            gReadFd = fds[0];
            gWriteFd = fds[1];
        }
        for (int s : kEndSignals)
            SetHandler(s);
        gInstalled = true;
    });
}

void ReclaimEndSignalHandlers() {
    if (!gInstalled) return;
    for (int s : kEndSignals)
        if (!IsOurs(s)) SetHandler(s);
}

int EndSignalCount() {
    return gCount.load();
}

int EndSignalWakeupFd() {
    return gReadFd.load();
}

void DrainEndSignalWakeups() {
    const int fd = gReadFd.load();
    if (fd < 0) return;
    char buf[64];
    while (::read(fd, buf, sizeof buf) > 0) {
    }
}

void ForgetEndSignals() {
    DrainEndSignalWakeups();
    gCount = 0;
}
