// SPDX-License-Identifier: MIT
// The SDL set-up of GFX: the video mode, the loading picture and the pictures.
#include "Blit.h"
#include "BmpHeader.h"
#include "GFX.h"
#include "Layout.h"

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
constexpr int SCREEN_BPP = 16; // bits per pixel
constexpr Uint32 SCREEN_FLAGS = SDL_FULLSCREEN | SDL_DOUBLEBUF | SDL_HWACCEL | SDL_HWSURFACE;
constexpr Uint32 LOADING_TIME = 2500; // ms the loading picture stays before the rest loads

// Black pixels of the sprites are see-through; run-length encoding makes
// keyed blits fast.
constexpr Uint32 KEY_FLAGS = SDL_SRCCOLORKEY | SDL_RLEACCEL;
constexpr Uint8 KEY_LEVEL = 0; // red, green and blue of the see-through colour: black
constexpr Uint32 BANNER_ALPHA_FLAGS = SDL_SRCALPHA | SDL_RLEACCEL;

struct Picture {
    SDL_Surface** handle;
    const char* path;
};

// Everything but the star background and the loading picture, in loading order.
const Picture SPRITES[] = {
    {&digitsImage, "images/digits.bmp"},      {&textImage, "images/text.bmp"},
    {&shipRedImage, "images/ship_red.bmp"},   {&shipBlueImage, "images/ship_blue.bmp"},
    {&laserRedImage, "images/laser_red.bmp"}, {&laserBlueImage, "images/laser_blue.bmp"},
    {&boomImage, "images/boom.bmp"},          {&redBoomImage, "images/redboom.bmp"},
    {&blueBoomImage, "images/blueboom.bmp"},
};
} // namespace

SDL_Surface* GFX::loadbmp(const char* path) {
    SDL_RWops* file = SDL_RWFromFile(path, "rb");
    // A picture whose header SDL's reader cannot cope with never reaches it; a
    // file that could not be opened keeps SDL's own reason.
    if (!CheckBmpHeader(file)) {
        if (file != nullptr) {
            SDL_RWclose(file);
        }
        Report().Error("GFX::loadbmp()", SDL_GetError());
    }
    // The loader closes the file itself.
    SDL_Surface* loaded = SDL_LoadBMP_RW(file, 1);
    if (loaded == nullptr) {
        Report().Error("GFX::loadbmp()", SDL_GetError());
    }
    SDL_Surface* converted = SDL_DisplayFormat(loaded);
    SDL_FreeSurface(loaded);
    // A picture that cannot be converted is as unusable as a missing one; left
    // alone it would only fail later, in the middle of a frame.
    if (converted == nullptr) {
        Report().Error("GFX::loadbmp()", SDL_GetError());
    }
    return converted;
}

void GFX::sdlInit() {
    screen = SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_BPP, SCREEN_FLAGS);
    if (screen == nullptr) {
        Report().Error("GFX::sdlInit()", SDL_GetError());
    }

    // The loading picture sits in the bottom-right corner over the stars and
    // stays there until the first frame replaces it.
    loadingImage = loadbmp("images/loading.bmp");
    starsImage = loadbmp("images/stars.bmp");
    BlitAt(starsImage, 0, SCREEN_WIDTH, SCREEN_HEIGHT, screen, 0, 0);
    BlitAt(loadingImage, 0, loadingImage->w, loadingImage->h, screen,
           SCREEN_WIDTH - loadingImage->w, SCREEN_HEIGHT - loadingImage->h);
    SDL_Flip(screen);
    SDL_Delay(LOADING_TIME);

    for (const Picture& sprite : SPRITES) {
        *sprite.handle = loadbmp(sprite.path);
    }
    const Uint32 black = SDL_MapRGB(screen->format, KEY_LEVEL, KEY_LEVEL, KEY_LEVEL);
    for (const Picture& sprite : SPRITES) {
        SDL_SetColorKey(*sprite.handle, KEY_FLAGS, black);
    }
    SDL_SetAlpha(textImage, BANNER_ALPHA_FLAGS, BANNER_ALPHA);
    initialized = 1;
}
