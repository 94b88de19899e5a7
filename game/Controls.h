// SPDX-License-Identifier: MIT
// Controls: one frame's commands, raised by the keyboard poll, read by the
// match update and the frame draw, and lowered again at the end of the frame.
#pragma once

struct Controls {
    bool screenshot = false;
    bool redFire = false;
    bool redUp = false;
    bool redDown = false;
    bool redLeft = false;
    bool redRight = false;
    bool blueFire = false;
    bool blueUp = false;
    bool blueDown = false;
    bool blueLeft = false;
    bool blueRight = false;
    bool mute = false; // the sound switched off or on

    // Lowers every flag.
    void Clear() { *this = Controls(); }
};

// One ship's steering and fire commands, for the inputs that drive a whole
// ship at a time (a gamepad, a finger).
struct ShipCommands {
    bool Controls::*up;
    bool Controls::*down;
    bool Controls::*left;
    bool Controls::*right;
    bool Controls::*fire;
};

inline constexpr ShipCommands RED_COMMANDS = {&Controls::redUp, &Controls::redDown,
                                              &Controls::redLeft, &Controls::redRight,
                                              &Controls::redFire};
inline constexpr ShipCommands BLUE_COMMANDS = {&Controls::blueUp, &Controls::blueDown,
                                               &Controls::blueLeft, &Controls::blueRight,
                                               &Controls::blueFire};
