// SPDX-License-Identifier: MIT
// What the sound costs and how soon it is heard: the worst frame with every
// cue playing against the same frame with the sound device paused, in one
// run; and the time from the frame that fires a shot to the shot's first
// audible sample written by SDL's disk driver. Runs on SDL's dummy video
// driver and its disk audio driver (one 1,024-frame buffer per 23 ms, in real
// time) from the source folder, on SDL's own clock.
#include "FastestFrames.h"
#include "WorstFrame.h"
#include "game/Match.h"
#include "game/Scroller.h"
#include "gfx/GFX.h"
#include "sfx/Cue.h"
#include "sfx/SFX.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int ROUNDS = 300;
constexpr int SHOTS = 40;          // timed shots
constexpr int AUDIBLE = 64;        // of a 16-bit sample
constexpr int BYTES_PER_FRAME = 4; // 16-bit stereo
constexpr auto POLL = std::chrono::microseconds(100);
constexpr auto SETTLE = std::chrono::milliseconds(50);
constexpr auto CYCLE = std::chrono::microseconds(23220); // one buffer: 1,024 frames at 44,100 Hz
constexpr auto GIVE_UP = std::chrono::seconds(2);        // for one shot to be heard
constexpr double MS_PER_SECOND = 1000.0;

using Clock = std::chrono::steady_clock;

struct Scene {
    Player red;
    Player blue;
    Scroller scroller;
    Scene() { PlaceForDuel(red, blue); }
};

// Restarts whatever channels have fallen silent, so that every channel of
// every cue plays while the frame is drawn.
void KeepEveryCuePlaying(SFX& sfx) {
    for (const SoundFile& file : SOUND_FILES) {
        for (int c = 0; c < file.channels; ++c) {
            if (Mix_Playing(file.firstChannel + c) == 0) {
                sfx.Play(file.sound, float(c * 100));
            }
        }
    }
}

void BM_WorstFrameWithSound(benchmark::State& state, GFX& gfx, SFX& sfx) {
    Scene worst;
    FillScreenWithShots(worst.red, worst.blue);
    worst.scroller.Scroll(BANNER_ON_SCREEN);
    // On SDL's clock the explosions last a second; both kinds restart them.
    const auto frame = [&] {
        gfx.DrawBoom(RED);
        gfx.DrawBoom(BLUE);
        gfx.Draw(worst.red, worst.blue, worst.scroller, false);
    };
    const std::vector<double> us = FastestFrames(state, {[&] {
                                                             SDL_PauseAudio(1);
                                                             frame();
                                                         },
                                                         [&] {
                                                             SDL_PauseAudio(0);
                                                             KeepEveryCuePlaying(sfx);
                                                             frame();
                                                         }});
    SDL_PauseAudio(0);
    state.counters["silent_us"] = us[0];
    state.counters["every_cue_us"] = us[1];
    state.counters["every_cue_x_silent"] = us[1] / us[0];
}

// The first audible sample's frame at or after from, or -1.
long FirstAudible(const std::string& path, long from) {
    std::ifstream file(path, std::ios::binary);
    file.seekg(from * BYTES_PER_FRAME);
    Sint16 frame[2];
    for (long at = from; file.read(reinterpret_cast<char*>(frame), sizeof frame); ++at) {
        if (std::abs(frame[0]) > AUDIBLE || std::abs(frame[1]) > AUDIBLE) {
            return at;
        }
    }
    return -1;
}

long FramesIn(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    return long(file.tellg()) / BYTES_PER_FRAME;
}

// Fires RED's shot through the match update, as a frame does, and waits for
// its first sample in the file; the delays in ms.
std::vector<double> ShotLatencies(GFX& gfx, const std::string& path) {
    std::vector<double> ms;
    Scene scene;
    FrameTimer timer;
    Controls idle;
    UpdateMatch(timer, gfx, idle, scene.red, scene.blue, scene.scroller); // arms the timer
    for (int shot = 0; shot < SHOTS; ++shot) {
        // Silence first, and the ship's half second between shots.
        while (Mix_Playing(-1) != 0 || !scene.red.ship.CanFire()) {
            gfx.Draw(scene.red, scene.blue, scene.scroller, false);
        }
        // The silence reaches the file; then each shot comes at another point of
        // the driver's 23 ms cycle, since the wait for silence ends just after
        // one of its mixes.
        std::this_thread::sleep_for(SETTLE + CYCLE * shot / SHOTS);
        const long mark = FramesIn(path);
        Controls fire;
        fire.redFire = true;
        const Clock::time_point fired = Clock::now();
        UpdateMatch(timer, gfx, fire, scene.red, scene.blue, scene.scroller);
        for (Laser& laser : scene.red.lasers) {
            laser.SetEnabled(false); // no hit to hear next
        }
        gfx.Draw(scene.red, scene.blue, scene.scroller, false);
        while (FirstAudible(path, mark) < 0 && Clock::now() - fired < GIVE_UP) {
            std::this_thread::sleep_for(POLL);
        }
        ms.push_back(std::chrono::duration<double>(Clock::now() - fired).count() * MS_PER_SECOND);
    }
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    char audio[] = "/tmp/duelstar-sound-bench-XXXXXX";
    const int fd = mkstemp(audio);
    if (fd < 0) {
        std::perror("mkstemp");
        return EXIT_FAILURE;
    }
    close(fd);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", audio, 1);
    setenv("SDL_DISKAUDIODELAY", "23", 1); // ms: real time for 1,024 frames at 44,100 Hz
    if (chdir(DUELSTAR_SOURCE_DIR) != 0) {
        std::perror(DUELSTAR_SOURCE_DIR);
        return EXIT_FAILURE;
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return EXIT_FAILURE;
    }
    std::atexit(SDL_Quit);
    GFX gfx;
    gfx.Init(SUBSYSTEM_SDL);
    SFX sfx;
    sfx.Init();
    sfx.AwaitDevice();
    if (!sfx.IsOpen()) {
        std::fprintf(stderr, "no disk audio device: %s\n", SDL_GetError());
        return EXIT_FAILURE;
    }
    SendCuesTo(&sfx);

    benchmark::RegisterBenchmark("WorstFrameWithSound", BM_WorstFrameWithSound, std::ref(gfx),
                                 std::ref(sfx))
        ->Iterations(ROUNDS)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return EXIT_FAILURE;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    Mix_HaltChannel(-1);
    std::vector<double> ms = ShotLatencies(gfx, audio);
    std::sort(ms.begin(), ms.end());
    std::printf("shot to first audible sample, %d shots: min %.1f ms, median %.1f ms, "
                "90th percentile %.1f ms, max %.1f ms\n",
                SHOTS, ms.front(), ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.back());
    unlink(audio);
    return EXIT_SUCCESS;
}
