// SPDX-License-Identifier: MIT
#include "Process.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr Milliseconds POLL_STEP{10};
constexpr Milliseconds KILL_WAIT{2000};
constexpr int EXEC_FAILED = 127; // the shell's status for a program not found
constexpr size_t READ_CHUNK = 4096;

int TempFile() {
    char name[] = "/tmp/duelstar-e2e-out-XXXXXX";
    const int fd = mkostemp(name, O_CLOEXEC);
    if (fd >= 0) {
        unlink(name);
    }
    return fd;
}

std::string ReadAll(int fd) {
    std::string text;
    if (fd < 0) {
        return text;
    }
    char buffer[READ_CHUNK];
    off_t at = 0;
    ssize_t n;
    while ((n = pread(fd, buffer, sizeof buffer, at)) > 0) {
        text.append(buffer, size_t(n));
        at += n;
    }
    return text;
}

} // namespace

Process::Process(const std::string& program, const std::vector<std::string>& arguments,
                 const ProcessOptions& options)
    : outFd(TempFile()), errFd(TempFile()), startTime(Clock::now()) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    std::fflush(nullptr);
    pid = fork();
    if (pid != 0) {
        return;
    }
    // The child: it must not outlive the test, whatever ends the test.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) {
        _exit(EXEC_FAILED);
    }
    const int nullFd = open("/dev/null", O_RDONLY);
    dup2(nullFd, STDIN_FILENO);
    close(nullFd);
    dup2(outFd, STDOUT_FILENO);
    dup2(errFd, STDERR_FILENO);
    if (options.passFd >= 0) {
        dup2(options.passFd, options.passAs);
    }
    if (options.closeStdout) {
        close(STDOUT_FILENO);
    }
    std::signal(SIGHUP, options.ignoreHangup ? SIG_IGN : SIG_DFL);
    for (const std::string& name : options.unsetEnv) {
        unsetenv(name.c_str());
    }
    for (const std::string& variable : options.setEnv) {
        const size_t equals = variable.find('=');
        setenv(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str(), 1);
    }
    if (!options.workDir.empty() && chdir(options.workDir.c_str()) != 0) {
        _exit(EXEC_FAILED);
    }
    execvp(program.c_str(), argv.data());
    _exit(EXEC_FAILED);
}

Process::~Process() {
    if (Started() && !HasEnded()) {
        Stop(SIGKILL, KILL_WAIT);
    }
    if (outFd >= 0) {
        close(outFd);
    }
    if (errFd >= 0) {
        close(errFd);
    }
}

bool Process::HasEnded() {
    if (ended || !Started()) {
        return true;
    }
    int wstatus = 0;
    const pid_t r = waitpid(pid, &wstatus, WNOHANG);
    if (r == 0 || (r < 0 && errno == EINTR)) {
        return false;
    }
    ended = true;
    endTime = Clock::now();
    if (r == pid) {
        exited = WIFEXITED(wstatus);
        status = exited ? WEXITSTATUS(wstatus) : WTERMSIG(wstatus);
    }
    return true;
}

bool Process::WaitForEnd(Milliseconds limit) {
    const Clock::time_point deadline = Clock::now() + limit;
    while (!HasEnded()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(POLL_STEP);
    }
    return true;
}

void Process::Stop(int sig, Milliseconds limit) {
    if (HasEnded()) {
        return;
    }
    kill(pid, sig);
    if (!WaitForEnd(limit)) {
        kill(pid, SIGKILL);
        WaitForEnd(KILL_WAIT);
    }
}

std::string Process::Out() const { return ReadAll(outFd); }
std::string Process::Err() const { return ReadAll(errFd); }

Milliseconds Process::Lifetime() const {
    return std::chrono::duration_cast<Milliseconds>((ended ? endTime : Clock::now()) - startTime);
}

bool RunToEnd(const std::string& program, const std::vector<std::string>& arguments,
              const ProcessOptions& options, Milliseconds limit, std::string* output) {
    Process process(program, arguments, options);
    const bool ended = process.WaitForEnd(limit);
    if (output != nullptr) {
        *output = process.Out() + process.Err();
    }
    return ended && process.Exited() && process.Status() == 0;
}
