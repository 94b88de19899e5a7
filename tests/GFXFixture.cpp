// SPDX-License-Identifier: MIT
#include "GFXFixture.h"

#include "FakeClock.h"

#include <SDL.h>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <unistd.h>

namespace {

struct Patch {
    int x, y, w, h;
    Rgb colour;
};

void Fill(SDL_Surface* picture, int x, int y, int w, int h, Rgb c) {
    SDL_Rect area = {Sint16(x), Sint16(y), Uint16(w), Uint16(h)};
    SDL_FillRect(picture, &area, SDL_MapRGB(picture->format, c.r, c.g, c.b));
}

// A picture of w by h, OUTSIDE beyond the used part of usedW by usedH, which
// is one colour with patches over it.
void WritePicture(const std::string& path, int w, int h, int usedW, int usedH, Rgb colour,
                  std::initializer_list<Patch> patches) {
    SDL_Surface* picture =
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    Fill(picture, 0, 0, w, h, Fixture::OUTSIDE);
    Fill(picture, 0, 0, usedW, usedH, colour);
    for (const Patch& p : patches) {
        Fill(picture, p.x, p.y, p.w, p.h, p.colour);
    }
    SDL_SaveBMP(picture, path.c_str());
    SDL_FreeSurface(picture);
}

constexpr Rgb B = Fixture::BLACK;
// The stand-in sprites are this much larger than the parts the drawing uses.
constexpr int MARGIN_X = 5; // px
constexpr int MARGIN_Y = 5; // px

} // namespace

Rgb Fixture::Digit(int n) { return Rgb{248, Uint8(32 + 24 * n), 8}; }

std::string Fixture::MakeFolder(int loadingWidth, int loadingHeight) {
    char name[] = "/tmp/duelstar-pictures-XXXXXX";
    if (mkdtemp(name) == nullptr) {
        return "";
    }
    const std::string folder = name;
    const std::string images = folder + "/images/";
    std::filesystem::create_directory(images);

    const auto path = [&images](Picture picture) { return images + FileOf(picture).name; };
    // Each used part is the list's size, with a margin of OUTSIDE beyond it.
    const auto write = [&path](Picture picture, Rgb colour, std::initializer_list<Patch> patches) {
        const PictureFile& f = FileOf(picture);
        WritePicture(path(picture), f.width + MARGIN_X, f.height + MARGIN_Y, f.width, f.height,
                     colour, patches);
    };

    WritePicture(path(Picture::STARS), 800, 600, 800, 600, STARS,
                 {{STARS_HOLE_X, STARS_HOLE_Y, STARS_HOLE_SIZE, STARS_HOLE_SIZE, B}});
    WritePicture(path(Picture::LOADING), loadingWidth, loadingHeight, loadingWidth, loadingHeight,
                 LOADING, {{0, 0, LOADING_HOLE_SIZE, LOADING_HOLE_SIZE, B}});

    // Ten glyphs of 11 by 16, each with a black last column, over 20 rows.
    SDL_Surface* digits =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 110, 20, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    Fill(digits, 0, 0, 110, 20, OUTSIDE);
    for (int n = 0; n < 10; ++n) {
        Fill(digits, 11 * n, 0, DIGIT_HOLE_X, 16, Digit(n));
        Fill(digits, 11 * n + DIGIT_HOLE_X, 0, 1, 16, B);
    }
    SDL_SaveBMP(digits, path(Picture::DIGITS).c_str());
    SDL_FreeSurface(digits);

    write(Picture::TEXT, TEXT, {{TEXT_HOLE_X, 0, TEXT_HOLE_X_END - TEXT_HOLE_X, 17, B}});
    const int shipHole = SHIP_HOLE_TO - SHIP_HOLE_FROM;
    const Patch shipPatch = {SHIP_HOLE_FROM, SHIP_HOLE_FROM, shipHole, shipHole, B};
    write(Picture::SHIP_RED, SHIP_RED, {shipPatch});
    write(Picture::SHIP_BLUE, SHIP_BLUE, {shipPatch});
    const Patch laserHole = {LASER_HOLE_X, LASER_HOLE_Y, LASER_HOLE_X_END - LASER_HOLE_X,
                             LASER_HOLE_Y_END - LASER_HOLE_Y, B};
    write(Picture::LASER_RED, LASER_RED, {laserHole});
    write(Picture::LASER_BLUE, LASER_BLUE, {laserHole});
    const Patch boomHole = {BOOM_HOLE_X, BOOM_HOLE_Y, BOOM_HOLE_X_END - BOOM_HOLE_X,
                            BOOM_HOLE_Y_END - BOOM_HOLE_Y, B};
    write(Picture::BOOM, BOOM, {boomHole});
    write(Picture::RED_BOOM, RED_BOOM, {boomHole});
    write(Picture::BLUE_BOOM, BLUE_BOOM, {boomHole});
    return folder;
}

