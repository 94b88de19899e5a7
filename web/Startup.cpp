// SPDX-License-Identifier: MIT
// The browser's start-up: the page is the screen, and there are no standard
// descriptors to guard or pipes to break, so there is nothing to prepare and
// SDL_Init starts the canvas; the exit needs no bound.
#include "game/Startup.h"

void PrepareStartup() {}

// The page's event queue grows as needed, so events the game never reads
// cannot crowd out its keys.
void IgnoreUnreadEvents() {}

// No display or sound server can hold up a page's exit: the browser ends it.
void BoundExit() {}
