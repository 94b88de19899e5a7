// SPDX-License-Identifier: MIT
// Frame: the game's 800x600 screen at its own 16-bit precision, read from a
// screenshot or composed from the pictures, and the health bars found in it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Pixel565 = std::uint16_t;

constexpr int FRAME_WIDTH = 800;  // px
constexpr int FRAME_HEIGHT = 600; // px

// A 24-bit colour cut down to 16 bits (5 red, 6 green, 5 blue), as the
// game's screen holds it.
constexpr int RED_LOSS = 3;   // bits dropped
constexpr int GREEN_LOSS = 2; // bits dropped
constexpr int BLUE_LOSS = 3;  // bits dropped
constexpr int RED_AT = 11;    // bit where red starts
constexpr int GREEN_AT = 5;   // bit where green starts
constexpr Pixel565 Rgb565(int r, int g, int b) {
    return Pixel565(((r >> RED_LOSS) << RED_AT) | ((g >> GREEN_LOSS) << GREEN_AT) |
                    (b >> BLUE_LOSS));
}

struct Frame {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0; // of the file it was read from
    std::vector<Pixel565> pixels;

    Pixel565 At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Reads a BMP file; false (with the reason) when it cannot be read.
bool LoadFrame(const std::string& path, Frame& frame, std::string& error);

// Health bars, as the game draws them: 50x5 pixels, dark under bright.
constexpr int BAR_WIDTH = 50;             // px
constexpr int BAR_HEIGHT = 5;             // px
constexpr int BAR_PIXELS_PER_HEALTH = 10; // px
constexpr int FULL_HEALTH = 5;
constexpr int BAR_OFFSET_X = 25; // bar left edge = ship x - this
constexpr int BAR_OFFSET_Y = 50; // bar top = ship y - this
constexpr Pixel565 RED_BRIGHT = Rgb565(255, 0, 0);
constexpr Pixel565 RED_DARK = Rgb565(128, 0, 0);
constexpr Pixel565 BLUE_BRIGHT = Rgb565(0, 0, 255);
constexpr Pixel565 BLUE_DARK = Rgb565(0, 0, 128);

// A block of one colour exactly BAR_HEIGHT rows high whose rows all span the
// same columns; right and bottom are inclusive.
struct Block {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left + 1; }
};

// Every such block of the colour at least minWidth wide (a bar cut by the
// screen edge is narrower than a whole one).
std::vector<Block> FindBars(const Frame& frame, Pixel565 colour, int minWidth);

// The bar whose top-left corner lies at (left, top), fully on screen: the
// width of its bright part, or -1 when the 50x5 pixels there are not a run of
// bright pixels followed by dark ones in every row.
int BrightWidthAt(const Frame& frame, int left, int top, Pixel565 bright, Pixel565 dark);

// The opening frame composed from the pictures in imagesDir as the game draws
// it: stars, both '0' digits, full health bars and both ships at their start,
// sprites with black transparent.
bool ComposeOpeningFrame(const std::string& imagesDir, Frame& frame, std::string& error);
