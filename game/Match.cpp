// SPDX-License-Identifier: MIT
#include "Match.h"

#include "../gfx/GFX.h"
#include "../sfx/Cue.h"
#include "MatchClock.h"
#include "MatchEvents.h"
#include "Report.h"

#include <SDL_timer.h>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

constexpr double MS_TO_SECONDS = 0.001;    // s per ms
constexpr float LASER_SPEED = 500.0f;      // px/s, both colours
constexpr float SHIP_SPEED = 500.0f;       // px/s, each direction
constexpr float BANNER_SPEED = 50.0f;      // px/s
constexpr float RED_LEFT_LIMIT = 450.0f;   // px, keeps RED in the right half
constexpr float BLUE_RIGHT_LIMIT = 350.0f; // px, keeps BLUE in the left half

// The hit box around a ship: its nose side reaches BOX_NEAR, its tail side
// BOX_FAR, and a shot's tip lies LASER_TIP ahead of its centre.
constexpr float HIT_HALF_HEIGHT = 75.0f; // px
constexpr float LASER_TIP = 20.0f;       // px
constexpr float BOX_NEAR = 35.0f;        // px
constexpr float BOX_FAR = 75.0f;         // px

constexpr int WINNING_SCORE = 3;   // points
constexpr int WIN_EXIT_STATUS = 0;

// Holds the longest line either format can make: "Blue wins " and three
// 11-character ints with their separators come to 53 characters.
constexpr int RESULT_LINE_SIZE = 64; // bytes

// RED's shots fly left, so their tip is on their left and meets BLUE's nose at
// sx + BOX_NEAR; BLUE's are the mirror image. Strict on every side.
bool Hits(const Laser& shot, int shooterId, const Ship& target) {
    const bool leftward = shooterId == RED;
    const float tip = leftward ? shot.GetX() - LASER_TIP : shot.GetX() + LASER_TIP;
    const float sx = target.GetX();
    const float sy = target.GetY();
    const float boxLeft = leftward ? sx - BOX_FAR : sx - BOX_NEAR;
    const float boxRight = leftward ? sx + BOX_NEAR : sx + BOX_FAR;
    return tip < boxRight && tip > boxLeft && shot.GetY() > sy - HIT_HALF_HEIGHT &&
           shot.GetY() < sy + HIT_HALF_HEIGHT;
}

// Takes the shot out of flight and a point of the target's health; a ship that
// runs out is destroyed, starts over with full health where it is, and scores
// for the shooter. True when that point wins the match. Every hit is heard at
// the target, and a destroyed ship's explosion over it.
bool LandHit(Laser& shot, Player& target, int targetId, Player& shooter, MatchEvents& events) {
    target.health -= 1;
    shot.SetEnabled(false);
    events.Cue(Sound::HIT, target.ship.GetX());
    if (target.health != 0) {
        return false;
    }
    target.health = FULL_HEALTH;
    events.Boom(targetId);
    events.Cue(Sound::EXPLOSION, target.ship.GetX());
    shooter.score += 1;
    return shooter.score == WINNING_SCORE;
}

// A match on one machine: its cues go straight to the sound and its
// explosions to the display, in the order the rules give them.
class LocalEvents final : public MatchEvents {
  public:
    explicit LocalEvents(GFX& gfx) : gfx(gfx) {}
    void Cue(Sound sound, float x) override { ::Cue(sound, x); }
    void Boom(int player) override { gfx.DrawBoom(player); }

  private:
    GFX& gfx;
};

[[noreturn]] void EndMatch(const FrameTimer& timer, GFX& gfx, const Player& red, const Player& blue,
                           const Scroller& scroller, int winner) {
    // The jingle plays from the winner's side through the pause.
    Cue(Sound::VICTORY, winner == RED ? red.ship.GetX() : blue.ship.GetX());
    gfx.Draw(red, blue, scroller, false);
    SDL_Delay(END_PAUSE);
    ReportResult(red, blue, winner, timer.fps);
    std::exit(WIN_EXIT_STATUS);
}

// Fires into the lowest free slot, at most once per update; with every slot in
// flight nothing leaves and the pause is not restarted. A shot that leaves is
// heard in its side's own voice, from its ship.
void FireRule(Player& player, Sound voice, const MatchClock& clock, MatchEvents& events) {
    if (!player.ship.CanFire(clock)) {
        return;
    }
    for (Laser& laser : player.lasers) {
        if (!laser.IsEnabled()) {
            player.ship.Fire(laser, clock);
            events.Cue(voice, player.ship.GetX());
            return;
        }
    }
}

