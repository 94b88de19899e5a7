// SPDX-License-Identifier: MIT
// PilotRandom: the computer pilot's own seeded dice, so that one seed and one
// match always give the same flight, on every platform.
#pragma once

#include <cstdint>
#include <random>

class PilotRandom {
  public:
    explicit PilotRandom(std::uint32_t seed) : engine(seed == 0 ? 1u : seed) {}

    // A number from lo to hi, both included, mapped here rather than by a standard
    // distribution, whose results differ between standard libraries.
    float Uniform(float lo, float hi) {
        const double unit = double(engine() - engine.min()) / double(engine.max() - engine.min());
        return lo + float(unit) * (hi - lo);
    }

    // True with probability p.
    bool Chance(float p) { return Uniform(0.0f, 1.0f) < p; }

  private:
    std::minstd_rand engine; // fully specified by the standard: same numbers everywhere
};
