// SPDX-License-Identifier: MIT
// Blit: puts the top-left part of a picture on the screen, the one way every
// picture of the game reaches the display, and the background's whole copy.
#pragma once

#include <SDL.h>
#include <cstring>

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

// Whether a pixel of format p means the same colour in format t, byte for
// byte; pictures with a palette never do, as SDL maps theirs.
inline bool SameFormat(const SDL_PixelFormat* p, const SDL_PixelFormat* t) {
    return p->BitsPerPixel == t->BitsPerPixel && p->Rmask == t->Rmask && p->Gmask == t->Gmask &&
           p->Bmask == t->Bmask && p->Amask == t->Amask && p->palette == nullptr &&
           t->palette == nullptr;
}

// Whether a surface's pixels may be read and written at any time without a
// lock: plain memory, as on SDL's dummy driver and in an X11 window. One that
// must be locked (a hardware surface, a run-length encoded picture, the
// browser's canvas) is left to SDL's blit.
inline bool IsPlainMemory(const SDL_Surface* surface) {
    return !SDL_MUSTLOCK(surface) && surface->pixels != nullptr;
}

// Whether picture's pixels can be copied into target byte for byte: both in
// plain memory, of one size and one format, and picture drawn opaque.
inline bool SameLayout(const SDL_Surface* picture, const SDL_Surface* target) {
    return picture->w == target->w && picture->h == target->h && IsPlainMemory(picture) &&
           IsPlainMemory(target) && !(picture->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) &&
           SameFormat(picture->format, target->format);
}

// Copies the w by h pixels of from that start at (x, y) into the top-left
// corner of to, row by row and byte for byte: both in plain memory (or
// locked) and of one format.
inline void CopyRows(const SDL_Surface* from, int x, int y, int w, int h, SDL_Surface* to) {
    const int bytes = from->format->BytesPerPixel;
    const size_t rowBytes = size_t(w) * bytes;
    for (int row = 0; row < h; ++row) {
        std::memcpy(static_cast<Uint8*>(to->pixels) + row * to->pitch,
                    static_cast<const Uint8*>(from->pixels) + (y + row) * from->pitch + x * bytes,
                    rowBytes);
    }
}

// Covers all of target with an opaque picture of its size, e.g. the stars.
// SDL's own copy of a whole picture writes past the processor's cache, so
// every sprite drawn over it afterwards would wait for memory; a row copy
// keeps the screen in the cache. Anything else goes through SDL.
inline void CopyOver(SDL_Surface* picture, SDL_Surface* target) {
    if (!SameLayout(picture, target)) {
        BlitAt(picture, 0, picture->w, picture->h, target, 0, 0);
        return;
    }
    CopyRows(picture, 0, 0, picture->w, picture->h, target);
}
