// SPDX-License-Identifier: MIT
// Pictures: the one list of the game's pictures - the file each is read from,
// the size of the part a frame uses, and how its pixels reach the screen.
#pragma once

// How a picture's pixels reach the screen.
enum class Look {
    OPAQUE,  // every pixel, black included
    KEYED,   // black is see-through
    BLENDED, // black is see-through, the rest mixed half and half with what lies beneath
};

// Every picture, in the order the set-up loads them.
enum class Picture {
    LOADING,
    STARS,
    DIGITS,
    TEXT,
    SHIP_RED,
    SHIP_BLUE,
    LASER_RED,
    LASER_BLUE,
    BOOM,
    RED_BOOM,
    BLUE_BOOM,
    COUNT
};

struct PictureFile {
    Picture picture;  // its place in the list
    const char* name; // in IMAGES_FOLDER
    int width;        // px of the part a frame uses, from the picture's top-left corner
    int height;       // px
    Look look;
};

inline constexpr char IMAGES_FOLDER[] = "images";

// The loading picture is shown whole, in the bottom-right corner, at its own
// size; the sizes of the others are what the frame cuts them to.
inline constexpr PictureFile PICTURE_FILES[] = {
    {Picture::LOADING, "loading.bmp", 800, 600, Look::OPAQUE},
    {Picture::STARS, "stars.bmp", 800, 600, Look::OPAQUE},
    {Picture::DIGITS, "digits.bmp", 110, 16, Look::KEYED}, // the glyphs 0 to 9 in one row
    {Picture::TEXT, "text.bmp", 800, 17, Look::BLENDED},
    {Picture::SHIP_RED, "ship_red.bmp", 75, 75, Look::KEYED},
    {Picture::SHIP_BLUE, "ship_blue.bmp", 75, 75, Look::KEYED},
    {Picture::LASER_RED, "laser_red.bmp", 45, 75, Look::KEYED},
    {Picture::LASER_BLUE, "laser_blue.bmp", 45, 75, Look::KEYED},
    {Picture::BOOM, "boom.bmp", 300, 75, Look::KEYED},
    {Picture::RED_BOOM, "redboom.bmp", 300, 75, Look::KEYED},
    {Picture::BLUE_BOOM, "blueboom.bmp", 300, 75, Look::KEYED},
};

constexpr int PICTURE_COUNT = int(Picture::COUNT);

constexpr bool ListFollowsTheEnum() {
    for (int i = 0; i < PICTURE_COUNT; ++i) {
        if (int(PICTURE_FILES[i].picture) != i) {
            return false;
        }
    }
    return sizeof PICTURE_FILES / sizeof PICTURE_FILES[0] == PICTURE_COUNT;
}
static_assert(ListFollowsTheEnum(), "one line per picture, in the order of Picture");

constexpr const PictureFile& FileOf(Picture picture) { return PICTURE_FILES[int(picture)]; }
