// SPDX-License-Identifier: MIT
// Match: the rule book of the duel. Each update advances the match by the time
// since the previous one, and the first player to three points ends the program.
#pragma once

#include "Controls.h"
#include "FrameTimer.h"
#include "Player.h"
#include "Scroller.h"

class GFX;

// Shots hit and fly, ships fire and steer, the banner scrolls. The first call
// only arms the timer. A winning hit draws the last frame, waits
// a second, prints "Red wins 3-1 ( 412 fps )" (the winner's score first) and
// exits with status 0.
void UpdateMatch(FrameTimer& timer, GFX& gfx, const Controls& controls, Player& red, Player& blue,
                 Scroller& scroller);
