// SPDX-License-Identifier: MIT
// The browser's worst frame, drawn again and again at the display's refresh:
// 200 shots over the whole screen, both explosions and the banner fully on
// screen. The page's frame counters give its rate and the game's work per
// frame (bench/web-perf.js reads them); ends after WORST_FRAMES frames.
#include "../game/Player.h"
#include "../game/Scroller.h"
#include "../gfx/GFX.h"

#include <SDL.h>
#include <cstdlib>

namespace {

constexpr int WORST_FRAMES = 600;          // ten seconds at 60 Hz
constexpr float BANNER_ON_SCREEN = 800.0f; // px of scrolling that bring the banner to offset 0

// The same grid of shots as the desktop frame benchmark: 10 by 10 per player,
// BLUE's half a cell off RED's.
constexpr int SHOT_COLUMNS = 10;
constexpr float SHOT_FIRST_X = 40.0f; // px
constexpr float SHOT_STEP_X = 80.0f;  // px
constexpr float SHOT_FIRST_Y = 37.0f; // px
constexpr float SHOT_STEP_Y = 58.0f;  // px
constexpr float BLUE_SHIFT_X = 40.0f; // px
constexpr float BLUE_SHIFT_Y = 29.0f; // px

void Place(Laser& laser, float x, float y) {
    laser.SetX(x);
    laser.SetY(y);
    laser.SetEnabled(true);
}

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
    for (int i = 0; i < MAX_LASERS; ++i) {
        const float x = SHOT_FIRST_X + SHOT_STEP_X * float(i % SHOT_COLUMNS);
        const float y = SHOT_FIRST_Y + SHOT_STEP_Y * float(i / SHOT_COLUMNS);
        Place(red.lasers[i], x, y);
        Place(blue.lasers[i], x + BLUE_SHIFT_X, y + BLUE_SHIFT_Y);
    }
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
