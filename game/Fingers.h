// SPDX-License-Identifier: MIT
// Fingers: the finger held on a touch screen in each ship's half of the
// picture, if any, where the platform under the game reports one.
#pragma once

struct Finger {
    bool down = false;
    float x = 0.0f; // px on the game's screen
    float y = 0.0f; // px on the game's screen
};

struct Fingers {
    Finger red;  // in the right half
    Finger blue; // in the left half
};

// Fills fingers with the touches held right now. The desktop game has no
// touch screen and reports none (game/Fingers.cpp); the browser's platform
// layer reads the page's touches (web/Platform.cpp).
void ReadFingers(Fingers& fingers);
