// SPDX-License-Identifier: MIT
#include "MatchState.h"

#include "Match.h"
#include "MatchClock.h"
#include "StepEvents.h"

#include <cstring>

namespace {

constexpr Uint64 FNV_OFFSET = 14695981039346656037ull;
constexpr Uint64 FNV_PRIME = 1099511628211ull;
constexpr int BYTE_BITS = 8;
constexpr Uint32 BYTE_MASK = 0xff;

class Hash {
  public:
    void Add(Uint32 v) {
        for (int i = 0; i < int(sizeof v); ++i) {
            value = (value ^ ((v >> (i * BYTE_BITS)) & BYTE_MASK)) * FNV_PRIME;
        }
    }
    void Add(int v) { Add(Uint32(v)); }
    void Add(bool v) { Add(Uint32(v ? 1 : 0)); }
    void Add(float v) {
        Uint32 bits = 0;
        static_assert(sizeof bits == sizeof v, "a float is 32 bits");
        std::memcpy(&bits, &v, sizeof bits);
        Add(bits);
    }
    Uint64 Get() const { return value; }

  private:
    Uint64 value = FNV_OFFSET;
};

void AddPlayer(Hash& hash, const Player& player) {
    hash.Add(player.score);
    hash.Add(player.health);
    hash.Add(player.ship.GetX());
    hash.Add(player.ship.GetY());
    hash.Add(player.ship.GetLastFire());
    for (const Laser& laser : player.lasers) {
        hash.Add(laser.GetDirection());
        hash.Add(laser.GetX());
        hash.Add(laser.GetY());
        hash.Add(laser.IsEnabled());
    }
}

} // namespace

void StartMatchState(MatchState& state) {
    state = MatchState();
    PlaceForDuel(state.red, state.blue);
}

Uint32 StepTime(const MatchState& state) {
    // In 64 bits, so that the product never wraps before the division.
    return STEP_CLOCK_START + Uint32(Uint64(state.step) * MS_PER_SECOND / STEPS_PER_SECOND);
}

void StepMatch(MatchState& state, const Controls& commands, StepEvents& events) {
    if (state.winner != 0) {
        return;
    }
    const FixedClock clock(StepTime(state));
    state.winner =
        PlayRules(state.red, state.blue, state.scroller, commands, STEP_SECONDS, clock, events);
    state.step += 1;
}

Uint64 Checksum(const MatchState& state) {
    Hash hash;
    AddPlayer(hash, state.red);
    AddPlayer(hash, state.blue);
    hash.Add(state.scroller.GetOffset());
    hash.Add(state.step);
    hash.Add(state.winner);
    return hash.Get();
}
