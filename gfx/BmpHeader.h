// SPDX-License-Identifier: MIT
// BmpHeader: the look at a picture's header that keeps files SDL's BMP reader
// cannot cope with (odd bit depths, absurd sizes, cut-short data) away from it.
#pragma once

#include <SDL_types.h>

struct SDL_RWops;

// What the check read of an accepted picture's header, for a reader of its
// own (the browser's) to choose by.
struct BmpFormat {
    Uint32 infoSize = 0;    // bytes of the info header
    Uint16 depth = 0;       // bits per pixel
    Uint32 compression = 0; // 0 uncompressed, 3 bit fields
};

// The largest width or height a picture may claim: far above anything the
// 800x600 screen shows, and small enough that a row of 32-bit pixels stays
// within the 16-bit row length SDL 1.2 keeps, and that a destination placed
// from the picture's size stays within SDL_Rect's 16-bit coordinates.
constexpr int MAX_PICTURE_SIDE = 8192; // px

// Reads the BMP header at the stream's current position and tells whether
// SDL_LoadBMP_RW may be given the stream. Accepts only an uncompressed (or
// 16/32-bit bit-field) Windows BMP of 1, 4, 8, 16, 24 or 32 bits per pixel,
// at most MAX_PICTURE_SIDE pixels wide and high, whose file holds every row
// of pixels it claims; a paletted one only with the 12- or 40-byte header,
// the two whose palette SDL 1.2 finds. Leaves the stream where it found it.
// A refused picture gets a short reason as SDL's error text; a null stream
// (a file that could not be opened) is refused with SDL's text left as it is.
// An accepted picture's header kind goes to format when one is given.
bool CheckBmpHeader(SDL_RWops* file, BmpFormat* format = nullptr);
