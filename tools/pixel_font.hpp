// SPDX-License-Identifier: MIT
// Hand-made bold arcade font for make_images.cpp.
//
// Glyphs are 7 cells high; vertical strokes are two cells wide and horizontal
// strokes one cell high, so drawing a cell as 1x2 pixels gives crisp, square
// 2-pixel strokes. Besides full cells ('#'), glyphs contain half-cell
// triangles that smooth diagonals and round corners when text is drawn large;
// small crisp text leaves them out. The letter of a triangle looks like the
// corner it fills:
//   'L' lower-left half   'J' lower-right half
//   'F' upper-left half   '7' upper-right half
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "raster.hpp"

namespace pixel_font {

constexpr int kGlyphRows = 7;
constexpr int kLetterSpacing = 1; // empty cells between glyphs

// Control characters used for arrow key symbols.
constexpr char kArrowLeft = '\x01';
constexpr char kArrowUp = '\x02';
constexpr char kArrowRight = '\x03';
constexpr char kArrowDown = '\x04';

struct Glyph {
    char ch;
    std::array<std::string_view, kGlyphRows> rows;
    int width() const { return static_cast<int>(rows[0].size()); }
};

// clang-format off
inline constexpr Glyph kGlyphs[] = {
  {' ', {"...", "...", "...", "...", "...", "...", "..."}},
  {'A', {"J####L", "##..##", "##..##", "######", "##..##", "##..##", "##..##"}},
  {'B', {"#####L", "##..##", "##..##", "#####.", "##..##", "##..##", "#####F"}},
  {'C', {"J#####", "##....", "##....", "##....", "##....", "##....", "7#####"}},
  {'D', {"#####L", "##..##", "##..##", "##..##", "##..##", "##..##", "#####F"}},
  {'E', {"######", "##....", "##....", "#####.", "##....", "##....", "######"}},
  {'F', {"######", "##....", "##....", "#####.", "##....", "##....", "##...."}},
  {'G', {"J#####", "##....", "##....", "##.###", "##..##", "##..##", "7#####"}},
  {'H', {"##..##", "##..##", "##..##", "######", "##..##", "##..##", "##..##"}},
  {'I', {"####", ".##.", ".##.", ".##.", ".##.", ".##.", "####"}},
  {'J', {"....##", "....##", "....##", "....##", "##..##", "##..##", "7####F"}},
  {'K', {"##..##", "##.##F", "####F.", "###...", "####L.", "##.##L", "##..##"}},
  {'L', {"##....", "##....", "##....", "##....", "##....", "##....", "######"}},
  {'M', {"##L.J##", "###.###", "#######", "##.#.##", "##...##", "##...##", "##...##"}},
  {'N', {"##L.##", "###L##", "######", "##7###", "##.7##", "##..##", "##..##"}},
  {'O', {"J####L", "##..##", "##..##", "##..##", "##..##", "##..##", "7####F"}},
  {'P', {"#####L", "##..##", "##..##", "#####F", "##....", "##....", "##...."}},
  {'Q', {"J####L", "##..##", "##..##", "##..##", "##..##", "##.###", "7#####"}},
  {'R', {"#####L", "##..##", "##..##", "#####F", "##.##L", "##..##", "##..##"}},
  {'S', {"J#####", "##....", "##....", "7####L", "....##", "....##", "#####F"}},
  {'T', {"######", "..##..", "..##..", "..##..", "..##..", "..##..", "..##.."}},
  {'U', {"##..##", "##..##", "##..##", "##..##", "##..##", "##..##", "7####F"}},
  {'V', {"##..##", "##..##", "##..##", "##..##", "##..##", "7####F", ".7##F."}},
  {'W', {"##...##", "##...##", "##...##", "##.#.##", "#######", "###.###", "##F.7##"}},
  {'X', {"##..##", "##..##", "7####F", "..##..", "J####L", "##..##", "##..##"}},
  {'Y', {"##..##", "##..##", "7####F", ".7##F.", "..##..", "..##..", "..##.."}},
  {'Z', {"######", "...J##", "..J##F", ".J##F.", "J##F..", "##F...", "######"}},
  {'0', {"J####L", "##..##", "##..##", "##..##", "##..##", "##..##", "7####F"}},
  {'1', {"..##..", "J###..", "..##..", "..##..", "..##..", "..##..", "######"}},
  {'2', {"J####L", "##..##", "....##", "..J##F", ".J##F.", "J##F..", "######"}},
  {'3', {"J####L", "##..##", "....##", "..####", "....##", "##..##", "7####F"}},
  {'4', {"##..##", "##..##", "##..##", "######", "....##", "....##", "....##"}},
  {'5', {"######", "##....", "#####L", "....##", "....##", "##..##", "7####F"}},
  {'6', {"J#####", "##....", "##....", "#####L", "##..##", "##..##", "7####F"}},
  {'7', {"######", "....##", "...J##", "..J##F", "..##F.", "..##..", "..##.."}},
  {'8', {"J####L", "##..##", "##..##", ".####.", "##..##", "##..##", "7####F"}},
  {'9', {"J####L", "##..##", "##..##", "7#####", "....##", "....##", "#####F"}},
  {'-', {"....", "....", "....", "####", "....", "....", "...."}},
  {'+', {"......", "..##..", "..##..", "######", "..##..", "..##..", "......"}},
  {'*', {"....", ".JL.", "J##L", "####", "7##F", ".7F.", "...."}},
  {':', {"..", "##", "..", "..", "..", "##", ".."}},
  {'.', {"..", "..", "..", "..", "..", "..", "##"}},
  {',', {"..", "..", "..", "..", "..", "##", "#F"}},
  {'!', {"##", "##", "##", "##", "##", "..", "##"}},
  {'\'', {"##", "##", "..", "..", "..", "..", ".."}},
  {'/', {"....##", "...J##", "..J##F", ".J##F.", "J##F..", "##F...", "##...."}},
  {'(', {"J##", "##F", "##.", "##.", "##.", "##L", "7##"}},
  {')', {"##L", "7##", ".##", ".##", ".##", "J##", "##F"}},
  {kArrowLeft,  {"......", ".J#...", "J##...", "######", "7##...", ".7#...", "......"}},
  {kArrowRight, {"......", "...#L.", "...##L", "######", "...##F", "...#F.", "......"}},
  {kArrowUp,    {".J##L.", "J####L", "######", "..##..", "..##..", "..##..", "..##.."}},
  {kArrowDown,  {"..##..", "..##..", "..##..", "..##..", "######", "7####F", ".7##F."}},
};
// clang-format on

inline const Glyph& glyph(char c) {
    for (const Glyph& g : kGlyphs)
        if (g.ch == c)
            return g;
    return kGlyphs[0]; // unknown characters draw as a space
}

// Width of a text in cells.
inline int textCells(std::string_view text) {
    int cells = 0;
    for (char c : text)
        cells += glyph(c).width() + kLetterSpacing;
    return text.empty() ? 0 : cells - kLetterSpacing;
}

// How a text is laid out: cell size in pixels and whether the smoothing
// triangles are drawn.
struct TextLayout {
    double cellWidth = 1;
    double cellHeight = 2;
    bool smooth = false;
    double width(std::string_view text) const { return textCells(text) * cellWidth; }
    double height() const { return kGlyphRows * cellHeight; }
};

// Polygon for one cell of a glyph (empty if the cell is blank).
inline raster::Polygon cellPolygon(char cell, raster::Vec2 lo, raster::Vec2 hi, bool smooth) {
    const raster::Vec2 tl = lo, tr{hi.x, lo.y}, br = hi, bl{lo.x, hi.y};
    if (cell == '#')
        return {tl, tr, br, bl};
    if (!smooth)
        return {};
    switch (cell) {
    case 'L':
        return {tl, br, bl};
    case 'J':
        return {tr, br, bl};
    case 'F':
        return {tl, tr, bl};
    case '7':
        return {tl, tr, br};
    default:
        return {};
    }
}

// Shape of a text whose top-left corner is at `origin`.
inline raster::Shape textShape(std::string_view text, raster::Vec2 origin,
                               const TextLayout& layout) {
    raster::Shape shape;
    double x = origin.x;
    for (char c : text) {
        const Glyph& g = glyph(c);
        for (int row = 0; row < kGlyphRows; ++row)
            for (int col = 0; col < g.width(); ++col) {
                const raster::Vec2 lo{x + col * layout.cellWidth,
                                      origin.y + row * layout.cellHeight};
                const raster::Vec2 hi{lo.x + layout.cellWidth, lo.y + layout.cellHeight};
                raster::Polygon p = cellPolygon(g.rows[row][col], lo, hi, layout.smooth);
                if (!p.empty())
                    shape.push_back(std::move(p));
            }
        x += (g.width() + kLetterSpacing) * layout.cellWidth;
    }
    return shape;
}

} // namespace pixel_font
