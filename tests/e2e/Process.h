// SPDX-License-Identifier: MIT
// Process: a program a test starts (X server, game, key sender) that dies with
// the test, keeps its output in files and is only ever waited for a bounded time.
#pragma once

#include <chrono>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

struct ProcessOptions {
    std::string workDir;             // empty: the test's own folder
    std::vector<std::string> setEnv; // NAME=value, added to the environment
    std::vector<std::string> unsetEnv;
    int passFd = -1; // a descriptor the program inherits, as passAs
    int passAs = -1;
    bool closeStdout = false; // started as with ">&-"; Out() then stays empty
    // Started as with nohup: SIGHUP ignored. Otherwise it takes SIGHUP's
    // default, whatever the test itself was started with.
    bool ignoreHangup = false;
};

class Process {
  public:
    Process(const std::string& program, const std::vector<std::string>& arguments,
            const ProcessOptions& options = {});
    ~Process(); // kills and reaps a program still running
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return pid > 0; }
    int Pid() const { return pid; }

    // True once the program has ended (it is then reaped).
    bool HasEnded();
    // Waits at most limit for the end; true if it ended.
    bool WaitForEnd(Milliseconds limit);
    // Sends sig and waits for the end at most limit; SIGKILL after that.
    void Stop(int sig, Milliseconds limit);

    // Valid once ended.
    bool Exited() const { return exited; }
    int Status() const { return status; } // exit status, or the signal that ended it
    std::string Out() const;
    std::string Err() const;
    // From the start to the moment its end was seen.
    Milliseconds Lifetime() const;

  private:
    int pid = -1;
    int outFd = -1;
    int errFd = -1;
    bool ended = false;
    bool exited = false;
    int status = -1;
    Clock::time_point startTime;
    Clock::time_point endTime;
};

// Runs a short helper program to its end (killed after limit); true when it
// exited with status 0.
bool RunToEnd(const std::string& program, const std::vector<std::string>& arguments,
              const ProcessOptions& options, Milliseconds limit, std::string* output = nullptr);
