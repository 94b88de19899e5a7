// SPDX-License-Identifier: MIT
// Duelstar: a two-player space duel for one keyboard. The main routine owns
// every game object for the whole run, brings up SDL and the display, places
// the ships and then loops - poll, update, draw, clear - until something exits.
#include "../bot/Pilot.h"
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
#include <ctime>
#include <iostream>

namespace {
constexpr const char* CAPTION = "Duelstar";

// With the computer on one ship, the lone player flies the other with either
// key set, any pad or any finger: whatever was raised for the computer's ship
// goes to the player's, and the computer's own commands come after.
void HandOver(Controls& controls, const ShipCommands& computer, const ShipCommands& player) {
    bool Controls::*const from[] = {computer.up, computer.down, computer.left, computer.right,
                                    computer.fire};
    bool Controls::*const to[] = {player.up, player.down, player.left, player.right, player.fire};
    for (int i = 0; i < int(sizeof from / sizeof from[0]); ++i) {
        controls.*to[i] = controls.*to[i] || controls.*from[i];
        controls.*from[i] = false;
    }
}

// A finger flies the ship in whose half it is held; against the computer any
// finger flies the lone player's ship, so that one finger plays anywhere on
// the screen and none is read against the computer's ship.
void SteerByTouch(const Options& options, const Fingers& fingers, const Player& red,
                  const Player& blue, Controls& controls) {
    if (options.cpuRed == options.cpuBlue) {
        SteerToFingers(fingers, red, blue, controls);
    } else if (options.cpuBlue) {
        SteerOneShipToFingers(fingers, RED, red, controls);
    } else {
        SteerOneShipToFingers(fingers, BLUE, blue, controls);
    }
}

// Before the match update, the computer's commands for this frame.
void FlyComputer(const Options& options, Pilot& redPilot, Pilot& bluePilot, const Player& red,
                 const Player& blue, Controls& controls) {
    if (options.cpuRed && options.cpuBlue) {
        // A demo match: nobody else steers.
        const bool screenshot = controls.screenshot;
        const bool mute = controls.mute;
        controls.Clear();
        controls.screenshot = screenshot;
        controls.mute = mute;
    } else if (options.cpuRed) {
        HandOver(controls, RED_COMMANDS, BLUE_COMMANDS);
    } else if (options.cpuBlue) {
        HandOver(controls, BLUE_COMMANDS, RED_COMMANDS);
    }
    const Uint32 now = SDL_GetTicks();
    if (options.cpuRed) {
        redPilot.Fly(now, red, blue, controls);
    }
    if (options.cpuBlue) {
        bluePilot.Fly(now, blue, red, controls);
    }
}
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

    if (options.role != NetRole::OFFLINE) {
        PlayOnline(options, gfx, sfx, keys, pads, controls);
    }
    PlaceForDuel(red, blue);

    // Both pilots are always there, flying only when asked to; each has dice
    // of its own.
    const std::uint32_t seed = options.seedGiven ? options.seed : std::uint32_t(std::time(nullptr));
    Pilot redPilot(RED, options.level, seed);
    Pilot bluePilot(BLUE, options.level, seed + 1u);

    // No frame cap: every motion is scaled by the time the update measures.
    for (;;) {
        PollInput(keys, pads, controls);
        ReadFingers(fingers);
        SteerByTouch(options, fingers, red, blue, controls);
        FlyComputer(options, redPilot, bluePilot, red, blue, controls);
        if (controls.mute) {
            sfx.ToggleMute();
        }
        UpdateMatch(timer, gfx, controls, red, blue, scroller);
        gfx.Draw(red, blue, scroller, controls.screenshot);
        controls.Clear();
    }
}
