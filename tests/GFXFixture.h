// SPDX-License-Identifier: MIT
// GFXFixture: a folder of flat-coloured stand-in pictures with known colours
// at known places, and readers of the 16-bit screen, so that frame tests can
// say exactly which picture must show at a pixel.
#pragma once

#include "game/Player.h"
#include "game/Scroller.h"
#include "gfx/GFX.h"

#include <SDL_types.h>
#include <gtest/gtest.h>
#include <string>

struct SDL_Surface;

struct Rgb {
    Uint8 r, g, b;
};

// Colours of the stand-in pictures; all exact in RGB565 and all different.
namespace Fixture {
constexpr Rgb BLACK = {0, 0, 0};
constexpr Rgb STARS = {24, 40, 72};
constexpr Rgb LOADING = {200, 160, 40};
constexpr Rgb TEXT = {240, 240, 240};
constexpr Rgb SHIP_RED = {232, 64, 64};
constexpr Rgb SHIP_BLUE = {64, 96, 232};
constexpr Rgb LASER_RED = {248, 128, 0};
constexpr Rgb LASER_BLUE = {0, 200, 248};
constexpr Rgb BOOM = {248, 248, 0};
constexpr Rgb RED_BOOM = {168, 0, 80};
constexpr Rgb BLUE_BOOM = {0, 112, 112};
// Fills every part of a picture that lies outside the size the drawing cuts
// it to: it must never reach the screen.
constexpr Rgb OUTSIDE = {248, 0, 248};
// Glyph n of the digit row.
Rgb Digit(int n);

// The stand-in pictures are larger than the parts the drawing uses (filled
// with OUTSIDE beyond them), except the star background, which is 800 by 600.
// Each has a black patch, which is see-through on the sprites:
constexpr int STARS_HOLE_X = 600, STARS_HOLE_Y = 100, STARS_HOLE_SIZE = 10; // px, on the screen
constexpr int LOADING_HOLE_SIZE = 10; // px, at the loading picture's top-left corner
constexpr int DIGIT_HOLE_X = 10;      // px into each glyph: its last column
constexpr int SHIP_HOLE_FROM = 30, SHIP_HOLE_TO = 45;   // px, both axes, end excluded
constexpr int LASER_HOLE_X = 15, LASER_HOLE_X_END = 30; // px
constexpr int LASER_HOLE_Y = 30, LASER_HOLE_Y_END = 45; // px
constexpr int TEXT_HOLE_X = 300, TEXT_HOLE_X_END = 400; // px, all rows
constexpr int BOOM_HOLE_X = 140, BOOM_HOLE_X_END = 160; // px
constexpr int BOOM_HOLE_Y = 30, BOOM_HOLE_Y_END = 45;   // px

// Makes a new temporary folder holding images/ with every picture of the list; the
// loading picture gets the given size. Returns its path.
std::string MakeFolder(int loadingWidth, int loadingHeight);
void RemoveFolder(const std::string& path);
} // namespace Fixture

// The screen's value for a colour, and what is on a surface of the screen's
// format at a point.
Uint16 Mapped(Rgb colour);
Uint16 PixelOf(SDL_Surface* surface, int x, int y);
Uint16 ScreenPixel(int x, int y);
std::string Describe(Uint16 pixel);
// Whether a pixel is the half-and-half mix of two colours, allowing one step
// of RGB565 rounding per channel.
bool IsHalfMix(Uint16 pixel, Rgb a, Rgb b);

// A suite on the dummy display with the stand-in pictures, opened once per
// suite from inside their folder, which stays the current folder so that
// screenshots land there. Each test draws with a copy of the initialised GFX,
// the ships at their starting places and the lasers aimed.
class OnScreen : public ::testing::Test {
  public:
    static constexpr Uint32 START = 100000; // ms on the fake clock when a test begins

  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    void DrawFrame(bool screenshot = false) { gfx.Draw(red, blue, scroller, screenshot); }
    // Puts the banner's left edge at x.
    void BannerAt(float x) { scroller.Scroll(scroller.GetOffset() - x); }

    static GFX ready;
    static std::string folder;
    static std::string home;
    static SDL_Surface* loadingScreen; // a copy of the screen as the set-up left it
    static Uint32 loadingDelay;        // ms the set-up waited

    GFX gfx;
    Player red;
    Player blue;
    Scroller scroller;
};

// Frees the pictures of the list and their sprites, and forgets them and the
// screen, for a fresh set-up.
void ReleasePictures();
