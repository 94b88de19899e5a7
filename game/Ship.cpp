// SPDX-License-Identifier: MIT
#include "Ship.h"

#include "Laser.h"
#include "MatchClock.h"
#include "Report.h"
#include "Screen.h"

#include <SDL_timer.h>

namespace {
// Measured as time since the shot, in unsigned arithmetic, so that the pause
// holds across the 32-bit tick count wrapping (after about 49 days) instead of
// vanishing for the shots fired just before it.
bool PauseOver(Uint32 now, Uint32 lastFire) { return Uint32(now - lastFire) >= FIRE_PAUSE; }
} // namespace

void Ship::SetX(float v) {
    if (OutsideScreen(v, SCREEN_WIDTH)) {
        Report().Warning("Ship::SetX()", "Value out of range");
        return;
    }
    x = v;
}

void Ship::SetY(float v) {
    if (OutsideScreen(v, SCREEN_HEIGHT)) {
        Report().Warning("Ship::SetY()", "Value out of range");
        return;
    }
    y = v;
}

bool Ship::CanFire() const { return CanFire(TicksClock()); }

bool Ship::CanFire(const MatchClock& clock) const { return PauseOver(clock.Now(), lastFire); }

void Ship::Fire(Laser& laser) { Fire(laser, TicksClock()); }

void Ship::Fire(Laser& laser, const MatchClock& clock) {
    if (!PauseOver(clock.Now(), lastFire)) {
        Report().Warning("Ship::Fire()", "Fire command passed while not able to fire");
        return;
    }
    laser.SetX(x);
    laser.SetY(y);
    laser.SetEnabled(true);
    // A second reading: the pause runs from when the shot actually left.
    lastFire = clock.Now();
}
