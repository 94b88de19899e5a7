// SPDX-License-Identifier: MIT
// Screenshot: saves a frame as "screenshot.bmp" in the current folder, whole
// or not at all.
#pragma once

struct SDL_Surface;

// The frame, as SDL saves it, replaces "screenshot.bmp" only once every byte
// of it is written, under a random name beside it first. Whatever bore the
// name before (an earlier screenshot, a FIFO, a link to another file) is
// replaced, never opened. On any failure (a full disk, a file size limit, a
// read-only disk) the earlier file stays exactly as it was, nothing is left
// beside it, and nothing is said: the match goes on. The one exception is a
// folder the player may not create files in, holding a "screenshot.bmp" the
// player may write: a plain file with no other name is then written over in
// place.
void SaveScreenshot(SDL_Surface* frame);
