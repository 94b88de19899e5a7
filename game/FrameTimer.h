// SPDX-License-Identifier: MIT
// FrameTimer: the match's clock and its running frame-rate figure, which only
// the result line shows.
#pragma once

#include <SDL_types.h>

struct FrameTimer {
    Uint32 lastTicks = 0; // SDL ticks at the previous update; 0 until the first one
    float fps = 0.0f;     // mean of the per-frame rates 1/dt of all measured frames
    int frames = 0;       // measured frames
};
