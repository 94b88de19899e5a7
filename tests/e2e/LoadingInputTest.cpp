// SPDX-License-Identifier: MIT
// Keys pressed while the loading picture shows and the mouse sweeps over the
// window: the game reads no mouse at all, so however much it moves, every key
// pressed, released or ESCAPE then counts once the match starts.
#include "GameFixture.h"

#include <string>
#include <vector>

namespace {

// Many more moves than SDL 1.2's event queue holds (about 128).
constexpr int MOUSE_MOVES = 300;
constexpr int SWEEP_LEFT = 50;   // px
constexpr int SWEEP_RIGHT = 750; // px
constexpr int SWEEP_TOP = 50;    // px
constexpr int SWEEP_STEP = 7;    // px between moves, so each one is a move
constexpr int SWEEP_ROWS = 500;  // px the sweep goes down over

// The loading picture shows for 2.5 s from about when the window shows; what
// is sent within this of seeing it arrives while it shows.
constexpr Milliseconds WITHIN_LOADING{2000};
// The first screenshot waits for the loading; then RED needs 0.5 s to the middle.
constexpr Milliseconds PLAY_LIMIT{15000};

constexpr int BLUE_BAR_LEFT = 75;      // ship at its start (100, 300)
constexpr int RED_BAR_AT_MIDDLE = 425; // ship at the middle line (450, 300)
constexpr int BAR_TOP = 250;
constexpr int FULL_BAR = BAR_PIXELS_PER_HEALTH * FULL_HEALTH;

// An xdotool chain that moves the pointer over the window MOUSE_MOVES times.
std::vector<std::string> MouseSweep() {
    std::vector<std::string> chain;
    const int width = SWEEP_RIGHT - SWEEP_LEFT;
    for (int move = 0; move < MOUSE_MOVES; ++move) {
        const int x = SWEEP_LEFT + (move * SWEEP_STEP) % width;
        const int y = SWEEP_TOP + move % SWEEP_ROWS;
        chain.insert(chain.end(), {"mousemove", std::to_string(x), std::to_string(y)});
    }
    return chain;
}

bool BarAt(const Frame& frame, int left, Pixel565 bright, Pixel565 dark) {
    return BrightWidthAt(frame, left, BAR_TOP, bright, dark) == FULL_BAR;
}

class LoadingInput : public GameFixture {
  protected:
    // Sends the chain and fails unless it was all sent while the loading
    // picture still showed.
    void SendWhileLoading(const std::vector<std::string>& chain) {
        ASSERT_TRUE(run->Keys(chain));
        const Milliseconds taken =
            std::chrono::duration_cast<Milliseconds>(Clock::now() - run->WindowSeen());
        ASSERT_LT(taken, WITHIN_LOADING)
            << "the keys and mouse moves took too long to land in the loading picture";
    }
};

// BLUE's down key goes down before the mouse sweep and up after it; RED's
// left key goes down last and stays held. Once the match runs, RED's walk to
// the middle line shows that the keys came through and that time passed:
// BLUE, whose key was let go before the first frame, must not have moved.
TEST_F(LoadingInput, AKeyReleasedDuringTheMouseSweepIsNotHeld) {
    std::vector<std::string> chain{"keydown", "Down"};
    const std::vector<std::string> sweep = MouseSweep();
    chain.insert(chain.end(), sweep.begin(), sweep.end());
    chain.insert(chain.end(), {"keyup", "Down", "keydown", "f"});
    ASSERT_NO_FATAL_FAILURE(SendWhileLoading(chain));

    Frame frame;
    bool redAtMiddle = false;
    bool blueAtStart = true;
    const Clock::time_point deadline = Clock::now() + PLAY_LIMIT;
    while (!redAtMiddle && blueAtStart && Clock::now() < deadline) {
        ASSERT_TRUE(Screenshot(frame));
        redAtMiddle = BarAt(frame, RED_BAR_AT_MIDDLE, RED_BRIGHT, RED_DARK);
        blueAtStart = BarAt(frame, BLUE_BAR_LEFT, BLUE_BRIGHT, BLUE_DARK);
    }
    ASSERT_TRUE(run->Keys({"keyup", "f"}));
    EXPECT_TRUE(blueAtStart) << "BLUE moved on its own after the loading picture";
    EXPECT_TRUE(redAtMiddle) << "RED's held key did not bring it to the middle line";
    EndWithEscape();
}

TEST_F(LoadingInput, EscapeAfterTheMouseSweepEndsTheGame) {
    std::vector<std::string> chain = MouseSweep();
    chain.insert(chain.end(), {"key", "Escape"});
    ASSERT_NO_FATAL_FAILURE(SendWhileLoading(chain));
    ExpectQuietEnd(PLAY_LIMIT, "ESCAPE after the mouse sweep");
}

} // namespace
