// SPDX-License-Identifier: MIT
// Pilot: the computer flying one ship. Once per frame it raises that ship's
// commands, as a gamepad or a finger does, from what a player sees on the
// screen a reaction time ago.
#pragma once

#include "../game/Controls.h"
#include "../game/Player.h"
#include "PilotLevel.h"
#include "PilotRandom.h"

#include <SDL_types.h>
#include <cstdint>

// The nearest shots coming at the pilot that it keeps in mind at once.
constexpr int PILOT_THREATS = 4;
// Past views of the match kept: at one view per PILOT_VIEW_INTERVAL they
// reach back further than the slowest reaction time.
constexpr int PILOT_VIEWS = 64;
constexpr Uint32 PILOT_VIEW_INTERVAL = 10; // ms between two kept views

class Pilot {
  public:
    // side is RED or BLUE; seed picks the pilot's dice.
    Pilot(int side, PilotLevel level, std::uint32_t seed);

    int GetSide() const { return side; }
    PilotLevel GetLevel() const { return level; }

    // Looks at the match at now (ms, the match's own clock) and raises its
    // ship's commands. It reads nothing but the two players, never the other
    // side's commands, and decides from the view a reaction time old.
    void Fly(Uint32 now, const Player& self, const Player& opponent, Controls& controls);

  private:
    // What the pilot saw at one moment, kept small: the ships, the nearest
    // shots flying at it.
    struct View {
        Uint32 time = 0; // ms
        float opponentX = 0.0f;
        float opponentY = 0.0f;
        int threats = 0;
        float threatX[PILOT_THREATS] = {};
        float threatY[PILOT_THREATS] = {};
    };

    void Look(Uint32 now, const Player& self, const Player& opponent);
    const View* Recall(Uint32 now) const;
    float Clear(const View& view, float y, float x) const;

    int side;
    PilotLevel level;
    PilotRandom dice;
    ShipCommands commands;

    View views[PILOT_VIEWS];
    int newest = -1; // index of the latest view, -1 before the first
    int kept = 0;    // views taken so far, up to PILOT_VIEWS

    float aimError = 0.0f; // px, drawn afresh after each shot
    float laneX = 0.0f;    // px, the distance from the centre line it keeps
    Uint32 nextLane = 0;   // ms when it picks a new lane
    float wander = 0.0f;   // px, how far from the opponent's height it idles
    int threatsSeen = 0;   // shots coming at it in the last view it used
    bool noticed = false;  // whether it saw the newest of them in time
};
