// SPDX-License-Identifier: MIT
// What a frame costs next to the floor every frame pays (the star background
// and the flip), what each kind of picture adds to it, and what one match
// update costs with every shot in flight. Runs on SDL's dummy video driver
// from the source folder, with the fake clock so that nothing waits and the
// explosions stay on screen for as long as they are measured.
#include "../tests/FakeClock.h"
#include "FastestFrames.h"
#include "WorstFrame.h"
#include "game/Match.h"
#include "game/Screen.h"
#include "game/Scroller.h"
#include "gfx/Blit.h"
#include "gfx/GFX.h"
#include "gfx/Layout.h"

#include <SDL.h>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr Uint32 CLOCK_START = 100000; // ms: frozen during the frames, so explosions never expire
constexpr int ROUNDS = 300;
constexpr double NANOS_PER_SECOND = 1e9;

constexpr int UPDATE_BATCHES = 20000;

// The update benchmark: shots fly far from both ships' heights so that none
// hits, and are put back before they could reach an edge.
constexpr float SHIP_Y_UPDATE = 100.0f;       // px
constexpr float SHOT_Y_UPDATE = 500.0f;       // px: 400 px from the ships, beyond the 75 px reach
constexpr float SHOT_FIRST_X_UPDATE = 100.0f; // px
constexpr float SHOT_STEP_X_UPDATE = 6.0f;    // px: 100 shots over 100..694
constexpr Uint32 UPDATE_MS = 1;               // ms per update: 0.5 px of shot travel
constexpr int UPDATES_PER_RESET = 100;        // 50 px of travel before the shots go back

struct Scene {
    Player red;
    Player blue;
    Scroller scroller;

    Scene() { PlaceForDuel(red, blue); }

    void FillScreenWithShots() { ::FillScreenWithShots(red, blue); }
};

// One picture's top-left part on the screen, the way the frame draws it.
void Blit(SDL_Surface* picture, int w, int h, int x, int y) {
    BlitAt(picture, 0, w, h, screen, x, y);
}

void Stars() { CopyOver(starsImage, screen); }
void Flip() { SDL_Flip(screen); }
void Floor() {
    Stars();
    Flip();
}

// The drawn pixels of a frame: every run of pixels in a row that differ from
// the stars, and a copy of the frame to take them from.
struct DrawnRuns {
    SDL_Surface* frame = nullptr;
    std::vector<std::pair<size_t, size_t>> runs; // byte offset into the pixels, bytes
    long pixels = 0;

    // Takes the frame now on the screen.
    DrawnRuns() {
        frame = SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
        const int bytes = screen->format->BytesPerPixel;
        SDL_LockSurface(starsImage);
        for (int y = 0; y < SCREEN_HEIGHT; ++y) {
            const Uint8* drawn = static_cast<const Uint8*>(frame->pixels) + y * frame->pitch;
            const Uint8* stars =
                static_cast<const Uint8*>(starsImage->pixels) + y * starsImage->pitch;
            int x = 0;
            while (x < SCREEN_WIDTH) {
                const auto differs = [&](int at) {
                    return std::memcmp(drawn + at * bytes, stars + at * bytes, bytes) != 0;
                };
                if (!differs(x)) {
                    ++x;
                    continue;
                }
                const int start = x;
                while (x < SCREEN_WIDTH && differs(x)) {
                    ++x;
                }
                runs.emplace_back(size_t(y) * frame->pitch + size_t(start) * bytes,
                                  size_t(x - start) * bytes);
                pixels += x - start;
            }
        }
        SDL_UnlockSurface(starsImage);
    }
    ~DrawnRuns() { SDL_FreeSurface(frame); }

    // The floor, and in between just these pixels written over the stars.
    void Draw() const {
        Stars();
        SDL_LockSurface(screen);
        for (const auto& run : runs) {
            std::memcpy(static_cast<Uint8*>(screen->pixels) + run.first,
                        static_cast<const Uint8*>(frame->pixels) + run.first, run.second);
        }
        SDL_UnlockSurface(screen);
        Flip();
    }
};

