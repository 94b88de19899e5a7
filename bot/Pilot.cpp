// SPDX-License-Identifier: MIT
#include "Pilot.h"

#include "../game/Screen.h"

#include <cmath>

namespace {

// What every player learns of the rules by playing: how fast things fly, how
// near a shot must pass to hit, and which half of the screen is whose.
constexpr float SHOT_SPEED = 500.0f;       // px/s, as the match flies them
constexpr float HIT_HALF_HEIGHT = 75.0f;   // px, a shot this near in height hits
constexpr float SHOT_PASSED = 75.0f;       // px behind the ship's centre a shot is gone
constexpr float SHOT_REACH = 55.0f;        // px ahead of the ship's centre a shot's tip hits
constexpr float DANGER_TIME = 0.2f;        // s: a shot closer than this is in the way
constexpr float MS_TO_SECONDS = 0.001f;    // s per ms
constexpr float RED_LEFT_LIMIT = 450.0f;   // px, RED's half starts here
constexpr float BLUE_RIGHT_LIMIT = 350.0f; // px, BLUE's half ends here
constexpr float EDGE_MARGIN = 40.0f;       // px kept from the top and bottom
constexpr float BACK_MARGIN = 60.0f;       // px kept from the back edge
constexpr float CLEARANCE = 20.0f;         // px beyond the hit height it dodges to
constexpr float DEADBAND = 6.0f;           // px off target it lets be, so it does not jitter
constexpr float WANDER = 160.0f;           // px, how far off the line it idles between shots
constexpr Uint32 AIM_LEAD = 150;           // ms before the pause ends it lines up again
constexpr Uint32 LANE_MIN = 1200;          // ms it keeps one lane, at least
constexpr Uint32 LANE_MAX = 3000;          // ms it keeps one lane, at most
constexpr float LANE_NEAR = 0.2f;          // share of its half nearest the centre it may fly to

struct Skill {
    Uint32 reaction;  // ms between seeing and doing
    float aimError;   // px, the widest miss of its aim
    float fireWindow; // px off its aim point it still fires
    float notice;     // chance it sees a shot coming in time
};

// Easy is slow, sloppy and misses half the shots coming at it; hard is quick,
// precise and rarely surprised. Tuned with the headless matches in the tests.
constexpr Skill SKILLS[] = {
    {400, 70.0f, 45.0f, 0.45f}, // EASY
    {250, 40.0f, 55.0f, 0.75f}, // NORMAL
    {150, 12.0f, 60.0f, 0.97f}, // HARD
};

const Skill& SkillOf(PilotLevel level) { return SKILLS[int(level)]; }

float Clamp(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }

} // namespace

Pilot::Pilot(int side, PilotLevel level, std::uint32_t seed)
    : side(side), level(level), dice(seed), commands(side == RED ? RED_COMMANDS : BLUE_COMMANDS) {}

void Pilot::Look(Uint32 now, const Player& self, const Player& opponent) {
    if (newest >= 0 && Uint32(now - views[newest].time) < PILOT_VIEW_INTERVAL) {
        return;
    }
    newest = (newest + 1) % PILOT_VIEWS;
    kept = kept < PILOT_VIEWS ? kept + 1 : kept;
    View& view = views[newest];
    view = View();
    view.time = now;
    view.opponentX = opponent.ship.GetX();
    view.opponentY = opponent.ship.GetY();
    // Keeps the nearest shots still coming, nearest first.
    const float x = self.ship.GetX();
    float distance[PILOT_THREATS] = {};
    for (const Laser& shot : opponent.lasers) {
        if (!shot.IsEnabled()) {
            continue;
        }
        const float d = side == BLUE ? shot.GetX() - x : x - shot.GetX();
        if (d < -SHOT_PASSED) {
            continue;
        }
        int at = view.threats;
        while (at > 0 && distance[at - 1] > d) {
            --at;
        }
        if (at >= PILOT_THREATS) {
            continue;
        }
        const int last = view.threats < PILOT_THREATS ? view.threats : PILOT_THREATS - 1;
        for (int i = last; i > at; --i) {
            distance[i] = distance[i - 1];
            view.threatX[i] = view.threatX[i - 1];
            view.threatY[i] = view.threatY[i - 1];
        }
        distance[at] = d;
        view.threatX[at] = shot.GetX();
        view.threatY[at] = shot.GetY();
        view.threats = last + 1;
    }
}

const Pilot::View* Pilot::Recall(Uint32 now) const {
    const Uint32 reaction = SkillOf(level).reaction;
    for (int back = 0; back < kept; ++back) {
        const View& view = views[(newest - back + PILOT_VIEWS) % PILOT_VIEWS];
        if (Uint32(now - view.time) >= reaction) {
            return &view;
        }
    }
    return nullptr; // the match is younger than the reaction time
}

