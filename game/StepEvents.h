// SPDX-License-Identifier: MIT
// StepEvents: the cues and explosions one fixed step gave, kept rather than
// played, so that an online match plays them once and only for steps that
// stand.
#pragma once

#include "MatchEvents.h"

// More cues than one step can give in play (two shots, a few hits and
// explosions); beyond it the rest of the step is silent.
constexpr int MAX_STEP_CUES = 16;

class StepEvents final : public MatchEvents {
  public:
    void Cue(Sound sound, float x) override;
    void Boom(int player) override;

    // Forgets everything, for the next step.
    void Clear() { *this = StepEvents(); }

    int GetCueCount() const { return cueCount; }
    // The cue at index i, 0 up to GetCueCount(); a wrong index gives the first.
    Sound GetSound(int i) const { return sounds[InRange(i) ? i : 0]; }
    float GetCueX(int i) const { return xs[InRange(i) ? i : 0]; }
    // RED | BLUE of the ships destroyed in the step, in no order.
    int GetBoomMask() const { return boomMask; }

  private:
    bool InRange(int i) const { return i >= 0 && i < cueCount; }

    Sound sounds[MAX_STEP_CUES] = {};
    float xs[MAX_STEP_CUES] = {}; // px
    int cueCount = 0;
    int boomMask = 0;
};
