// SPDX-License-Identifier: MIT
// FakeVideo: the start-up tests' own SDL_Init and SDL_QuitSubSystem, linked in
// place of SDL's. A start succeeds only on the drivers a test lets start, and
// each call is traced on standard error ("x11:refused quit fbcon:started "),
// which the game never writes to.
#pragma once

namespace FakeVideo {
// Space-separated names of the drivers that start; "" for none.
void LetStart(const char* drivers);
} // namespace FakeVideo
