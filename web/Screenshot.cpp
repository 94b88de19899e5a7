// SPDX-License-Identifier: MIT
// The browser's screenshot: a file written in the page's memory is offered
// as a download once closed, so the frame goes straight to "screenshot.bmp";
// there is no earlier file on a disk to keep safe.
#include "gfx/Screenshot.h"

#include <SDL.h>

namespace {
constexpr char SCREENSHOT[] = "screenshot.bmp";
} // namespace

void SaveScreenshot(SDL_Surface* frame) {
    SDL_SaveBMP_RW(frame, SDL_RWFromFile(SCREENSHOT, "wb"), 1);
}
