// SPDX-License-Identifier: MIT
// Cue: the one point where the match tells the sound what happened, as
// GFX::DrawBoom is where it tells the display.
#pragma once

#include "Sounds.h"

class SFX;

// The sound the match's cues go to from now on; nullptr (the start) sends
// them nowhere, as in the rule tests.
void SendCuesTo(SFX* sfx);

// Plays sound placed at x, the screen's x of where it happens.
void Cue(Sound sound, float x);
