// Player: one side of the duel - its score, the hits its ship can still take,
// its ship and a fixed pool of shots that are reused shot after shot.
#pragma once

#include "Laser.h"
#include "Ship.h"

constexpr int RED = 1;  // the ship on the right, always the first of two players passed
constexpr int BLUE = 2; // the ship on the left

constexpr int MAX_LASERS = 100; // shots of one player in flight at once
constexpr int FULL_HEALTH = 5;  // hits that destroy a ship

struct Player {
    int score = 0;
    int health = FULL_HEALTH;
    Ship ship;
    Laser lasers[MAX_LASERS];
};
