// SPDX-License-Identifier: MIT
// BmpFiles: writes Windows BMP pictures of every depth and header the game may
// meet, byte by byte, so that tests can make good pictures and then spoil
// exactly one field of them; plus reading and writing files and pixels.
#pragma once

#include <SDL_types.h>

#include <functional>
#include <string>
#include <vector>

struct SDL_Surface;

// Where the fields of a BMP lie, from the start of the file.
namespace BmpField {
constexpr int MARK = 0;          // "BM"
constexpr int FILE_SIZE = 2;     // 32 bits
constexpr int PIXEL_OFFSET = 10; // 32 bits
constexpr int INFO_SIZE = 14;    // 32 bits
constexpr int WIDTH = 18;        // 32 bits (16 in a core header)
constexpr int HEIGHT = 22;       // 32 bits (at 20, 16 bits, in a core header)
constexpr int CORE_HEIGHT = 20;  // 16 bits
constexpr int CORE_DEPTH = 24;   // 16 bits
constexpr int DEPTH = 28;        // 16 bits
constexpr int COMPRESSION = 30;  // 32 bits
constexpr int COLOURS_USED = 46; // 32 bits
constexpr int MASKS = 54;        // 3 x 32 bits after a 40-byte header, or inside a longer one
constexpr int HEADERS_END = 138; // bytes: the file header and the longest info header
} // namespace BmpField

struct PixelColour {
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
};

struct BmpLayout {
    int width = 1;          // px
    int height = 1;         // px, always positive here; see topDown
    int depth = 24;         // bits per pixel: 1, 4, 8, 16, 24 or 32
    Uint32 infoSize = 40;   // bytes: 12, 40, 52, 56, 108 or 124
    bool bitFields = false; // 16 and 32 bits: explicit masks (565 for 16 bits)
    bool topDown = false;   // rows stored from the top, with a negative height
};

using PixelSource = std::function<PixelColour(int x, int y)>;

// A test pattern with black, white and many colours in it.
PixelColour Pattern(int x, int y);

// The whole file. Paletted depths get a fixed palette (2, 16 or 256 colours)
// and each pixel the nearest colour of it.
BmpLayout Layout(int width, int height, int depth, Uint32 infoSize = 40, bool bitFields = false,
                 bool topDown = false);

std::vector<Uint8> EncodeBmp(const BmpLayout& layout, const PixelSource& colourAt);

// The colour a reader should give back for a pixel written as colour.
PixelColour Stored(const BmpLayout& layout, PixelColour colour);

// True when the colour read back matches the one stored, to the precision of
// the depth (SDL versions differ in how they widen 5- and 6-bit channels).
bool SameColour(const BmpLayout& layout, PixelColour stored, PixelColour read);

PixelColour PixelOf(SDL_Surface* surface, int x, int y);

void Put16(std::vector<Uint8>& bytes, int at, Uint16 value);
void Put32(std::vector<Uint8>& bytes, int at, Uint32 value);
Uint32 Get32(const std::vector<Uint8>& bytes, int at);

bool WriteFile(const std::string& path, const std::vector<Uint8>& bytes);
std::vector<Uint8> ReadFile(const std::string& path);

// A fresh folder under /tmp, removed with everything in it by RemoveTree.
std::string MakeTempFolder(const char* what);
void RemoveTree(const std::string& path);
