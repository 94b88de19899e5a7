// SPDX-License-Identifier: MIT
// XServer: a private virtual X display of the game's size and depth on a free
// display number, for one test, and the key presses sent to it.
#pragma once

#include "Process.h"

#include <memory>
#include <string>
#include <vector>

class XServer {
  public:
    XServer();  // starts it; see Ready
    ~XServer(); // stops it, waiting a bounded time

    bool Ready() const { return !name.empty(); }
    const std::string& Error() const { return error; }
    // ":N", for DISPLAY.
    const std::string& Name() const { return name; }

    // Runs xdotool on this display with the given command chain (for example
    // {"keydown", "s", "sleep", "0.3", "keyup", "s"}); true when it succeeded.
    // Kills the server at once, as when a desktop session dies.
    void Kill();

    bool Xdotool(const std::vector<std::string>& chain, std::string* output = nullptr) const;

  private:
    std::unique_ptr<Process> server;
    std::string name;
    std::string error;
};
