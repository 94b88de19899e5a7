// The SDL set-up of GFX: the video mode, the loading picture and the pictures.
#include "GFX.h"

#include "../game/Report.h"
#include "../game/Screen.h"

#include <SDL.h>

SDL_Surface* screen = nullptr;
SDL_Surface* loadingImage = nullptr;
SDL_Surface* starsImage = nullptr;
SDL_Surface* digitsImage = nullptr;
SDL_Surface* textImage = nullptr;
SDL_Surface* shipRedImage = nullptr;
SDL_Surface* shipBlueImage = nullptr;
SDL_Surface* laserRedImage = nullptr;
SDL_Surface* laserBlueImage = nullptr;
SDL_Surface* boomImage = nullptr;
SDL_Surface* redBoomImage = nullptr;
SDL_Surface* blueBoomImage = nullptr;

namespace {
constexpr int SCREEN_BPP = 16;
constexpr Uint32 SCREEN_FLAGS = SDL_FULLSCREEN | SDL_DOUBLEBUF | SDL_HWACCEL | SDL_HWSURFACE;
} // namespace

SDL_Surface* GFX::loadbmp(const char* path) {
    SDL_Surface* loaded = SDL_LoadBMP_RW(SDL_RWFromFile(path, "rb"), 1);
    if (loaded == nullptr) {
        Report().Error("GFX::loadbmp()", SDL_GetError());
    }
    SDL_Surface* converted = SDL_DisplayFormat(loaded);
    SDL_FreeSurface(loaded);
    return converted;
}

void GFX::sdlInit() {
    screen = SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_BPP, SCREEN_FLAGS);
    if (screen == nullptr) {
        Report().Error("GFX::sdlInit()", SDL_GetError());
    }
    initialized = 1;
}
