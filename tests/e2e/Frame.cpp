// SPDX-License-Identifier: MIT
#include "Frame.h"

#include "gfx/Pictures.h"

#include <SDL.h>

namespace {

constexpr int SCREEN_BPP = 16;
constexpr Uint32 MASK_R565 = 0xF800;
constexpr Uint32 MASK_G565 = 0x07E0;
constexpr Uint32 MASK_B565 = 0x001F;
constexpr int TRUE_COLOUR_BPP = 32;
constexpr Uint32 MASK_R888 = 0x00FF0000;
constexpr Uint32 MASK_G888 = 0x0000FF00;
constexpr Uint32 MASK_B888 = 0x000000FF;
constexpr int RED_SHIFT = 16;
constexpr int GREEN_SHIFT = 8;
constexpr Uint32 BYTE_MASK = 0xFF;

// Where the game puts things in its opening frame.
constexpr int DIGIT_WIDTH = 11;  // px, one glyph of the digit sheet
constexpr int DIGIT_HEIGHT = 16; // px
constexpr int BLUE_DIGIT_X = 5;
constexpr int RED_DIGIT_X = 785;
constexpr int DIGIT_Y = 5;
constexpr int SHIP_SIZE = 75;   // px, square sprite
constexpr int SHIP_OFFSET = 37; // sprite corner = ship centre - this
constexpr int BLUE_START_X = 100;
constexpr int RED_START_X = 700;
constexpr int START_Y = 300;
constexpr Uint8 BRIGHT = 255;
constexpr Uint8 DARK = 128;

struct SurfaceHolder {
    SDL_Surface* surface = nullptr;
    explicit SurfaceHolder(SDL_Surface* s) : surface(s) {}
    ~SurfaceHolder() {
        if (surface != nullptr) {
            SDL_FreeSurface(surface);
        }
    }
    SurfaceHolder(const SurfaceHolder&) = delete;
    SurfaceHolder& operator=(const SurfaceHolder&) = delete;
};

SDL_Surface* NewScreen565() {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, FRAME_WIDTH, FRAME_HEIGHT, SCREEN_BPP, MASK_R565,
                                MASK_G565, MASK_B565, 0);
}

// A picture in the screen's format, as the game converts every picture once.
SDL_Surface* LoadPicture(const std::string& path, const SDL_PixelFormat* format,
                         std::string& error) {
    SurfaceHolder loaded(SDL_LoadBMP(path.c_str()));
    if (loaded.surface == nullptr) {
        error = path + ": " + SDL_GetError();
        return nullptr;
    }
    SDL_Surface* converted =
        SDL_ConvertSurface(loaded.surface, const_cast<SDL_PixelFormat*>(format), SDL_SWSURFACE);
    if (converted == nullptr) {
        error = path + ": " + SDL_GetError();
    }
    return converted;
}

bool BlitPicture(SDL_Surface* screen, const std::string& path, bool blackIsClear, SDL_Rect source,
                 int x, int y, std::string& error) {
    SurfaceHolder picture(LoadPicture(path, screen->format, error));
    if (picture.surface == nullptr) {
        return false;
    }
    if (blackIsClear) {
        SDL_SetColorKey(picture.surface, SDL_SRCCOLORKEY, SDL_MapRGB(screen->format, 0, 0, 0));
    }
    SDL_Rect target{Sint16(x), Sint16(y), 0, 0};
    SDL_BlitSurface(picture.surface, &source, screen, &target);
    return true;
}

void FillBar(SDL_Surface* screen, int shipX, int shipY, int width, Uint8 r, Uint8 g, Uint8 b) {
    SDL_Rect bar{Sint16(shipX - BAR_OFFSET_X), Sint16(shipY - BAR_OFFSET_Y), Uint16(width),
                 Uint16(BAR_HEIGHT)};
    SDL_FillRect(screen, &bar, SDL_MapRGB(screen->format, r, g, b));
}

void ReadSurface(SDL_Surface* surface, Frame& frame) {
    frame.width = surface->w;
    frame.height = surface->h;
    frame.pixels.assign(size_t(surface->w) * size_t(surface->h), 0);
    SDL_LockSurface(surface);
    for (int y = 0; y < surface->h; ++y) {
        const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < surface->w; ++x) {
            Pixel565 value;
            if (surface->format->BitsPerPixel == SCREEN_BPP) {
                value = reinterpret_cast<const Uint16*>(row)[x];
            } else {
                const Uint32 p = reinterpret_cast<const Uint32*>(row)[x];
                value = Rgb565(int((p >> RED_SHIFT) & BYTE_MASK),
                               int((p >> GREEN_SHIFT) & BYTE_MASK), int(p & BYTE_MASK));
            }
            frame.pixels[size_t(y) * size_t(surface->w) + size_t(x)] = value;
        }
    }
    SDL_UnlockSurface(surface);
}

} // namespace

