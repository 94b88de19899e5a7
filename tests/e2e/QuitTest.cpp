// SPDX-License-Identifier: MIT
// ESCAPE in the middle of a match ends the game quietly, and so does the
// terminal it was started from closing (SIGHUP), unless the player started it
// to outlive the terminal (nohup).
#include "GameFixture.h"

#include <csignal>

namespace {

constexpr Milliseconds SHORT_SALVO{300};
constexpr Milliseconds HANGUP_LIMIT{5000};

class Quit : public GameFixture {};

TEST_F(Quit, EscapeMidMatchEndsWithStatusZeroAndNoOutput) {
    Frame frame;
    ASSERT_TRUE(Screenshot(frame));                               // the match is running
    ASSERT_TRUE(Hold({"s", "Return", "t", "Down"}, SHORT_SALVO)); // shots in flight, ships moved
    EndWithEscape();
}

// The probe reports whether SDL_Quit ran, which puts back a changed screen.
class Hangup : public GameFixture {
  protected:
    GameRunOptions How() const override {
        GameRunOptions how;
        how.quitProbe = true;
        how.ignoreHangup = ignored;
        return how;
    }
    bool ignored = false;
};

TEST_F(Hangup, EndsTheMatchWithStatusZeroNoOutputAndSdlQuit) {
    Frame frame;
    ASSERT_TRUE(Screenshot(frame)); // the match is running
    ASSERT_EQ(kill(run->Game().Pid(), SIGHUP), 0);
    ExpectQuietEnd(HANGUP_LIMIT, "SIGHUP");
}

class IgnoredHangup : public Hangup {
  protected:
    IgnoredHangup() { ignored = true; }
};

TEST_F(IgnoredHangup, LeavesTheMatchRunning) {
    Frame frame;
    ASSERT_TRUE(Screenshot(frame)); // the match is running
    ASSERT_EQ(kill(run->Game().Pid(), SIGHUP), 0);
    // A frame drawn and saved after the signal: the game still plays.
    ASSERT_TRUE(Screenshot(frame));
    ASSERT_FALSE(run->Game().HasEnded()) << Describe();
    EndWithEscape();
}

} // namespace