// Pushes y out of the height of every shot in view that would reach the ship
// before it could get clear; a shot further off is no danger yet, which lets
// it slip between two shots to fire. Shots are tried nearest first, towards
// the side y already leans to, or the other where the screen ends.
float Pilot::Clear(const View& view, float y, float x) const {
    for (int i = 0; i < view.threats; ++i) {
        const float d = side == BLUE ? view.threatX[i] - x : x - view.threatX[i];
        if ((d - SHOT_REACH) / SHOT_SPEED > DANGER_TIME) {
            continue;
        }
        const float ty = view.threatY[i];
        if (std::fabs(ty - y) >= HIT_HALF_HEIGHT + CLEARANCE) {
            continue;
        }
        const float above = ty - HIT_HALF_HEIGHT - CLEARANCE - DEADBAND;
        const float below = ty + HIT_HALF_HEIGHT + CLEARANCE + DEADBAND;
        const bool aboveFits = above >= EDGE_MARGIN;
        const bool belowFits = below <= float(SCREEN_HEIGHT) - EDGE_MARGIN;
        y = (aboveFits && (!belowFits || y <= ty)) ? above : below;
    }
    return y;
}

void Pilot::Fly(Uint32 now, const Player& self, const Player& opponent, Controls& controls) {
    Look(now, self, opponent);
    const View* seen = Recall(now);
    if (seen == nullptr) {
        return;
    }
    const View& view = *seen;
    const Skill& skill = SkillOf(level);
    const float x = self.ship.GetX();
    const float y = self.ship.GetY();

    // Shots fly straight at a known speed, so it carries on those it saw and
    // drops those gone by; still, it knows of no shot younger than its
    // reaction time.
    View coming = view;
    coming.threats = 0;
    const float flown = SHOT_SPEED * float(Uint32(now - view.time)) * MS_TO_SECONDS;
    for (int i = 0; i < view.threats; ++i) {
        const float tx = side == BLUE ? view.threatX[i] - flown : view.threatX[i] + flown;
        const float d = side == BLUE ? tx - x : x - tx;
        if (d >= -SHOT_PASSED) {
            coming.threatX[coming.threats] = tx;
            coming.threatY[coming.threats] = view.threatY[i];
            ++coming.threats;
        }
    }

    // Each shot that comes into view is seen in time, or not at all: a
    // pilot that misses a shot misses it.
    if (coming.threats > threatsSeen) {
        noticed = dice.Chance(skill.notice);
    }
    threatsSeen = coming.threats;

    const Uint32 sinceFire = Uint32(now - self.ship.GetLastFire());
    const bool canFire = sinceFire >= FIRE_PAUSE;
    const float aimY = view.opponentY + aimError;
    float targetY =
        (canFire || sinceFire + AIM_LEAD >= FIRE_PAUSE) ? aimY : view.opponentY + wander;
    targetY = Clamp(targetY, EDGE_MARGIN, float(SCREEN_HEIGHT) - EDGE_MARGIN);
    if (noticed) {
        // Out of the way first; then nowhere a shot is about to pass.
        const float escape = Clear(coming, y, x);
        targetY = escape != y ? escape : Clear(coming, targetY, x);
    }

    if (canFire && std::fabs(y - aimY) < skill.fireWindow) {
        controls.*commands.fire = true;
        aimError = dice.Uniform(-skill.aimError, skill.aimError);
        wander = dice.Uniform(-WANDER, WANDER);
    }

    if (targetY < y - DEADBAND) {
        controls.*commands.up = true;
    } else if (targetY > y + DEADBAND) {
        controls.*commands.down = true;
    }

    // A lane across its half, changed now and then, so that it is never
    // a fixed target in depth either.
    if (Uint32(now - nextLane) < (1u << 31)) {
        nextLane = now + Uint32(dice.Uniform(float(LANE_MIN), float(LANE_MAX)));
        laneX = dice.Uniform(0.0f, 1.0f - LANE_NEAR);
    }
    const float back = side == BLUE ? BACK_MARGIN : float(SCREEN_WIDTH) - BACK_MARGIN;
    const float front = side == BLUE ? BLUE_RIGHT_LIMIT : RED_LEFT_LIMIT;
    const float targetX = back + (front - back) * laneX;
    if (targetX < x - DEADBAND) {
        controls.*commands.left = true;
    } else if (targetX > x + DEADBAND) {
        controls.*commands.right = true;
    }
}
