// SPDX-License-Identifier: MIT
// Controls: one frame's commands, raised by the keyboard poll, read by the
// match update and the frame draw, and lowered again at the end of the frame.
#pragma once

struct Controls {
    bool screenshot = false;
    bool redFire = false;
    bool redUp = false;
    bool redDown = false;
    bool redLeft = false;
    bool redRight = false;
    bool blueFire = false;
    bool blueUp = false;
    bool blueDown = false;
    bool blueLeft = false;
    bool blueRight = false;
    bool mute = false; // the sound switched off or on

    // Lowers every flag.
    void Clear() { *this = Controls(); }
};
