// SPDX-License-Identifier: MIT
// Ship, Laser and Player: the range-testing setters, the pause between shots
// and the flight limits of a shot.
#include "FakeClock.h"
#include "game/Player.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <string>

namespace {

constexpr float INF = std::numeric_limits<float>::infinity();
constexpr float OLD = 123.0f; // a value every setter accepts, to see a refusal keep it

float Below(float v) { return std::nextafter(v, -INF); }
float Above(float v) { return std::nextafter(v, INF); }

// One position setter of Ship or Laser, on either axis, behind one interface.
struct Axis {
    const char* name;
    float (*set)(float start, float v); // sets start, then v; returns what is stored
    float upper;
};

void PrintTo(const Axis& c, std::ostream* os) { *os << c.name; }

template <typename T> float SetXThen(float start, float v) {
    T object;
    object.SetX(start);
    object.SetX(v);
    return object.GetX();
}
template <typename T> float SetYThen(float start, float v) {
    T object;
    object.SetY(start);
    object.SetY(v);
    return object.GetY();
}

const Axis AXES[] = {{"ShipX", SetXThen<Ship>, 800.0f},
                     {"ShipY", SetYThen<Ship>, 600.0f},
                     {"LaserX", SetXThen<Laser>, 800.0f},
                     {"LaserY", SetYThen<Laser>, 600.0f}};

class PositionSetter : public ::testing::TestWithParam<Axis> {};

TEST_P(PositionSetter, AcceptsZeroToTheScreenEdgeAndRefusesAnythingBeyond) {
    const Axis& axis = GetParam();
    for (float v : {0.0f, 1.5f, Below(axis.upper), axis.upper}) {
        EXPECT_EQ(axis.set(OLD, v), v) << v;
    }
    for (float v : {Below(0.0f), -1.0f, Above(axis.upper), axis.upper + 1.0f, 1e9f, -INF, INF}) {
        EXPECT_EQ(axis.set(OLD, v), OLD) << v << " must be refused, not clamped";
    }
}

INSTANTIATE_TEST_SUITE_P(Axes, PositionSetter, ::testing::ValuesIn(AXES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Ship, StartsAtTheOriginWithNoShotFired) {
    const Ship ship;
    EXPECT_EQ(ship.GetX(), 0.0f);
    EXPECT_EQ(ship.GetY(), 0.0f);
    EXPECT_EQ(ship.GetLastFire(), 0u);
}

// After a shot whose pause starts at `fired`, CanFire at `now`.
struct PauseCase {
    const char* name;
    Uint32 fired;
    Uint32 now;
    bool canFire;
};

void PrintTo(const PauseCase& c, std::ostream* os) { *os << c.name; }

class FirePause : public ::testing::TestWithParam<PauseCase> {};

TEST_P(FirePause, HoldsForFiveHundredMilliseconds) {
    const PauseCase& c = GetParam();
    Ship ship;
    Laser laser;
    FakeClock::Reset(c.fired);
    if (c.fired >= FIRE_PAUSE) {
        ship.Fire(laser);
        ASSERT_EQ(ship.GetLastFire(), c.fired);
    }
    FakeClock::Set(c.now);
    EXPECT_EQ(ship.CanFire(), c.canFire);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FirePause,
    ::testing::Values(PauseCase{"NewShipAtStart", 0, 0, false},
                      PauseCase{"NewShipAt499", 0, 499, false},
                      PauseCase{"NewShipAt500", 0, 500, true},
                      PauseCase{"At499AfterShot", 10000, 10499, false},
                      PauseCase{"At500AfterShot", 10000, 10500, true},
                      PauseCase{"LongAfterShot", 10000, 90000, true},
                      PauseCase{"JustAfterShotBeforeWrap", 0xFFFFFF00u, 0xFFFFFF10u, false},
                      PauseCase{"At499AcrossWrap", 0xFFFFFF00u, 499u - 0x100u, false},
                      PauseCase{"At500AcrossWrap", 0xFFFFFF00u, 500u - 0x100u, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Ship, FirePlacesTheLaserOnTheShipAndStoresTheSecondReading) {
    FakeClock::Reset(1000);
    FakeClock::StepPerReading(7);
    Ship ship;
    ship.SetX(640.5f);
    ship.SetY(17.25f);
    Laser laser;
    laser.SetDirection(LEFT);
    ship.Fire(laser);
    EXPECT_TRUE(laser.IsEnabled());
    EXPECT_EQ(laser.GetX(), 640.5f);
    EXPECT_EQ(laser.GetY(), 17.25f);
    EXPECT_EQ(laser.GetDirection(), LEFT) << "firing never re-aims a laser";
    EXPECT_EQ(ship.GetLastFire(), 1007u);
    FakeClock::Reset();
}

TEST(Ship, FireDuringThePauseLeavesLaserAndShipAlone) {
    FakeClock::Reset(2000);
    Ship ship;
    ship.SetX(500.0f);
    Laser first;
    ship.Fire(first);
    Laser laser;
    laser.SetX(3.0f);
    laser.SetY(4.0f);
    FakeClock::Set(2499);
    ship.Fire(laser);
    EXPECT_FALSE(laser.IsEnabled());
    EXPECT_EQ(laser.GetX(), 3.0f);
    EXPECT_EQ(laser.GetY(), 4.0f);
    EXPECT_EQ(laser.GetDirection(), RIGHT);
    EXPECT_EQ(ship.GetLastFire(), 2000u);
}

TEST(Laser, StartsAimedRightAtTheOriginOutOfFlight) {
    const Laser laser;
    EXPECT_EQ(laser.GetDirection(), RIGHT);
    EXPECT_EQ(laser.GetX(), 0.0f);
    EXPECT_EQ(laser.GetY(), 0.0f);
    EXPECT_FALSE(laser.IsEnabled());
}

struct DirectionCase {
    const char* name;
    bool inFlight;
    int requested;
    int kept; // direction afterwards, starting from LEFT
};

void PrintTo(const DirectionCase& c, std::ostream* os) { *os << c.name; }

class LaserDirection : public ::testing::TestWithParam<DirectionCase> {};

TEST_P(LaserDirection, ChangesOnlyToLeftOrRightAndOnlyOutOfFlight) {
    const DirectionCase& c = GetParam();
    Laser laser;
    laser.SetDirection(LEFT);
    laser.SetEnabled(c.inFlight);
    laser.SetDirection(c.requested);
    EXPECT_EQ(laser.GetDirection(), c.kept);
}

INSTANTIATE_TEST_SUITE_P(Cases, LaserDirection,
                         ::testing::Values(DirectionCase{"Right", false, RIGHT, RIGHT},
                                           DirectionCase{"Left", false, LEFT, LEFT},
                                           DirectionCase{"Zero", false, 0, LEFT},
                                           DirectionCase{"Three", false, 3, LEFT},
                                           DirectionCase{"Negative", false, -1, LEFT},
                                           DirectionCase{"RightInFlight", true, RIGHT, LEFT},
                                           DirectionCase{"ZeroInFlight", true, 0, LEFT}),
                         [](const auto& info) { return std::string(info.param.name); });

struct MoveCase {
    const char* name;
    int direction;
    float start;
    float distance;
    float end;
    bool inFlight;
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.name; }

class LaserMove : public ::testing::TestWithParam<MoveCase> {};

TEST_P(LaserMove, FliesAlongItsDirectionAndLeavesFlightPastTheMargin) {
    const MoveCase& c = GetParam();
    Laser laser;
    laser.SetDirection(c.direction);
    laser.SetX(c.start);
    laser.SetY(250.0f);
    laser.SetEnabled(true);
    laser.Move(c.distance);
    EXPECT_EQ(laser.GetX(), c.end);
    EXPECT_EQ(laser.IsEnabled(), c.inFlight);
    EXPECT_EQ(laser.GetY(), 250.0f);
    EXPECT_EQ(laser.GetDirection(), c.direction);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LaserMove,
    ::testing::Values(MoveCase{"RightStep", RIGHT, 100.0f, 10.0f, 110.0f, true},
                      MoveCase{"LeftStep", LEFT, 100.0f, 10.0f, 90.0f, true},
                      MoveCase{"RightToExactly825", RIGHT, 800.0f, 25.0f, 825.0f, true},
                      MoveCase{"RightPast825", RIGHT, 800.0f, 25.5f, 825.5f, false},
                      MoveCase{"LeftToExactlyMinus25", LEFT, 0.0f, 25.0f, -25.0f, true},
                      MoveCase{"LeftPastMinus25", LEFT, 0.0f, 25.5f, -25.5f, false},
                      MoveCase{"ZeroDistance", LEFT, 5.0f, 0.0f, 5.0f, true},
                      MoveCase{"HugeLeapRight", RIGHT, 0.0f, 5000.0f, 5000.0f, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Laser, KeepsFlyingFromBeyondTheScreenUntilTheMargin) {
    Laser laser;
    laser.SetX(790.0f);
    laser.SetEnabled(true);
    laser.Move(20.0f); // 810: past the screen, still in flight
    laser.Move(10.0f); // 820
    EXPECT_TRUE(laser.IsEnabled());
    EXPECT_EQ(laser.GetX(), 820.0f);
    laser.Move(10.0f);
    EXPECT_FALSE(laser.IsEnabled());
    EXPECT_EQ(laser.GetX(), 830.0f);
}

TEST(Player, StartsWithNoScoreFullHealthAndAllLasersFree) {
    const Player player;
    EXPECT_EQ(player.score, 0);
    EXPECT_EQ(player.health, 5);
    EXPECT_EQ(player.ship.GetX(), 0.0f);
    EXPECT_EQ(player.ship.GetY(), 0.0f);
    EXPECT_EQ(player.ship.GetLastFire(), 0u);
    for (const Laser& laser : player.lasers) {
        EXPECT_FALSE(laser.IsEnabled());
        EXPECT_EQ(laser.GetDirection(), RIGHT);
    }
    EXPECT_EQ(sizeof player.lasers / sizeof player.lasers[0], 100u);
}

} // namespace
