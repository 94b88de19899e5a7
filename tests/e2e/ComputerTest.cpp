// SPDX-License-Identifier: MIT
// The computer pilot in the real game: against a player holding fire, and
// flying both ships in a demo match to its result line.
#include "GameFixture.h"

#include <iostream>
#include <regex>

namespace {

// A computer match lasts as long as the pilots make it; this much is room for
// a loaded machine.
constexpr Milliseconds LONGEST{55000};
const char* const RESULT = R"((Red|Blue) wins 3-[0-2] \( [0-9]+ fps \)\n)";

class AgainstTheComputer : public GameFixture {
  protected:
    void ExpectResult(const char* heldKey) {
        Frame frame;
        ASSERT_TRUE(Screenshot(frame)); // the match runs
        if (heldKey != nullptr) {
            ASSERT_TRUE(run->Keys({"keydown", heldKey}));
        }
        const bool ended = run->WaitForEnd(LONGEST - run->Game().Lifetime());
        if (heldKey != nullptr) {
            run->Keys({"keyup", heldKey});
        }
        ASSERT_TRUE(ended) << "no result within " << LONGEST.count() << " ms; " << Describe();
        Process& game = run->Game();
        EXPECT_EQ(game.Status(), 0);
        EXPECT_TRUE(std::regex_match(game.Out(), std::regex(RESULT)))
            << "stdout: \"" << game.Out() << "\"";
        EXPECT_EQ(game.Err(), "");
        std::cout << "The match took " << game.Lifetime().count() << " ms: " << game.Out();
    }
};

class PlayerAgainstBlue : public AgainstTheComputer {
  protected:
    GameRunOptions How() const override {
        GameRunOptions how;
        how.arguments = {"--cpu", "blue", "--level", "easy", "--seed", "7"};
        return how;
    }
};

// RED sits still holding fire: the computer on BLUE flies and fires back
// until one side has won.
TEST_F(PlayerAgainstBlue, AMatchAgainstAPlayerHoldingFireEnds) { ExpectResult("s"); }

class DemoMatch : public AgainstTheComputer {
  protected:
    GameRunOptions How() const override {
        GameRunOptions how;
        how.arguments = {"--cpu", "red", "--cpu", "blue", "--level", "easy"};
        return how;
    }
};

TEST_F(DemoMatch, EndsWithAResultLine) { ExpectResult(nullptr); }

} // namespace
