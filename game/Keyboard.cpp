// SPDX-License-Identifier: MIT
#include "Keyboard.h"

#include <SDL.h>
#include <cstdlib>

namespace {

constexpr int QUIT_EXIT_STATUS = 0;

// One game key: its SDL symbol, the held flag it drives and the command it raises.
struct KeyBinding {
    SDLKey symbol;
    bool KeyState::*held;
    bool Controls::*command;
};

const KeyBinding KEY_TABLE[] = {
    {SDLK_p, &KeyState::keyP, &Controls::screenshot},
    {SDLK_m, &KeyState::keyM, &Controls::mute},
    {SDLK_t, &KeyState::keyT, &Controls::redUp},
    {SDLK_g, &KeyState::keyG, &Controls::redDown},
    {SDLK_f, &KeyState::keyF, &Controls::redLeft},
    {SDLK_h, &KeyState::keyH, &Controls::redRight},
    {SDLK_s, &KeyState::keyS, &Controls::redFire},
    {SDLK_UP, &KeyState::keyUp, &Controls::blueUp},
    {SDLK_DOWN, &KeyState::keyDown, &Controls::blueDown},
    {SDLK_RIGHT, &KeyState::keyRight, &Controls::blueRight},
    {SDLK_LEFT, &KeyState::keyLeft, &Controls::blueLeft},
    {SDLK_RETURN, &KeyState::keyReturn, &Controls::blueFire},
};

const KeyBinding* FindBinding(SDLKey symbol) {
    for (const KeyBinding& binding : KEY_TABLE) {
        if (binding.symbol == symbol) {
            return &binding;
        }
    }
    return nullptr;
}

} // namespace

void PollKeyboard(KeyState& keys, Controls& controls) {
    Gamepads none;
    PollInput(keys, none, controls);
}

void PollInput(KeyState& keys, Gamepads& pads, Controls& controls) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            std::exit(QUIT_EXIT_STATUS);
        }
        if (pads.Handle(event) || (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP)) {
            continue;
        }
        // Only the symbol counts: a key held with shift or caps lock is the same key.
        const SDLKey symbol = event.key.keysym.sym;
        if (event.type == SDL_KEYDOWN && symbol == SDLK_ESCAPE) {
            std::exit(QUIT_EXIT_STATUS);
        }
        const KeyBinding* binding = FindBinding(symbol);
        if (binding == nullptr) {
            continue;
        }
        if (event.type == SDL_KEYDOWN) {
            keys.*binding->held = true;
        } else if (symbol != SDLK_p && symbol != SDLK_m) {
            // p's and m's releases are not tracked: one screenshot, or one
            // switch of the sound, per press.
            keys.*binding->held = false;
        }
    }

    for (const KeyBinding& binding : KEY_TABLE) {
        if (keys.*binding.held) {
            controls.*binding.command = true;
        }
    }
    pads.Raise(controls);
    keys.keyP = false;
    keys.keyM = false;
}
