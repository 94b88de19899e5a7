// SPDX-License-Identifier: MIT
#include "Scroller.h"

void Scroller::Scroll(float d) {
    const float r = offset - d;
    offset = r < BANNER_END ? BANNER_START - (BANNER_END - r) : r;
}