// The opening frame and the worst frame, each as a multiple of the floor, and
// the limit the worst frame chases: the floor plus writing just its drawn
// pixels, in runs, as if every picture were opaque and cut to them.
void BM_FrameAgainstFloor(benchmark::State& state, GFX& gfx) {
    FakeClock::Set(CLOCK_START);
    Scene opening;
    Scene worst;
    worst.FillScreenWithShots();
    worst.scroller.Scroll(BANNER_ON_SCREEN);
    GFX worstGfx = gfx; // the same pictures, with its own explosion state
    worstGfx.DrawBoom(RED);
    worstGfx.DrawBoom(BLUE);

    worstGfx.Draw(worst.red, worst.blue, worst.scroller, false);
    const DrawnRuns limit;

    const std::vector<double> us = FastestFrames(
        state, {Floor, [&] { gfx.Draw(opening.red, opening.blue, opening.scroller, false); },
                [&] { worstGfx.Draw(worst.red, worst.blue, worst.scroller, false); },
                [&] { limit.Draw(); }});
    state.counters["floor_us"] = us[0];
    state.counters["opening_us"] = us[1];
    state.counters["worst_us"] = us[2];
    state.counters["limit_us"] = us[3];
    state.counters["opening_x_floor"] = us[1] / us[0];
    state.counters["worst_x_floor"] = us[2] / us[0];
    state.counters["limit_x_floor"] = us[3] / us[0];
    state.counters["worst_drawn_px"] = double(limit.pixels);
    state.counters["worst_drawn_runs"] = double(limit.runs.size());
    if (worstGfx.GetBoomMask() != (RED | BLUE)) {
        state.SkipWithError("the explosions expired while they were measured");
    }
}

// A picture loaded and converted as the game does it, with its black keyed
// out but without run-length encoding, and with the banner's alpha if given.
SDL_Surface* LoadPlain(Picture picture, Uint32 alphaFlags = 0) {
    const std::string path = std::string(IMAGES_FOLDER) + "/" + FileOf(picture).name;
    SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
    SDL_Surface* plain = SDL_DisplayFormat(loaded);
    SDL_FreeSurface(loaded);
    SDL_SetColorKey(plain, SDL_SRCCOLORKEY, SDL_MapRGB(plain->format, 0, 0, 0));
    if (alphaFlags != 0) {
        SDL_SetAlpha(plain, alphaFlags, BANNER_ALPHA);
    }
    return plain;
}

// Puts a picture's top-left corner at a place.
using Drawer = std::function<void(int x, int y)>;

// The way the frame draws it: the box around its drawn pixels.
Drawer AsSprite(Picture picture) {
    return
        [picture](int x, int y) { SpriteOf(picture).Draw(0, FileOf(picture).width, screen, x, y); };
}

// SDL's blit of the box around its drawn pixels, as on a screen the runs
// cannot be copied into.
Drawer AsBox(Picture picture) {
    return [picture](int x, int y) {
        const Sprite& sprite = SpriteOf(picture);
        SDL_Surface* box = sprite.GetBox();
        BlitAt(box, 0, box->w, box->h, screen, x + sprite.GetBoxX(), y + sprite.GetBoxY());
    };
}

// The whole used part of a picture of the list's size, in one blit.
Drawer AsWhole(SDL_Surface* surface, Picture picture) {
    return [surface, picture](int x, int y) {
        Blit(surface, FileOf(picture).width, FileOf(picture).height, x, y);
    };
}

void StarsBySdl() { Blit(starsImage, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0); }

