// SPDX-License-Identifier: MIT
#include "BmpFiles.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <ftw.h>
#include <unistd.h>

namespace {

constexpr int FILE_HEADER_SIZE = 14;      // bytes
constexpr int MASKS_SIZE = 12;            // bytes: red, green, blue after a 40-byte header
constexpr int ALPHA_MASK_AT = 66;         // from the file's start, in headers of 56 bytes and more
constexpr int COLOUR_SPACE_AT = 70;       // in headers of 108 bytes and more
constexpr Uint32 SRGB_SPACE = 0x73524742; // "sRGB"
constexpr Uint32 BI_RGB = 0;
constexpr Uint32 BI_BITFIELDS = 3;

int PaletteSize(int depth) { return depth <= 8 ? 1 << depth : 0; }

// 1 bit: black and white; 4 bits: two reds, four greens, two blues;
// 8 bits: eight reds, eight greens, four blues.
PixelColour PaletteColour(int depth, int index) {
    auto level = [](int i, int levels) {
        return Uint8((i * 255 + (levels - 1) / 2) / (levels - 1));
    };
    switch (depth) {
    case 1:
        return index ? PixelColour{255, 255, 255} : PixelColour{0, 0, 0};
    case 4:
        return PixelColour{level(index >> 3, 2), level((index >> 1) & 3, 4), level(index & 1, 2)};
    default:
        return PixelColour{level(index >> 5, 8), level((index >> 2) & 7, 8), level(index & 3, 4)};
    }
}

int Nearest(int depth, PixelColour colour) {
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < PaletteSize(depth); ++i) {
        const PixelColour p = PaletteColour(depth, i);
        const int dr = p.r - colour.r;
        const int dg = p.g - colour.g;
        const int db = p.b - colour.b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

int RowBytes(int width, int depth) { return (width * depth + 31) / 32 * 4; }

} // namespace

PixelColour Pattern(int x, int y) {
    if ((x + y) % 7 == 0) {
        return PixelColour{0, 0, 0};
    }
    if ((x * y) % 5 == 1) {
        return PixelColour{255, 255, 255};
    }
    return PixelColour{Uint8(x * 37 + y * 11), Uint8(x * 13 + y * 71), Uint8(x * 89 + y * 7)};
}

void Put16(std::vector<Uint8>& bytes, int at, Uint16 value) {
    bytes[at] = Uint8(value);
    bytes[at + 1] = Uint8(value >> 8);
}

void Put32(std::vector<Uint8>& bytes, int at, Uint32 value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = Uint8(value >> (8 * i));
    }
}

Uint32 Get32(const std::vector<Uint8>& bytes, int at) {
    Uint32 value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | bytes[at + i];
    }
    return value;
}

PixelColour Stored(const BmpLayout& layout, PixelColour colour) {
    switch (layout.depth) {
    case 1:
    case 4:
    case 8:
        return PaletteColour(layout.depth, Nearest(layout.depth, colour));
    case 16:
        return PixelColour{Uint8(colour.r & 0xF8),
                           Uint8(colour.g & (layout.bitFields ? 0xFC : 0xF8)),
                           Uint8(colour.b & 0xF8)};
    default:
        return colour;
    }
}

bool SameColour(const BmpLayout& layout, PixelColour stored, PixelColour read) {
    if (layout.depth != 16) {
        return stored.r == read.r && stored.g == read.g && stored.b == read.b;
    }
    const int greenShift = layout.bitFields ? 2 : 3;
    return (stored.r >> 3) == (read.r >> 3) && (stored.g >> greenShift) == (read.g >> greenShift) &&
           (stored.b >> 3) == (read.b >> 3);
}

