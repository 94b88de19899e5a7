// SPDX-License-Identifier: MIT
#include "ChildProcess.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr size_t TARGET_SIZE = 256; // bytes of a descriptor's target name

std::string ReadAll(int fd) {
    std::string text;
    lseek(fd, 0, SEEK_SET);
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, size_t(n));
    }
    close(fd);
    return text;
}

int TempFile() {
    char name[] = "/tmp/duelstar-child-XXXXXX";
    const int fd = mkstemp(name);
    unlink(name);
    return fd;
}

// Gives the child the standard output asked for; the file is already there.
void SetOutput(ChildOutput output) {
    switch (output) {
    case ChildOutput::File:
        break;
    case ChildOutput::ClosedPipe: {
        int ends[2];
        if (pipe(ends) != 0) {
            _exit(CHILD_RETURNED);
        }
        close(ends[0]);
        dup2(ends[1], STDOUT_FILENO);
        close(ends[1]);
        break;
    }
    case ChildOutput::FullDevice: {
        const int full = open("/dev/full", O_WRONLY);
        if (full < 0) {
            _exit(CHILD_RETURNED);
        }
        dup2(full, STDOUT_FILENO);
        close(full);
        break;
    }
    case ChildOutput::Closed:
        close(STDOUT_FILENO);
        break;
    }
}

// Forks with standard output and error sent to files, so nothing the child
// writes can block it or mix with the test runner's own output.
ChildResult Fork(const std::function<void()>& inChild, const std::function<void(int)>& inParent,
                 ChildOutput output) {
    std::cout.flush();
    std::fflush(nullptr);
    const int outFd = TempFile();
    const int errFd = TempFile();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outFd, STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
        close(outFd);
        close(errFd);
        // The test runner may ignore SIGPIPE; the child starts as a program would.
        std::signal(SIGPIPE, SIG_DFL);
        SetOutput(output);
        inChild();
        std::cout.flush();
        std::fflush(nullptr);
        _exit(CHILD_RETURNED);
    }
    if (inParent) {
        inParent(pid);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    ChildResult result;
    result.exited = WIFEXITED(wstatus);
    result.status = result.exited ? WEXITSTATUS(wstatus) : WTERMSIG(wstatus);
    result.out = ReadAll(outFd);
    result.err = ReadAll(errFd);
    return result;
}

} // namespace

ChildResult RunInChild(const std::function<void()>& body, ChildOutput output,
                       const std::function<void(int pid)>& whileRunning) {
    return Fork(body, whileRunning, output);
}

ChildResult RunProgram(const std::string& path, const std::string& workDir,
                       const std::vector<std::string>& environment,
                       const std::function<void(int pid)>& whileRunning, ChildOutput output,
                       const std::vector<std::string>& arguments) {
    return Fork(
        [&] {
            ApplyEnvironment(environment);
            if (!workDir.empty() && chdir(workDir.c_str()) != 0) {
                _exit(CHILD_RETURNED);
            }
            std::vector<char*> argv{const_cast<char*>(path.c_str())};
            for (const std::string& argument : arguments) {
                argv.push_back(const_cast<char*>(argument.c_str()));
            }
            argv.push_back(nullptr);
            execv(path.c_str(), argv.data());
            _exit(CHILD_RETURNED);
        },
        whileRunning, output);
}

void ApplyEnvironment(const std::vector<std::string>& environment) {
    for (const std::string& variable : environment) {
        const size_t equals = variable.find('=');
        if (equals == std::string::npos) {
            unsetenv(variable.c_str());
        } else {
            setenv(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str(), 1);
        }
    }
}

std::string DescriptorTarget(int fd) {
    char target[TARGET_SIZE];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = readlink(link.c_str(), target, sizeof target);
    return n < 0 ? std::string("closed") : std::string(target, size_t(n));
}

bool EndsWithin(int pid, int limitMs) {
    // A pidfd becomes readable when the process ends, without reaping it.
    const int pidFd = int(syscall(SYS_pidfd_open, pid, 0));
    if (pidFd < 0) {
        kill(pid, SIGKILL);
        return false;
    }
    pollfd ended = {pidFd, POLLIN, 0};
    const bool inTime = poll(&ended, 1, limitMs) == 1;
    close(pidFd);
    if (!inTime) {
        kill(pid, SIGKILL);
    }
    return inTime;
}
