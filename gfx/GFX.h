// SPDX-License-Identifier: MIT
// GFX: the display - the full-screen mode, the pictures, every frame and its
// screenshot, and the explosion banner shown when a ship is destroyed.
#pragma once

#include "Pictures.h"
#include "Sprite.h"

#include <SDL_types.h>

struct SDL_Surface;
struct Player;
class Scroller;

constexpr int SUBSYSTEM_SDL = 1;   // the real display
constexpr int SUBSYSTEM_DUMMY = 2; // accepts everything and draws nothing

class GFX {
  public:
    GFX() = default;

    // Sets up the chosen back end; any value but SUBSYSTEM_SDL or
    // SUBSYSTEM_DUMMY is fatal. Once the SDL set-up has finished, later calls
    // are refused.
    void Init(int subsystem);

    // Composes one whole frame from the players and the banner and shows it;
    // with screenshot set, the frame is saved as "screenshot.bmp" first.
    void Draw(const Player& red, const Player& blue, const Scroller& scroller, bool screenshot);

    // Starts (or restarts) the one-second explosion banner of RED or BLUE;
    // any other identity is fatal.
    void DrawBoom(int player);

    // Reads a BMP and returns it converted to the screen's format, owned by
    // the caller; a picture that cannot be loaded is fatal.
    SDL_Surface* loadbmp(const char* path);
    // The same for a picture of the list, from its file in IMAGES_FOLDER.
    SDL_Surface* loadPicture(Picture picture);

    bool IsInitialized() const { return initialized != 0; }
    bool IsBooming() const { return booming != 0; }
    int GetSubsystem() const { return subsystem; }
    Uint32 GetRedBoomStart() const { return redBoomStart; }
    Uint32 GetBlueBoomStart() const { return blueBoomStart; }
    int GetBoomMask() const { return boomMask; }

  private:
    void sdlInit();
    void dummyInit() {}
    void sdlDraw(const Player& red, const Player& blue, const Scroller& scroller, bool screenshot);
    void dummyDraw() {}

    Uint8 initialized = 0;
    Uint8 booming = 0;
    int subsystem = 0;
    Uint32 redBoomStart = 0;  // SDL ticks
    Uint32 blueBoomStart = 0; // SDL ticks
    int boomMask = 0;         // RED | BLUE of the explosions showing
};

// The display and the pictures: filled once by the SDL set-up, then only read
// by the frame drawing, and never freed (SDL's shutdown at exit closes them).
extern SDL_Surface* screen;
extern SDL_Surface* loadingImage;
extern SDL_Surface* starsImage;
extern SDL_Surface* digitsImage;
extern SDL_Surface* textImage;
extern SDL_Surface* shipRedImage;
extern SDL_Surface* shipBlueImage;
extern SDL_Surface* laserRedImage;
extern SDL_Surface* laserBlueImage;
extern SDL_Surface* boomImage;
extern SDL_Surface* redBoomImage;
extern SDL_Surface* blueBoomImage;

// The variable above that holds a picture of the list.
SDL_Surface*& SurfaceOf(Picture picture);

// The keyed and blended pictures as the frame draws them, cut by the set-up
// from the pictures above; the others stay empty.
extern Sprite sprites[PICTURE_COUNT];
inline const Sprite& SpriteOf(Picture picture) { return sprites[int(picture)]; }
