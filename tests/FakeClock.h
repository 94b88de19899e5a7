// SPDX-License-Identifier: MIT
// FakeClock: the test binary's own SDL_GetTicks and SDL_Delay, linked in place
// of SDL's, so that tests set the time instead of waiting for it. The game's
// code keeps calling SDL directly.
#pragma once

#include <SDL_types.h>

namespace FakeClock {
// Sets the tick count, forgets the delays and stops any stepping.
void Reset(Uint32 now = 0);
void Set(Uint32 now);
void Advance(Uint32 ms);
Uint32 Now();
// Every later SDL_GetTicks reading moves the clock on by this much after it
// is taken, to tell the readings of one call apart.
void StepPerReading(Uint32 ms);
// Sum of all SDL_Delay arguments since the last Reset.
Uint32 TotalDelay();
} // namespace FakeClock
