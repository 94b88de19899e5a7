// SPDX-License-Identifier: MIT
// Layout: where every picture and bar of a frame sits on the screen, and how
// big each is; the frame drawing and the frame benchmark both read it.
#pragma once

#include "../game/Screen.h"
#include "Pictures.h"

#include <SDL_types.h>

// Score digits: one row of glyphs, digit n starting at n glyph widths.
constexpr int DIGIT_COUNT = 10;
constexpr int DIGIT_WIDTH = FileOf(Picture::DIGITS).width / DIGIT_COUNT; // px
constexpr int DIGIT_HEIGHT = FileOf(Picture::DIGITS).height;             // px
constexpr int BLUE_SCORE_X = 5;                                          // px
constexpr int RED_SCORE_X = 785;                                         // px
constexpr int SCORE_Y = 5;                                               // px

// Health bars: a dark bar of full length under a bright one that shrinks.
constexpr int BAR_LEFT = 25;       // px from the ship's centre to the bar's left end
constexpr int BAR_ABOVE = 50;      // px from the ship's centre up to the bar's top
constexpr int BAR_WIDTH = 50;      // px
constexpr int BAR_HEIGHT = 5;      // px
constexpr int BAR_PER_HEALTH = 10; // px per hit the ship can still take
constexpr Uint8 BAR_DARK = 128;    // colour level of the dark bar, of 255
constexpr Uint8 BAR_BRIGHT = 255;  // colour level of the bright bar, of 255

// Shots and ships, placed by their centres.
constexpr int LASER_WIDTH = FileOf(Picture::LASER_RED).width;   // px
constexpr int LASER_HEIGHT = FileOf(Picture::LASER_RED).height; // px
constexpr int LASER_LEFT = 20;  // px from the shot's centre to the picture's left edge
constexpr int LASER_ABOVE = 37; // px from the shot's centre to the picture's top
constexpr int SHIP_SIZE = FileOf(Picture::SHIP_RED).width; // px, square
constexpr int SHIP_HALF = 37; // px from the ship's centre to the picture's left and top

constexpr int BANNER_WIDTH = FileOf(Picture::TEXT).width;   // px: the banner spans the screen
constexpr int BANNER_HEIGHT = FileOf(Picture::TEXT).height; // px
constexpr int BANNER_Y = 580;                               // px

// The explosion banner, in the middle of the screen.
constexpr int BOOM_X = 250;                               // px
constexpr int BOOM_Y = 264;                               // px
constexpr int BOOM_WIDTH = FileOf(Picture::BOOM).width;   // px
constexpr int BOOM_HEIGHT = FileOf(Picture::BOOM).height; // px

// The banner is blended at half opacity.
constexpr Uint8 BANNER_ALPHA = 128; // of 255
