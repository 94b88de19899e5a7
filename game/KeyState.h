// SPDX-License-Identifier: MIT
// KeyState: which of the game keys are held down right now. It lives across
// frames; the keyboard poll keeps it up to date from key-down and key-up events.
#pragma once

struct KeyState {
    bool keyP = false; // only from its key-down to the end of that poll
    bool keyT = false;
    bool keyG = false;
    bool keyF = false;
    bool keyH = false;
    bool keyS = false;
    bool keyUp = false;
    bool keyDown = false;
    bool keyLeft = false;
    bool keyRight = false;
    bool keyReturn = false;
    bool keyM = false; // as keyP
};
