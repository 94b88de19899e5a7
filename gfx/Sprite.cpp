// SPDX-License-Identifier: MIT
#include "Sprite.h"

#include "Blit.h"

#include <SDL.h>
#include <algorithm>
#include <cstring>

namespace {

Uint32 PixelAt(const SDL_Surface* picture, int x, int y) {
    const int bytes = picture->format->BytesPerPixel;
    const Uint8* p = static_cast<const Uint8*>(picture->pixels) + y * picture->pitch + x * bytes;
    switch (bytes) {
    case 1:
        return *p;
    case 2: {
        Uint16 v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    case 3:
        return SDL_BYTEORDER == SDL_LIL_ENDIAN ? Uint32(p[0] | p[1] << 8 | p[2] << 16)
                                               : Uint32(p[0] << 16 | p[1] << 8 | p[2]);
    default: {
        Uint32 v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    }
}

struct Bounds {
    int left, top, right, bottom; // end excluded; empty when left >= right
};

// The smallest box holding every pixel of the part that is not the key.
Bounds DrawnBounds(const SDL_Surface* picture, int w, int h, Uint32 key) {
    Bounds b = {w, h, 0, 0};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (PixelAt(picture, x, y) != key) {
                b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x + 1),
                     std::max(b.bottom, y + 1)};
            }
        }
    }
    return b;
}

} // namespace

bool Sprite::Cut(SDL_Surface* picture, int w, int h, Uint32 key) {
    Release();
    w = std::min(w, picture->w);
    h = std::min(h, picture->h);
    if (SDL_LockSurface(picture) != 0) {
        return false;
    }
    const Bounds b = DrawnBounds(picture, w, h, key);
    if (b.left >= b.right || b.top >= b.bottom) {
        SDL_UnlockSurface(picture);
        return true;
    }
    const SDL_PixelFormat* f = picture->format;
    box = SDL_CreateRGBSurface(SDL_SWSURFACE, b.right - b.left, b.bottom - b.top, f->BitsPerPixel,
                               f->Rmask, f->Gmask, f->Bmask, f->Amask);
    if (box == nullptr ||
        (f->palette != nullptr &&
         SDL_SetColors(box, f->palette->colors, 0, f->palette->ncolors) == 0) ||
        SDL_LockSurface(box) != 0) {
        SDL_UnlockSurface(picture);
        Release();
        return false;
    }
    // Copied row by row, not blitted: a blit would leave out the keyed pixels
    // and mix in a blended picture.
    const int rowBytes = box->w * f->BytesPerPixel;
    for (int y = 0; y < box->h; ++y) {
        std::memcpy(static_cast<Uint8*>(box->pixels) + y * box->pitch,
                    static_cast<const Uint8*>(picture->pixels) + (b.top + y) * picture->pitch +
                        b.left * f->BytesPerPixel,
                    rowBytes);
    }
    SDL_UnlockSurface(box);
    SDL_UnlockSurface(picture);
    boxX = b.left;
    boxY = b.top;
    return true;
}

void Sprite::Release() {
    SDL_FreeSurface(box);
    box = nullptr;
    boxX = 0;
    boxY = 0;
}

void Sprite::Draw(int sourceX, int w, SDL_Surface* target, int x, int y) const {
    if (box == nullptr) {
        return;
    }
    const int left = std::max(sourceX, boxX);
    const int right = std::min(sourceX + w, boxX + box->w);
    if (left >= right) {
        return;
    }
    BlitAt(box, left - boxX, right - left, box->h, target, x + left - sourceX, y + boxY);
}
