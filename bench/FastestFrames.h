// SPDX-License-Identifier: MIT
// FastestFrames: the frame benchmarks' way of timing kinds of frame against
// each other in one run, on a machine other work shares.
#pragma once

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>
#include <limits>
#include <vector>

// Frames are timed in batches, the kinds taking turns; the fastest batch of
// each kind is its figure, being the one the shared machine disturbed least.
constexpr int BATCH_FRAMES = 10;
constexpr int WARM_UP_FRAMES = 3; // SDL run-length encodes a keyed picture on its first blit
constexpr double MICROS_PER_SECOND = 1e6;

// Runs the kinds of frame in turn, BATCH_FRAMES of one kind at a time after
// one untimed frame of it, each round starting with the next kind, and returns the fastest batch's
// time per frame of each kind, in microseconds. The benchmark's own Time is that of a whole round;
// the counters are the figures.
inline std::vector<double> FastestFrames(benchmark::State& state,
                                         const std::vector<std::function<void()>>& kinds) {
    using Clock = std::chrono::steady_clock;
    for (const auto& kind : kinds) {
        for (int i = 0; i < WARM_UP_FRAMES; ++i) {
            kind();
        }
    }
    std::vector<double> fastest(kinds.size(), std::numeric_limits<double>::infinity());
    size_t first = 0;
    for (auto _ : state) {
        double round = 0.0;
        for (size_t k = 0; k < kinds.size(); ++k) {
            const size_t kind = (first + k) % kinds.size();
            kinds[kind](); // untimed: the kind before may have left other memory cached
            const auto start = Clock::now();
            for (int i = 0; i < BATCH_FRAMES; ++i) {
                kinds[kind]();
            }
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            round += seconds;
            fastest[kind] = std::min(fastest[kind], seconds * MICROS_PER_SECOND / BATCH_FRAMES);
        }
        first = (first + 1) % kinds.size();
        state.SetIterationTime(round);
    }
    return fastest;
}
