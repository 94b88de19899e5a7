// SPDX-License-Identifier: MIT
// Ship: one player's craft - where it is on the screen and when it last fired,
// from which it enforces the pause between two shots.
#pragma once

#include <SDL_types.h>

class Laser;
class MatchClock;

constexpr Uint32 FIRE_PAUSE = 500; // ms between two shots of one ship

class Ship {
  public:
    Ship() = default;

    float GetX() const { return x; }
    float GetY() const { return y; }
    Uint32 GetLastFire() const { return lastFire; }

    // Both accept 0 up to the screen size; anything beyond is refused, not clamped.
    void SetX(float v);
    void SetY(float v);

    // True once FIRE_PAUSE has passed since the last shot (wraps with the tick
    // count), on SDL's clock or on the given one.
    bool CanFire() const;
    bool CanFire(const MatchClock& clock) const;

    // Puts the laser in flight from the ship's position and restarts the pause;
    // refused while the pause runs. The caller picks a free laser.
    void Fire(Laser& laser);
    void Fire(Laser& laser, const MatchClock& clock);

  private:
    float x = 0.0f;      // px
    float y = 0.0f;      // px
    Uint32 lastFire = 0; // the clock's ms at the last shot
};