std::vector<Uint8> EncodeBmp(const BmpLayout& layout, const PixelSource& colourAt) {
    const bool core = layout.infoSize == 12;
    const int paletteEntry = core ? 3 : 4; // bytes
    const int masks = layout.bitFields && layout.infoSize == 40 ? MASKS_SIZE : 0;
    const int pixelOffset =
        FILE_HEADER_SIZE + int(layout.infoSize) + masks + PaletteSize(layout.depth) * paletteEntry;
    const int rowBytes = RowBytes(layout.width, layout.depth);
    std::vector<Uint8> bytes(size_t(pixelOffset + rowBytes * layout.height), 0);

    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, BmpField::FILE_SIZE, Uint32(bytes.size()));
    Put32(bytes, BmpField::PIXEL_OFFSET, Uint32(pixelOffset));
    Put32(bytes, BmpField::INFO_SIZE, layout.infoSize);
    if (core) {
        Put16(bytes, BmpField::WIDTH, Uint16(layout.width));
        Put16(bytes, BmpField::CORE_HEIGHT, Uint16(layout.height));
        Put16(bytes, BmpField::CORE_HEIGHT + 2, 1); // planes
        Put16(bytes, BmpField::CORE_DEPTH, Uint16(layout.depth));
    } else {
        Put32(bytes, BmpField::WIDTH, Uint32(layout.width));
        Put32(bytes, BmpField::HEIGHT, Uint32(layout.topDown ? -layout.height : layout.height));
        Put16(bytes, BmpField::HEIGHT + 4, 1); // planes
        Put16(bytes, BmpField::DEPTH, Uint16(layout.depth));
        Put32(bytes, BmpField::COMPRESSION, layout.bitFields ? BI_BITFIELDS : BI_RGB);
        Put32(bytes, BmpField::COMPRESSION + 4, Uint32(rowBytes * layout.height));
        Put32(bytes, BmpField::COLOURS_USED, Uint32(PaletteSize(layout.depth)));
        if (layout.bitFields) {
            const bool wide = layout.depth == 32;
            Put32(bytes, BmpField::MASKS, wide ? 0x00FF0000 : 0xF800);
            Put32(bytes, BmpField::MASKS + 4, wide ? 0x0000FF00 : 0x07E0);
            Put32(bytes, BmpField::MASKS + 8, wide ? 0x000000FF : 0x001F);
            if (layout.infoSize >= 56 && wide) {
                Put32(bytes, ALPHA_MASK_AT, 0xFF000000);
            }
        }
        if (layout.infoSize >= 108) {
            Put32(bytes, COLOUR_SPACE_AT, SRGB_SPACE);
        }
    }

    int at = FILE_HEADER_SIZE + int(layout.infoSize) + masks;
    for (int i = 0; i < PaletteSize(layout.depth); ++i) {
        const PixelColour c = PaletteColour(layout.depth, i);
        bytes[at] = c.b;
        bytes[at + 1] = c.g;
        bytes[at + 2] = c.r;
        at += paletteEntry;
    }

    for (int y = 0; y < layout.height; ++y) {
        const int fileRow = layout.topDown ? y : layout.height - 1 - y;
        Uint8* row = &bytes[size_t(pixelOffset + fileRow * rowBytes)];
        for (int x = 0; x < layout.width; ++x) {
            const PixelColour c = colourAt(x, y);
            switch (layout.depth) {
            case 1:
                row[x / 8] |= Uint8(Nearest(1, c) << (7 - x % 8));
                break;
            case 4:
                row[x / 2] |= Uint8(Nearest(4, c) << (x % 2 ? 0 : 4));
                break;
            case 8:
                row[x] = Uint8(Nearest(8, c));
                break;
            case 16: {
                const Uint16 v = layout.bitFields
                                     ? Uint16((c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3)
                                     : Uint16((c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3);
                row[2 * x] = Uint8(v);
                row[2 * x + 1] = Uint8(v >> 8);
                break;
            }
            case 24:
                row[3 * x] = c.b;
                row[3 * x + 1] = c.g;
                row[3 * x + 2] = c.r;
                break;
            default:
                row[4 * x] = c.b;
                row[4 * x + 1] = c.g;
                row[4 * x + 2] = c.r;
                row[4 * x + 3] = 0xFF;
                break;
            }
        }
    }
    return bytes;
}

PixelColour PixelOf(SDL_Surface* surface, int x, int y) {
    SDL_LockSurface(surface);
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch +
                     x * surface->format->BytesPerPixel;
    Uint32 value = 0;
    switch (surface->format->BytesPerPixel) {
    case 1:
        value = p[0];
        break;
    case 2:
        value = *reinterpret_cast<const Uint16*>(p);
        break;
    case 3:
        // Three bytes hold a pixel value in the machine's own byte order, as
        // SDL reads them.
        value = SDL_BYTEORDER == SDL_LIL_ENDIAN
                    ? Uint32(p[0]) | Uint32(p[1]) << 8 | Uint32(p[2]) << 16
                    : Uint32(p[0]) << 16 | Uint32(p[1]) << 8 | Uint32(p[2]);
        break;
    default:
        value = *reinterpret_cast<const Uint32*>(p);
        break;
    }
    SDL_UnlockSurface(surface);
    PixelColour c;
    SDL_GetRGB(value, surface->format, &c.r, &c.g, &c.b);
    return c;
}

bool WriteFile(const std::string& path, const std::vector<Uint8>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

std::vector<Uint8> ReadFile(const std::string& path) {
    std::vector<Uint8> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return bytes;
    }
    Uint8 buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    std::fclose(f);
    return bytes;
}

std::string MakeTempFolder(const char* what) {
    std::string name = std::string("/tmp/duelstar-") + what + "-XXXXXX";
    if (mkdtemp(&name[0]) == nullptr) {
        return "";
    }
    return name;
}

void RemoveTree(const std::string& path) {
    if (path.empty()) {
        return;
    }
    nftw(
        path.c_str(),
        [](const char* name, const struct stat*, int, struct FTW*) { return std::remove(name); },
        16, FTW_DEPTH | FTW_PHYS);
}

BmpLayout Layout(int width, int height, int depth, Uint32 infoSize, bool bitFields, bool topDown) {
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.depth = depth;
    layout.infoSize = infoSize;
    layout.bitFields = bitFields;
    layout.topDown = topDown;
    return layout;
}
