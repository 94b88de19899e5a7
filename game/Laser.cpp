// SPDX-License-Identifier: MIT
#include "Laser.h"

#include "Report.h"
#include "Screen.h"

void Laser::SetDirection(int d) {
    if (enabled) {
        Report().Warning("Laser::SetDirection()", "Cannot be called while enabled");
        return;
    }
    if (d != LEFT && d != RIGHT) {
        Report().Warning("Laser::SetDirection()", "Direction out of range");
        return;
    }
    direction = d;
}

void Laser::SetX(float v) {
    if (OutsideScreen(v, SCREEN_WIDTH)) {
        Report().Warning("Laser::SetX()", "Value out of range");
        return;
    }
    x = v;
}

void Laser::SetY(float v) {
    if (OutsideScreen(v, SCREEN_HEIGHT)) {
        Report().Warning("Laser::SetY()", "Value out of range");
        return;
    }
    y = v;
}

void Laser::Move(float distance) {
    if (direction == RIGHT) {
        x = distance + x;
        if (x > float(SCREEN_WIDTH) + LASER_OFFSCREEN_MARGIN) {
            enabled = false;
        }
    } else {
        x = x - distance;
        if (x < -LASER_OFFSCREEN_MARGIN) {
            enabled = false;
        }
    }
}