// What each kind of picture adds to the floor, drawn the way the frame draws
// it: the figure is the fastest floor-plus-part frame less the fastest floor.
// Then what the frame's choices save: the shots as SDL's blits of their
// boxes (not copied as runs), as whole pictures (not cut to their drawn
// pixels) and without run-length encoding, the
// banner without encoding and opaque, the explosion without encoding, and the
// stars copied by SDL, which writes past the cache (the shots over them then
// cost their figure "after_sdl_copy").
void BM_FrameParts(benchmark::State& state) {
    Scene worst;
    worst.FillScreenWithShots();
    SDL_Surface* plainRedLaser = LoadPlain(Picture::LASER_RED);
    SDL_Surface* plainBlueLaser = LoadPlain(Picture::LASER_BLUE);
    SDL_Surface* plainBanner = LoadPlain(Picture::TEXT, SDL_SRCALPHA);
    SDL_Surface* opaqueBanner = LoadPlain(Picture::TEXT);
    SDL_SetColorKey(opaqueBanner, SDL_SRCCOLORKEY | SDL_RLEACCEL,
                    SDL_MapRGB(opaqueBanner->format, 0, 0, 0));
    SDL_Surface* plainBoom = LoadPlain(Picture::BOOM);
    auto shotsOf = [&](void (*stars)(), const Drawer& red, const Drawer& blue) {
        stars();
        for (int i = 0; i < MAX_LASERS; ++i) {
            const Laser& r = worst.red.lasers[i];
            const Laser& b = worst.blue.lasers[i];
            red(int(r.GetX()) - LASER_LEFT, int(r.GetY()) - LASER_ABOVE);
            blue(int(b.GetX()) - LASER_LEFT, int(b.GetY()) - LASER_ABOVE);
        }
        Flip();
    };
    auto bannerOf = [](const Drawer& banner) {
        Stars();
        banner(0, BANNER_Y);
        Flip();
    };
    auto boomOf = [](const Drawer& boom) {
        Stars();
        boom(BOOM_X, BOOM_Y);
        Flip();
    };
    auto ships = [] {
        Stars();
        AsSprite(Picture::SHIP_RED)(int(RED_START_X) - SHIP_HALF, int(START_Y) - SHIP_HALF);
        AsSprite(Picture::SHIP_BLUE)(int(BLUE_START_X) - SHIP_HALF, int(START_Y) - SHIP_HALF);
        Flip();
    };
    const Drawer redShot = AsSprite(Picture::LASER_RED);
    const Drawer blueShot = AsSprite(Picture::LASER_BLUE);
    const std::vector<double> us = FastestFrames(
        state,
        {Floor, Stars, Flip, [&] { shotsOf(Stars, redShot, blueShot); }, ships,
         [&] { bannerOf(AsSprite(Picture::TEXT)); }, [&] { boomOf(AsSprite(Picture::BOOM)); },
         [&] {
             shotsOf(Stars, AsWhole(laserRedImage, Picture::LASER_RED),
                     AsWhole(laserBlueImage, Picture::LASER_BLUE));
         },
         [&] {
             shotsOf(Stars, AsWhole(plainRedLaser, Picture::LASER_RED),
                     AsWhole(plainBlueLaser, Picture::LASER_BLUE));
         },
         [&] { bannerOf(AsWhole(plainBanner, Picture::TEXT)); },
         [&] { bannerOf(AsWhole(opaqueBanner, Picture::TEXT)); },
         [&] { boomOf(AsWhole(plainBoom, Picture::BOOM)); }, StarsBySdl,
         [&] { shotsOf(StarsBySdl, redShot, blueShot); },
         [&] { shotsOf(Stars, AsBox(Picture::LASER_RED), AsBox(Picture::LASER_BLUE)); }});
    state.counters["floor_us"] = us[0];
    state.counters["stars_us"] = us[1];
    state.counters["flip_us"] = us[2];
    state.counters["200shots_us"] = us[3] - us[0];
    state.counters["2ships_us"] = us[4] - us[0];
    state.counters["banner_us"] = us[5] - us[0];
    state.counters["boom_us"] = us[6] - us[0];
    state.counters["200shots_uncut_us"] = us[7] - us[0];
    state.counters["200shots_norle_us"] = us[8] - us[0];
    state.counters["banner_norle_us"] = us[9] - us[0];
    state.counters["banner_opaque_us"] = us[10] - us[0];
    state.counters["boom_norle_us"] = us[11] - us[0];
    state.counters["stars_sdl_copy_us"] = us[12];
    state.counters["200shots_after_sdl_copy_us"] = us[13] - us[12] - us[2];
    state.counters["200shots_sdl_box_us"] = us[14] - us[0];
    for (SDL_Surface* picture :
         {plainRedLaser, plainBlueLaser, plainBanner, opaqueBanner, plainBoom}) {
        SDL_FreeSurface(picture);
    }
}

// One match update with all 200 shots in flight and every key held: the full
// laser pass, and the fire rule searching both full pools. Timed in batches
// of UPDATES_PER_RESET, between which the shots are put back: Time is that of
// a batch, and min_ns the fastest batch's time per update.
void BM_UpdateMatchAllShotsInFlight(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    FakeClock::Set(CLOCK_START);
    Scene scene;
    scene.red.ship.SetY(SHIP_Y_UPDATE);
    scene.blue.ship.SetY(SHIP_Y_UPDATE);
    auto putBack = [&] {
        for (int i = 0; i < MAX_LASERS; ++i) {
            const float x = SHOT_FIRST_X_UPDATE + SHOT_STEP_X_UPDATE * float(i);
            PutInFlight(scene.red.lasers[i], x, SHOT_Y_UPDATE);
            PutInFlight(scene.blue.lasers[i], x, SHOT_Y_UPDATE);
        }
    };
    putBack();
    GFX gfx; // not initialised: a hit would only record the explosion
    FrameTimer timer;
    Controls keys = {false, true, true, true, true, true, true, true, true, true, true};
    UpdateMatch(timer, gfx, keys, scene.red, scene.blue, scene.scroller); // arms the timer
    double fastest = std::numeric_limits<double>::infinity();
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 0; i < UPDATES_PER_RESET; ++i) {
            FakeClock::Advance(UPDATE_MS);
            UpdateMatch(timer, gfx, keys, scene.red, scene.blue, scene.scroller);
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        fastest = std::min(fastest, seconds * NANOS_PER_SECOND / UPDATES_PER_RESET);
        state.SetIterationTime(seconds);
        putBack();
    }
    state.counters["min_ns"] = fastest;
    int inFlight = 0;
    for (int i = 0; i < MAX_LASERS; ++i) {
        inFlight += scene.red.lasers[i].IsEnabled() + scene.blue.lasers[i].IsEnabled();
    }
    if (inFlight != 2 * MAX_LASERS || scene.red.score + scene.blue.score != 0) {
        state.SkipWithError("shots left flight or hit during the measurement");
    }
}

