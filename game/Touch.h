// SPDX-License-Identifier: MIT
// Touch: a finger held in a ship's half flies that ship to the finger and
// keeps its fire held, through the same commands as the keys.
#pragma once

#include "Controls.h"
#include "Fingers.h"
#include "Player.h"

// Within this of the finger on an axis the ship stops on that axis: over half
// a frame's step at 30 frames a second (500 px/s), so that even a slow device
// does not rock the ship about the finger.
constexpr float FINGER_REACHED = 9.0f; // px

// Raises (never lowers) the steering toward each held finger and that ship's
// fire; the fire pause paces the shots.
void SteerToFingers(const Fingers& fingers, const Player& red, const Player& blue,
                    Controls& controls);

// With the other ship flown by the computer, a finger held anywhere flies the
// lone player's ship (side RED or BLUE): the finger in its own half first,
// else the one in the other half. Raises that ship's commands only, so the
// computer's ship is never steered by a finger.
void SteerOneShipToFingers(const Fingers& fingers, int side, const Player& player,
                           Controls& controls);
