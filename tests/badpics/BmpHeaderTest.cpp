// SPDX-License-Identifier: MIT
// The BMP header check, case by case: good pictures of every depth and header
// pass it untouched and load in SDL with every pixel right; each spoilt field
// is refused with its own reason before SDL reads a byte.
#include "gfx/BmpHeader.h"
#include "BmpFiles.h"

#include <SDL.h>

#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class BmpHeaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = MakeTempFolder("bmpheader");
        ASSERT_FALSE(folder.empty());
    }
    void TearDown() override { RemoveTree(folder); }

    std::string Save(const std::vector<Uint8>& bytes, const char* name = "picture.bmp") {
        const std::string path = folder + "/" + name;
        EXPECT_TRUE(WriteFile(path, bytes));
        return path;
    }

    // The check's verdict on a file, with SDL's error text afterwards and a
    // test that the stream was left where it was.
    bool Check(const std::string& path, std::string* reason = nullptr, long skip = 0) {
        SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
        EXPECT_NE(file, nullptr) << SDL_GetError();
        if (file == nullptr) {
            return false;
        }
        SDL_RWseek(file, int(skip), RW_SEEK_SET);
        SDL_ClearError();
        const bool accepted = CheckBmpHeader(file);
        EXPECT_EQ(SDL_RWtell(file), skip) << "the check moved the stream";
        if (reason != nullptr) {
            *reason = SDL_GetError();
        }
        SDL_RWclose(file);
        return accepted;
    }

    std::string Refusal(const std::vector<Uint8>& bytes) {
        std::string reason;
        EXPECT_FALSE(Check(Save(bytes), &reason));
        return reason;
    }

    std::string folder;
};

struct GoodCase {
    const char* name;
    BmpLayout layout;
};

// Odd widths, so that every depth has padding at the end of its rows.
const GoodCase GOOD_CASES[] = {
    {"Depth1", Layout(13, 7, 1)},
    {"Depth4", Layout(11, 6, 4)},
    {"Depth8", Layout(9, 5, 8)},
    {"Depth16", Layout(7, 5, 16)},
    {"Depth16BitFields565", Layout(7, 5, 16, 40, true)},
    {"Depth24", Layout(10, 4, 24)},
    {"Depth32", Layout(6, 3, 32)},
    {"Depth32BitFields", Layout(6, 3, 32, 40, true)},
    {"Depth32V3Header", Layout(5, 4, 32, 56, true)},
    {"Depth32V4Header", Layout(5, 4, 32, 108, true)},
    {"Depth32V5HeaderTopDown", Layout(5, 4, 32, 124, true, true)},
    {"Depth16V2Header", Layout(5, 4, 16, 52, true)},
    {"Depth24V5Header", Layout(5, 4, 24, 124)},
    {"Depth8TopDown", Layout(9, 5, 8, 40, false, true)},
    {"Depth1CoreHeader", Layout(13, 7, 1, 12)},
    {"Depth4CoreHeader", Layout(11, 6, 4, 12)},
    {"Depth8CoreHeader", Layout(9, 5, 8, 12)},
    {"Depth24CoreHeader", Layout(10, 4, 24, 12)},
    {"WidestAllowed", Layout(MAX_PICTURE_SIDE, 1, 8)},
    {"TallestAllowed", Layout(1, MAX_PICTURE_SIDE, 1)},
    {"TallestAllowedTopDown", Layout(1, MAX_PICTURE_SIDE, 4, 40, false, true)},
};

class GoodPicture : public BmpHeaderTest, public ::testing::WithParamInterface<GoodCase> {};

