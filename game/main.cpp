// SPDX-License-Identifier: MIT
// Duelstar: a two-player space duel for one keyboard. The main routine owns
// every game object for the whole run, brings up SDL and the display, places
// the ships and then loops - poll, update, draw, clear - until something exits.
#include "../gfx/GFX.h"
#include "../sfx/Cue.h"
#include "../sfx/SFX.h"
#include "Controls.h"
#include "Fingers.h"
#include "FrameTimer.h"
#include "Gamepads.h"
#include "KeyState.h"
#include "Keyboard.h"
#include "Match.h"
#include "Player.h"
#include "Report.h"
#include "Scroller.h"
#include "Startup.h"
#include "Touch.h"

#include <SDL.h>
#include <cstdlib>

namespace {
constexpr const char* CAPTION = "Duelstar";
} // namespace

int main(int /*argc*/, char** /*argv*/) {
    GFX gfx;
    SFX sfx;
    FrameTimer timer;
    KeyState keys;
    Gamepads pads;
    Fingers fingers;
    Scroller scroller;
    Controls controls;
    Player red;
    Player blue;

    // Without a driver named by the player, this starts SDL's video itself
    // and SDL_Init below finds it running.
    PrepareStartup();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        Report().Error("main()", SDL_GetError());
    }
    std::atexit(SDL_Quit);
    IgnoreUnreadEvents();
    pads.Open();
    SDL_WM_SetCaption(CAPTION, CAPTION);
    gfx.Init(SUBSYSTEM_SDL);
    sfx.Init();
    SendCuesTo(&sfx);

    PlaceForDuel(red, blue);

    // No frame cap: every motion is scaled by the time the update measures.
    for (;;) {
        PollInput(keys, pads, controls);
        ReadFingers(fingers);
        SteerToFingers(fingers, red, blue, controls);
        if (controls.mute) {
            sfx.ToggleMute();
        }
        UpdateMatch(timer, gfx, controls, red, blue, scroller);
        gfx.Draw(red, blue, scroller, controls.screenshot);
        controls.Clear();
    }
}
