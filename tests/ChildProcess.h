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

// A body that returns instead of exiting ends the child with this status.
constexpr int CHILD_RETURNED = 99;

ChildResult RunInChild(const std::function<void()>& body);

// Runs a program without arguments in workDir, with the given variables
// (NAME=value) added to the environment; whileRunning gets its pid meanwhile.
ChildResult RunProgram(const std::string& path, const std::string& workDir,
                       const std::vector<std::string>& environment,
                       const std::function<void(int pid)>& whileRunning = {});
