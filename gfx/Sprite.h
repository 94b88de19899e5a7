// SPDX-License-Identifier: MIT
// Sprite: a keyed picture as the frame draws it - the box around its drawn
// pixels, and those pixels as runs that a plain screen takes by straight copy.
#pragma once

#include <SDL.h>

// Runs of drawn pixels one sprite keeps (an explosion has up to 126); a
// picture with more is drawn by SDL's blit of its box.
constexpr int SPRITE_RUNS = 256;

class Sprite {
  public:
    Sprite() = default;

    // Keeps a copy of the box around the pixels of picture's top-left w by h
    // part that are not key, in the picture's format, and the runs of those
    // pixels row by row; the caller gives the box the picture's key and alpha.
    // A part that is all key keeps nothing. Returns false, with SDL's error
    // set, when the copies cannot be made; an earlier cut is freed either way.
    bool Cut(SDL_Surface* picture, int w, int h, Uint32 key);
    void Release();

    // Draws the columns from sourceX to sourceX + w of the part, all its rows,
    // with the part's top-left corner at (x, y): exactly what blitting that
    // piece of the whole picture would show.
    void Draw(int sourceX, int w, SDL_Surface* target, int x, int y) const;

    // Whether Draw copies the runs straight into target's pixels: target is
    // plain memory of the box's format and the box is keyed, not blended.
    // Otherwise SDL blits the box, and keeps every rule of its own.
    bool CopiesInto(const SDL_Surface* target) const;

    SDL_Surface* GetBox() const { return box; }
    int GetBoxX() const { return boxX; }
    int GetBoxY() const { return boxY; }
    int GetRunCount() const { return runCount; }

  private:
    // A row's stretch of drawn pixels.
    struct Run {
        int x;      // px from the part's left edge
        int y;      // px from the part's top
        int length; // px
        int offset; // bytes from the start of runPixels to its first pixel
    };

    bool KeepRuns(const SDL_Surface* picture);
    void CopyRuns(int left, int right, SDL_Surface* target, int shiftX, int y) const;

    SDL_Surface* box = nullptr;       // nullptr: nothing is drawn
    SDL_Surface* runPixels = nullptr; // the box's pixels, never encoded; nullptr: no runs
    int boxX = 0;                     // px from the part's left edge to the box's
    int boxY = 0;                     // px from the part's top to the box's
    Uint32 key = 0;                   // the colour the runs leave out
    Run runs[SPRITE_RUNS];            // top row first, left to right within a row
    int runCount = 0;
};
