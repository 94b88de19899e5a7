// SPDX-License-Identifier: MIT
// WorstFrame: the busiest scene a frame can show - every shot of both players
// in flight over the whole screen - shared by the desktop and the browser
// benchmarks so that both measure the same frame.
#pragma once

#include "game/Laser.h"
#include "game/Player.h"

constexpr float BANNER_ON_SCREEN = 800.0f; // px of scrolling that bring the banner to offset 0

// A grid of 10 by 10 shots per player, BLUE's half a cell off RED's.
constexpr int SHOT_COLUMNS = 10;
constexpr float SHOT_FIRST_X = 40.0f; // px
constexpr float SHOT_STEP_X = 80.0f;  // px
constexpr float SHOT_FIRST_Y = 37.0f; // px
constexpr float SHOT_STEP_Y = 58.0f;  // px
constexpr float BLUE_SHIFT_X = 40.0f; // px
constexpr float BLUE_SHIFT_Y = 29.0f; // px

inline void PutInFlight(Laser& laser, float x, float y) {
    laser.SetX(x);
    laser.SetY(y);
    laser.SetEnabled(true);
}

inline void FillScreenWithShots(Player& red, Player& blue) {
    for (int i = 0; i < MAX_LASERS; ++i) {
        const float x = SHOT_FIRST_X + SHOT_STEP_X * float(i % SHOT_COLUMNS);
        const float y = SHOT_FIRST_Y + SHOT_STEP_Y * float(i / SHOT_COLUMNS);
        PutInFlight(red.lasers[i], x, y);
        PutInFlight(blue.lasers[i], x + BLUE_SHIFT_X, y + BLUE_SHIFT_Y);
    }
}
