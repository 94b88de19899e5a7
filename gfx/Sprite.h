// SPDX-License-Identifier: MIT
// Sprite: a keyed picture as the frame draws it - only the box around its
// drawn pixels, so that no blit walks its see-through margins.
#pragma once

#include <SDL_video.h>

class Sprite {
  public:
    Sprite() = default;

    // Keeps a copy of the box around the pixels of picture's top-left w by h
    // part that are not key, in the picture's format; the caller gives it the
    // picture's key and alpha. A part that is all key keeps nothing. Returns
    // false, with SDL's error set, when the box cannot be made; an earlier box
    // is freed either way.
    bool Cut(SDL_Surface* picture, int w, int h, Uint32 key);
    void Release();

    // Draws the columns from sourceX to sourceX + w of the part, all its rows,
    // with the part's top-left corner at (x, y): exactly what blitting that
    // piece of the whole picture would show.
    void Draw(int sourceX, int w, SDL_Surface* target, int x, int y) const;

    SDL_Surface* GetBox() const { return box; }
    int GetBoxX() const { return boxX; }
    int GetBoxY() const { return boxY; }

  private:
    SDL_Surface* box = nullptr; // nullptr: nothing is drawn
    int boxX = 0;               // px from the part's left edge to the box's
    int boxY = 0;               // px from the part's top to the box's
};
