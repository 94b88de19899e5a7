// SPDX-License-Identifier: MIT
// Match: the rule book of the duel. Each update advances the match by the time
// since the previous one, and the first player to three points ends the program.
#pragma once

#include "Controls.h"
#include "FrameTimer.h"
#include "Player.h"
#include "Scroller.h"

#include <SDL_types.h>

class GFX;
class MatchClock;
class MatchEvents;

constexpr Uint32 END_PAUSE = 1000; // ms the last frame stays before the result

// Shots hit and fly, ships fire and steer, the banner scrolls. The first call
// only arms the timer. A winning hit draws the last frame, waits
// a second, prints "Red wins 3-1 ( 412 fps )" (the winner's score first) and
// exits with status 0.
void UpdateMatch(FrameTimer& timer, GFX& gfx, const Controls& controls, Player& red, Player& blue,
                 Scroller& scroller);

// The rules of one update, shared by the match on one machine and the fixed
// step of an online match: shots hit and fly, ships fire and steer, the banner
// scrolls, all by dt seconds. The pause between shots is read on clock; cues
// and explosions go to events. Returns RED or BLUE when a hit gave that side
// its third point (nothing after that hit is played), else 0. Never exits.
int PlayRules(Player& red, Player& blue, Scroller& scroller, const Controls& controls, float dt,
              const MatchClock& clock, MatchEvents& events);

// Writes the result line, "Red wins 3-1 ( 412 fps )", the winner's score first.
void ReportResult(const Player& red, const Player& blue, int winner, float fps);
