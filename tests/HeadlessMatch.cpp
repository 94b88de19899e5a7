// SPDX-License-Identifier: MIT
#include "HeadlessMatch.h"

#include "FakeClock.h"
#include "game/Match.h"
#include "gfx/GFX.h"

namespace {
constexpr Uint32 START = 100000; // ms: far from 0, which would arm the timer again
constexpr int POINTS_TO_WIN = 3;
constexpr int SWEEP_FRAMES = 100;  // frames of one sweep, up or down
constexpr float COPY_SLACK = 5.0f; // px off the opponent's height it lets be
} // namespace

Flyer StillFiring() {
    return [](Uint32, const Player&, const Player&, Controls& controls, const ShipCommands& c) {
        controls.*c.fire = true;
    };
}

Flyer SweepingFiring() {
    return [frame = 0](Uint32, const Player&, const Player&, Controls& controls,
                       const ShipCommands& c) mutable {
        controls.*c.fire = true;
        controls.*((frame++ / SWEEP_FRAMES) % 2 == 0 ? c.up : c.down) = true;
    };
}

Flyer CopyingHeight() {
    return [](Uint32, const Player& self, const Player& opponent, Controls& controls,
              const ShipCommands& c) {
        controls.*c.fire = true;
        if (opponent.ship.GetY() < self.ship.GetY() - COPY_SLACK) {
            controls.*c.up = true;
        } else if (opponent.ship.GetY() > self.ship.GetY() + COPY_SLACK) {
            controls.*c.down = true;
        }
    };
}

Flyer Idle() {
    return [](Uint32, const Player&, const Player&, Controls&, const ShipCommands&) {};
}

MatchResult PlayHeadless(const Flyer& red, const Flyer& blue, Uint32 limitMs,
                         const std::function<void(int, const Controls&)>& observe) {
    FakeClock::Reset(START);
    FrameTimer timer;
    GFX gfx; // not initialised: draws nothing
    Controls controls;
    Player redPlayer;
    Player bluePlayer;
    Scroller scroller;
    PlaceForDuel(redPlayer, bluePlayer);
    UpdateMatch(timer, gfx, controls, redPlayer, bluePlayer, scroller); // arms the timer

    MatchResult result;
    while (result.durationMs < limitMs) {
        FakeClock::Advance(HEADLESS_FRAME_MS);
        result.durationMs += HEADLESS_FRAME_MS;
        const Uint32 now = FakeClock::Now();
        controls.Clear();
        red(now, redPlayer, bluePlayer, controls, RED_COMMANDS);
        blue(now, bluePlayer, redPlayer, controls, BLUE_COMMANDS);
        if (observe) {
            observe(result.frames, controls);
        }
        UpdateMatch(timer, gfx, controls, redPlayer, bluePlayer, scroller);
        ++result.frames;
        result.redPoints += redPlayer.score;
        result.bluePoints += bluePlayer.score;
        redPlayer.score = 0;
        bluePlayer.score = 0;
        if (result.redPoints == POINTS_TO_WIN || result.bluePoints == POINTS_TO_WIN) {
            result.finished = true;
            break;
        }
    }
    return result;
}