TEST_P(GoodPicture, PassesTheCheckAndLoadsWithEveryPixelRight) {
    const BmpLayout& layout = GetParam().layout;
    const std::string path = Save(EncodeBmp(layout, Pattern));
    std::string reason;
    ASSERT_TRUE(Check(path, &reason)) << reason;

    SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
    ASSERT_NE(loaded, nullptr) << SDL_GetError();
    EXPECT_EQ(loaded->w, layout.width);
    EXPECT_EQ(loaded->h, layout.height);
    int wrong = 0;
    for (int y = 0; y < loaded->h; ++y) {
        for (int x = 0; x < loaded->w; ++x) {
            const PixelColour stored = Stored(layout, Pattern(x, y));
            const PixelColour read = PixelOf(loaded, x, y);
            if (!SameColour(layout, stored, read) && wrong++ < 3) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") stored " << int(stored.r) << ","
                              << int(stored.g) << "," << int(stored.b) << " read " << int(read.r)
                              << "," << int(read.g) << "," << int(read.b);
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    SDL_FreeSurface(loaded);
}

INSTANTIATE_TEST_SUITE_P(BmpHeader, GoodPicture, ::testing::ValuesIn(GOOD_CASES),
                         [](const ::testing::TestParamInfo<GoodCase>& info) {
                             return std::string(info.param.name);
                         });

// SDL 1.2 saves 8-bit paletted surfaces as they are and everything else as
// 24 bits; both kinds of file pass.
TEST_F(BmpHeaderTest, PicturesSavedBySdlPass) {
    SDL_Surface* deep =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 33, 17, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    ASSERT_NE(deep, nullptr);
    SDL_FillRect(deep, nullptr, SDL_MapRGB(deep->format, 200, 30, 90));
    const std::string deepPath = folder + "/deep.bmp";
    ASSERT_EQ(SDL_SaveBMP(deep, deepPath.c_str()), 0) << SDL_GetError();

    SDL_Surface* paletted = SDL_CreateRGBSurface(SDL_SWSURFACE, 21, 9, 8, 0, 0, 0, 0);
    ASSERT_NE(paletted, nullptr);
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i) {
        colours[i].r = Uint8(i);
        colours[i].g = Uint8(255 - i);
        colours[i].b = Uint8(i * 7);
        colours[i].unused = 0;
    }
    SDL_SetColors(paletted, colours, 0, 256);
    SDL_FillRect(paletted, nullptr, 77);
    const std::string palettedPath = folder + "/paletted.bmp";
    ASSERT_EQ(SDL_SaveBMP(paletted, palettedPath.c_str()), 0) << SDL_GetError();

    for (const std::string& path : {deepPath, palettedPath}) {
        std::string reason;
        EXPECT_TRUE(Check(path, &reason)) << path << ": " << reason;
        SDL_Surface* back = SDL_LoadBMP(path.c_str());
        ASSERT_NE(back, nullptr) << SDL_GetError();
        SDL_FreeSurface(back);
    }
    const std::vector<Uint8> deepBytes = ReadFile(deepPath);
    ASSERT_GT(deepBytes.size(), size_t(BmpField::DEPTH + 1));
    EXPECT_EQ(deepBytes[BmpField::DEPTH], 24) << "SDL 1.2 writes deep surfaces as 24 bits";
    EXPECT_EQ(ReadFile(palettedPath)[BmpField::DEPTH], 8);
    SDL_FreeSurface(deep);
    SDL_FreeSurface(paletted);
}

// A picture that starts further into the stream: the check reads it from the
// stream's position and leaves it there, as SDL's reader expects.
TEST_F(BmpHeaderTest, APictureBehindOtherBytesIsReadFromTheStreamsPosition) {
    const int lead = 7; // bytes before the picture
    std::vector<Uint8> bytes(lead, 'x');
    const std::vector<Uint8> picture = EncodeBmp(Layout(9, 5, 24), Pattern);
    bytes.insert(bytes.end(), picture.begin(), picture.end());
    const std::string path = Save(bytes);
    std::string reason;
    ASSERT_TRUE(Check(path, &reason, lead)) << reason;

    SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
    SDL_RWseek(file, lead, RW_SEEK_SET);
    ASSERT_TRUE(CheckBmpHeader(file));
    SDL_Surface* loaded = SDL_LoadBMP_RW(file, 1);
    ASSERT_NE(loaded, nullptr) << SDL_GetError();
    EXPECT_EQ(loaded->w, 9);
    SDL_FreeSurface(loaded);
}

TEST_F(BmpHeaderTest, AFileThatCouldNotBeOpenedKeepsSdlsReason) {
    SDL_RWops* file = SDL_RWFromFile((folder + "/missing.bmp").c_str(), "rb");
    ASSERT_EQ(file, nullptr);
    const std::string before = SDL_GetError();
    EXPECT_FALSE(CheckBmpHeader(file));
    EXPECT_EQ(SDL_GetError(), before);
    EXPECT_NE(before.find("missing.bmp"), std::string::npos) << before;
}

std::vector<Uint8> Good(int depth = 24, Uint32 infoSize = 40, bool bitFields = false) {
    return EncodeBmp(Layout(9, 5, depth, infoSize, bitFields), Pattern);
}

TEST_F(BmpHeaderTest, FilesThatAreNoBmpAreRefused) {
    EXPECT_EQ(Refusal({}), "File is not a Windows BMP file");
    EXPECT_EQ(Refusal({'B'}), "File is not a Windows BMP file");
    const std::string gif = "GIF89a\x01\x00\x01\x00";
    EXPECT_EQ(Refusal(std::vector<Uint8>(gif.begin(), gif.end())),
              "File is not a Windows BMP file");
    std::vector<Uint8> lowerCase = Good();
    lowerCase[1] = 'm';
    EXPECT_EQ(Refusal(lowerCase), "File is not a Windows BMP file");
}

TEST_F(BmpHeaderTest, HeadersCutShortAreRefused) {
    const std::vector<Uint8> good = Good();
    for (size_t length : {2, 12, 17}) {
        EXPECT_EQ(Refusal(std::vector<Uint8>(good.begin(), good.begin() + long(length))),
                  "BMP header cut short")
            << length << " bytes";
    }
    // Enough for the header's length, not for the header itself.
    for (size_t length : {18, 30, 53}) {
        EXPECT_EQ(Refusal(std::vector<Uint8>(good.begin(), good.begin() + long(length))),
                  "BMP header cut short")
            << length << " bytes";
    }
    const std::vector<Uint8> v5 = Good(32, 124, true);
    EXPECT_EQ(Refusal(std::vector<Uint8>(v5.begin(), v5.begin() + 137)), "BMP header cut short");
}

TEST_F(BmpHeaderTest, UnknownHeaderLengthsAreRefused) {
    for (Uint32 size : {0u, 11u, 16u, 39u, 41u, 64u, 200u, 0xFFFFFFFFu}) {
        std::vector<Uint8> bytes = Good();
        Put32(bytes, BmpField::INFO_SIZE, size);
        EXPECT_EQ(Refusal(bytes), "Unsupported BMP header") << size;
    }
}

TEST_F(BmpHeaderTest, PalettedPicturesWithALongHeaderAreRefused) {
    for (Uint32 size : {52u, 56u, 108u, 124u}) {
        EXPECT_EQ(Refusal(EncodeBmp(Layout(9, 5, 8, size), Pattern)), "Unsupported BMP header")
            << size;
    }
}

TEST_F(BmpHeaderTest, PalettesLargerThanTheDepthAllowsAreRefused) {
    for (int depth : {1, 4, 8}) {
        std::vector<Uint8> full = Good(depth);
        Put32(full, BmpField::COLOURS_USED, 1u << depth);
        EXPECT_TRUE(Check(Save(full), nullptr)) << depth;
        std::vector<Uint8> over = Good(depth);
        Put32(over, BmpField::COLOURS_USED, (1u << depth) + 1);
        EXPECT_EQ(Refusal(over), "BMP palette larger than its depth allows") << depth;
    }
    std::vector<Uint8> deep = Good(24);
    Put32(deep, BmpField::COLOURS_USED, 100000);
    EXPECT_TRUE(Check(Save(deep), nullptr)) << "only paletted pictures read a palette";
}

TEST_F(BmpHeaderTest, DepthsBmpDoesNotDefineAreRefused) {
    // 6148, 22529 and 32776 crash SDL 1.2.15's own reader.
    for (Uint16 depth : {0, 2, 3, 5, 7, 12, 15, 31, 48, 64, 255, 6148, 22529, 32776, 65535}) {
        std::vector<Uint8> bytes = Good();
        Put16(bytes, BmpField::DEPTH, depth);
        EXPECT_EQ(Refusal(bytes), "Unsupported BMP bits per pixel") << depth;
    }
    std::vector<Uint8> core = Good(8, 12);
    Put16(core, BmpField::CORE_DEPTH, 6148);
    EXPECT_EQ(Refusal(core), "Unsupported BMP bits per pixel");
}

TEST_F(BmpHeaderTest, CompressedAndUnknownEncodingsAreRefused) {
    for (Uint32 compression : {1u, 2u}) {
        std::vector<Uint8> bytes = Good(8);
        Put32(bytes, BmpField::COMPRESSION, compression);
        EXPECT_EQ(Refusal(bytes), "Compressed BMP pictures are not supported") << compression;
    }
    for (Uint32 compression : {4u, 5u, 6u, 11u, 0x80000000u, 0xFFFFFFFFu}) {
        std::vector<Uint8> bytes = Good();
        Put32(bytes, BmpField::COMPRESSION, compression);
        EXPECT_EQ(Refusal(bytes), "Unsupported BMP compression") << compression;
    }
    // Bit fields describe 16- and 32-bit pixels only.
    for (int depth : {8, 24}) {
        std::vector<Uint8> bytes = Good(depth);
        Put32(bytes, BmpField::COMPRESSION, 3);
        EXPECT_EQ(Refusal(bytes), "Unsupported BMP compression") << depth;
    }
}

TEST_F(BmpHeaderTest, SizesOutOfRangeAreRefused) {
    const Sint32 tooLarge = MAX_PICTURE_SIDE + 1;
    for (Sint32 width : {0, -1, -9, tooLarge, 70000, INT_MAX, INT_MIN}) {
        std::vector<Uint8> bytes = Good();
        Put32(bytes, BmpField::WIDTH, Uint32(width));
        EXPECT_EQ(Refusal(bytes), "BMP picture size out of range") << "width " << width;
    }
    for (Sint32 height : {0, tooLarge, -tooLarge, 70000, -70000, INT_MAX, INT_MIN}) {
        std::vector<Uint8> bytes = Good();
        Put32(bytes, BmpField::HEIGHT, Uint32(height));
        EXPECT_EQ(Refusal(bytes), "BMP picture size out of range") << "height " << height;
    }
    std::vector<Uint8> huge = Good();
    Put32(huge, BmpField::WIDTH, 70000);
    Put32(huge, BmpField::HEIGHT, 70000);
    EXPECT_EQ(Refusal(huge), "BMP picture size out of range");
    for (Uint16 side : {Uint16(0), Uint16(tooLarge), Uint16(65535)}) {
        std::vector<Uint8> core = Good(24, 12);
        Put16(core, BmpField::WIDTH, side);
        EXPECT_EQ(Refusal(core), "BMP picture size out of range") << "core width " << side;
        core = Good(24, 12);
        Put16(core, BmpField::CORE_HEIGHT, side);
        EXPECT_EQ(Refusal(core), "BMP picture size out of range") << "core height " << side;
    }
}

TEST_F(BmpHeaderTest, PixelOffsetsOutsideTheFileOrInsideTheHeaderAreRefused) {
    const std::vector<Uint8> good = Good();
    for (Uint32 offset : {0u, 13u, 53u, Uint32(good.size() + 1), 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        std::vector<Uint8> bytes = good;
        Put32(bytes, BmpField::PIXEL_OFFSET, offset);
        EXPECT_EQ(Refusal(bytes), "BMP pixel offset out of range") << offset;
    }
    // Behind a 40-byte header the masks of a bit-field picture come first.
    std::vector<Uint8> masked = Good(16, 40, true);
    Put32(masked, BmpField::PIXEL_OFFSET, 54);
    EXPECT_EQ(Refusal(masked), "BMP pixel offset out of range");
    std::vector<Uint8> core = Good(24, 12);
    Put32(core, BmpField::PIXEL_OFFSET, 25);
    EXPECT_EQ(Refusal(core), "BMP pixel offset out of range");
}

TEST_F(BmpHeaderTest, PixelDataCutShortIsRefused) {
    for (int depth : {1, 4, 8, 16, 24, 32}) {
        const std::vector<Uint8> good = Good(depth);
        const size_t pixelBytes = good.size() - Get32(good, BmpField::PIXEL_OFFSET);
        // The last row's padding too: a file ends after whole rows.
        for (size_t cut : {size_t(1), pixelBytes / 2, pixelBytes}) {
            EXPECT_EQ(Refusal(std::vector<Uint8>(good.begin(), good.end() - long(cut))),
                      "BMP pixel data cut short")
                << depth << " bits, " << cut << " bytes missing";
        }
    }
    // A picture moved further into its file than the file reaches.
    std::vector<Uint8> moved = Good();
    Put32(moved, BmpField::PIXEL_OFFSET, 60);
    EXPECT_EQ(Refusal(moved), "BMP pixel data cut short");
}

// Room to spare is no fault: the header alone says where the pixels are.
TEST_F(BmpHeaderTest, BytesAfterThePixelsAndGapsBeforeThemPass) {
    std::vector<Uint8> bytes = Good();
    bytes.resize(bytes.size() + 100, 0xAB);
    EXPECT_TRUE(Check(Save(bytes)));
    std::vector<Uint8> gap = Good();
    const int extra = 16; // bytes between the header and the pixels
    gap.insert(gap.begin() + 54, size_t(extra), 0);
    Put32(gap, BmpField::PIXEL_OFFSET, 54 + extra);
    const std::string path = Save(gap, "gap.bmp");
    EXPECT_TRUE(Check(path));
    SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
    ASSERT_NE(loaded, nullptr) << SDL_GetError();
    SDL_FreeSurface(loaded);
}

// The refusal leaves the stream at its start even when the check stopped
// half-way through the header.
TEST_F(BmpHeaderTest, ARefusedStreamIsLeftWhereItWas) {
    std::vector<Uint8> bytes = Good();
    Put16(bytes, BmpField::DEPTH, 6148);
    std::string reason;
    EXPECT_FALSE(Check(Save(bytes), &reason));
    EXPECT_EQ(reason, "Unsupported BMP bits per pixel");
}

} // namespace
