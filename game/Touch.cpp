// SPDX-License-Identifier: MIT
#include "Touch.h"

namespace {

// The finger that drives one ship.
struct TouchSide {
    const Finger Fingers::*finger;
    const ShipCommands& commands;
};

const TouchSide RED_TOUCH = {&Fingers::red, RED_COMMANDS};
const TouchSide BLUE_TOUCH = {&Fingers::blue, BLUE_COMMANDS};

void Steer(const TouchSide& side, const Fingers& fingers, const Ship& ship, Controls& controls) {
    const Finger& finger = fingers.*side.finger;
    if (!finger.down) {
        return;
    }
    const float dx = finger.x - ship.GetX();
    const float dy = finger.y - ship.GetY();
    controls.*side.commands.fire = true;
    if (dx > FINGER_REACHED) {
        controls.*side.commands.right = true;
    } else if (dx < -FINGER_REACHED) {
        controls.*side.commands.left = true;
    }
    if (dy > FINGER_REACHED) {
        controls.*side.commands.down = true;
    } else if (dy < -FINGER_REACHED) {
        controls.*side.commands.up = true;
    }
}

} // namespace

void SteerToFingers(const Fingers& fingers, const Player& red, const Player& blue,
                    Controls& controls) {
    Steer(RED_TOUCH, fingers, red.ship, controls);
    Steer(BLUE_TOUCH, fingers, blue.ship, controls);
}
