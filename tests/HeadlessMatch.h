// SPDX-License-Identifier: MIT
// HeadlessMatch: a whole duel on the fake clock with no window, each side
// flown by a function, for the pilot's tests and benchmarks.
#pragma once

#include "game/Controls.h"
#include "game/Player.h"

#include <SDL_types.h>
#include <functional>

// Raises one side's commands for the frame at now (ms).
using Flyer = std::function<void(Uint32 now, const Player& self, const Player& opponent,
                                 Controls& controls, const ShipCommands& commands)>;

struct MatchResult {
    int redPoints = 0;
    int bluePoints = 0;
    Uint32 durationMs = 0;
    int frames = 0;
    bool finished = false; // someone reached three points before the time ran out
    int Winner() const { return !finished ? 0 : (redPoints > bluePoints ? RED : BLUE); }
};

constexpr Uint32 HEADLESS_FRAME_MS = 10;     // a steady 100 frames per second
constexpr Uint32 HEADLESS_LIMIT_MS = 600000; // ten minutes of match time

// Plays until a side has three points or limitMs have passed. A side's points
// are taken off the board as they come, so that the match never ends the
// process; everything else is the match's own rules. observe, when given,
// sees each frame's commands before the update.
MatchResult PlayHeadless(const Flyer& red, const Flyer& blue, Uint32 limitMs = HEADLESS_LIMIT_MS,
                         const std::function<void(int frame, const Controls&)>& observe = {});

// Players that follow a script, each made fresh for one match: one that sits
// still holding fire, one that sweeps up and down while firing, one that
// copies its opponent's height while firing, and one that does nothing.
Flyer StillFiring();
Flyer SweepingFiring();
Flyer CopyingHeight();
Flyer Idle();

// A Flyer for a pilot object kept by the caller.
template <class P> Flyer Flown(P& pilot) {
    return [&pilot](Uint32 now, const Player& self, const Player& opponent, Controls& controls,
                    const ShipCommands&) { pilot.Fly(now, self, opponent, controls); };
}
