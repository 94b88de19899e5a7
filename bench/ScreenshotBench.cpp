// SPDX-License-Identifier: MIT
// What one screenshot costs the frame it is taken in: the game's save (the
// frame written whole under a name of its own, then renamed over
// "screenshot.bmp") next to SDL's save straight into "screenshot.bmp", and
// next to the game's save forced onto the disk with fsync. Runs on SDL's
// dummy video driver in a new folder inside the current one, so that the disk
// measured is the one the folder is on.
#include "gfx/Screenshot.h"

#include <SDL.h>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int WIDTH = 800;  // px
constexpr int HEIGHT = 600; // px
constexpr int DEPTH = 16;   // bits per pixel, as the game's screen
constexpr double MILLIS_PER_SECOND = 1e3;
constexpr char SCREENSHOT[] = "screenshot.bmp";

// SDL's own save straight into the file, opened and truncated in place: what
// any save of the frame costs at least.
void SdlSave(SDL_Surface* frame) { SDL_SaveBMP_RW(frame, SDL_RWFromFile(SCREENSHOT, "wb"), 1); }

void SyncedSave(SDL_Surface* frame) {
    SaveScreenshot(frame);
    const int fd = open(SCREENSHOT, O_RDONLY | O_CLOEXEC);
    fsync(fd);
    close(fd);
}

// A frame of noise, so that nothing about the bytes is special.
void FillWithNoise(SDL_Surface* frame) {
    SDL_LockSurface(frame);
    Uint8* pixels = static_cast<Uint8*>(frame->pixels);
    for (int i = 0; i < frame->pitch * frame->h; ++i) {
        pixels[i] = Uint8(std::rand());
    }
    SDL_UnlockSurface(frame);
}

// Each round saves once in each way, the first way changing from round to
// round; the figures are the median times, in milliseconds, since the disk's
// delays come and go.
void BM_Screenshot(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    char folder[] = "screenshot-bench-XXXXXX";
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    if (mkdtemp(folder) == nullptr || chdir(folder) != 0) {
        state.SkipWithError("no folder to save in can be made here");
        return;
    }
    SDL_Surface* frame = SDL_SetVideoMode(WIDTH, HEIGHT, DEPTH, SDL_SWSURFACE);
    if (frame == nullptr) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    FillWithNoise(frame);
    const std::vector<std::function<void(SDL_Surface*)>> ways = {SdlSave, SaveScreenshot,
                                                                 SyncedSave};
    std::vector<std::vector<double>> ms(ways.size());
    size_t first = 0;
    for (auto _ : state) {
        double round = 0.0;
        for (size_t k = 0; k < ways.size(); ++k) {
            const size_t way = (first + k) % ways.size();
            const auto start = Clock::now();
            ways[way](frame);
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            ms[way].push_back(seconds * MILLIS_PER_SECOND);
            round += seconds;
        }
        first = (first + 1) % ways.size();
        state.SetIterationTime(round);
    }
    std::vector<double> median;
    for (std::vector<double>& times : ms) {
        std::sort(times.begin(), times.end());
        median.push_back(times[times.size() / 2]);
    }
    state.counters["sdl_ms"] = median[0];
    state.counters["game_ms"] = median[1];
    state.counters["synced_ms"] = median[2];
    state.counters["game_x_sdl"] = median[1] / median[0];
    state.counters["synced_x_sdl"] = median[2] / median[0];
    unlink(SCREENSHOT);
    if (chdir("..") == 0) {
        rmdir(folder);
    }
    SDL_Quit();
}

} // namespace

BENCHMARK(BM_Screenshot)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
