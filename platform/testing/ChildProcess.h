// A program started as a child process with an environment of its own, and
// the moment it ended, for tests and benchmarks that run the program whole.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class TChildProcess {
public:
    using TClock = std::chrono::steady_clock;

    // Starts Program with Args; the variables of Environment replace those of
    // this process, and one set to nullopt is left out. Stdout and stderr go
    // to OutputFile when one is named. Started() is false when it could not
    // be started.
    TChildProcess(const std::string& Program, const std::vector<std::string>& Args,
                  const std::map<std::string, std::optional<std::string>>& Environment,
                  const std::string& OutputFile = "");
    // Kills a child still running and waits for it.
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    bool Started() const { return FPid > 0; }
    pid_t Pid() const { return FPid; }
    TClock::time_point StartedAt() const { return FStartedAt; }

    // Waits until the child has ended or Deadline has passed; true when it
    // ended.
    bool WaitUntilEnded(TClock::time_point Deadline);
    bool Ended() const;
    // When it ended, as this process saw it reaped.
    TClock::time_point EndedAt() const;
    // The exit code, or 128 plus the signal that ended it; -1 while it runs.
    int ExitCode() const;
    // Sends Signal to the child while it runs.
    void Signal(int Signal);

private:
    pid_t FPid = -1;
    int FPidFd = -1;
    TClock::time_point FStartedAt;
    mutable std::mutex FLock;
    std::condition_variable FEnded;
    bool FDone = false;
    int FExitCode = -1;
    TClock::time_point FEndedAt;
    std::thread FWaiter;
};
