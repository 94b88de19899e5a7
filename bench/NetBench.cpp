// SPDX-License-Identifier: MIT
// What the online match's rollback costs: saving and loading its state, one
// fixed step, the checksum, and a frame that first replays 8 frames against a
// frame that replays none (the baseline), on a busy state with a hundred
// shots in flight.
#include "game/MatchState.h"
#include "game/StepEvents.h"
#include "net/Session.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int SHOTS_EACH = 50;
constexpr Uint32 PAUSE_STEPS = 31; // a little over the pause between shots

// Both ships firing and weaving for a few seconds: shots all over the field.
MatchState Busy() {
    MatchState state;
    StartMatchState(state);
    StepEvents events;
    for (Uint32 step = 0; step < PAUSE_STEPS * SHOTS_EACH / 10; ++step) {
        Controls c;
        c.redFire = c.blueFire = true;
        c.redUp = (step / 40) % 2 == 0;
        c.redDown = !c.redUp;
        c.blueDown = c.redUp;
        c.blueUp = !c.redUp;
        events.Clear();
        StepMatch(state, c, events);
    }
    return state;
}

void Save(benchmark::State& bench) {
    const MatchState state = Busy();
    MatchState saved;
    for (auto _ : bench) {
        saved = state;
        benchmark::DoNotOptimize(saved);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Save);

void Step(benchmark::State& bench) {
    const MatchState busy = Busy();
    MatchState state = busy;
    StepEvents events;
    Controls c;
    c.redUp = true;
    c.blueDown = true;
    int steps = 0;
    for (auto _ : bench) {
        events.Clear();
        StepMatch(state, c, events);
        if (++steps == 30) { // before the ships reach an edge, start over
            bench.PauseTiming();
            state = busy;
            steps = 0;
            bench.ResumeTiming();
        }
    }
}
BENCHMARK(Step);

void Checksum(benchmark::State& bench) {
    const MatchState state = Busy();
    for (auto _ : bench) {
        benchmark::DoNotOptimize(Checksum(state));
    }
}
BENCHMARK(Checksum);

// A frame of a session whose other machine is always depth frames behind
// (no one fires, so the match never ends),
// its commands always differing from the guess: each frame replays depth
// frames before it plays its own.
void Frame(benchmark::State& bench) {
    const int depth = int(bench.range(0));
    Session session;
    session.Start(RED, 0);
    Uint32 frame = 0;
    InputBits remote = 0;
    for (; int(frame) < depth; ++frame) {
        session.Advance(0);
    }
    for (auto _ : bench) {
        // Alternating commands: the last known one is always the wrong guess.
        remote = remote == INPUT_UP ? INPUT_DOWN : INPUT_UP;
        if (depth > 0) {
            session.ReceiveRemote(frame - Uint32(depth), remote);
        } else {
            session.ReceiveRemote(frame, remote);
        }
        session.Advance(0);
        frame += 1;
        if (session.GetConfirmedWinner() != 0) {
            bench.SkipWithError("the match ended");
            break;
        }
    }
    bench.counters["frames_replayed"] = benchmark::Counter(double(session.GetFramesRolledBack()),
                                                           benchmark::Counter::kAvgIterations);
}
BENCHMARK(Frame)->Arg(0)->Arg(8);

} // namespace

BENCHMARK_MAIN();
