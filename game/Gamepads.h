// SPDX-License-Identifier: MIT
// Gamepads: up to two pads beside the keyboard, one per ship - the first to
// open plays RED, the second BLUE - and the commands of what they hold.
#pragma once

#include "Controls.h"
#include "PadState.h"

#include <SDL.h>

constexpr int MAX_PADS = 2; // one per ship

class Gamepads {
  public:
    // Starts SDL's joystick part and opens the pads present now, in SDL's
    // order, until both seats are taken. SDL 1.2 hears of no pad plugged in
    // later. Without a joystick part the keyboard plays alone. A device the
    // player names in SDL_JOYSTICK_DEVICE that is not an input device is left
    // out first, so that SDL never reads or blocks on it.
    void Open();

    // True when path is one of Linux's input devices (a character device of
    // the input kind, as /dev/input/js0 and /dev/input/event3): not a pipe,
    // a file, a folder or another kind of device such as /dev/zero.
    static bool IsInputDevice(const char* path);

    // Seats the pad with SDL's index device in the next free seat (RED's
    // first); false when both are taken.
    bool Attach(int device);

    // Takes one joystick event of a seated pad (the d-pad as a hat, the left
    // stick as axes 0 and 1, the fire buttons 0 to 3); false for any other
    // event, which is left to the keyboard.
    bool Handle(const SDL_Event& event);

    // Raises (never lowers) each seat's ship commands: steering from the
    // d-pad or the stick past half its travel, fire from any fire button.
    void Raise(Controls& controls) const;

    const PadState& GetSeat(int seat) const { return seats[seat]; }

  private:
    PadState* Seated(int device);

    PadState seats[MAX_PADS];
};
