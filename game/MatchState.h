// SPDX-License-Identifier: MIT
// MatchState: the whole of an online match - both sides, the banner, the step
// count and the winner - advanced in fixed steps by the two ships' commands
// alone, so that two machines that play the same commands hold the same state
// bit for bit. Saving and loading it is a plain copy.
#pragma once

#include "Controls.h"
#include "Player.h"
#include "Scroller.h"

#include <SDL_types.h>

class StepEvents;

constexpr int STEPS_PER_SECOND = 60;
constexpr float STEP_SECONDS = 1.0f / float(STEPS_PER_SECOND); // s
constexpr Uint32 MS_PER_SECOND = 1000;
// The step clock at the first step: past the first pause between shots, as
// the loading picture is on one machine, so that both ships may fire at once.
constexpr Uint32 STEP_CLOCK_START = 1000; // ms

struct MatchState {
    Player red;
    Player blue;
    Scroller scroller;
    Uint32 step = 0; // steps played
    int winner = 0;  // RED or BLUE once a side has three points; nothing moves after
};

// Both ships at their start, the shots aimed, nothing played.
void StartMatchState(MatchState& state);

// Plays one step of STEP_SECONDS with commands (both ships' flags; the
// screenshot and mute flags are not the match's and are ignored). Its cues and
// explosions go to events. A won match stands still. Reads no clock and never
// exits.
void StepMatch(MatchState& state, const Controls& commands, StepEvents& events);

// The step clock's time at the state's step, in ms.
Uint32 StepTime(const MatchState& state);

// A 64-bit FNV-1a hash of every field of the state, each in a fixed byte order,
// so that machines of either byte order compare the same figure.
Uint64 Checksum(const MatchState& state);
