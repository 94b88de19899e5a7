// SPDX-License-Identifier: MIT
// MatchClock: where the rules read the time for a ship's pause between shots.
// A match on one machine reads SDL's clock; an online match reads the time of
// its fixed step, which both machines agree on.
#pragma once

#include <SDL_types.h>

class MatchClock {
  public:
    // Milliseconds on a clock that only moves forward (it may wrap).
    virtual Uint32 Now() const = 0;

  protected:
    ~MatchClock() = default;
};

// SDL's own tick count: each reading is a new one.
class TicksClock final : public MatchClock {
  public:
    Uint32 Now() const override;
};

// A clock stopped at one time: every reading within a fixed step is the same.
class FixedClock final : public MatchClock {
  public:
    explicit FixedClock(Uint32 now) : now(now) {}
    Uint32 Now() const override { return now; }

  private:
    Uint32 now;
};
