// SPDX-License-Identifier: MIT
// MatchEvents: what the rules tell the world beyond the match - a sound to
// play and an explosion to show. A match on one machine passes them straight
// on; an online match keeps them until the step they came from is certain.
#pragma once

#include "../sfx/Sounds.h"

class MatchEvents {
  public:
    // A cue placed at x, the screen's x of where it happens.
    virtual void Cue(Sound sound, float x) = 0;
    // RED's or BLUE's ship was destroyed.
    virtual void Boom(int player) = 0;

  protected:
    ~MatchEvents() = default;
};
