// SPDX-License-Identifier: MIT
// How pictures reach the screen: a keyed picture drawn as the box around its
// drawn pixels shows exactly what the whole picture would, wherever it lands,
// edges and clipping included; the background's copy matches SDL's blit.
#include "gfx/Blit.h"
#include "gfx/Sprite.h"

#include <SDL.h>
#include <cstring>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr Uint32 R565 = 0xF800, G565 = 0x07E0, B565 = 0x001F;
constexpr int TARGET_W = 96, TARGET_H = 72; // px
constexpr int PART_W = 20, PART_H = 15;     // px: the part the drawing uses
constexpr int MARGIN = 4;                   // px of the picture beyond the part
constexpr Uint16 BLACK = 0;
constexpr Uint16 OUTSIDE = 0xF81F; // fills the picture beyond the part: must never show
constexpr Uint8 HALF = 128;        // the banner's alpha

SDL_Surface* New565(int w, int h) {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, R565, G565, B565, 0);
}

Uint16& At(SDL_Surface* s, int x, int y) {
    return reinterpret_cast<Uint16*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x];
}

// A different colour at every point, never black.
Uint16 Pattern(int x, int y, int seed) { return Uint16(0x0821 + (x * 37 + y * 101 + seed) * 7); }

// The target: a pattern, so that a picture drawn one pixel off shows.
SDL_Surface* NewTarget() {
    SDL_Surface* t = New565(TARGET_W, TARGET_H);
    for (int y = 0; y < TARGET_H; ++y) {
        for (int x = 0; x < TARGET_W; ++x) {
            At(t, x, y) = Pattern(x, y, 5);
        }
    }
    return t;
}

// A picture of the part's size and more, whose part is black except where
// drawn(x, y) says; OUTSIDE beyond the part.
template <typename Drawn> SDL_Surface* NewPicture(int partW, int partH, Drawn drawn) {
    SDL_Surface* p = New565(partW + MARGIN, partH + MARGIN);
    for (int y = 0; y < p->h; ++y) {
        for (int x = 0; x < p->w; ++x) {
            const bool inPart = x < partW && y < partH;
            At(p, x, y) = !inPart ? OUTSIDE : drawn(x, y) ? Pattern(x, y, 11) : BLACK;
        }
    }
    return p;
}

void SetLook(SDL_Surface* s, bool blended) {
    SDL_SetColorKey(s, SDL_SRCCOLORKEY | SDL_RLEACCEL, BLACK);
    if (blended) {
        SDL_SetAlpha(s, SDL_SRCALPHA | SDL_RLEACCEL, HALF);
    }
}

