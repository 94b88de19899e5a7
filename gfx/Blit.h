// SPDX-License-Identifier: MIT
// Blit: puts the top-left part of a picture on the screen, the one way every
// picture of the game reaches the display.
#pragma once

#include <SDL_video.h>

// Draws the w by h part of picture that starts at (sourceX, 0) with its
// top-left corner at (x, y) on target; SDL clips it at the target's edges.
inline void BlitAt(SDL_Surface* picture, int sourceX, int w, int h, SDL_Surface* target, int x,
                   int y) {
    // Wholly off the target it would show nothing, and its place might not fit
    // the 16-bit coordinates of an SDL_Rect (the banner after a long stall).
    if (x >= target->w || y >= target->h || x <= -w || y <= -h) {
        return;
    }
    SDL_Rect source = {Sint16(sourceX), 0, Uint16(w), Uint16(h)};
    SDL_Rect place = {Sint16(x), Sint16(y), 0, 0};
    SDL_BlitSurface(picture, &source, target, &place);
}
