// The SDL frame of GFX.
#include "GFX.h"

#include "../game/Player.h"
#include "../game/Scroller.h"

#include <SDL.h>

void GFX::sdlDraw(const Player& /*red*/, const Player& /*blue*/, const Scroller& /*scroller*/,
                  bool /*screenshot*/) {
    SDL_Flip(screen);
}
