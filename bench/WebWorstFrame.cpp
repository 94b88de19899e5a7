// SPDX-License-Identifier: MIT
// The browser's worst frame, drawn again and again at the display's refresh:
// 200 shots over the whole screen, both explosions and the banner fully on
// screen. The page's frame counters give its rate and the game's work per
// frame (bench/web-perf.js reads them); ends after WORST_FRAMES frames.
#include "../game/Player.h"
#include "../game/Scroller.h"
#include "../gfx/GFX.h"
#include "WorstFrame.h"

#include <SDL.h>
#include <cstdlib>

namespace {
constexpr int WORST_FRAMES = 600; // ten seconds at 60 Hz
} // namespace

int main(int /*argc*/, char** /*argv*/) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        return EXIT_FAILURE;
    }
    GFX gfx;
    gfx.Init(SUBSYSTEM_SDL);
    Player red;
    Player blue;
    PlaceForDuel(red, blue);
    FillScreenWithShots(red, blue);
    Scroller scroller;
    scroller.Scroll(BANNER_ON_SCREEN);
    for (int frame = 0; frame < WORST_FRAMES; ++frame) {
        // Restarted every frame, so both explosions stay on screen.
        gfx.DrawBoom(RED);
        gfx.DrawBoom(BLUE);
        gfx.Draw(red, blue, scroller, false);
    }
    return EXIT_SUCCESS;
}
