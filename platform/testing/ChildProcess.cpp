// Starting a child process with its own environment, and a thread that
// reaps it the moment it ends.
#include "platform/testing/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace {

// This process's environment with Changes applied, as "NAME=value" lines.
std::vector<std::string> EnvironmentWith(const std::map<std::string, std::optional<std::string>>& Changes) {
    std::vector<std::string> lines;
    for (char** e = environ; *e; ++e) {
        const std::string line = *e;
        const std::string name = line.substr(0, line.find('='));
        if (!Changes.count(name)) lines.push_back(line);
    }
    for (const auto& [name, value] : Changes)
        if (value) lines.push_back(name + "=" + *value);
    return lines;
}

std::vector<char*> Pointers(std::vector<std::string>& Strings) {
    std::vector<char*> p;
    for (std::string& s : Strings)
        p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

} // namespace

TChildProcess::TChildProcess(const std::string& Program, const std::vector<std::string>& Args,
                             const std::map<std::string, std::optional<std::string>>& Environment,
                             const std::string& OutputFile) {
    std::vector<std::string> argv{Program};
    argv.insert(argv.end(), Args.begin(), Args.end());
    std::vector<std::string> env = EnvironmentWith(Environment);
    std::vector<char*> argvp = Pointers(argv), envp = Pointers(env);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    if (!OutputFile.empty()) {
        posix_spawn_file_actions_addopen(&files, 1, OutputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
    }
    // The child starts with no signal blocked and every handler at its
    // default, whatever this process set.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    FStartedAt = TClock::now();
    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, Program.c_str(), &files, &attr, argvp.data(), envp.data());
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&files);
    if (rc != 0) return;
    FPid = pid;
    // Signals go through a descriptor of this very process: once it is
    // reaped, its number may belong to another.
    FPidFd = int(::syscall(SYS_pidfd_open, pid, 0));
    FWaiter = std::thread([this] {
        int status = 0;
        while (::waitpid(FPid, &status, 0) < 0 && errno == EINTR) {
        }
        std::lock_guard guard(FLock);
        FEndedAt = TClock::now();
        FExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        FDone = true;
        FEnded.notify_all();
    });
}

TChildProcess::~TChildProcess() {
    if (!Started()) return;
    Signal(SIGKILL);
    FWaiter.join();
    if (FPidFd >= 0) ::close(FPidFd);
}

bool TChildProcess::WaitUntilEnded(TClock::time_point Deadline) {
    if (!Started()) return true;
    std::unique_lock guard(FLock);
    return FEnded.wait_until(guard, Deadline, [this] { return FDone; });
}

bool TChildProcess::Ended() const {
    std::lock_guard guard(FLock);
    return !Started() || FDone;
}

TChildProcess::TClock::time_point TChildProcess::EndedAt() const {
    std::lock_guard guard(FLock);
    return FEndedAt;
}

int TChildProcess::ExitCode() const {
    std::lock_guard guard(FLock);
    return FExitCode;
}

void TChildProcess::Signal(int Signal) {
    if (FPidFd >= 0)
        ::syscall(SYS_pidfd_send_signal, FPidFd, Signal, nullptr, 0);
    else if (!Ended())
        ::kill(FPid, Signal);
}
