// SPDX-License-Identifier: MIT
// The computer pilot measured: its cost per frame beside the match update's
// own (the ratio is the figure to read), then, once, the win rates between the
// levels and against scripted players, and how long the hard pilot takes to
// beat an idle one - all in headless matches on the fake clock.
#include "../tests/FakeClock.h"
#include "../tests/HeadlessMatch.h"
#include "bot/Pilot.h"
#include "game/Match.h"
#include "gfx/GFX.h"

#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr int TABLE_MATCHES = 100; // per pairing
constexpr int SCRIPTED_MATCHES = 20;
constexpr Uint32 FRAME_MS = 10;

// Both ships in mid-match: some shots in flight on each side.
void Arrange(Player& red, Player& blue) {
    PlaceForDuel(red, blue);
    for (int i = 0; i < 3; ++i) {
        red.lasers[i].SetX(600.0f - 150.0f * float(i));
        red.lasers[i].SetY(250.0f + 40.0f * float(i));
        red.lasers[i].SetEnabled(true);
        blue.lasers[i].SetX(200.0f + 150.0f * float(i));
        blue.lasers[i].SetY(350.0f - 40.0f * float(i));
        blue.lasers[i].SetEnabled(true);
    }
}

void BM_PilotFly(benchmark::State& state) {
    Player red;
    Player blue;
    Arrange(red, blue);
    Pilot pilot(BLUE, PilotLevel::HARD, 1);
    Uint32 now = 100000;
    for (auto _ : state) {
        Controls controls;
        now += FRAME_MS;
        pilot.Fly(now, blue, red, controls);
        benchmark::DoNotOptimize(controls);
    }
}
BENCHMARK(BM_PilotFly);

// The baseline: one match update over the same arrangement, no one steering.
void BM_MatchUpdate(benchmark::State& state) {
    Player red;
    Player blue;
    Arrange(red, blue);
    FrameTimer timer;
    GFX gfx;
    Scroller scroller;
    const Controls controls;
    FakeClock::Reset(100000);
    UpdateMatch(timer, gfx, controls, red, blue, scroller);
    for (auto _ : state) {
        FakeClock::Advance(0); // shots stay where they are: every frame alike
        UpdateMatch(timer, gfx, controls, red, blue, scroller);
    }
}
BENCHMARK(BM_MatchUpdate);

const char* const NAMES[] = {"easy", "normal", "hard"};

// Wins of level a over level b, sides swapped every other match.
int Wins(PilotLevel a, PilotLevel b) {
    int wins = 0;
    for (int i = 0; i < TABLE_MATCHES; ++i) {
        const std::uint32_t seed = 5000u + std::uint32_t(i);
        const bool aIsRed = i % 2 == 0;
        Pilot red(RED, aIsRed ? a : b, seed);
        Pilot blue(BLUE, aIsRed ? b : a, seed * 7919u + 1u);
        const int winner = PlayHeadless(Flown(red), Flown(blue)).Winner();
        wins += winner == (aIsRed ? RED : BLUE) ? 1 : 0;
    }
    return wins;
}

void PrintTables() {
    std::printf("Wins of the row's level over the column's, of %d matches:\n", TABLE_MATCHES);
    std::printf("%-8s %8s %8s %8s\n", "", NAMES[0], NAMES[1], NAMES[2]);
    for (int a = 0; a < 3; ++a) {
        std::printf("%-8s", NAMES[a]);
        for (int b = 0; b < 3; ++b) {
            std::printf(" %8d", Wins(PilotLevel(a), PilotLevel(b)));
        }
        std::printf("\n");
    }

    const struct {
        const char* name;
        Flyer (*make)();
    } opponents[] = {{"still, holding fire", StillFiring},
                     {"sweeping, firing", SweepingFiring},
                     {"copying its height, firing", CopyingHeight},
                     {"idle", Idle}};
    std::printf("\nThe hard pilot (BLUE) against scripted players (RED), %d matches each:\n",
                SCRIPTED_MATCHES);
    for (const auto& opponent : opponents) {
        int wins = 0;
        double seconds = 0.0;
        for (int i = 0; i < SCRIPTED_MATCHES; ++i) {
            Pilot pilot(BLUE, PilotLevel::HARD, 700u + std::uint32_t(i));
            const MatchResult r = PlayHeadless(opponent.make(), Flown(pilot));
            wins += r.Winner() == BLUE ? 1 : 0;
            seconds += double(r.durationMs) / 1000.0;
        }
        std::printf("  %-28s wins %2d of %d, %.1f s of match time on average\n", opponent.name,
                    wins, SCRIPTED_MATCHES, seconds / SCRIPTED_MATCHES);
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    PrintTables();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
