// SPDX-License-Identifier: MIT
#include "Player.h"

void PlaceForDuel(Player& red, Player& blue) {
    blue.ship.SetX(BLUE_START_X);
    blue.ship.SetY(START_Y);
    red.ship.SetX(RED_START_X);
    red.ship.SetY(START_Y);
    for (int i = 0; i < MAX_LASERS; ++i) {
        blue.lasers[i].SetDirection(RIGHT);
        red.lasers[i].SetDirection(LEFT);
    }
}
