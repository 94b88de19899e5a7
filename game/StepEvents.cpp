// SPDX-License-Identifier: MIT
#include "StepEvents.h"

#include "Player.h"
#include "Report.h"

void StepEvents::Cue(Sound sound, float x) {
    if (cueCount == MAX_STEP_CUES) {
        Report().Warning("StepEvents::Cue()", "Too many cues in one step");
        return;
    }
    sounds[cueCount] = sound;
    xs[cueCount] = x;
    cueCount += 1;
}

void StepEvents::Boom(int player) {
    if (player != RED && player != BLUE) {
        Report().Warning("StepEvents::Boom()", "Player out of range");
        return;
    }
    boomMask |= player;
}
