// SPDX-License-Identifier: MIT
// The SDL frame of GFX: everything drawn over the stars in a fixed order, the
// explosion banner's timing, the screenshot and the flip.
#include "Blit.h"
#include "GFX.h"
#include "Layout.h"
#include "Screenshot.h"

#include "../game/Player.h"
#include "../game/Screen.h"
#include "../game/Scroller.h"

#include <SDL.h>

namespace {
constexpr Uint32 BOOM_TIME = 1000; // ms an explosion shows

// A bar of the given red and blue levels; no bar has any green.
void Bar(int x, int y, int width, Uint8 r, Uint8 b) {
    SDL_Rect area = {Sint16(x), Sint16(y), Uint16(width), Uint16(BAR_HEIGHT)};
    SDL_FillRect(screen, &area, SDL_MapRGB(screen->format, r, 0, b));
}

// RED's bars are red and BLUE's blue; the bright one is left out while the
// player's explosion shows.
void HealthBars(const Player& player, int identity, bool showBright) {
    const int x = int(player.ship.GetX()) - BAR_LEFT;
    const int y = int(player.ship.GetY()) - BAR_ABOVE;
    const bool red = identity == RED;
    Bar(x, y, BAR_WIDTH, red ? BAR_DARK : 0, red ? 0 : BAR_DARK);
    if (showBright) {
        Bar(x, y, BAR_PER_HEALTH * player.health, red ? BAR_BRIGHT : 0, red ? 0 : BAR_BRIGHT);
    }
}

// A whole keyed picture with its top-left corner at (x, y).
void Whole(Picture picture, int x, int y) {
    SpriteOf(picture).Draw(0, FileOf(picture).width, screen, x, y);
}

void Shot(const Laser& laser, Picture picture) {
    if (laser.IsEnabled()) {
        Whole(picture, int(laser.GetX()) - LASER_LEFT, int(laser.GetY()) - LASER_ABOVE);
    }
}

void ShipOf(const Player& player, Picture picture) {
    Whole(picture, int(player.ship.GetX()) - SHIP_HALF, int(player.ship.GetY()) - SHIP_HALF);
}

void Score(int score, int x) {
    SpriteOf(Picture::DIGITS).Draw(DIGIT_WIDTH * score, DIGIT_WIDTH, screen, x, SCORE_Y);
}

// Picture::COUNT when no explosion shows.
Picture BoomPicture(int mask) {
    switch (mask) {
    case RED:
        return Picture::RED_BOOM;
    case BLUE:
        return Picture::BLUE_BOOM;
    case RED | BLUE:
        return Picture::BOOM;
    default:
        return Picture::COUNT;
    }
}

// Measured as time since the start, in unsigned arithmetic, so that an
// explosion started just before the 32-bit tick count wraps still lasts its
// full second.
bool BoomOver(Uint32 start) { return Uint32(SDL_GetTicks() - start) >= BOOM_TIME; }
} // namespace

void GFX::sdlDraw(const Player& red, const Player& blue, const Scroller& scroller,
                  bool screenshot) {
    CopyOver(starsImage, screen);

    Score(blue.score, BLUE_SCORE_X);
    Score(red.score, RED_SCORE_X);

    HealthBars(blue, BLUE, !(booming && (boomMask & BLUE)));
    HealthBars(red, RED, !(booming && (boomMask & RED)));

    // BLUE's shot of an index lies over RED's, and later indices over earlier ones.
    for (int i = 0; i < MAX_LASERS; ++i) {
        Shot(red.lasers[i], Picture::LASER_RED);
        Shot(blue.lasers[i], Picture::LASER_BLUE);
    }

    ShipOf(red, Picture::SHIP_RED);
    ShipOf(blue, Picture::SHIP_BLUE);

    Whole(Picture::TEXT, int(scroller.GetOffset()), BANNER_Y);

    if (booming) {
        // Chosen before the expiry, so the frame in which an explosion ends
        // still shows it.
        const Picture picture = BoomPicture(boomMask);
        if (picture != Picture::COUNT) {
            Whole(picture, BOOM_X, BOOM_Y);
        }
        if ((boomMask & RED) && BoomOver(redBoomStart)) {
            boomMask -= RED;
        }
        if ((boomMask & BLUE) && BoomOver(blueBoomStart)) {
            boomMask -= BLUE;
        }
        if (boomMask == 0) {
            booming = 0;
        }
    }

    // Saved before the flip: the file holds exactly the frame about to be shown.
    if (screenshot) {
        SaveScreenshot(screen);
    }
    SDL_Flip(screen);
}
