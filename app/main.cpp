// SPDX-License-Identifier: MIT
// Duelstar: a two-player space duel for one keyboard. The main routine owns
// every game object for the whole run, brings up SDL and the display, places
// the ships and then loops - poll, update, draw, clear - until something exits.
#include "../game/Controls.h"
#include "../game/Fingers.h"
#include "../game/FrameTimer.h"
#include "../game/Gamepads.h"
#include "../game/KeyState.h"
#include "../game/Keyboard.h"
#include "../game/Match.h"
#include "../game/Player.h"
#include "../game/Report.h"
#include "../game/Scroller.h"
#include "../game/Startup.h"
#include "../game/Touch.h"
#include "../gfx/GFX.h"
#include "../sfx/Cue.h"
#include "../sfx/SFX.h"
#include "OnlineGame.h"
#include "Options.h"

#include <SDL.h>
#include <cstdlib>
#include <iostream>

namespace {
constexpr const char* CAPTION = "Duelstar";
} // namespace

int main(int argc, char** argv) {
    // The command line is read before anything starts, so that --help and a
    // mistyped option never open a window.
    Options options;
    int status = 0;
    if (!ReadOptions(argc, argv, options, std::cout, std::cerr, status)) {
        return status;
    }

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
    BoundExit();
    IgnoreUnreadEvents();
    pads.Open();
    SDL_WM_SetCaption(CAPTION, CAPTION);
    gfx.Init(SUBSYSTEM_SDL);
    sfx.Init();
    SendCuesTo(&sfx);

#ifndef __EMSCRIPTEN__
    if (options.role != NetRole::OFFLINE) {
        PlayOnline(options, gfx, sfx, keys, pads, controls);
    }
#endif
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
