// SPDX-License-Identifier: MIT
#include "FakeClock.h"

#include <SDL_timer.h>

namespace {
Uint32 now = 0;
Uint32 step = 0;
Uint32 delayed = 0;
} // namespace

void FakeClock::Reset(Uint32 start) {
    now = start;
    step = 0;
    delayed = 0;
}
void FakeClock::Set(Uint32 ticks) { now = ticks; }
void FakeClock::Advance(Uint32 ms) { now += ms; }
Uint32 FakeClock::Now() { return now; }
void FakeClock::StepPerReading(Uint32 ms) { step = ms; }
Uint32 FakeClock::TotalDelay() { return delayed; }

// These take the place of SDL's own for everything linked into the test binary.
Uint32 SDL_GetTicks(void) {
    const Uint32 reading = now;
    now += step;
    return reading;
}

void SDL_Delay(Uint32 ms) {
    delayed += ms;
    now += ms;
}
