// SPDX-License-Identifier: MIT
// Scroller: where the text banner along the bottom edge is. It slides from
// right to left and starts again from the right once it has left the screen.
#pragma once

#include "Screen.h"

// The banner is as wide as the screen: 800 puts it just off the right edge,
// -800 just off the left one.
constexpr float BANNER_START = float(SCREEN_WIDTH); // px
constexpr float BANNER_END = -BANNER_START;         // px

class Scroller {
  public:
    Scroller() = default;

    float GetOffset() const { return offset; }

    // Moves the banner d px to the left, carrying any overshoot past the left
    // end into the next pass from the right (at most one wrap per call).
    void Scroll(float d);

  private:
    float offset = BANNER_START; // screen x of the banner's left edge, px
};
