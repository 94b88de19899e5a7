// SPDX-License-Identifier: MIT
// Whole matches in real time: one side holds its fire key while the other
// stays still at the same height, so every shot hits.
#include "GameFixture.h"

#include <iostream>
#include <regex>

namespace {

// The quickest match the rules allow: the loading picture, fifteen shots at
// one per half second (the first at once), the last one's flight to the
// other ship and the pause before the result line.
constexpr int LOADING_MS = 2500;
constexpr int HITS_TO_WIN = 15; // 3 points x 5 hits
constexpr int COOLDOWN_MS = 500;
constexpr int SHIP_DISTANCE = 600; // px between the ships' start x
constexpr int HIT_REACH = 55;      // px: a shot hits once within this x of the ship
constexpr int SHOT_SPEED = 500;    // px/s
constexpr int MS_PER_SECOND = 1000;
constexpr int LAST_FLIGHT_MS = (SHIP_DISTANCE - HIT_REACH) * MS_PER_SECOND / SHOT_SPEED;
constexpr int END_PAUSE_MS = 1000;
constexpr Milliseconds QUICKEST{LOADING_MS + (HITS_TO_WIN - 1) * COOLDOWN_MS + LAST_FLIGHT_MS +
                                END_PAUSE_MS};
// Room for a loaded machine; a match this slow means the rules are broken.
constexpr Milliseconds SLOWEST{30000};

class Match : public GameFixture {
  protected:
    void WinByHolding(const char* fireKey, const char* resultPattern) {
        Frame frame;
        ASSERT_TRUE(Screenshot(frame)); // the match runs and takes keys
        ASSERT_TRUE(run->Keys({"keydown", fireKey}));
        const bool ended = run->WaitForEnd(SLOWEST - run->Game().Lifetime());
        run->Keys({"keyup", fireKey});
        ASSERT_TRUE(ended) << "no result within " << SLOWEST.count() << " ms; " << Describe();
        Process& game = run->Game();
        EXPECT_TRUE(game.Exited()) << Describe();
        EXPECT_EQ(game.Status(), 0);
        EXPECT_TRUE(std::regex_match(game.Out(), std::regex(resultPattern)))
            << "stdout: \"" << game.Out() << "\"";
        EXPECT_EQ(game.Err(), "");
        EXPECT_GE(game.Lifetime().count(), QUICKEST.count()) << "faster than the rules allow";
        EXPECT_LE(game.Lifetime().count(), SLOWEST.count());
        std::cout << "The match took " << game.Lifetime().count() << " ms: " << game.Out();
    }
};

TEST_F(Match, RedHoldingFireWinsThreeNil) {
    WinByHolding("s", R"(Red wins 3-0 \( [0-9]+ fps \)\n)");
}

TEST_F(Match, BlueHoldingFireWinsThreeNil) {
    WinByHolding("Return", R"(Blue wins 3-0 \( [0-9]+ fps \)\n)");
}

} // namespace
