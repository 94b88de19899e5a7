// SPDX-License-Identifier: MIT
// Held steering keys move each ship along the right axis, the right way, and
// keep it in its own half and on the screen; each ship is found by its bright
// health bar in the screenshots.
#include "GameFixture.h"

#include <thread>

namespace {

constexpr double SHIP_SPEED = 500.0; // px/s
constexpr double MS_PER_SECOND = 1000.0;
// Key timing through the X server is not exact on a busy machine.
constexpr double TRAVEL_LOW = 0.4;
constexpr double TRAVEL_HIGH = 1.6;
// A ship held against a screen edge stops less than one step short of it.
constexpr int EDGE_SLACK = 20;      // px
constexpr int MIN_VISIBLE_BAR = 20; // px of a bar cut by the screen edge

constexpr Milliseconds SHORT_HOLD{300}; // about 150 px
constexpr Milliseconds BACK_HOLD{400};  // about 200 px, back from an edge
constexpr Milliseconds WALL_HOLD{1600}; // more than any ship needs to reach an edge
constexpr Milliseconds STILL_GAP{300};  // between two looks at ships held against an edge
constexpr int STILL_LOOKS = 10;

constexpr int SCREEN_LEFT = 0;
constexpr int SCREEN_RIGHT = 800;
constexpr int SCREEN_TOP = 0;
constexpr int SCREEN_BOTTOM = 600;
constexpr int RED_MIN_X = 450;  // the middle line, from the right
constexpr int BLUE_MAX_X = 350; // the middle line, from the left
constexpr int BLUE_START_X = 100;
constexpr int RED_START_X = 700;
constexpr int START_Y = 300;

enum class Side { Red, Blue };

struct ShipSeen {
    bool found = false;
    int x = 0;
    int y = 0;
};

int Travel(Milliseconds hold) { return int(SHIP_SPEED * double(hold.count()) / MS_PER_SECOND); }
int Low(Milliseconds hold) { return int(TRAVEL_LOW * Travel(hold)); }
int High(Milliseconds hold) { return int(TRAVEL_HIGH * Travel(hold)); }

// The ship's centre from its bar; a bar cut by the screen edge keeps its
// inner end: RED's is cut on the right, BLUE's on the left.
::testing::AssertionResult Find(const Frame& frame, Side side, ShipSeen& ship) {
    const bool red = side == Side::Red;
    const std::vector<Block> bars =
        FindBars(frame, red ? RED_BRIGHT : BLUE_BRIGHT, MIN_VISIBLE_BAR);
    ship = ShipSeen{};
    if (bars.empty()) {
        return ::testing::AssertionSuccess();
    }
    const char* name = red ? "RED" : "BLUE";
    if (bars.size() > 1) {
        return ::testing::AssertionFailure() << bars.size() << " bright bars of " << name;
    }
    const Block& bar = bars.front();
    const bool cut = red ? bar.right == FRAME_WIDTH - 1 : bar.left == 0;
    if (bar.Width() != BAR_WIDTH && !cut) {
        return ::testing::AssertionFailure()
               << name << "'s bar is " << bar.Width() << " px wide at (" << bar.left << ","
               << bar.top << ")";
    }
    ship.found = true;
    ship.x = red ? bar.left + BAR_OFFSET_X : bar.right + 1 - BAR_WIDTH + BAR_OFFSET_X;
    ship.y = bar.top + BAR_OFFSET_Y;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Between(const char* what, int value, int low, int high) {
    if (value >= low && value <= high) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << what << " is " << value << ", not within " << low << ".." << high;
}

bool operator==(const ShipSeen& a, const ShipSeen& b) {
    return a.found == b.found && (!a.found || (a.x == b.x && a.y == b.y));
}

enum class Release { AfterHold, WhenStill };

class Steering : public GameFixture {
  protected:
    // Holds the keys for the given time, then either releases them and takes
    // a screenshot, or (for a ship pushed against an edge) keeps them held and
    // takes screenshots until neither ship moves any more, then releases them
    // and takes the last one. On a busy machine a big step is refused near an
    // edge and a later small one closes the gap, even just before the release.
    void Step(const std::vector<std::string>& keys, Milliseconds hold, Release release,
              const char* step) {
        SCOPED_TRACE(step);
        if (keys.empty()) {
            ASSERT_NO_FATAL_FAILURE(Look());
            return;
        }
        if (release == Release::AfterHold) {
            ASSERT_TRUE(Hold(keys, hold));
            ASSERT_NO_FATAL_FAILURE(Look());
            return;
        }
        std::vector<std::string> down{"keydown"}, up{"keyup"};
        down.insert(down.end(), keys.begin(), keys.end());
        up.insert(up.end(), keys.begin(), keys.end());
        ASSERT_TRUE(run->Keys(down));
        const bool still = HeldUntilStill(hold);
        ASSERT_TRUE(run->Keys(up));
        ASSERT_TRUE(still) << "the ships still moved after " << STILL_LOOKS << " more looks";
        ASSERT_NO_FATAL_FAILURE(Look());
    }

    // Looks until two looks in a row see the ships where they were.
    bool HeldUntilStill(Milliseconds hold) {
        std::this_thread::sleep_for(hold);
        Look();
        for (int look = 0; look < STILL_LOOKS && !HasFatalFailure(); ++look) {
            const ShipSeen r = red, b = blue;
            std::this_thread::sleep_for(STILL_GAP);
            Look();
            if (red == r && blue == b) {
                return true;
            }
        }
        return false;
    }

    // A screenshot with both ships found; each ship seen must be in its half
    // and on the screen.
    void Look() {
        Frame frame;
        ASSERT_TRUE(Screenshot(frame));
        ASSERT_TRUE(Find(frame, Side::Red, red));
        ASSERT_TRUE(Find(frame, Side::Blue, blue));
        if (red.found) {
            EXPECT_TRUE(Between("RED x", red.x, RED_MIN_X, SCREEN_RIGHT));
            EXPECT_TRUE(Between("RED y", red.y, SCREEN_TOP, SCREEN_BOTTOM));
        }
        if (blue.found) {
            EXPECT_TRUE(Between("BLUE x", blue.x, SCREEN_LEFT, BLUE_MAX_X));
            EXPECT_TRUE(Between("BLUE y", blue.y, SCREEN_TOP, SCREEN_BOTTOM));
        }
    }

    ShipSeen red;
    ShipSeen blue;
};

TEST_F(Steering, HeldKeysMoveEachShipWithinItsHalf) {
    ASSERT_NO_FATAL_FAILURE(Step({}, SHORT_HOLD, Release::AfterHold, "at the start"));
    ASSERT_TRUE(red.found && blue.found);
    EXPECT_EQ(red.x, RED_START_X);
    EXPECT_EQ(red.y, START_Y);
    EXPECT_EQ(blue.x, BLUE_START_X);
    EXPECT_EQ(blue.y, START_Y);

    // Vertical: RED up, BLUE down; x stays.
    ShipSeen r = red, b = blue;
    ASSERT_NO_FATAL_FAILURE(
        Step({"t", "Down"}, SHORT_HOLD, Release::AfterHold, "RED up, BLUE down"));
    ASSERT_TRUE(red.found && blue.found);
    EXPECT_EQ(red.x, r.x);
    EXPECT_TRUE(Between("RED's rise", r.y - red.y, Low(SHORT_HOLD), High(SHORT_HOLD)));
    EXPECT_EQ(blue.x, b.x);
    EXPECT_TRUE(Between("BLUE's fall", blue.y - b.y, Low(SHORT_HOLD), High(SHORT_HOLD)));

    // Horizontal: both towards the middle; y stays.
    r = red, b = blue;
    ASSERT_NO_FATAL_FAILURE(
        Step({"f", "Right"}, SHORT_HOLD, Release::AfterHold, "RED left, BLUE right"));
    ASSERT_TRUE(red.found && blue.found);
    EXPECT_EQ(red.y, r.y);
    EXPECT_TRUE(Between("RED's move left", r.x - red.x, Low(SHORT_HOLD), High(SHORT_HOLD)));
    EXPECT_EQ(blue.y, b.y);
    EXPECT_TRUE(Between("BLUE's move right", blue.x - b.x, Low(SHORT_HOLD), High(SHORT_HOLD)));

    // Held into the middle line: each stops exactly at its limit.
    r = red, b = blue;
    ASSERT_NO_FATAL_FAILURE(Step({"f", "Right"}, WALL_HOLD, Release::WhenStill,
                                 "RED and BLUE held against the middle"));
    ASSERT_TRUE(red.found && blue.found);
    EXPECT_EQ(red.x, RED_MIN_X);
    EXPECT_EQ(red.y, r.y);
    EXPECT_EQ(blue.x, BLUE_MAX_X);
    EXPECT_EQ(blue.y, b.y);

    // Held into the side edges: each stops just short of the edge.
    r = red, b = blue;
    ASSERT_NO_FATAL_FAILURE(Step({"h", "Left"}, WALL_HOLD, Release::WhenStill,
                                 "RED and BLUE held against the side edges"));
    ASSERT_TRUE(red.found && blue.found);
    EXPECT_TRUE(Between("RED x at the right edge", red.x, SCREEN_RIGHT - EDGE_SLACK, SCREEN_RIGHT));
    EXPECT_EQ(red.y, r.y);
    EXPECT_TRUE(Between("BLUE x at the left edge", blue.x, SCREEN_LEFT, SCREEN_LEFT + EDGE_SLACK));
    EXPECT_EQ(blue.y, b.y);

    // RED to the bottom, BLUE to the top, where its bar lies above the screen.
    r = red, b = blue;
    ASSERT_NO_FATAL_FAILURE(
        Step({"g", "Up"}, WALL_HOLD, Release::WhenStill, "RED held down, BLUE held up"));
    ASSERT_TRUE(red.found);
    EXPECT_EQ(red.x, r.x);
    EXPECT_TRUE(Between("RED y at the bottom", red.y, SCREEN_BOTTOM - EDGE_SLACK, SCREEN_BOTTOM));
    EXPECT_FALSE(blue.found) << "BLUE's bar shows at y " << blue.y - BAR_OFFSET_Y;

    // Back from the edges: BLUE comes down from the top edge, not from above it.
    r = red;
    ASSERT_NO_FATAL_FAILURE(Step({"t", "Down"}, BACK_HOLD, Release::AfterHold,
                                 "RED up, BLUE down, back from the edges"));
    ASSERT_TRUE(red.found);
    ASSERT_TRUE(blue.found) << "BLUE did not come back onto the screen";
    EXPECT_EQ(red.x, r.x);
    EXPECT_TRUE(Between("RED's rise", r.y - red.y, Low(BACK_HOLD), High(BACK_HOLD)));
    EXPECT_EQ(blue.x, b.x);
    EXPECT_TRUE(
        Between("BLUE y back from the top", blue.y, Low(BACK_HOLD), High(BACK_HOLD) + EDGE_SLACK));

    // RED to the top edge, BLUE to the bottom.
    r = red, b = blue;
    ASSERT_NO_FATAL_FAILURE(
        Step({"t", "Down"}, WALL_HOLD, Release::WhenStill, "RED held up, BLUE held down"));
    ASSERT_TRUE(blue.found);
    EXPECT_FALSE(red.found) << "RED's bar shows at y " << red.y - BAR_OFFSET_Y;
    EXPECT_EQ(blue.x, b.x);
    EXPECT_TRUE(Between("BLUE y at the bottom", blue.y, SCREEN_BOTTOM - EDGE_SLACK, SCREEN_BOTTOM));

    // Back from the edges: RED comes down from the top edge.
    b = blue;
    ASSERT_NO_FATAL_FAILURE(
        Step({"g", "Up"}, BACK_HOLD, Release::AfterHold, "RED down, BLUE up, back from the edges"));
    ASSERT_TRUE(blue.found);
    ASSERT_TRUE(red.found) << "RED did not come back onto the screen";
    EXPECT_EQ(red.x, r.x);
    EXPECT_TRUE(
        Between("RED y back from the top", red.y, Low(BACK_HOLD), High(BACK_HOLD) + EDGE_SLACK));
    EXPECT_EQ(blue.x, b.x);
    EXPECT_TRUE(Between("BLUE's rise", b.y - blue.y, Low(BACK_HOLD), High(BACK_HOLD)));

    EndWithEscape();
}

} // namespace
