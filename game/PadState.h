// SPDX-License-Identifier: MIT
// PadState: what one gamepad holds right now - its d-pad, its left stick and
// its fire buttons - kept up to date from SDL's joystick events.
#pragma once

#include <SDL.h>

struct PadState {
    bool inUse = false;           // a pad sits in this seat
    int device = 0;               // SDL's index of the pad
    Uint8 hat = SDL_HAT_CENTERED; // the d-pad: SDL_HAT_UP, ... bits
    Sint16 stickX = 0;            // left stick, SDL's -32768 (left) to 32767 (right)
    Sint16 stickY = 0;            // left stick, SDL's -32768 (up) to 32767 (down)
    Uint8 fireButtons = 0;        // one bit per fire button held
};
