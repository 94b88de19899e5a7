// SPDX-License-Identifier: MIT
// Screen: the size of the playfield. Ships, shots and every picture placement
// are measured in these pixels, x to the right and y downwards.
#pragma once

constexpr int SCREEN_WIDTH = 800;  // px
constexpr int SCREEN_HEIGHT = 600; // px

// Positions of ships and shots are accepted from 0 up to the screen's extent
// on that axis, both included.
inline bool OutsideScreen(float v, int extent) { return v < 0.0f || v > float(extent); }
