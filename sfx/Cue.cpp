// SPDX-License-Identifier: MIT
#include "Cue.h"

#include "SFX.h"

namespace {
SFX* listener = nullptr; // the main routine's SFX, which lives for the whole run
} // namespace

void SendCuesTo(SFX* sfx) { listener = sfx; }

void Cue(Sound sound, float x) {
    if (listener != nullptr) {
        listener->Play(sound, x);
    }
}