// The first pixel where two targets of one format differ, or "". Locked, as
// an encoded target has no pixels otherwise.
std::string FirstDifference(SDL_Surface* a, SDL_Surface* b) {
    if (SDL_LockSurface(a) != 0 || SDL_LockSurface(b) != 0) {
        return SDL_GetError();
    }
    const int bytes = a->format->BytesPerPixel;
    std::string found;
    for (int y = 0; y < TARGET_H && found.empty(); ++y) {
        const Uint8* rowA = static_cast<Uint8*>(a->pixels) + y * a->pitch;
        const Uint8* rowB = static_cast<Uint8*>(b->pixels) + y * b->pitch;
        if (std::memcmp(rowA, rowB, size_t(TARGET_W) * bytes) == 0) {
            continue;
        }
        int x = 0;
        while (std::memcmp(rowA + x * bytes, rowB + x * bytes, bytes) == 0) {
            ++x;
        }
        found = "at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    }
    SDL_UnlockSurface(b);
    SDL_UnlockSurface(a);
    return found;
}

struct Shape {
    const char* name;
    bool (*drawn)(int x, int y); // within PART_W by PART_H
    // The box the cut must keep: left, top, width, height; width 0 for none.
    int boxX, boxY, boxW, boxH;
};

void PrintTo(const Shape& s, std::ostream* os) { *os << s.name; }

const Shape SHAPES[] = {
    {"DrawnAtAllFourEdges",
     [](int x, int y) {
         return (x == 0 && y == 5) || (x == PART_W - 1 && y == 9) || (x == 7 && y == 0) ||
                (x == 12 && y == PART_H - 1);
     },
     0, 0, PART_W, PART_H},
    {"EveryPixelDrawn", [](int, int) { return true; }, 0, 0, PART_W, PART_H},
    {"AllBlack", [](int, int) { return false; }, 0, 0, 0, 0},
    {"OnePixel", [](int x, int y) { return x == 13 && y == 4; }, 13, 4, 1, 1},
    {"ABoltAcrossTheMiddleRows", [](int x, int y) { return y >= 6 && y <= 8 && x <= 16; }, 0, 6, 17,
     3},
    {"HollowRingInside",
     [](int x, int y) {
         const bool inRing = x >= 3 && x <= 15 && y >= 2 && y <= 11;
         const bool inHole = x >= 5 && x <= 13 && y >= 4 && y <= 9;
         return inRing && !inHole;
     },
     3, 2, 13, 10},
    {"LastColumnAndLastRow", [](int x, int y) { return x == PART_W - 1 || y == PART_H - 1; }, 0, 0,
     PART_W, PART_H},
};

// Places of the picture's top-left corner: wholly off, partly off and inside,
// at each edge of the target.
const int XS[] = {-PART_W, -PART_W + 1,       -7,           -1,           0,       1,
                  40,      TARGET_W - PART_W, TARGET_W - 3, TARGET_W - 1, TARGET_W};
const int YS[] = {-PART_H, -PART_H + 1, -5, 0, 2, TARGET_H - PART_H, TARGET_H - 1, TARGET_H};

// A suite of cases, each run with SDL's video set up.
template <typename Case> class WithVideo : public ::testing::TestWithParam<Case> {
  protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
    void TearDown() override { SDL_Quit(); }
};

class Cut : public WithVideo<Shape> {};

TEST_P(Cut, KeepsTheBoxAroundTheDrawnPixelsOfThePartOnly) {
    const Shape& s = GetParam();
    SDL_Surface* picture = NewPicture(PART_W, PART_H, s.drawn);
    SetLook(picture, false);
    Sprite sprite;
    ASSERT_TRUE(sprite.Cut(picture, PART_W, PART_H, BLACK)) << SDL_GetError();
    if (s.boxW == 0) {
        EXPECT_EQ(sprite.GetBox(), nullptr);
    } else {
        ASSERT_NE(sprite.GetBox(), nullptr);
        EXPECT_EQ(sprite.GetBoxX(), s.boxX);
        EXPECT_EQ(sprite.GetBoxY(), s.boxY);
        EXPECT_EQ(sprite.GetBox()->w, s.boxW);
        EXPECT_EQ(sprite.GetBox()->h, s.boxH);
    }
    sprite.Release();
    EXPECT_EQ(sprite.GetBox(), nullptr);
    SDL_FreeSurface(picture);
}

TEST_P(Cut, DrawsExactlyWhatTheWholePartWouldAtEveryPlace) {
    const Shape& s = GetParam();
    for (bool blended : {false, true}) {
        SDL_Surface* picture = NewPicture(PART_W, PART_H, s.drawn);
        SetLook(picture, blended);
        Sprite sprite;
        ASSERT_TRUE(sprite.Cut(picture, PART_W, PART_H, BLACK)) << SDL_GetError();
        if (sprite.GetBox() != nullptr) {
            SetLook(sprite.GetBox(), blended);
        }
        SDL_Surface* whole = NewTarget();
        SDL_Surface* cut = NewTarget();
        for (int y : YS) {
            for (int x : XS) {
                BlitAt(picture, 0, PART_W, PART_H, whole, x, y);
                sprite.Draw(0, PART_W, cut, x, y);
                ASSERT_EQ(FirstDifference(whole, cut), "")
                    << (blended ? "blended" : "keyed") << ", placed at (" << x << ", " << y << ")";
            }
        }
        sprite.Release();
        for (SDL_Surface* s : {picture, whole, cut}) {
            SDL_FreeSurface(s);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, Cut, ::testing::ValuesIn(SHAPES),
                         [](const auto& info) { return std::string(info.param.name); });

// A row of glyphs drawn one at a time: glyph 1 is all black, glyph 2 has
// drawn pixels only in its middle, the last reaches the part's right edge.
TEST(CutGlyphs, EachGlyphShowsExactlyAsFromTheWholeRow) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    constexpr int GLYPH_W = 5, GLYPHS = 4, GLYPH_H = 7; // px, px, count... px
    SDL_Surface* picture = NewPicture(GLYPH_W * GLYPHS, GLYPH_H, [](int x, int y) {
        switch (x / GLYPH_W) {
        case 0:
            return (x + y) % 3 == 0;
        case 1:
            return false;
        case 2:
            return x % GLYPH_W == 2 && y > 0 && y < GLYPH_H - 1;
        default:
            return x % GLYPH_W >= 3 || y == 0;
        }
    });
    SetLook(picture, false);
    Sprite sprite;
    ASSERT_TRUE(sprite.Cut(picture, GLYPH_W * GLYPHS, GLYPH_H, BLACK)) << SDL_GetError();
    SetLook(sprite.GetBox(), false);
    EXPECT_EQ(sprite.GetBox()->w, GLYPH_W * GLYPHS);
    SDL_Surface* whole = NewTarget();
    SDL_Surface* cut = NewTarget();
    for (int glyph = 0; glyph < GLYPHS; ++glyph) {
        for (int x : {-GLYPH_W + 1, -2, 0, 30, TARGET_W - 2}) {
            for (int y : {-3, 0, 10, TARGET_H - 1}) {
                BlitAt(picture, GLYPH_W * glyph, GLYPH_W, GLYPH_H, whole, x, y);
                sprite.Draw(GLYPH_W * glyph, GLYPH_W, cut, x, y);
                ASSERT_EQ(FirstDifference(whole, cut), "")
                    << "glyph " << glyph << " at (" << x << ", " << y << ")";
            }
        }
    }
    sprite.Release();
    for (SDL_Surface* s : {picture, whole, cut}) {
        SDL_FreeSurface(s);
    }
    SDL_Quit();
}

TEST(CutAgain, ReplacesTheEarlierBox) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Surface* one = NewPicture(PART_W, PART_H, [](int x, int y) { return x == 2 && y == 3; });
    SDL_Surface* none = NewPicture(PART_W, PART_H, [](int, int) { return false; });
    Sprite sprite;
    ASSERT_TRUE(sprite.Cut(one, PART_W, PART_H, BLACK));
    ASSERT_NE(sprite.GetBox(), nullptr);
    ASSERT_TRUE(sprite.Cut(none, PART_W, PART_H, BLACK));
    EXPECT_EQ(sprite.GetBox(), nullptr);
    EXPECT_EQ(sprite.GetBoxX(), 0);
    EXPECT_EQ(sprite.GetBoxY(), 0);
    SDL_Surface* target = NewTarget();
    SDL_Surface* untouched = NewTarget();
    sprite.Draw(0, PART_W, target, 0, 0);
    EXPECT_EQ(FirstDifference(target, untouched), "") << "an empty sprite draws nothing";
    for (SDL_Surface* s : {one, none, target, untouched}) {
        SDL_FreeSurface(s);
    }
    SDL_Quit();
}

// What a sprite may land on. Its runs are copied straight into a target of
// its format in plain memory; on anything else SDL blits its box. Either way
// the target shows exactly what SDL's blit of the whole picture would.
struct TargetCase {
    const char* name;
    int bits;      // per pixel
    bool clipped;  // drawing limited to CLIP
    bool mustLock; // run-length encoded, so that SDL decodes it for every access
    bool blended;  // the picture mixed half and half with the target
    bool copies;   // the runs are copied, not blitted
};

void PrintTo(const TargetCase& c, std::ostream* os) { *os << c.name; }

constexpr SDL_Rect CLIP = {11, 7, 53, 41};

const TargetCase TARGETS[] = {
    {"PlainOfItsFormat", 16, false, false, false, true},
    {"ClippedInside", 16, true, false, false, true},
    {"MustBeLocked", 16, false, true, false, false},
    {"OfAnotherFormat", 32, false, false, false, false},
    {"UnderABlendedPicture", 16, false, false, true, false},
};

// A target of the case's kind under the pattern.
SDL_Surface* NewTarget(const TargetCase& c) {
    SDL_Surface* t = NewTarget();
    if (c.bits == 32) {
        SDL_FreeSurface(t);
        t = SDL_CreateRGBSurface(SDL_SWSURFACE, TARGET_W, TARGET_H, 32, 0xFF0000, 0x00FF00,
                                 0x0000FF, 0);
        for (int y = 0; y < TARGET_H; ++y) {
            for (int x = 0; x < TARGET_W; ++x) {
                reinterpret_cast<Uint32*>(static_cast<Uint8*>(t->pixels) + y * t->pitch)[x] =
                    Uint32(Pattern(x, y, 5)) * 0x0101;
            }
        }
    }
    if (c.clipped) {
        SDL_Rect clip = CLIP;
        SDL_SetClipRect(t, &clip);
    }
    if (c.mustLock) {
        // SDL encodes a keyed picture on its first blit.
        SDL_SetColorKey(t, SDL_SRCCOLORKEY | SDL_RLEACCEL, OUTSIDE);
        SDL_Surface* scratch = New565(1, 1);
        SDL_BlitSurface(t, nullptr, scratch, nullptr);
        SDL_FreeSurface(scratch);
    }
    return t;
}

// Cuts the part of a picture and gives the box the picture's look.
bool CutLike(Sprite& sprite, SDL_Surface* picture, int w, int h, bool blended) {
    SetLook(picture, blended);
    if (!sprite.Cut(picture, w, h, BLACK)) {
        return false;
    }
    if (sprite.GetBox() != nullptr) {
        SetLook(sprite.GetBox(), blended);
    }
    return true;
}

struct Columns {
    int sourceX, w; // px: the piece of the part drawn, as a score draws one glyph
};

// Places of a piece's top-left corner along one axis, for a part of the given
// length: at each edge, wholly before it, one pixel over it, and either side
// of it by a pixel; the edges being the target's and CLIP's.
std::vector<int> PlacesAround(std::initializer_list<int> edges, int part) {
    std::vector<int> places;
    for (int edge : edges) {
        for (int place : {edge - part, edge - part + 1, edge - 1, edge, edge + 1}) {
            places.push_back(place);
        }
    }
    return places;
}

const std::vector<int> PLACES_X = PlacesAround({0, CLIP.x, CLIP.x + CLIP.w, TARGET_W}, PART_W);
const std::vector<int> PLACES_Y = PlacesAround({0, CLIP.y, CLIP.y + CLIP.h, TARGET_H}, PART_H);

// Draws each piece of the sprite at every place on a target of the case's
// kind, and SDL's blit of the same piece of the whole picture on another;
// returns where they first differ, or "". Checks on the way that the runs are
// copied exactly when expected.
std::string FirstMisdrawn(const Sprite& sprite, SDL_Surface* picture, int partH,
                          const TargetCase& c, std::initializer_list<Columns> pieces, bool copies) {
    SDL_Surface* whole = NewTarget(c);
    SDL_Surface* cut = NewTarget(c);
    EXPECT_EQ(bool(SDL_MUSTLOCK(cut)), c.mustLock);
    EXPECT_EQ(sprite.CopiesInto(cut), copies);
    std::string found;
    for (const Columns& piece : pieces) {
        for (int y : PLACES_Y) {
            for (int x : PLACES_X) {
                BlitAt(picture, piece.sourceX, piece.w, partH, whole, x, y);
                sprite.Draw(piece.sourceX, piece.w, cut, x, y);
                const std::string d = FirstDifference(whole, cut);
                if (!d.empty() && found.empty()) {
                    found = "columns " + std::to_string(piece.sourceX) + " to " +
                            std::to_string(piece.sourceX + piece.w) + " placed at (" +
                            std::to_string(x) + ", " + std::to_string(y) + "): " + d;
                }
            }
        }
    }
    SDL_FreeSurface(whole);
    SDL_FreeSurface(cut);
    return found;
}

class RunsOrBlit : public WithVideo<TargetCase> {};

TEST_P(RunsOrBlit, ShowWhatSdlsBlitOfTheWholePictureWould) {
    const TargetCase& c = GetParam();
    for (const Shape& shape : SHAPES) {
        SDL_Surface* picture = NewPicture(PART_W, PART_H, shape.drawn);
        Sprite sprite;
        ASSERT_TRUE(CutLike(sprite, picture, PART_W, PART_H, c.blended)) << SDL_GetError();
        EXPECT_EQ(FirstMisdrawn(sprite, picture, PART_H, c,
                                {{0, PART_W}, {3, 7}, {PART_W - 5, 5}, {13, 1}},
                                c.copies && sprite.GetBox() != nullptr),
                  "")
            << shape.name;
        sprite.Release();
        SDL_FreeSurface(picture);
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, RunsOrBlit, ::testing::ValuesIn(TARGETS),
                         [](const auto& info) { return std::string(info.param.name); });

// A comb of an odd width, one drawn pixel in every other column, its rows
// filled left to right until it holds the given number of runs.
constexpr int COMB_W = 41;                    // px
constexpr int COMB_RUNS_PER_ROW = COMB_W / 2; // runs: 20

TEST_F(RunsOrBlit, ASpriteKeepsUpToItsCapacityOfRunsAndBeyondIsBlitted) {
    const struct {
        int runs;
        bool copies;
    } cases[] = {{SPRITE_RUNS, true}, {SPRITE_RUNS + 1, false}};
    for (const auto& c : cases) {
        const int runs = c.runs;
        const int h = (runs + COMB_RUNS_PER_ROW - 1) / COMB_RUNS_PER_ROW;
        SDL_Surface* picture = NewPicture(COMB_W, h, [runs](int x, int y) {
            return x % 2 == 1 && y * COMB_RUNS_PER_ROW + x / 2 < runs;
        });
        Sprite sprite;
        ASSERT_TRUE(CutLike(sprite, picture, COMB_W, h, false)) << SDL_GetError();
        EXPECT_EQ(sprite.GetRunCount(), c.copies ? runs : 0) << runs << " runs";
        EXPECT_EQ(FirstMisdrawn(sprite, picture, h, TARGETS[0], {{0, COMB_W}, {4, 9}}, c.copies),
                  "")
            << runs << " runs";
        sprite.Release();
        SDL_FreeSurface(picture);
    }
}

// The background's copy: a plain picture of the target's size and format is
// copied byte for byte; anything else goes through SDL and keeps its rules.
struct CopyCase {
    const char* name;
    int w, h;   // px of the picture
    bool keyed; // black see-through
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }

class CopyOverTarget : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyOverTarget, ShowsWhatSdlsBlitWould) {
    const CopyCase& c = GetParam();
    SDL_Surface* picture = New565(c.w, c.h);
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            At(picture, x, y) = (x + y) % 4 == 0 ? BLACK : Pattern(x, y, 3);
        }
    }
    if (c.keyed) {
        SDL_SetColorKey(picture, SDL_SRCCOLORKEY, BLACK);
    }
    SDL_Surface* bySdl = NewTarget();
    SDL_Surface* copied = NewTarget();
    SDL_BlitSurface(picture, nullptr, bySdl, nullptr);
    CopyOver(picture, copied);
    EXPECT_EQ(FirstDifference(bySdl, copied), "");
    EXPECT_EQ(At(copied, 0, 0), c.keyed ? Pattern(0, 0, 5) : BLACK) << "the corner is black";
    for (SDL_Surface* s : {picture, bySdl, copied}) {
        SDL_FreeSurface(s);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CopyOverTarget,
                         ::testing::Values(CopyCase{"SameSize", TARGET_W, TARGET_H, false},
                                           CopyCase{"SameSizeKeyed", TARGET_W, TARGET_H, true},
                                           CopyCase{"Smaller", TARGET_W - 9, TARGET_H - 4, false},
                                           CopyCase{"Larger", TARGET_W + 9, TARGET_H + 4, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CopyOverTarget, OfAnotherFormatConvertsLikeSdl) {
    SDL_Surface* picture = SDL_CreateRGBSurface(SDL_SWSURFACE, TARGET_W, TARGET_H, 32, 0xFF0000,
                                                0x00FF00, 0x0000FF, 0);
    SDL_FillRect(picture, nullptr, 0x336699);
    SDL_Surface* bySdl = NewTarget();
    SDL_Surface* copied = NewTarget();
    SDL_BlitSurface(picture, nullptr, bySdl, nullptr);
    CopyOver(picture, copied);
    EXPECT_EQ(FirstDifference(bySdl, copied), "");
    EXPECT_EQ(At(copied, 5, 5), SDL_MapRGB(copied->format, 0x33, 0x66, 0x99));
    for (SDL_Surface* s : {picture, bySdl, copied}) {
        SDL_FreeSurface(s);
    }
}

} // namespace
