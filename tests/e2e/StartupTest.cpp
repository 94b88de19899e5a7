// SPDX-License-Identifier: MIT
// Starting as a player may: with no driver named, the game finds the X
// display itself; with standard output closed, its error line can no longer
// go into the X connection, and it ends instead of waiting on the server.
#include "GameFixture.h"

namespace {

constexpr Milliseconds ERROR_LIMIT{10000}; // the error comes before the loading picture's pause

class NoDriverNamed : public GameFixture {
  protected:
    GameRunOptions How() const override {
        GameRunOptions how;
        how.nameDriver = false;
        return how;
    }
};

TEST_F(NoDriverNamed, TheGameShowsOnTheXDisplay) {
    // The set-up saw the window on this display and the library under test;
    // a frame of the match shows there too. ESCAPE waits for it: a key sent
    // before the window has the keyboard is lost on a loaded machine.
    Frame frame;
    ASSERT_TRUE(Screenshot(frame));
    EndWithEscape();
}

TEST(ClosedOutput, AnErrorLineEndsTheGameWithStatusOne) {
    XServer display;
    ASSERT_TRUE(display.Ready()) << display.Error();
    GameRunOptions how;
    how.nameDriver = false;
    how.pictures = false;
    how.closeStdout = true;
    GameRun run(display, how);
    ASSERT_EQ(run.Error(), "");
    ASSERT_TRUE(run.WaitForEnd(ERROR_LIMIT)) << "the game still runs";
    EXPECT_TRUE(run.Game().Exited()) << "ended by signal " << run.Game().Status();
    EXPECT_EQ(run.Game().Status(), 1);
    EXPECT_EQ(run.Game().Err(), "");
}

} // namespace
