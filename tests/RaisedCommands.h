// SPDX-License-Identifier: MIT
// The commands a poll raised, by name, so that a failing test shows what
// differs: the keyboard's and the gamepads' tests compare these.
#pragma once

#include "game/Controls.h"

#include <string>

inline std::string Raised(const Controls& c) {
    const struct {
        bool Controls::*flag;
        const char* name;
    } names[] = {{&Controls::screenshot, "screenshot"}, {&Controls::redFire, "redFire"},
                 {&Controls::redUp, "redUp"},           {&Controls::redDown, "redDown"},
                 {&Controls::redLeft, "redLeft"},       {&Controls::redRight, "redRight"},
                 {&Controls::blueFire, "blueFire"},     {&Controls::blueUp, "blueUp"},
                 {&Controls::blueDown, "blueDown"},     {&Controls::blueLeft, "blueLeft"},
                 {&Controls::blueRight, "blueRight"},   {&Controls::mute, "mute"}};
    std::string text;
    for (const auto& n : names) {
        if (c.*n.flag) {
            text += text.empty() ? "" : " ";
            text += n.name;
        }
    }
    return text;
}
