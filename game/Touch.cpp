// SPDX-License-Identifier: MIT
#include "Touch.h"

namespace {

// The commands of one ship, and the finger that drives them.
struct TouchSide {
    const Finger Fingers::*finger;
    bool Controls::*up;
    bool Controls::*down;
    bool Controls::*left;
    bool Controls::*right;
    bool Controls::*fire;
};

const TouchSide RED_TOUCH = {&Fingers::red,      &Controls::redUp,    &Controls::redDown,
                             &Controls::redLeft, &Controls::redRight, &Controls::redFire};
const TouchSide BLUE_TOUCH = {&Fingers::blue,      &Controls::blueUp,    &Controls::blueDown,
                              &Controls::blueLeft, &Controls::blueRight, &Controls::blueFire};

void Steer(const TouchSide& side, const Fingers& fingers, const Ship& ship, Controls& controls) {
    const Finger& finger = fingers.*side.finger;
    if (!finger.down) {
        return;
    }
    const float dx = finger.x - ship.GetX();
    const float dy = finger.y - ship.GetY();
    controls.*side.fire = true;
    if (dx > FINGER_REACHED) {
        controls.*side.right = true;
    } else if (dx < -FINGER_REACHED) {
        controls.*side.left = true;
    }
    if (dy > FINGER_REACHED) {
        controls.*side.down = true;
    } else if (dy < -FINGER_REACHED) {
        controls.*side.up = true;
    }
}

} // namespace

void SteerToFingers(const Fingers& fingers, const Player& red, const Player& blue,
                    Controls& controls) {
    Steer(RED_TOUCH, fingers, red.ship, controls);
    Steer(BLUE_TOUCH, fingers, blue.ship, controls);
}