bool LoadFrame(const std::string& path, Frame& frame, std::string& error) {
    SurfaceHolder loaded(SDL_LoadBMP(path.c_str()));
    if (loaded.surface == nullptr) {
        error = path + ": " + SDL_GetError();
        return false;
    }
    SurfaceHolder wide(SDL_CreateRGBSurface(SDL_SWSURFACE, loaded.surface->w, loaded.surface->h,
                                            TRUE_COLOUR_BPP, MASK_R888, MASK_G888, MASK_B888, 0));
    if (wide.surface == nullptr ||
        SDL_BlitSurface(loaded.surface, nullptr, wide.surface, nullptr) != 0) {
        error = path + ": " + SDL_GetError();
        return false;
    }
    ReadSurface(wide.surface, frame);
    frame.bitsPerPixel = loaded.surface->format->BitsPerPixel;
    return true;
}

std::vector<Block> FindBars(const Frame& frame, Pixel565 colour, int minWidth) {
    // The runs of the colour in each row, as [left, right] pairs.
    std::vector<std::vector<std::pair<int, int>>> runs(size_t(frame.height));
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width;) {
            if (frame.At(x, y) != colour) {
                ++x;
                continue;
            }
            const int left = x;
            while (x < frame.width && frame.At(x, y) == colour) {
                ++x;
            }
            if (x - left >= minWidth) {
                runs[size_t(y)].push_back({left, x - 1});
            }
        }
    }
    auto hasRun = [&](int y, std::pair<int, int> run) {
        if (y < 0 || y >= frame.height) {
            return false;
        }
        for (const auto& other : runs[size_t(y)]) {
            if (other == run) {
                return true;
            }
        }
        return false;
    };
    std::vector<Block> blocks;
    for (int y = 0; y < frame.height; ++y) {
        for (const auto& run : runs[size_t(y)]) {
            if (hasRun(y - 1, run)) {
                continue; // not the top row of its block
            }
            int rows = 1;
            while (hasRun(y + rows, run)) {
                ++rows;
            }
            if (rows == BAR_HEIGHT) {
                blocks.push_back({run.first, y, run.second, y + rows - 1});
            }
        }
    }
    return blocks;
}

int BrightWidthAt(const Frame& frame, int left, int top, Pixel565 bright, Pixel565 dark) {
    if (left < 0 || top < 0 || left + BAR_WIDTH > frame.width || top + BAR_HEIGHT > frame.height) {
        return -1;
    }
    int width = -1;
    for (int y = top; y < top + BAR_HEIGHT; ++y) {
        int x = left;
        while (x < left + BAR_WIDTH && frame.At(x, y) == bright) {
            ++x;
        }
        const int rowBright = x - left;
        while (x < left + BAR_WIDTH && frame.At(x, y) == dark) {
            ++x;
        }
        if (x != left + BAR_WIDTH || (width >= 0 && rowBright != width)) {
            return -1;
        }
        width = rowBright;
    }
    return width;
}

bool ComposeOpeningFrame(const std::string& imagesDir, Frame& frame, std::string& error) {
    SurfaceHolder screen(NewScreen565());
    if (screen.surface == nullptr) {
        error = SDL_GetError();
        return false;
    }
    SDL_Surface* s = screen.surface;
    const SDL_Rect whole{0, 0, Uint16(FRAME_WIDTH), Uint16(FRAME_HEIGHT)};
    const SDL_Rect digitZero{0, 0, Uint16(DIGIT_WIDTH), Uint16(DIGIT_HEIGHT)};
    const SDL_Rect ship{0, 0, Uint16(SHIP_SIZE), Uint16(SHIP_SIZE)};
    const bool drawn =
        BlitPicture(s, imagesDir + "/" + FileOf(Picture::STARS).name, false, whole, 0, 0, error) &&
        BlitPicture(s, imagesDir + "/" + FileOf(Picture::DIGITS).name, true, digitZero,
                    BLUE_DIGIT_X, DIGIT_Y, error) &&
        BlitPicture(s, imagesDir + "/" + FileOf(Picture::DIGITS).name, true, digitZero, RED_DIGIT_X,
                    DIGIT_Y, error);
    if (!drawn) {
        return false;
    }
    const int fullBar = BAR_PIXELS_PER_HEALTH * FULL_HEALTH;
    FillBar(s, BLUE_START_X, START_Y, BAR_WIDTH, 0, 0, DARK);
    FillBar(s, BLUE_START_X, START_Y, fullBar, 0, 0, BRIGHT);
    FillBar(s, RED_START_X, START_Y, BAR_WIDTH, DARK, 0, 0);
    FillBar(s, RED_START_X, START_Y, fullBar, BRIGHT, 0, 0);
    const bool shipsDrawn =
        BlitPicture(s, imagesDir + "/" + FileOf(Picture::SHIP_RED).name, true, ship,
                    RED_START_X - SHIP_OFFSET, START_Y - SHIP_OFFSET, error) &&
        BlitPicture(s, imagesDir + "/" + FileOf(Picture::SHIP_BLUE).name, true, ship,
                    BLUE_START_X - SHIP_OFFSET, START_Y - SHIP_OFFSET, error);
    if (!shipsDrawn) {
        return false;
    }
    ReadSurface(s, frame);
    return true;
}
