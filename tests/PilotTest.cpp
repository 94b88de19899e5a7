// SPDX-License-Identifier: MIT
// The computer pilot in whole headless matches: it finishes them, the levels
// rank as named, it dodges, it is blind to the other side's commands of the
// moment, one seed gives one match, and the usual tricks do not beat it.
#include "bot/Pilot.h"
#include "FakeClock.h"
#include "HeadlessMatch.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <vector>

namespace {

MatchResult Duel(PilotLevel redLevel, PilotLevel blueLevel, std::uint32_t seed) {
    Pilot red(RED, redLevel, seed);
    Pilot blue(BLUE, blueLevel, seed * 7919u + 1u);
    return PlayHeadless(Flown(red), Flown(blue));
}

// Wins of the first level over the second, each seen from both sides.
int Wins(PilotLevel a, PilotLevel b, int matches) {
    int wins = 0;
    for (int i = 0; i < matches; ++i) {
        const std::uint32_t seed = 1000u + std::uint32_t(i);
        if (i % 2 == 0) {
            wins += Duel(a, b, seed).Winner() == RED ? 1 : 0;
        } else {
            wins += Duel(b, a, seed).Winner() == BLUE ? 1 : 0;
        }
    }
    return wins;
}

TEST(PilotMatch, TwoPilotsAlwaysFinish) {
    const PilotLevel levels[] = {PilotLevel::EASY, PilotLevel::NORMAL, PilotLevel::HARD};
    for (std::uint32_t seed = 1; seed <= 30; ++seed) {
        const PilotLevel red = levels[seed % 3];
        const PilotLevel blue = levels[(seed / 3) % 3];
        const MatchResult result = Duel(red, blue, seed);
        EXPECT_TRUE(result.finished) << "seed " << seed;
    }
}

TEST(PilotMatch, HardBeatsEasyAndNormalBeatsEasy) {
    EXPECT_GE(Wins(PilotLevel::HARD, PilotLevel::EASY, 100), 80);
    EXPECT_GT(Wins(PilotLevel::NORMAL, PilotLevel::EASY, 40), 20);
}

TEST(PilotMatch, TheSameSeedGivesTheSameMatch) {
    std::vector<int> first;
    std::vector<int> second;
    const auto record = [](std::vector<int>& into) {
        return [&into](int, const Controls& c) {
            into.push_back(c.redUp | c.redDown << 1 | c.redLeft << 2 | c.redRight << 3 |
                           c.redFire << 4 | c.blueUp << 5 | c.blueDown << 6 | c.blueLeft << 7 |
                           c.blueRight << 8 | c.blueFire << 9);
        };
    };
    for (std::vector<int>* into : {&first, &second}) {
        Pilot red(RED, PilotLevel::NORMAL, 42);
        Pilot blue(BLUE, PilotLevel::HARD, 43);
        PlayHeadless(Flown(red), Flown(blue), HEADLESS_LIMIT_MS, record(*into));
    }
    EXPECT_EQ(first, second);
    ASSERT_GT(first.size(), 100u);

    // And another seed flies otherwise.
    std::vector<int> other;
    Pilot red(RED, PilotLevel::NORMAL, 44);
    Pilot blue(BLUE, PilotLevel::HARD, 43);
    PlayHeadless(Flown(red), Flown(blue), HEADLESS_LIMIT_MS, record(other));
    EXPECT_NE(first, other);
}

// The opponent's commands change from frame `from` on; for as long as the
// reaction time, the pilot's commands must not change with them, and in
// particular not in the very frame they change.
TEST(PilotMatch, ItNeverSeesTheOtherSidesCommandsOfTheMoment) {
    constexpr int FROM = 300;             // frames
    constexpr Uint32 HARD_REACTION = 150; // ms
    std::vector<int> calm;
    std::vector<int> swerving;
    for (std::vector<int>* into : {&calm, &swerving}) {
        const bool swerve = into == &swerving;
        int frame = 0;
        Pilot blue(BLUE, PilotLevel::HARD, 5);
        const Flyer red = [&frame, swerve](Uint32, const Player&, const Player&, Controls& controls,
                                           const ShipCommands& c) {
            controls.*c.fire = true;
            controls.*(swerve && frame >= FROM ? c.down : c.up) = frame % 40 < 20;
            ++frame;
        };
        PlayHeadless(red, Flown(blue), 6000, [into](int, const Controls& c) {
            into->push_back(c.blueUp | c.blueDown << 1 | c.blueLeft << 2 | c.blueRight << 3 |
                            c.blueFire << 4);
        });
    }
    const int unchanged = FROM + int(HARD_REACTION / HEADLESS_FRAME_MS);
    ASSERT_GT(int(calm.size()), unchanged);
    for (int i = 0; i < unchanged; ++i) {
        ASSERT_EQ(calm[i], swerving[i]) << "frame " << i;
    }
    EXPECT_NE(calm, swerving) << "the pilot never reacted to the swerve at all";
}

// One shot fired from RED's start at the pilot, which sits in its way with room
// above and below: the hard pilot lets it pass in most trials.
TEST(PilotMatch, TheHardPilotDodgesAShotAimedAtIt) {
    int dodged = 0;
    constexpr int TRIALS = 50;
    for (int trial = 0; trial < TRIALS; ++trial) {
        Pilot blue(BLUE, PilotLevel::HARD, 100u + std::uint32_t(trial));
        int frame = 0;
        int hitsTaken = 0;
        const Flyer red = [&frame](Uint32, const Player&, const Player&, Controls& controls,
                                   const ShipCommands& c) {
            controls.*c.fire = frame++ == 30; // once, after the pilot is awake
        };
        const Flyer watched = [&blue, &hitsTaken](Uint32 now, const Player& self,
                                                  const Player& opponent, Controls& controls,
                                                  const ShipCommands&) {
            hitsTaken = FULL_HEALTH - self.health;
            // It may fly but not fire back: only the dodge is judged.
            Controls own;
            blue.Fly(now, self, opponent, own);
            own.blueFire = false;
            controls.blueUp |= own.blueUp;
            controls.blueDown |= own.blueDown;
        };
        PlayHeadless(red, watched, 3000);
        dodged += hitsTaken == 0 ? 1 : 0;
    }
    EXPECT_GE(dodged, TRIALS * 8 / 10);
}

struct Scripted {
    const char* name;
    Flyer (*make)();
};

// Tricks that beat a fixed pattern: none may win a single match of 20 against
// the hard pilot, on either side.
TEST(PilotMatch, ScriptedOpponentsNeverBeatTheHardPilot) {
    const Scripted opponents[] = {{"still, holding fire", StillFiring},
                                  {"sweeping while firing", SweepingFiring},
                                  {"copying its height", CopyingHeight}};
    for (const Scripted& opponent : opponents) {
        for (std::uint32_t seed = 1; seed <= 20; ++seed) {
            Pilot pilot(seed % 2 ? BLUE : RED, PilotLevel::HARD, seed);
            const MatchResult result = seed % 2 ? PlayHeadless(opponent.make(), Flown(pilot))
                                                : PlayHeadless(Flown(pilot), opponent.make());
            EXPECT_EQ(result.Winner(), pilot.GetSide())
                << opponent.name << ", seed " << seed << ": " << result.redPoints << "-"
                << result.bluePoints << " in " << result.durationMs << " ms";
        }
    }
}

TEST(PilotMatch, AnIdlePlayerLosesNilThree) {
    for (PilotLevel level : {PilotLevel::EASY, PilotLevel::NORMAL, PilotLevel::HARD}) {
        Pilot pilot(BLUE, level, 9);
        const MatchResult result = PlayHeadless(Idle(), Flown(pilot));
        EXPECT_EQ(result.bluePoints, 3);
        EXPECT_EQ(result.redPoints, 0);
    }
}

} // namespace
