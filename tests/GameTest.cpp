// SPDX-License-Identifier: MIT
// The real game binary, started as a player would: its fatal start-up line,
// and a quit request from the system.
#include "ChildProcess.h"

#include <csignal>
#include <gtest/gtest.h>
#include <poll.h>

namespace {

TEST(Game, WithoutAVideoDevicePrintsTheErrorLineAndExitsWithOne) {
    const ChildResult r =
        RunProgram(DUELSTAR_BINARY, DUELSTAR_SOURCE_DIR, {"SDL_VIDEODRIVER=no-such-driver"});
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ERROR: main(): No available video device\n");
    EXPECT_EQ(r.err, "");
}

// This one runs in real time: the game shows its loading picture first.
TEST(Game, AQuitRequestEndsItWithStatusZeroAndNoOutput) {
    const ChildResult r =
        RunProgram(DUELSTAR_BINARY, DUELSTAR_SOURCE_DIR, {"SDL_VIDEODRIVER=dummy"}, [](int pid) {
            poll(nullptr, 0, 1000); // long enough for SDL to take over SIGTERM
            kill(pid, SIGTERM);
        });
    EXPECT_TRUE(r.exited) << "killed by signal " << r.status;
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
}

} // namespace
