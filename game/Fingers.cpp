// SPDX-License-Identifier: MIT
// The desktop game's fingers: SDL 1.2 knows no touch screen, so none is held.
#include "Fingers.h"

void ReadFingers(Fingers& fingers) { fingers = Fingers(); }
