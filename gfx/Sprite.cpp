// SPDX-License-Identifier: MIT
#include "Sprite.h"

#include "Blit.h"

#include <SDL.h>
#include <algorithm>
#include <cstddef>
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

// SDL's own rule for a keyed blit: a pixel is see-through when its colour,
// whatever its alpha, is the key's.
bool IsDrawn(const SDL_Surface* picture, int x, int y, Uint32 key) {
    const Uint32 colour = ~picture->format->Amask;
    return (PixelAt(picture, x, y) & colour) != (key & colour);
}

struct Bounds {
    int left, top, right, bottom; // end excluded; empty when left >= right
};

// The smallest box holding every pixel of the part that is not the key.
Bounds DrawnBounds(const SDL_Surface* picture, int w, int h, Uint32 key) {
    Bounds b = {w, h, 0, 0};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (IsDrawn(picture, x, y, key)) {
                b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x + 1),
                     std::max(b.bottom, y + 1)};
            }
        }
    }
    return b;
}

// A new picture of b's size holding the locked picture's pixels within b,
// key and all; nullptr, with SDL's error set, when it cannot be made.
SDL_Surface* CopyOf(const SDL_Surface* picture, const Bounds& b) {
    const SDL_PixelFormat* f = picture->format;
    SDL_Surface* copy =
        SDL_CreateRGBSurface(SDL_SWSURFACE, b.right - b.left, b.bottom - b.top, f->BitsPerPixel,
                             f->Rmask, f->Gmask, f->Bmask, f->Amask);
    if (copy == nullptr ||
        (f->palette != nullptr &&
         SDL_SetColors(copy, f->palette->colors, 0, f->palette->ncolors) == 0) ||
        SDL_LockSurface(copy) != 0) {
        SDL_FreeSurface(copy);
        return nullptr;
    }
    // Copied row by row, not blitted: a blit would leave out the keyed pixels
    // and mix in a blended picture.
    CopyRows(picture, b.left, b.top, copy->w, copy->h, copy);
    SDL_UnlockSurface(copy);
    return copy;
}

} // namespace

bool Sprite::Cut(SDL_Surface* picture, int w, int h, Uint32 keyColour) {
    Release();
    w = std::min(w, picture->w);
    h = std::min(h, picture->h);
    if (SDL_LockSurface(picture) != 0) {
        return false;
    }
    key = keyColour;
    const Bounds b = DrawnBounds(picture, w, h, key);
    bool made = true;
    if (b.left < b.right && b.top < b.bottom) {
        boxX = b.left;
        boxY = b.top;
        box = CopyOf(picture, b);
        made = box != nullptr && KeepRuns(picture);
    }
    SDL_UnlockSurface(picture);
    if (!made) {
        Release();
    }
    return made;
}

bool Sprite::KeepRuns(const SDL_Surface* picture) {
    // SDL maps a palette's colours on every blit; a copy could not.
    if (picture->format->palette != nullptr) {
        return true;
    }
    const int right = boxX + box->w;
    for (int y = boxY; y < boxY + box->h; ++y) {
        int x = boxX;
        while (x < right) {
            if (!IsDrawn(picture, x, y, key)) {
                ++x;
                continue;
            }
            // Too many runs: SDL blits the box.
            if (runCount == SPRITE_RUNS) {
                runCount = 0;
                return true;
            }
            Run& run = runs[runCount++];
            run.x = x;
            run.y = y;
            while (x < right && IsDrawn(picture, x, y, key)) {
                ++x;
            }
            run.length = x - run.x;
        }
    }
    // The runs read a copy of the box that SDL never encodes, so that its
    // pixels stay where they are whatever SDL does to the box.
    runPixels = CopyOf(picture, {boxX, boxY, boxX + box->w, boxY + box->h});
    if (runPixels == nullptr) {
        runCount = 0;
        return false;
    }
    for (int i = 0; i < runCount; ++i) {
        runs[i].offset = (runs[i].y - boxY) * runPixels->pitch +
                         (runs[i].x - boxX) * runPixels->format->BytesPerPixel;
    }
    return true;
}

void Sprite::Release() {
    SDL_FreeSurface(box);
    SDL_FreeSurface(runPixels);
    box = nullptr;
    runPixels = nullptr;
    boxX = 0;
    boxY = 0;
    key = 0;
    runCount = 0;
}

bool Sprite::CopiesInto(const SDL_Surface* target) const {
    return runCount > 0 && IsPlainMemory(target) &&
           (box->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) == SDL_SRCCOLORKEY &&
           SameFormat(runPixels->format, target->format);
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
    if (CopiesInto(target)) {
        CopyRuns(left, right, target, x - sourceX, y);
    } else {
        BlitAt(box, left - boxX, right - left, box->h, target, x + left - sourceX, y + boxY);
    }
}

// Copies the parts of the runs within the part's columns left to right that
// fall inside target's clipping rectangle, column c going to c + shiftX and
// row r to y + r.
void Sprite::CopyRuns(int left, int right, SDL_Surface* target, int shiftX, int y) const {
    const SDL_Rect& clip = target->clip_rect;
    const int first = std::max(left, clip.x - shiftX);
    const int end = std::min(right, clip.x + clip.w - shiftX);
    const int top = clip.y - y;
    const int bottom = clip.y + clip.h - y;
    if (first >= end || top >= bottom) {
        return;
    }
    const int bytes = target->format->BytesPerPixel;
    const int pitch = target->pitch;
    Uint8* const screenPixels = static_cast<Uint8*>(target->pixels);
    const Uint8* const source = static_cast<const Uint8*>(runPixels->pixels);
    // The usual case, the whole box inside: each run goes as it is, and the
    // time goes into copying rather than clipping.
    if (first == boxX && end == boxX + box->w && top <= boxY && bottom >= boxY + box->h) {
        const ptrdiff_t corner = ptrdiff_t(y) * pitch + ptrdiff_t(shiftX) * bytes;
        for (const Run* run = runs; run != runs + runCount; ++run) {
            std::memcpy(screenPixels + (corner + run->y * pitch + run->x * bytes),
                        source + run->offset, size_t(run->length) * bytes);
        }
        return;
    }
    for (const Run* run = runs; run != runs + runCount; ++run) {
        if (run->y >= bottom) {
            break;
        }
        const int from = std::max(run->x, first);
        const int to = std::min(run->x + run->length, end);
        if (run->y < top || from >= to) {
            continue;
        }
        std::memcpy(screenPixels + (y + run->y) * pitch + (from + shiftX) * bytes,
                    source + run->offset + (from - run->x) * bytes, size_t(to - from) * bytes);
    }
}
