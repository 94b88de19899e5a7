// SPDX-License-Identifier: MIT
// Player: one side of the duel - its score, the hits its ship can still take,
// its ship and a fixed pool of shots that are reused shot after shot.
#pragma once

#include "Laser.h"
#include "Ship.h"

constexpr int RED = 1;  // the ship on the right, always the first of two players passed
constexpr int BLUE = 2; // the ship on the left

constexpr int MAX_LASERS = 100; // shots of one player in flight at once
constexpr int FULL_HEALTH = 5;  // hits that destroy a ship

// Where a duel starts: BLUE's ship on the left, RED's on the right, both at
// mid height.
constexpr float BLUE_START_X = 100.0f; // px
constexpr float RED_START_X = 700.0f;  // px
constexpr float START_Y = 300.0f;      // px

struct Player {
    int score = 0;
    int health = FULL_HEALTH;
    Ship ship;
    Laser lasers[MAX_LASERS];
};

// Puts both ships at their start and aims every shot of RED's pool LEFT and
// every shot of BLUE's RIGHT, at the opponent; the shots must all be free.
void PlaceForDuel(Player& red, Player& blue);
