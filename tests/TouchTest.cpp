// SPDX-License-Identifier: MIT
// Touch: where a finger is held against each ship, and the commands that
// fly the ship there and keep its fire held.
#include "game/Touch.h"
#include "game/Screen.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace {

constexpr float SHIP_X = 600.0f;   // px: where the ship under test sits
constexpr float SHIP_Y = 250.0f;   // px
constexpr float JUST_OUT = 10.0f;  // px, beyond FINGER_REACHED
constexpr float FAR_AWAY = 200.0f; // px

// Where the finger is held, from the ship; and the steering and fire it gives.
struct FingerCase {
    const char* name;
    bool down;
    float dx; // px
    float dy; // px
    const char* raised;
};

void PrintTo(const FingerCase& c, std::ostream* os) { *os << c.name; }

std::string Commands(const Controls& c, const ShipCommands& ship) {
    std::string text;
    text += c.*ship.up ? "up " : "";
    text += c.*ship.down ? "down " : "";
    text += c.*ship.left ? "left " : "";
    text += c.*ship.right ? "right " : "";
    text += c.*ship.fire ? "fire" : "";
    return text;
}

class FingerSteering : public ::testing::TestWithParam<FingerCase> {};

// Each case for each ship, the other ship untouched.
TEST_P(FingerSteering, FliesTheShipInItsHalfToTheFinger) {
    const FingerCase& c = GetParam();
    for (bool redSide : {true, false}) {
        Player red;
        Player blue;
        Player& mine = redSide ? red : blue;
        mine.ship.SetX(redSide ? SHIP_X : SCREEN_WIDTH - SHIP_X);
        mine.ship.SetY(SHIP_Y);
        Fingers fingers;
        Finger& finger = redSide ? fingers.red : fingers.blue;
        finger.down = c.down;
        finger.x = mine.ship.GetX() + c.dx;
        finger.y = mine.ship.GetY() + c.dy;
        Controls controls;
        SteerToFingers(fingers, red, blue, controls);
        const std::string redCommands = Commands(controls, RED_COMMANDS);
        const std::string blueCommands = Commands(controls, BLUE_COMMANDS);
        EXPECT_EQ(redSide ? redCommands : blueCommands, c.raised) << (redSide ? "RED" : "BLUE");
        EXPECT_EQ(redSide ? blueCommands : redCommands, "") << (redSide ? "RED" : "BLUE");
        EXPECT_FALSE(controls.screenshot);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FingerSteering,
    ::testing::Values(FingerCase{"NoFinger", false, FAR_AWAY, FAR_AWAY, ""},
                      FingerCase{"OnTheShip", true, 0.0f, 0.0f, "fire"},
                      FingerCase{"WithinAFewPixels", true, FINGER_REACHED, -FINGER_REACHED, "fire"},
                      FingerCase{"JustAbove", true, 0.0f, -JUST_OUT, "up fire"},
                      FingerCase{"JustBelow", true, 0.0f, JUST_OUT, "down fire"},
                      FingerCase{"JustLeft", true, -JUST_OUT, 0.0f, "left fire"},
                      FingerCase{"JustRight", true, JUST_OUT, 0.0f, "right fire"},
                      FingerCase{"FarUpLeft", true, -FAR_AWAY, -FAR_AWAY, "up left fire"},
                      FingerCase{"FarDownRightLevelInY", true, FAR_AWAY, FINGER_REACHED / 2,
                                 "right fire"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TwoFingers, PlayBothShipsAtOnce) {
    Player red;
    Player blue;
    PlaceForDuel(red, blue);
    Fingers fingers;
    fingers.red = {true, red.ship.GetX(), red.ship.GetY() - FAR_AWAY};
    fingers.blue = {true, blue.ship.GetX() + FAR_AWAY, blue.ship.GetY()};
    Controls controls;
    SteerToFingers(fingers, red, blue, controls);
    EXPECT_TRUE(controls.redUp && controls.redFire && controls.blueRight && controls.blueFire);
    EXPECT_FALSE(controls.redDown || controls.redLeft || controls.redRight || controls.blueUp ||
                 controls.blueDown || controls.blueLeft);
}

// Against the computer, where a finger is held and what the lone player's ship
// does: the same for either ship.
struct LoneCase {
    const char* name;
    bool inOwnHalf;   // a finger straight above the ship
    bool inOtherHalf; // a finger over the computer's ship, below the player's
    const char* redRaised;
    const char* blueRaised;
};

void PrintTo(const LoneCase& c, std::ostream* os) { *os << c.name; }

class LoneShipSteering : public ::testing::TestWithParam<LoneCase> {};

TEST_P(LoneShipSteering, AnyFingerFliesThePlayersShipAndNeverTheComputers) {
    const LoneCase& c = GetParam();
    for (bool redSide : {true, false}) {
        Player red;
        Player blue;
        PlaceForDuel(red, blue);
        const Player& mine = redSide ? red : blue;
        const Player& computer = redSide ? blue : red;
        Fingers fingers;
        Finger& own = redSide ? fingers.red : fingers.blue;
        Finger& other = redSide ? fingers.blue : fingers.red;
        own = {c.inOwnHalf, mine.ship.GetX(), mine.ship.GetY() - FAR_AWAY};
        other = {c.inOtherHalf, computer.ship.GetX(), mine.ship.GetY() + FAR_AWAY};
        Controls controls;
        SteerOneShipToFingers(fingers, redSide ? RED : BLUE, mine, controls);
        const std::string redCommands = Commands(controls, RED_COMMANDS);
        const std::string blueCommands = Commands(controls, BLUE_COMMANDS);
        EXPECT_EQ(redSide ? redCommands : blueCommands, redSide ? c.redRaised : c.blueRaised)
            << (redSide ? "RED" : "BLUE");
        EXPECT_EQ(redSide ? blueCommands : redCommands, "") << "the computer's ship";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoneShipSteering,
    ::testing::Values(LoneCase{"NoFinger", false, false, "", ""},
                      LoneCase{"InItsOwnHalf", true, false, "up fire", "up fire"},
                      LoneCase{"InTheComputersHalf", false, true, "down left fire",
                               "down right fire"},
                      LoneCase{"InBothHalvesItsOwnFirst", true, true, "up fire", "up fire"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
