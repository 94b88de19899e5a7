// SPDX-License-Identifier: MIT
#include "Touch.h"

namespace {

void Steer(const Finger& finger, const Ship& ship, const ShipCommands& commands,
           Controls& controls) {
    if (!finger.down) {
        return;
    }
    const float dx = finger.x - ship.GetX();
    const float dy = finger.y - ship.GetY();
    controls.*commands.fire = true;
    if (dx > FINGER_REACHED) {
        controls.*commands.right = true;
    } else if (dx < -FINGER_REACHED) {
        controls.*commands.left = true;
    }
    if (dy > FINGER_REACHED) {
        controls.*commands.down = true;
    } else if (dy < -FINGER_REACHED) {
        controls.*commands.up = true;
    }
}

} // namespace

void SteerToFingers(const Fingers& fingers, const Player& red, const Player& blue,
                    Controls& controls) {
    Steer(fingers.red, red.ship, RED_COMMANDS, controls);
    Steer(fingers.blue, blue.ship, BLUE_COMMANDS, controls);
}

void SteerOneShipToFingers(const Fingers& fingers, int side, const Player& player,
                           Controls& controls) {
    const bool red = side == RED;
    const Finger& own = red ? fingers.red : fingers.blue;
    const Finger& other = red ? fingers.blue : fingers.red;
    Steer(own.down ? own : other, player.ship, red ? RED_COMMANDS : BLUE_COMMANDS, controls);
}
