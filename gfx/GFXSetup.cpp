// SPDX-License-Identifier: MIT
// The SDL set-up of GFX: the video mode, the loading picture and the pictures.
#include "Blit.h"
#include "BmpHeader.h"
#include "GFX.h"
#include "Layout.h"

#include "../game/RegularFile.h"
#include "../game/Report.h"
#include "../game/Screen.h"

#include <SDL.h>
#include <cstdio>

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
Sprite sprites[PICTURE_COUNT];

SDL_Surface*& SurfaceOf(Picture picture) {
    switch (picture) {
    case Picture::LOADING:
        return loadingImage;
    case Picture::STARS:
        return starsImage;
    case Picture::DIGITS:
        return digitsImage;
    case Picture::TEXT:
        return textImage;
    case Picture::SHIP_RED:
        return shipRedImage;
    case Picture::SHIP_BLUE:
        return shipBlueImage;
    case Picture::LASER_RED:
        return laserRedImage;
    case Picture::LASER_BLUE:
        return laserBlueImage;
    case Picture::BOOM:
        return boomImage;
    case Picture::RED_BOOM:
        return redBoomImage;
    case Picture::BLUE_BOOM:
        return blueBoomImage;
    default:
        Report().Error("SurfaceOf()", "Not a picture of the list");
    }
}

namespace {
constexpr int SCREEN_BPP = 16; // bits per pixel
constexpr Uint32 SCREEN_FLAGS = SDL_FULLSCREEN | SDL_DOUBLEBUF | SDL_HWACCEL | SDL_HWSURFACE;
constexpr Uint32 LOADING_TIME = 2500; // ms the loading picture stays before the rest loads
constexpr int PATH_SIZE = 256;        // bytes, for "images/" and a file name of the list
constexpr const char* WHERE_LOADING = "GFX::loadbmp()";

// Black pixels of the sprites are see-through; run-length encoding makes
// keyed blits fast.
constexpr Uint32 KEY_FLAGS = SDL_SRCCOLORKEY | SDL_RLEACCEL;
constexpr Uint8 KEY_LEVEL = 0; // red, green and blue of the see-through colour: black
constexpr Uint32 BANNER_ALPHA_FLAGS = SDL_SRCALPHA | SDL_RLEACCEL;

// Keys a keyed or blended picture's black, and blends a blended one.
void SetLook(SDL_Surface* picture, Look look, Uint32 black) {
    if (look == Look::OPAQUE) {
        return;
    }
    SDL_SetColorKey(picture, KEY_FLAGS, black);
    if (look == Look::BLENDED) {
        SDL_SetAlpha(picture, BANNER_ALPHA_FLAGS, BANNER_ALPHA);
    }
}

// Ends the game naming the picture, so the player knows which file to mend.
[[noreturn]] void Refuse(const char* path, const char* reason) {
    RefuseFile(WHERE_LOADING, path, reason);
}

// The look before the screen changes. A path that cannot be looked at is left
// to the loader, whose "Couldn't open" names it.
void RefuseUnlessFile(const char* path) {
    const char* why = WhyNotAFile(path);
    if (why != nullptr) {
        Refuse(path, why);
    }
}

void PathOf(Picture picture, char (&path)[PATH_SIZE]) {
    std::snprintf(path, sizeof path, "%s/%s", IMAGES_FOLDER, FileOf(picture).name);
}
} // namespace

SDL_Surface* GFX::loadPicture(Picture picture) {
    char path[PATH_SIZE];
    PathOf(picture, path);
    return loadbmp(path);
}

SDL_Surface* GFX::loadbmp(const char* path) {
    // Only a regular file can be a picture: a folder, pipe, socket or device is
    // refused by name, also when swapped in after the look before the screen
    // changed.
    SDL_RWops* file = OpenGameFile(WHERE_LOADING, path);
    // A picture whose header SDL's reader cannot cope with never reaches it.
    if (!CheckBmpHeader(file)) {
        SDL_RWclose(file);
        Refuse(path, SDL_GetError());
    }
    // The loader closes the file itself.
    SDL_Surface* loaded = SDL_LoadBMP_RW(file, 1);
    if (loaded == nullptr) {
        Refuse(path, SDL_GetError());
    }
    SDL_Surface* converted = SDL_DisplayFormat(loaded);
    SDL_FreeSurface(loaded);
    // A picture that cannot be converted is as unusable as a missing one; left
    // alone it would only fail later, in the middle of a frame.
    if (converted == nullptr) {
        Refuse(path, SDL_GetError());
    }
    return converted;
}

void GFX::sdlInit() {
    // A picture that is no file is refused before the screen changes, not
    // after the loading picture's wait; the loader checks again what it opens.
    for (const PictureFile& file : PICTURE_FILES) {
        char path[PATH_SIZE];
        PathOf(file.picture, path);
        RefuseUnlessFile(path);
    }

    screen = SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_BPP, SCREEN_FLAGS);
    if (screen == nullptr) {
        Report().Error("GFX::sdlInit()", SDL_GetError());
    }

    // The loading picture sits in the bottom-right corner over the stars and
    // stays there until the first frame replaces it.
    loadingImage = loadPicture(Picture::LOADING);
    starsImage = loadPicture(Picture::STARS);
    CopyOver(starsImage, screen);
    BlitAt(loadingImage, 0, loadingImage->w, loadingImage->h, screen,
           SCREEN_WIDTH - loadingImage->w, SCREEN_HEIGHT - loadingImage->h);
    SDL_Flip(screen);
    SDL_Delay(LOADING_TIME);

    for (const PictureFile& file : PICTURE_FILES) {
        if (file.picture != Picture::LOADING && file.picture != Picture::STARS) {
            SurfaceOf(file.picture) = loadPicture(file.picture);
        }
    }
    // Each keyed picture is drawn as the box around its drawn pixels: blits
    // then never walk the see-through rows and columns around them.
    const Uint32 black = SDL_MapRGB(screen->format, KEY_LEVEL, KEY_LEVEL, KEY_LEVEL);
    for (const PictureFile& file : PICTURE_FILES) {
        if (file.look == Look::OPAQUE) {
            continue;
        }
        SDL_Surface* picture = SurfaceOf(file.picture);
        SetLook(picture, file.look, black);
        Sprite& sprite = sprites[int(file.picture)];
        if (!sprite.Cut(picture, file.width, file.height, black)) {
            Report().Error("GFX::sdlInit()", SDL_GetError());
        }
        if (sprite.GetBox() != nullptr) {
            SetLook(sprite.GetBox(), file.look, black);
        }
    }
    initialized = 1;
}
