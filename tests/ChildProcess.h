// SPDX-License-Identifier: MIT
// ChildProcess: runs a piece of game code in a forked child and reports how
// the process ended and exactly what it wrote, for the code paths that exit.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct ChildResult {
    bool exited = false; // ended through exit (else: killed by a signal)
    int status = -1;     // exit status, or the signal number
    std::string out;     // everything written to standard output
    std::string err;     // everything written to standard error
};

// What the child's standard output is: a file the result reads back, or one
// of the ways writing to it fails (then the result's out stays empty).
enum class ChildOutput {
    File,
    ClosedPipe, // a pipe whose reader has gone
    FullDevice, // /dev/full: every write fails with "no space left"
    Closed,     // no descriptor 1 at all, as after ">&-"
};

// A body that returns instead of exiting ends the child with this status.
constexpr int CHILD_RETURNED = 99;

// whileRunning, when given, gets the child's pid meanwhile.
ChildResult RunInChild(const std::function<void()>& body, ChildOutput output = ChildOutput::File,
                       const std::function<void(int pid)>& whileRunning = {});

// Runs a program with the given arguments in workDir. Each NAME=value of
// environment is set, and each bare NAME removed. whileRunning gets its pid
// meanwhile.
ChildResult RunProgram(const std::string& path, const std::string& workDir,
                       const std::vector<std::string>& environment,
                       const std::function<void(int pid)>& whileRunning = {},
                       ChildOutput output = ChildOutput::File,
                       const std::vector<std::string>& arguments = {});

// Sets each NAME=value and removes each bare NAME, in order.
void ApplyEnvironment(const std::vector<std::string>& environment);

// What a descriptor of this process is open on ("/dev/null", "pipe:[...]"),
// or "closed".
std::string DescriptorTarget(int fd);

// For whileRunning: waits until the process ends, at most limitMs
// milliseconds, and kills it if it has not; true when it ended in time. The
// process stays unreaped for the runner.
bool EndsWithin(int pid, int limitMs);