// A step that would leave the screen is refused whole by the ship.
void StepX(Ship& ship, float dt, float velocity) { ship.SetX(ship.GetX() + dt * velocity); }
void StepY(Ship& ship, float dt, float velocity) { ship.SetY(ship.GetY() + dt * velocity); }

} // namespace

void ReportResult(const Player& red, const Player& blue, int winner, float fps) {
    char line[RESULT_LINE_SIZE];
    const int rate = int(fps);
    if (winner == RED) {
        std::snprintf(line, sizeof line, "Red wins %i-%i ( %i fps )", red.score, blue.score, rate);
    } else {
        std::snprintf(line, sizeof line, "Blue wins %i-%i ( %i fps )", blue.score, red.score,
                      rate);
    }
    Report().Message(line);
}

int PlayRules(Player& red, Player& blue, Scroller& scroller, const Controls& controls, float dt,
              const MatchClock& clock, MatchEvents& events) {
    // RED's shot i is judged before BLUE's shot i, so one winning hit ends the
    // match before any later hit could make it a draw.
    for (int i = 0; i < MAX_LASERS; ++i) {
        Laser& redShot = red.lasers[i];
        Laser& blueShot = blue.lasers[i];
        if (redShot.IsEnabled() && Hits(redShot, RED, blue.ship) &&
            LandHit(redShot, blue, BLUE, red, events)) {
            return RED;
        }
        if (blueShot.IsEnabled() && Hits(blueShot, BLUE, red.ship) &&
            LandHit(blueShot, red, RED, blue, events)) {
            return BLUE;
        }
        if (redShot.IsEnabled()) {
            redShot.Move(dt * LASER_SPEED);
        }
        if (blueShot.IsEnabled()) {
            blueShot.Move(dt * LASER_SPEED);
        }
    }

    if (controls.redFire) {
        FireRule(red, Sound::SHOT_RED, clock, events);
    }
    if (controls.blueFire) {
        FireRule(blue, Sound::SHOT_BLUE, clock, events);
    }
    if (controls.redUp) {
        StepY(red.ship, dt, -SHIP_SPEED);
    }
    if (controls.redDown) {
        StepY(red.ship, dt, SHIP_SPEED);
    }
    if (controls.redRight) {
        StepX(red.ship, dt, SHIP_SPEED);
    }
    if (controls.redLeft) {
        StepX(red.ship, dt, -SHIP_SPEED);
        if (red.ship.GetX() < RED_LEFT_LIMIT) {
            red.ship.SetX(RED_LEFT_LIMIT);
        }
    }
    if (controls.blueUp) {
        StepY(blue.ship, dt, -SHIP_SPEED);
    }
    if (controls.blueDown) {
        StepY(blue.ship, dt, SHIP_SPEED);
    }
    if (controls.blueLeft) {
        StepX(blue.ship, dt, -SHIP_SPEED);
    }
    if (controls.blueRight) {
        StepX(blue.ship, dt, SHIP_SPEED);
        if (blue.ship.GetX() > BLUE_RIGHT_LIMIT) {
            blue.ship.SetX(BLUE_RIGHT_LIMIT);
        }
    }

    scroller.Scroll(dt * BANNER_SPEED);
    return 0;
}

void UpdateMatch(FrameTimer& timer, GFX& gfx, const Controls& controls, Player& red, Player& blue,
                 Scroller& scroller) {
    const Uint32 t1 = SDL_GetTicks();
    if (timer.lastTicks == 0) {
        // Start-up time, the loading picture included, never counts as a frame.
        timer.lastTicks = t1;
        return;
    }
    const Uint32 t2 = SDL_GetTicks();
    const Uint32 elapsedMs = t2 - timer.lastTicks; // unsigned: survives the tick count wrapping
    const float dt = float(double(elapsedMs) * MS_TO_SECONDS);

    LocalEvents events(gfx);
    const int winner = PlayRules(red, blue, scroller, controls, dt, TicksClock(), events);
    if (winner != 0) {
        EndMatch(timer, gfx, red, blue, scroller, winner);
    }

    // A frame in which no millisecond passed has no finite rate; leaving it out
    // keeps the mean, and so the result line, a real figure.
    // The count stops at the largest int, by when the mean no longer moves.
    if (elapsedMs != 0 && timer.frames < std::numeric_limits<int>::max()) {
        const int n = timer.frames;
        timer.frames = n + 1;
        timer.fps = (timer.fps * float(n) + 1.0f / dt) / float(n + 1);
    }

    timer.lastTicks = t1;
}
