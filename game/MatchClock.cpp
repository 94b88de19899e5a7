// SPDX-License-Identifier: MIT
#include "MatchClock.h"

#include <SDL_timer.h>

Uint32 TicksClock::Now() const { return SDL_GetTicks(); }