// Per picture: its size, how much of it is drawn (not black), in how many
// runs of drawn pixels per row, and how SDL prepared it after the warm-up.
void DescribePicture(const char* name, SDL_Surface* picture) {
    SDL_LockSurface(picture);
    const Uint32 black = SDL_MapRGB(picture->format, 0, 0, 0);
    long drawn = 0;
    long runs = 0;
    for (int y = 0; y < picture->h; ++y) {
        const Uint8* row = static_cast<const Uint8*>(picture->pixels) + y * picture->pitch;
        bool inRun = false;
        for (int x = 0; x < picture->w; ++x) {
            Uint32 pixel = 0;
            std::memcpy(&pixel, row + x * picture->format->BytesPerPixel,
                        picture->format->BytesPerPixel);
            const bool isDrawn = pixel != black;
            drawn += isDrawn;
            runs += isDrawn && !inRun;
            inRun = isDrawn;
        }
    }
    SDL_UnlockSurface(picture);
    const long all = long(picture->w) * picture->h;
    std::printf("%-14s %4dx%-4d %2d bpp %8ld drawn (%5.1f%%) %6ld runs  %s%s%s alpha %d\n", name,
                picture->w, picture->h, picture->format->BitsPerPixel, drawn,
                100.0 * double(drawn) / double(all), runs,
                (picture->flags & SDL_SRCCOLORKEY) ? "key " : "",
                (picture->flags & SDL_SRCALPHA) ? "srcalpha " : "",
                (picture->flags & SDL_RLEACCEL) ? "rle" : "no-rle", int(picture->format->alpha));
}

void DescribePictures() {
    std::printf("Pictures: drawn = pixels not black; runs = runs of drawn pixels in the rows;\n"
                "rle = run-length encoded by now (SDL encodes on the first blit); the keyed\n"
                "ones are cut to the box around their drawn pixels, the second line, and\n"
                "their runs copied straight into the screen where it takes them\n");
    std::printf("screen         %4dx%-4d %2d bpp, %s surface\n", screen->w, screen->h,
                screen->format->BitsPerPixel,
                (screen->flags & SDL_HWSURFACE) ? "hardware" : "software");
    for (const PictureFile& file : PICTURE_FILES) {
        DescribePicture(file.name, SurfaceOf(file.picture));
        const Sprite& sprite = SpriteOf(file.picture);
        if (sprite.GetBox() != nullptr) {
            std::printf("  box at %d,%d:", sprite.GetBoxX(), sprite.GetBoxY());
            DescribePicture("", sprite.GetBox());
            std::printf("  %d runs kept, %s\n", sprite.GetRunCount(),
                        sprite.CopiesInto(screen) ? "copied into the screen"
                                                  : "blitted by SDL as the box");
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (chdir(DUELSTAR_SOURCE_DIR) != 0) {
        std::perror(DUELSTAR_SOURCE_DIR);
        return EXIT_FAILURE;
    }
    FakeClock::Reset(CLOCK_START);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return EXIT_FAILURE;
    }
    std::atexit(SDL_Quit);
    GFX gfx;
    gfx.Init(SUBSYSTEM_SDL);

    benchmark::RegisterBenchmark("FrameAgainstFloor", BM_FrameAgainstFloor, std::ref(gfx))
        ->Iterations(ROUNDS)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("FrameParts", BM_FrameParts)
        ->Iterations(ROUNDS)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("UpdateMatchAllShotsInFlight", BM_UpdateMatchAllShotsInFlight)
        ->Iterations(UPDATE_BATCHES)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return EXIT_FAILURE;
    }
    benchmark::RunSpecifiedBenchmarks();
    DescribePictures();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
