// SPDX-License-Identifier: MIT
#include "Gamepads.h"

#include <cstdlib>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// Where the player may name one more pad for SDL to open.
constexpr const char* DEVICE_VARIABLE = "SDL_JOYSTICK_DEVICE";
constexpr unsigned INPUT_MAJOR = 13; // Linux's device number of the input kind

constexpr int FIRE_BUTTONS = 4; // buttons 0 to 3 fire
constexpr int STICK_X_AXIS = 0; // the left stick on SDL's axis numbering
constexpr int STICK_Y_AXIS = 1;
constexpr Sint16 STICK_HALF = 16384; // half the stick's travel from the centre

// The ship each seat drives: seat 0 is RED, seat 1 BLUE.
const ShipCommands SEAT_COMMANDS[MAX_PADS] = {RED_COMMANDS, BLUE_COMMANDS};

} // namespace

bool Gamepads::IsInputDevice(const char* path) {
    // stat never opens the file, so a pipe with no writer cannot block here.
    struct stat info;
    return stat(path, &info) == 0 && S_ISCHR(info.st_mode) && major(info.st_rdev) == INPUT_MAJOR;
}

void Gamepads::Open() {
    // Classic SDL 1.2 reads /dev/zero as an endless stream of events, and both
    // SDLs wait for good to open a pipe no one writes to.
    const char* named = std::getenv(DEVICE_VARIABLE);
    if (named != nullptr && !IsInputDevice(named)) {
        unsetenv(DEVICE_VARIABLE);
    }
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
        return;
    }
    const int present = SDL_NumJoysticks();
    for (int device = 0; device < present; ++device) {
        // A pad SDL cannot open takes no seat; the game keeps the handle for
        // the whole run, and SDL_Quit closes it.
        if (SDL_JoystickOpen(device) != nullptr && !Attach(device)) {
            return;
        }
    }
}

bool Gamepads::Attach(int device) {
    for (PadState& seat : seats) {
        if (!seat.inUse) {
            seat = PadState();
            seat.inUse = true;
            seat.device = device;
            return true;
        }
    }
    return false;
}

PadState* Gamepads::Seated(int device) {
    for (PadState& seat : seats) {
        if (seat.inUse && seat.device == device) {
            return &seat;
        }
    }
    return nullptr;
}

bool Gamepads::Handle(const SDL_Event& event) {
    PadState* pad = nullptr;
    switch (event.type) {
    case SDL_JOYHATMOTION:
        pad = Seated(event.jhat.which);
        if (pad != nullptr && event.jhat.hat == 0) {
            pad->hat = event.jhat.value;
        }
        break;
    case SDL_JOYAXISMOTION:
        pad = Seated(event.jaxis.which);
        if (pad != nullptr && event.jaxis.axis == STICK_X_AXIS) {
            pad->stickX = event.jaxis.value;
        } else if (pad != nullptr && event.jaxis.axis == STICK_Y_AXIS) {
            pad->stickY = event.jaxis.value;
        }
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        pad = Seated(event.jbutton.which);
        if (pad != nullptr && event.jbutton.button < FIRE_BUTTONS) {
            const Uint8 bit = Uint8(1u << event.jbutton.button);
            pad->fireButtons = event.jbutton.state == SDL_PRESSED ? pad->fireButtons | bit
                                                                  : pad->fireButtons & ~bit;
        }
        break;
    default:
        break;
    }
    return pad != nullptr;
}

void Gamepads::Raise(Controls& controls) const {
    for (int seat = 0; seat < MAX_PADS; ++seat) {
        const PadState& pad = seats[seat];
        if (!pad.inUse) {
            continue;
        }
        const ShipCommands& to = SEAT_COMMANDS[seat];
        // Each command is raised only, so the keys' commands stay as they are.
        const bool held[] = {
            (pad.hat & SDL_HAT_UP) != 0 || pad.stickY < -STICK_HALF,
            (pad.hat & SDL_HAT_DOWN) != 0 || pad.stickY > STICK_HALF,
            (pad.hat & SDL_HAT_LEFT) != 0 || pad.stickX < -STICK_HALF,
            (pad.hat & SDL_HAT_RIGHT) != 0 || pad.stickX > STICK_HALF,
            pad.fireButtons != 0,
        };
        bool Controls::*const commands[] = {to.up, to.down, to.left, to.right, to.fire};
        for (int i = 0; i < int(sizeof held / sizeof held[0]); ++i) {
            if (held[i]) {
                controls.*commands[i] = true;
            }
        }
    }
}
