// SPDX-License-Identifier: MIT
// OnlineGame: a match between two machines - each flies its own ship, the
// rollback session keeps both games the same, and ENet carries the frames.
#pragma once

#include "Options.h"

class GFX;
class SFX;
class Gamepads;
struct KeyState;
struct Controls;

// Connects as options say, plays the match to its end and exits: status 0
// after the result line, 1 after an "ERROR: Net: ..." line.
[[noreturn]] void PlayOnline(const Options& options, GFX& gfx, SFX& sfx, KeyState& keys,
                             Gamepads& pads, Controls& controls);
