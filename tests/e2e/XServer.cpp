// SPDX-License-Identifier: MIT
#include "XServer.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr const char* SCREEN_GEOMETRY = "800x600x16"; // the game's mode: 800x600, 16 bits
constexpr int DISPLAY_FD = 3;                         // where Xvfb writes its display number
constexpr Milliseconds SERVER_START_LIMIT{15000};
constexpr Milliseconds SERVER_STOP_LIMIT{3000};
// A chain of key presses can hold keys for a few seconds on purpose.
constexpr Milliseconds XDOTOOL_LIMIT{20000};
constexpr size_t NUMBER_BUFFER = 32;
constexpr int PIPE_ENDS = 2;
constexpr size_t SHORTEST_REPORT = 2; // one digit and the end of line

} // namespace

XServer::XServer() {
    int fds[PIPE_ENDS];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = "cannot make a pipe for Xvfb";
        return;
    }
    ProcessOptions options;
    options.passFd = fds[1];
    options.passAs = DISPLAY_FD;
    // -displayfd lets the server take the first free display and tell us which;
    // -noreset keeps it from resetting, and dropping clients that are just
    // connecting, each time the last client leaves.
    server = std::make_unique<Process>(
        "Xvfb",
        std::vector<std::string>{"-displayfd", std::to_string(DISPLAY_FD), "-screen", "0",
                                 SCREEN_GEOMETRY, "-nolisten", "tcp", "-noreset"},
        options);
    close(fds[1]);
    std::string number;
    const Clock::time_point deadline = Clock::now() + SERVER_START_LIMIT;
    while (number.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()).count();
        pollfd p{fds[0], POLLIN, 0};
        if (left <= 0 || poll(&p, 1, int(left)) <= 0) {
            break;
        }
        char buffer[NUMBER_BUFFER];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        number.append(buffer, size_t(n));
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos || number.size() < SHORTEST_REPORT) {
        server->Stop(SIGTERM, SERVER_STOP_LIMIT);
        error = "Xvfb did not report a display: " + server->Err();
        return;
    }
    name = ":" + number.substr(0, number.find('\n'));
}

XServer::~XServer() {
    if (server) {
        server->Stop(SIGTERM, SERVER_STOP_LIMIT);
    }
}

void XServer::Kill() {
    if (server) {
        server->Stop(SIGKILL, SERVER_STOP_LIMIT);
    }
}

bool XServer::Xdotool(const std::vector<std::string>& chain, std::string* output) const {
    ProcessOptions options;
    options.setEnv = {"DISPLAY=" + name};
    return RunToEnd("xdotool", chain, options, XDOTOOL_LIMIT, output);
}
