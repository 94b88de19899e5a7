// SPDX-License-Identifier: MIT
// The match update: arming, steering within the halves and the screen, firing
// into the pool, the hit rule, destruction and scoring, the frame-rate figure
// and the end of a match.
#include "game/Match.h"
#include "ChildProcess.h"
#include "FakeClock.h"
#include "game/Startup.h"
#include "gfx/GFX.h"

#include <SDL.h>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <string>
#include <unistd.h>

namespace {

constexpr Uint32 START = 100000; // ms: far from 0, which would arm the timer again

class Match : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeClock::Reset(START);
        PlaceForDuel(red, blue);
        UpdateMatch(timer, gfx, controls, red, blue, scroller); // arms the timer
    }

    // One update dtMs after the previous one.
    void Step(Uint32 dtMs) {
        FakeClock::Advance(dtMs);
        UpdateMatch(timer, gfx, controls, red, blue, scroller);
    }

    static void PlaceShot(Laser& laser, float x, float y) {
        laser.SetX(x);
        laser.SetY(y);
        laser.SetEnabled(true);
    }

    int InFlight(const Player& player) const {
        int n = 0;
        for (const Laser& laser : player.lasers) {
            n += laser.IsEnabled() ? 1 : 0;
        }
        return n;
    }

    FrameTimer timer;
    GFX gfx; // not initialised: draws nothing, but keeps the explosion state
    Controls controls;
    Player red;
    Player blue;
    Scroller scroller;
};

TEST_F(Match, FirstCallOnlyArmsTheTimer) {
    FrameTimer fresh;
    controls = {true, true, true, true, true, true, true, true, true, true, true};
    FakeClock::Advance(5000);
    UpdateMatch(fresh, gfx, controls, red, blue, scroller);
    EXPECT_EQ(fresh.lastTicks, FakeClock::Now());
    EXPECT_EQ(fresh.frames, 0);
    EXPECT_EQ(fresh.fps, 0.0f);
    EXPECT_EQ(red.ship.GetX(), 700.0f);
    EXPECT_EQ(blue.ship.GetY(), 300.0f);
    EXPECT_EQ(InFlight(red) + InFlight(blue), 0);
    EXPECT_EQ(scroller.GetOffset(), 800.0f);
}

TEST_F(Match, AStoredTickCountOfZeroMakesTheNextCallAFirstCallAgain) {
    FrameTimer fresh;
    FakeClock::Set(0);
    UpdateMatch(fresh, gfx, controls, red, blue, scroller);
    controls.blueRight = true;
    FakeClock::Set(20);
    UpdateMatch(fresh, gfx, controls, red, blue, scroller);
    EXPECT_EQ(blue.ship.GetX(), 100.0f);
    EXPECT_EQ(fresh.lastTicks, 20u);
}

TEST_F(Match, ElapsedTimeIsMeasuredFromTheFirstReadingOfThePreviousCall) {
    FakeClock::StepPerReading(3); // each call reads the clock twice
    controls.blueRight = true;
    Step(20); // 20 ms since the previous first reading, read second at +23
    EXPECT_FLOAT_EQ(blue.ship.GetX(), 100.0f + 0.023f * 500.0f);
}

TEST_F(Match, ElapsedTimeSurvivesTheTickCountWrapping) {
    FrameTimer wrapping;
    FakeClock::Set(0xFFFFFFF6u); // 10 ms before the wrap
    UpdateMatch(wrapping, gfx, controls, red, blue, scroller);
    controls.redUp = true;
    FakeClock::Set(10); // 20 ms later
    UpdateMatch(wrapping, gfx, controls, red, blue, scroller);
    EXPECT_FLOAT_EQ(red.ship.GetY(), 290.0f);
}

struct SteerCase {
    const char* name;
    bool Controls::*flag;
    bool Controls::*alsoHeld; // or nullptr
    float redX, redY, blueX, blueY;
    Uint32 dtMs;
    float wantRedX, wantRedY, wantBlueX, wantBlueY;
};

