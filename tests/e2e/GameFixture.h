// SPDX-License-Identifier: MIT
// GameFixture: each end-to-end test gets its own X display and its own run of
// the game, already showing its window, and a way to end it with ESCAPE.
#pragma once

#include "GameRun.h"
#include "XServer.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class GameFixture : public ::testing::Test {
  protected:
    void SetUp() override;

    // How this fixture's game is started.
    virtual GameRunOptions How() const { return {}; }

    // How the game has ended so far, for failure messages.
    std::string Describe();

    // The screenshot that p saves; a failed test when none comes.
    ::testing::AssertionResult Screenshot(Frame& frame);

    // Holds the keys together for the given time, then releases them.
    bool Hold(const std::vector<std::string>& keys, Milliseconds time);

    // Presses ESCAPE and expects the game to end at once with status 0 and
    // nothing written.
    void EndWithEscape();

    // Expects the game to end within limit with status 0 and nothing written,
    // but for the quit probe's one line when it is preloaded. What ends it is
    // named in failure messages.
    void ExpectQuietEnd(Milliseconds limit, const char* cause);

    XServer display;
    std::unique_ptr<GameRun> run;
};
