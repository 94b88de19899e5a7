// SPDX-License-Identifier: MIT
// Laser: one shot of a player's pool - a point flying horizontally that takes
// itself out of flight once it has left the screen. Free slots are reused.
#pragma once

constexpr int LEFT = 1;  // flies towards smaller x (RED's shots)
constexpr int RIGHT = 2; // flies towards larger x (BLUE's shots)

// How far past a screen edge a shot still flies, so its picture leaves whole.
constexpr float LASER_OFFSCREEN_MARGIN = 25.0f; // px

class Laser {
  public:
    Laser() = default;

    int GetDirection() const { return direction; }
    float GetX() const { return x; }
    float GetY() const { return y; }
    bool IsEnabled() const { return enabled; }

    // Refused while in flight, or for anything but LEFT or RIGHT.
    void SetDirection(int d);
    // Both accept 0 up to the screen size; anything beyond is refused, not clamped.
    void SetX(float v);
    void SetY(float v);
    void SetEnabled(bool on) { enabled = on; }

    // Advances the shot along its direction by distance px; past the margin
    // beyond the far edge it leaves flight (the new x is kept all the same).
    void Move(float distance);

  private:
    int direction = RIGHT;
    float x = 0.0f; // px
    float y = 0.0f; // px
    bool enabled = false;
};