void PrintTo(const SteerCase& c, std::ostream* os) { *os << c.name; }

class Steering : public Match, public ::testing::WithParamInterface<SteerCase> {};

TEST_P(Steering, MovesAtFiveHundredPixelsPerSecondWithinTheHalvesAndTheScreen) {
    const SteerCase& c = GetParam();
    red.ship.SetX(c.redX);
    red.ship.SetY(c.redY);
    blue.ship.SetX(c.blueX);
    blue.ship.SetY(c.blueY);
    controls.*c.flag = true;
    if (c.alsoHeld != nullptr) {
        controls.*c.alsoHeld = true;
    }
    Step(c.dtMs);
    EXPECT_FLOAT_EQ(red.ship.GetX(), c.wantRedX);
    EXPECT_FLOAT_EQ(red.ship.GetY(), c.wantRedY);
    EXPECT_FLOAT_EQ(blue.ship.GetX(), c.wantBlueX);
    EXPECT_FLOAT_EQ(blue.ship.GetY(), c.wantBlueY);
}

using C = Controls;
INSTANTIATE_TEST_SUITE_P(
    Cases, Steering,
    ::testing::Values(
        // Each direction of each ship, 10 ms = 5 px; the other ship stays put.
        SteerCase{"RedUp", &C::redUp, nullptr, 700, 300, 100, 300, 10, 700, 295, 100, 300},
        SteerCase{"RedDown", &C::redDown, nullptr, 700, 300, 100, 300, 10, 700, 305, 100, 300},
        SteerCase{"RedLeft", &C::redLeft, nullptr, 700, 300, 100, 300, 10, 695, 300, 100, 300},
        SteerCase{"RedRight", &C::redRight, nullptr, 700, 300, 100, 300, 10, 705, 300, 100, 300},
        SteerCase{"BlueUp", &C::blueUp, nullptr, 700, 300, 100, 300, 10, 700, 300, 100, 295},
        SteerCase{"BlueDown", &C::blueDown, nullptr, 700, 300, 100, 300, 10, 700, 300, 100, 305},
        SteerCase{"BlueLeft", &C::blueLeft, nullptr, 700, 300, 100, 300, 10, 700, 300, 95, 300},
        SteerCase{"BlueRight", &C::blueRight, nullptr, 700, 300, 100, 300, 10, 700, 300, 105, 300},
        // The middle line: each ship stops on its own half's limit.
        SteerCase{"RedStopsAt450", &C::redLeft, nullptr, 460, 300, 100, 300, 40, 450, 300, 100,
                  300},
        SteerCase{"BlueStopsAt350", &C::blueRight, nullptr, 700, 300, 340, 300, 40, 700, 300, 350,
                  300},
        // The screen edges: a step past one is dropped whole, on both axes.
        SteerCase{"RedRightEdge", &C::redRight, nullptr, 795, 300, 100, 300, 20, 795, 300, 100,
                  300},
        SteerCase{"RedBottomEdge", &C::redDown, nullptr, 700, 598, 100, 300, 20, 700, 598, 100,
                  300},
        SteerCase{"RedTopEdge", &C::redUp, nullptr, 700, 4, 100, 300, 20, 700, 4, 100, 300},
        SteerCase{"BlueLeftEdge", &C::blueLeft, nullptr, 700, 300, 5, 300, 20, 700, 300, 5, 300},
        SteerCase{"BlueTopEdge", &C::blueUp, nullptr, 700, 300, 100, 6, 20, 700, 300, 100, 6},
        SteerCase{"BlueBottomEdge", &C::blueDown, nullptr, 700, 300, 100, 596, 20, 700, 300, 100,
                  596},
        SteerCase{"RedOntoTheEdgeExactly", &C::redRight, nullptr, 790, 300, 100, 300, 20, 800, 300,
                  100, 300},
        // Opposite keys cancel out, and at an edge only the refused half is lost.
        SteerCase{"RedUpAndDown", &C::redUp, &C::redDown, 700, 300, 100, 300, 10, 700, 300, 100,
                  300},
        SteerCase{"BlueLeftAndRight", &C::blueLeft, &C::blueRight, 700, 300, 100, 300, 10, 700, 300,
                  100, 300},
        SteerCase{"BlueUpAndDownAtTheTop", &C::blueUp, &C::blueDown, 700, 300, 100, 3, 10, 700, 300,
                  100, 8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Match, ALongFrameCanCarryAShipStraightPastTheMiddleLimitOntoIt) {
    controls.redLeft = true;
    Step(1000); // a 500 px step from 700 ends at 200, then the limit holds it at 450
    EXPECT_EQ(red.ship.GetX(), 450.0f);
}

TEST_F(Match, FiringUsesTheLowestFreeLaserOncePerCallForEachPlayer) {
    PlaceShot(red.lasers[0], 600.0f, 100.0f);
    controls.redFire = true;
    controls.blueFire = true;
    Step(10);
    EXPECT_TRUE(red.lasers[1].IsEnabled());
    EXPECT_FALSE(red.lasers[2].IsEnabled());
    EXPECT_TRUE(blue.lasers[0].IsEnabled());
    EXPECT_EQ(InFlight(blue), 1);
    // Fired this call: still on the ship, neither moved nor tested.
    EXPECT_EQ(red.lasers[1].GetX(), 700.0f);
    EXPECT_EQ(blue.lasers[0].GetX(), 100.0f);
    Step(10);
    EXPECT_EQ(red.lasers[1].GetX(), 695.0f);
    EXPECT_EQ(blue.lasers[0].GetX(), 105.0f);
    EXPECT_EQ(InFlight(red), 2) << "the pause holds the second shot back";
}

TEST_F(Match, HoldingFireShootsEveryFiveHundredMilliseconds) {
    controls.blueFire = true;
    int shotsAt[4] = {};
    int shots = 0;
    for (int ms = 10; ms <= 1600 && shots < 4; ms += 10) {
        const int before = InFlight(blue);
        Step(10);
        if (InFlight(blue) > before) {
            shotsAt[shots++] = ms;
        }
    }
    ASSERT_EQ(shots, 4);
    EXPECT_EQ(shotsAt[1] - shotsAt[0], 500);
    EXPECT_EQ(shotsAt[2] - shotsAt[1], 500);
    EXPECT_EQ(shotsAt[3] - shotsAt[2], 500);
}

TEST_F(Match, WithAllLasersInFlightNothingFiresAndThePauseIsNotRestarted) {
    for (Laser& laser : red.lasers) {
        PlaceShot(laser, 800.0f, 20.0f); // high above BLUE's ship
    }
    red.lasers[37].SetEnabled(false);
    red.lasers[64].SetEnabled(false);
    controls.redFire = true;
    Step(1);
    EXPECT_TRUE(red.lasers[37].IsEnabled()) << "the lowest free slot is reused first";
    EXPECT_FALSE(red.lasers[64].IsEnabled());
    Step(600);
    EXPECT_TRUE(red.lasers[64].IsEnabled());
    ASSERT_EQ(InFlight(red), 100);
    const Uint32 lastShot = red.ship.GetLastFire();
    Step(600);
    EXPECT_EQ(InFlight(red), 100);
    EXPECT_EQ(red.ship.GetLastFire(), lastShot);
}

TEST_F(Match, ShotsFlyAtFiveHundredPixelsPerSecondAndLeaveAtTheMargin) {
    PlaceShot(red.lasers[5], 10.0f, 20.0f);
    PlaceShot(blue.lasers[5], 790.0f, 20.0f);
    PlaceShot(red.lasers[6], 0.0f, 20.0f);
    PlaceShot(blue.lasers[6], 800.0f, 20.0f);
    Step(60); // 30 px
    EXPECT_EQ(red.lasers[5].GetX(), -20.0f);
    EXPECT_EQ(blue.lasers[5].GetX(), 820.0f);
    EXPECT_TRUE(red.lasers[5].IsEnabled());
    EXPECT_TRUE(blue.lasers[5].IsEnabled());
    EXPECT_FALSE(red.lasers[6].IsEnabled());
    EXPECT_FALSE(blue.lasers[6].IsEnabled());
}

// The hit rule's borders, each just inside and just outside, for both colours
// and both axes. The target sits at (sx, sy); the shot at (sx + dx, sy + dy).
struct HitCase {
    const char* name;
    int shooter;
    float dx, dy;
    bool hit;
};

void PrintTo(const HitCase& c, std::ostream* os) { *os << c.name; }

class HitRule : public Match, public ::testing::WithParamInterface<HitCase> {};

TEST_P(HitRule, IsStrictOnEverySide) {
    const HitCase& c = GetParam();
    Player& shooter = c.shooter == RED ? red : blue;
    Player& target = c.shooter == RED ? blue : red;
    target.ship.SetX(c.shooter == RED ? 200.0f : 600.0f);
    target.ship.SetY(250.0f);
    Laser& shot = shooter.lasers[3];
    PlaceShot(shot, target.ship.GetX() + c.dx, target.ship.GetY() + c.dy);
    Step(0); // a frame of no time: the shot is tested where it is and moves nowhere
    EXPECT_EQ(target.health, c.hit ? 4 : 5);
    EXPECT_EQ(shot.IsEnabled(), !c.hit);
    EXPECT_EQ(shooter.health, 5);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HitRule,
    ::testing::Values(
        // RED's shot tip is 20 px left of it; BLUE's box spans sx-75 .. sx+35.
        HitCase{"RedCentre", RED, 0, 0, true}, HitCase{"RedNoseInside", RED, 54, 0, true},
        HitCase{"RedNoseBorder", RED, 55, 0, false}, HitCase{"RedTailInside", RED, -54, 0, true},
        HitCase{"RedTailBorder", RED, -55, 0, false}, HitCase{"RedTopInside", RED, 0, -74, true},
        HitCase{"RedTopBorder", RED, 0, -75, false}, HitCase{"RedBottomInside", RED, 0, 74, true},
        HitCase{"RedBottomBorder", RED, 0, 75, false},
        // BLUE's shot tip is 20 px right of it; RED's box spans sx-35 .. sx+75.
        HitCase{"BlueCentre", BLUE, 0, 0, true}, HitCase{"BlueNoseInside", BLUE, -54, 0, true},
        HitCase{"BlueNoseBorder", BLUE, -55, 0, false},
        HitCase{"BlueTailInside", BLUE, 54, 0, true}, HitCase{"BlueTailBorder", BLUE, 55, 0, false},
        HitCase{"BlueTopInside", BLUE, 0, -74, true}, HitCase{"BlueTopBorder", BLUE, 0, -75, false},
        HitCase{"BlueBottomInside", BLUE, 0, 74, true},
        HitCase{"BlueBottomBorder", BLUE, 0, 75, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Match, TheTestUsesWhereTheShotRestedAndAHitShotIsNotMoved) {
    PlaceShot(red.lasers[0], 300.0f, 300.0f); // out of reach of BLUE's ship at 100
    Step(100);                                // tested at 300, then moved to 250
    EXPECT_EQ(blue.health, 5);
    EXPECT_EQ(red.lasers[0].GetX(), 250.0f);
    Step(200); // tested at 250: still outside; moved to 150
    EXPECT_EQ(blue.health, 5);
    Step(100); // tested at 150: a hit, and the shot stays where it hit
    EXPECT_EQ(blue.health, 4);
    EXPECT_FALSE(red.lasers[0].IsEnabled());
    EXPECT_EQ(red.lasers[0].GetX(), 150.0f);
}

TEST_F(Match, FiveHitsDestroyAShipWhichScoresForTheOpponent) {
    for (int hit = 1; hit <= 5; ++hit) {
        PlaceShot(blue.lasers[hit], 700.0f, 300.0f);
        Step(1);
        EXPECT_EQ(red.health, hit < 5 ? 5 - hit : 5) << "after hit " << hit;
    }
    EXPECT_EQ(blue.score, 1);
    EXPECT_EQ(red.score, 0);
    EXPECT_TRUE(gfx.IsBooming());
    EXPECT_EQ(gfx.GetBoomMask(), RED);
    EXPECT_EQ(gfx.GetRedBoomStart(), FakeClock::Now());
    EXPECT_EQ(red.ship.GetX(), 700.0f) << "a destroyed ship carries on where it was";
}

TEST_F(Match, TwoShipsDestroyedInOneCallBothExplode) {
    red.health = 1;
    blue.health = 1;
    PlaceShot(red.lasers[9], 100.0f, 300.0f);
    PlaceShot(blue.lasers[2], 700.0f, 300.0f);
    Step(1);
    EXPECT_EQ(gfx.GetBoomMask(), RED | BLUE);
    EXPECT_EQ(red.score, 1);
    EXPECT_EQ(blue.score, 1);
    EXPECT_EQ(red.health, 5);
    EXPECT_EQ(blue.health, 5);
}

TEST_F(Match, TheBannerScrollsAtFiftyPixelsPerSecond) {
    Step(100);
    EXPECT_FLOAT_EQ(scroller.GetOffset(), 795.0f);
}

TEST_F(Match, FrameRateIsTheMeanOfThePerFrameRates) {
    Step(10); // 100 fps
    Step(20); // 50 fps
    Step(40); // 25 fps
    EXPECT_EQ(timer.frames, 3);
    EXPECT_FLOAT_EQ(timer.fps, (100.0f + 50.0f + 25.0f) / 3.0f);
}

TEST_F(Match, AFrameOfNoTimeLeavesTheFrameRateFinite) {
    Step(10);
    Step(0);
    Step(0);
    EXPECT_EQ(timer.frames, 1);
    EXPECT_FLOAT_EQ(timer.fps, 100.0f);
    EXPECT_TRUE(std::isfinite(timer.fps));
}

TEST_F(Match, TheFrameCountStopsAtTheLargestInt) {
    timer.frames = std::numeric_limits<int>::max();
    timer.fps = 120.0f;
    Step(10);
    EXPECT_EQ(timer.frames, std::numeric_limits<int>::max());
    EXPECT_EQ(timer.fps, 120.0f);
}

// The end of a match, run in a child since it exits. The child also reports on
// standard error how long the game paused, which the game itself never writes to.
struct EndCase {
    const char* name;
    int redScore, blueScore;
    int winner;
    Uint32 frameMs;
    const char* line;
};

void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }

class MatchEnd : public Match, public ::testing::WithParamInterface<EndCase> {};

TEST_P(MatchEnd, PrintsTheWinnersScoreFirstAfterAOneSecondPauseAndExitsWithZero) {
    const EndCase& c = GetParam();
    const ChildResult r = RunInChild([&] {
        red.score = c.redScore;
        blue.score = c.blueScore;
        Player& loser = c.winner == RED ? blue : red;
        Player& winner = c.winner == RED ? red : blue;
        loser.health = 1;
        Step(c.frameMs);
        Step(c.frameMs);
        PlaceShot(winner.lasers[0], loser.ship.GetX(), loser.ship.GetY());
        FakeClock::Reset(FakeClock::Now()); // count only the end's pause
        std::atexit([] { std::fprintf(stderr, "paused %u", unsigned(FakeClock::TotalDelay())); });
        Step(c.frameMs);
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string(c.line) + "\n");
    EXPECT_EQ(r.err, "paused 1000");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatchEnd,
    ::testing::Values(EndCase{"RedWinsThreeNil", 2, 0, RED, 5, "Red wins 3-0 ( 200 fps )"},
                      EndCase{"RedWinsThreeTwo", 2, 2, RED, 10, "Red wins 3-2 ( 100 fps )"},
                      EndCase{"BlueWinsThreeOne", 1, 2, BLUE, 3, "Blue wins 3-1 ( 333 fps )"},
                      EndCase{"BlueWinsThreeNil", 0, 2, BLUE, 1000, "Blue wins 3-0 ( 1 fps )"}),
    [](const auto& info) { return std::string(info.param.name); });

// A result line that cannot be written: the match still ends with status 0,
// and SDL_Quit still runs from the exit handlers. The child starts up as the
// game does; an exit handler registered before SDL_Quit runs after it and
// reports on standard error whether SDL's video is down and what standard
// output was at the end.
struct OutputCase {
    const char* name;
    ChildOutput output;
    const char* stdoutAtExit; // the start of its target's name
};

void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }

void ReportShutdown() {
    std::fprintf(stderr, "video %s; stdout is %s",
                 SDL_WasInit(SDL_INIT_VIDEO) != 0 ? "still up" : "shut down",
                 DescriptorTarget(STDOUT_FILENO).c_str());
}

class MatchEndOutput : public Match, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(MatchEndOutput, AFailedResultLineStillEndsWithZeroAfterSdlQuit) {
    const OutputCase& c = GetParam();
    const ChildResult r = RunInChild(
        [&] {
            PrepareStartup();
            if (SDL_Init(SDL_INIT_VIDEO) != 0) {
                std::_Exit(CHILD_RETURNED);
            }
            std::atexit(ReportShutdown);
            std::atexit(SDL_Quit);
            red.score = 2;
            blue.health = 1;
            PlaceShot(red.lasers[0], blue.ship.GetX(), blue.ship.GetY());
            Step(10);
        },
        c.output);
    EXPECT_TRUE(r.exited) << "killed by signal " << r.status;
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind(std::string("video shut down; stdout is ") + c.stdoutAtExit, 0), 0u)
        << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatchEndOutput,
    ::testing::Values(OutputCase{"ReaderGone", ChildOutput::ClosedPipe, "pipe:["},
                      OutputCase{"DeviceFull", ChildOutput::FullDevice, "/dev/full"},
                      // Opened on /dev/null at start, so nothing else took it.
                      OutputCase{"ClosedAtStart", ChildOutput::Closed, "/dev/null"}),
    [](const auto& info) { return std::string(info.param.name); });

// At two points each, both ships one hit from destruction and shots on both:
// the hit applied first wins, and the other is never applied.
struct RaceCase {
    const char* name;
    int redIndex, blueIndex;
    const char* line;
};

void PrintTo(const RaceCase& c, std::ostream* os) { *os << c.name; }

class MatchRace : public Match, public ::testing::WithParamInterface<RaceCase> {};

TEST_P(MatchRace, TheFirstDecidingHitEndsTheMatchSoThereIsNoDraw) {
    const RaceCase& c = GetParam();
    const ChildResult r = RunInChild([&] {
        red.score = 2;
        blue.score = 2;
        red.health = 1;
        blue.health = 1;
        PlaceShot(red.lasers[c.redIndex], 100.0f, 300.0f);
        PlaceShot(blue.lasers[c.blueIndex], 700.0f, 300.0f);
        Step(10);
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string(c.line) + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatchRace,
    ::testing::Values(RaceCase{"SameIndexRedFirst", 4, 4, "Red wins 3-2 ( 0 fps )"},
                      RaceCase{"LowerBlueIndexFirst", 5, 4, "Blue wins 3-2 ( 0 fps )"},
                      RaceCase{"LowerRedIndexFirst", 0, 99, "Red wins 3-2 ( 0 fps )"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