void Fixture::RemoveFolder(const std::string& path) {
    if (!path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
}

Uint16 Mapped(Rgb c) { return Uint16(SDL_MapRGB(screen->format, c.r, c.g, c.b)); }

Uint16 PixelOf(SDL_Surface* surface, int x, int y) {
    SDL_LockSurface(surface);
    const Uint8* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    const Uint16 value = reinterpret_cast<const Uint16*>(row)[x];
    SDL_UnlockSurface(surface);
    return value;
}

Uint16 ScreenPixel(int x, int y) { return PixelOf(screen, x, y); }

std::string Describe(Uint16 pixel) {
    Uint8 r, g, b;
    SDL_GetRGB(pixel, screen->format, &r, &g, &b);
    return "(" + std::to_string(r) + ", " + std::to_string(g) + ", " + std::to_string(b) + ")";
}

bool IsHalfMix(Uint16 pixel, Rgb a, Rgb b) {
    Uint8 r, g, bl;
    SDL_GetRGB(pixel, screen->format, &r, &g, &bl);
    const auto near = [](int got, int x, int y, int step) {
        return std::abs(got - (x + y) / 2) <= step;
    };
    constexpr int FIVE_BIT_STEP = 8; // red and blue resolution in RGB565
    constexpr int SIX_BIT_STEP = 4;  // green resolution in RGB565
    return near(r, a.r, b.r, FIVE_BIT_STEP) && near(g, a.g, b.g, SIX_BIT_STEP) &&
           near(bl, a.b, b.b, FIVE_BIT_STEP);
}

GFX OnScreen::ready;
std::string OnScreen::folder;
std::string OnScreen::home;
SDL_Surface* OnScreen::loadingScreen = nullptr;
Uint32 OnScreen::loadingDelay = 0;

void OnScreen::SetUpTestSuite() {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    folder = Fixture::MakeFolder(200, 120);
    ASSERT_FALSE(folder.empty());
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    home = cwd;
    ASSERT_EQ(chdir(folder.c_str()), 0);
    FakeClock::Reset(START);
    ready = GFX();
    ready.Init(SUBSYSTEM_SDL);
    loadingDelay = FakeClock::TotalDelay();
    loadingScreen = SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
}

void OnScreen::TearDownTestSuite() {
    SDL_FreeSurface(loadingScreen);
    loadingScreen = nullptr;
    ReleasePictures();
    SDL_Quit();
    if (!home.empty() && chdir(home.c_str()) != 0) {
        ADD_FAILURE() << "cannot go back to " << home;
    }
    Fixture::RemoveFolder(folder);
    folder.clear();
}

void OnScreen::SetUp() {
    FakeClock::Reset(START);
    gfx = ready;
    red = Player();
    blue = Player();
    scroller = Scroller();
    PlaceForDuel(red, blue);
}

void ReleasePictures() {
    for (const PictureFile& file : PICTURE_FILES) {
        SDL_FreeSurface(SurfaceOf(file.picture));
        SurfaceOf(file.picture) = nullptr;
        sprites[int(file.picture)].Release();
    }
    screen = nullptr; // SDL's own, closed by SDL_Quit
}
