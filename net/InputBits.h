// SPDX-License-Identifier: MIT
// InputBits: one ship's commands for one frame in a byte, as an online match
// sends them and keeps them for replaying.
#pragma once

#include "../game/Controls.h"

#include <SDL_types.h>

using InputBits = Uint8;

constexpr InputBits INPUT_UP = 1;
constexpr InputBits INPUT_DOWN = 2;
constexpr InputBits INPUT_LEFT = 4;
constexpr InputBits INPUT_RIGHT = 8;
constexpr InputBits INPUT_FIRE = 16;
constexpr InputBits INPUT_ALL = 31; // any other bit marks a damaged input

// The ship's flags of controls, packed.
inline InputBits PackCommands(const Controls& controls, const ShipCommands& ship) {
    return InputBits((controls.*ship.up ? INPUT_UP : 0) | (controls.*ship.down ? INPUT_DOWN : 0) |
                     (controls.*ship.left ? INPUT_LEFT : 0) |
                     (controls.*ship.right ? INPUT_RIGHT : 0) |
                     (controls.*ship.fire ? INPUT_FIRE : 0));
}

// Raises the ship's flags in controls that input holds; lowers none.
inline void RaiseCommands(InputBits input, Controls& controls, const ShipCommands& ship) {
    controls.*ship.up = controls.*ship.up || (input & INPUT_UP) != 0;
    controls.*ship.down = controls.*ship.down || (input & INPUT_DOWN) != 0;
    controls.*ship.left = controls.*ship.left || (input & INPUT_LEFT) != 0;
    controls.*ship.right = controls.*ship.right || (input & INPUT_RIGHT) != 0;
    controls.*ship.fire = controls.*ship.fire || (input & INPUT_FIRE) != 0;
}
