// SPDX-License-Identifier: MIT
// The back-end dispatch of GFX and the explosion banner state.
#include "GFX.h"

#include "../game/Player.h"
#include "../game/Report.h"

#include <SDL.h>

void GFX::Init(int chosen) {
    if (initialized) {
        Report().Warning("GFX::Init", "Call to GFX::Init while already initialized");
        return;
    }
    if (chosen != SUBSYSTEM_SDL && chosen != SUBSYSTEM_DUMMY) {
        Report().Error("GFX::Init", "Invalid subsystem");
    }
    subsystem = chosen;
    SDL_ShowCursor(SDL_DISABLE);
    if (subsystem == SUBSYSTEM_SDL) {
        sdlInit();
    } else {
        dummyInit();
    }
}

void GFX::Draw(const Player& red, const Player& blue, const Scroller& scroller, bool screenshot) {
    // Before Init the subsystem is 0 and nothing is drawn.
    if (subsystem == SUBSYSTEM_SDL) {
        sdlDraw(red, blue, scroller, screenshot);
    } else if (subsystem == SUBSYSTEM_DUMMY) {
        dummyDraw();
    }
}

void GFX::DrawBoom(int player) {
    if (player != RED && player != BLUE) {
        Report().Error("GFX::DrawBoom()", "Player must me RED or BLUE");
    }
    booming = 1;
    // A player destroyed again while its explosion shows gets a fresh second.
    boomMask |= player;
    if (player == RED) {
        redBoomStart = SDL_GetTicks();
    } else {
        blueBoomStart = SDL_GetTicks();
    }
}
