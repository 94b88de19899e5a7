// SPDX-License-Identifier: MIT
#include "ChildProcess.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

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

// Forks with standard output and error sent to files, so nothing the child
// writes can block it or mix with the test runner's own output.
ChildResult Fork(const std::function<void()>& inChild, const std::function<void(int)>& inParent) {
    std::cout.flush();
    std::fflush(nullptr);
    const int outFd = TempFile();
    const int errFd = TempFile();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outFd, STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
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

ChildResult RunInChild(const std::function<void()>& body) { return Fork(body, {}); }

ChildResult RunProgram(const std::string& path, const std::string& workDir,
                       const std::vector<std::string>& environment,
                       const std::function<void(int pid)>& whileRunning) {
    return Fork(
        [&] {
            for (const std::string& variable : environment) {
                const size_t equals = variable.find('=');
                setenv(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str(), 1);
            }
            if (!workDir.empty() && chdir(workDir.c_str()) != 0) {
                _exit(CHILD_RETURNED);
            }
            execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
            _exit(CHILD_RETURNED);
        },
        whileRunning);
}
