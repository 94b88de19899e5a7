// Screen: the size of the playfield. Ships, shots and every picture placement
// are measured in these pixels, x to the right and y downwards.
#pragma once

constexpr int SCREEN_WIDTH = 800;  // px
constexpr int SCREEN_HEIGHT = 600; // px
