// SPDX-License-Identifier: MIT
// Writes the desktop game's frame, composed from the pictures as the desktop
// end-to-end tests compose it, for the browser tests to compare against:
//   reference_frame IMAGES_DIR BANNER_X|none OUTPUT
// OUTPUT gets 800x600 pixels of 16-bit colour (5-6-5), little-endian, top row
// first. With BANNER_X, the banner is blended in at that x as the game does.
#include "../../tests/e2e/Frame.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int BANNER_Y = 580;       // px
constexpr int BANNER_HEIGHT = 17;   // px
constexpr Uint8 BANNER_ALPHA = 128; // of 255
constexpr int SCREEN_BPP = 16;
constexpr Uint32 MASK_R565 = 0xF800;
constexpr Uint32 MASK_G565 = 0x07E0;
constexpr Uint32 MASK_B565 = 0x001F;
constexpr int USAGE_STATUS = 2;

// The banner over the frame, with the game's own key and blending flags.
bool BlendBanner(const std::string& imagesDir, int x, Frame& frame) {
    SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, FRAME_WIDTH, FRAME_HEIGHT, SCREEN_BPP,
                                               MASK_R565, MASK_G565, MASK_B565, 0);
    SDL_Surface* loaded = SDL_LoadBMP((imagesDir + "/text.bmp").c_str());
    if (screen == nullptr || loaded == nullptr) {
        return false;
    }
    SDL_Surface* banner = SDL_ConvertSurface(loaded, screen->format, SDL_SWSURFACE);
    if (banner == nullptr) {
        return false;
    }
    SDL_LockSurface(screen);
    for (int y = 0; y < FRAME_HEIGHT; ++y) {
        std::memcpy(static_cast<Uint8*>(screen->pixels) + y * screen->pitch,
                    &frame.pixels[size_t(y) * FRAME_WIDTH], FRAME_WIDTH * sizeof(Pixel565));
    }
    SDL_UnlockSurface(screen);
    SDL_SetColorKey(banner, SDL_SRCCOLORKEY | SDL_RLEACCEL, SDL_MapRGB(screen->format, 0, 0, 0));
    SDL_SetAlpha(banner, SDL_SRCALPHA | SDL_RLEACCEL, BANNER_ALPHA);
    SDL_Rect source = {0, 0, Uint16(FRAME_WIDTH), Uint16(BANNER_HEIGHT)};
    SDL_Rect place = {Sint16(x), Sint16(BANNER_Y), 0, 0};
    SDL_BlitSurface(banner, &source, screen, &place);
    SDL_LockSurface(screen);
    for (int y = 0; y < FRAME_HEIGHT; ++y) {
        std::memcpy(&frame.pixels[size_t(y) * FRAME_WIDTH],
                    static_cast<Uint8*>(screen->pixels) + y * screen->pitch,
                    FRAME_WIDTH * sizeof(Pixel565));
    }
    SDL_UnlockSurface(screen);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s IMAGES_DIR BANNER_X|none OUTPUT\n", argv[0]);
        return USAGE_STATUS;
    }
    const std::string images = argv[1];
    Frame frame;
    std::string error;
    if (!ComposeOpeningFrame(images, frame, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return EXIT_FAILURE;
    }
    if (std::strcmp(argv[2], "none") != 0 && !BlendBanner(images, std::atoi(argv[2]), frame)) {
        std::fprintf(stderr, "%s\n", SDL_GetError());
        return EXIT_FAILURE;
    }
    std::FILE* out = std::fopen(argv[3], "wb");
    bool written = out != nullptr;
    for (size_t i = 0; written && i < frame.pixels.size(); ++i) {
        const Uint8 bytes[2] = {Uint8(frame.pixels[i]), Uint8(frame.pixels[i] >> 8)};
        written = std::fwrite(bytes, sizeof bytes, 1, out) == 1;
    }
    if (out == nullptr || std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
