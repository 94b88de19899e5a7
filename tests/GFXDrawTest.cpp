// SPDX-License-Identifier: MIT
// Frames composed from known game states on stand-in pictures of flat colours:
// what shows at each pixel, in which order things are drawn, the health bars,
// the explosion banner's timing and the screenshot.
#include "FakeClock.h"
#include "GFXFixture.h"

#include <SDL.h>
#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>
#include <unistd.h>

namespace {

using namespace Fixture;

constexpr Rgb BLUE_DARK = {0, 0, 128};
constexpr Rgb BLUE_BRIGHT = {0, 0, 255};
constexpr Rgb RED_DARK = {128, 0, 0};
constexpr Rgb RED_BRIGHT = {255, 0, 0};

struct Box {
    int x0, y0, x1, y1; // end excluded; empty when x0 >= x1

    bool Contains(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
    bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

bool operator==(const Box& a, const Box& b) {
    return (a.Empty() && b.Empty()) ||
           (a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1);
}

std::ostream& operator<<(std::ostream& os, const Box& b) {
    if (b.Empty()) {
        return os << "nothing";
    }
    return os << "[" << b.x0 << ".." << b.x1 << ") x [" << b.y0 << ".." << b.y1 << ")";
}

constexpr Box NOTHING = {0, 0, 0, 0};

int Area(const Box& b) { return b.Empty() ? 0 : (b.x1 - b.x0) * (b.y1 - b.y0); }

// Where a colour is on the screen: the box around all its pixels, and how
// many there are.
struct Spread {
    Box box;
    int count;
    bool Solid() const { return count == Area(box); }
};

Spread Find(Rgb colour) {
    const Uint16 wanted = Mapped(colour);
    Box box = {800, 600, 0, 0};
    int count = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            if (ScreenPixel(x, y) == wanted) {
                ++count;
                box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x + 1),
                       std::max(box.y1, y + 1)};
            }
        }
    }
    if (count == 0) {
        return {NOTHING, 0};
    }
    return {box, count};
}

// The first pixel of the screen that breaks a rule, or "" if none does.
template <typename Rule> std::string FirstBreak(Rule rule) {
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            const std::string why = rule(x, y, ScreenPixel(x, y));
            if (!why.empty()) {
                return "at (" + std::to_string(x) + ", " + std::to_string(y) + "): " + why;
            }
        }
    }
    return "";
}

#define EXPECT_PIXEL(x, y, colour)                                                                 \
    EXPECT_EQ(Describe(ScreenPixel(x, y)), Describe(Mapped(colour)))                               \
        << "at (" << (x) << ", " << (y) << ")"

class Frame : public OnScreen {};

TEST_F(Frame, ShowsTheStarsWhereverNothingElseIsDrawn) {
    BannerAt(0.0f);
    DrawFrame();
    // Everything this frame draws: two digits, the four bars, two ships, the banner.
    const Box drawn[] = {{5, 5, 16, 21},       {785, 5, 796, 21},   {75, 250, 125, 255},
                         {675, 250, 725, 255}, {63, 263, 138, 338}, {663, 263, 738, 338},
                         {0, 580, 800, 597}};
    const Box starsHole = {STARS_HOLE_X, STARS_HOLE_Y, STARS_HOLE_X + STARS_HOLE_SIZE,
                           STARS_HOLE_Y + STARS_HOLE_SIZE};
    const std::string broken = FirstBreak([&](int x, int y, Uint16 pixel) -> std::string {
        for (const Box& b : drawn) {
            if (b.Contains(x, y)) {
                return "";
            }
        }
        const Uint16 want = Mapped(starsHole.Contains(x, y) ? BLACK : STARS);
        return pixel == want ? "" : Describe(pixel) + " instead of " + Describe(want);
    });
    EXPECT_EQ(broken, "");
}

TEST_F(Frame, DrawsTheBlackOfTheStarBackground) {
    DrawFrame();
    EXPECT_PIXEL(STARS_HOLE_X, STARS_HOLE_Y, BLACK);
    EXPECT_PIXEL(STARS_HOLE_X + STARS_HOLE_SIZE - 1, STARS_HOLE_Y + STARS_HOLE_SIZE - 1, BLACK);
    EXPECT_PIXEL(STARS_HOLE_X - 1, STARS_HOLE_Y, STARS);
}

TEST_F(Frame, KeepsNothingOfThePreviousFrame) {
    BannerAt(0.0f);
    red.lasers[4].SetX(400.0f);
    red.lasers[4].SetY(150.0f);
    red.lasers[4].SetEnabled(true);
    gfx.DrawBoom(RED);
    DrawFrame();
    ASSERT_EQ(Describe(ScreenPixel(670, 270)), Describe(Mapped(SHIP_RED)));
    red.ship.SetX(500.0f);
    red.ship.SetY(100.0f);
    red.lasers[4].SetEnabled(false);
    BannerAt(800.0f);
    FakeClock::Advance(2000);
    DrawFrame(); // ends the explosion but still shows it
    DrawFrame();
    EXPECT_PIXEL(670, 270, STARS); // the ship's old place
    EXPECT_PIXEL(385, 120, STARS); // the shot
    EXPECT_PIXEL(10, 585, STARS);  // the banner
    EXPECT_PIXEL(255, 270, STARS); // the explosion
    EXPECT_PIXEL(700, 252, STARS); // the old bars
    EXPECT_PIXEL(470, 70, SHIP_RED);
}

TEST_F(Frame, NeverShowsMoreOfAPictureThanItsCutOrAnyBlackOfASprite) {
    // A busy frame: every kind of picture, several at the screen edges.
    BannerAt(-37.0f);
    red.score = 3;
    blue.score = 2;
    const float shots[][2] = {{0, 0}, {800, 600}, {0, 600}, {800, 0}, {400, 150}, {240, 560}};
    int i = 0;
    for (const auto& at : shots) {
        for (Player* p : {&red, &blue}) {
            p->lasers[i].SetX(at[0]);
            p->lasers[i].SetY(at[1]);
            p->lasers[i].SetEnabled(true);
        }
        ++i;
    }
    blue.ship.SetX(0.0f);
    blue.ship.SetY(600.0f);
    red.ship.SetX(800.0f);
    red.ship.SetY(0.0f);
    gfx.DrawBoom(BLUE);
    DrawFrame();
    const std::string broken = FirstBreak([](int, int, Uint16 pixel) -> std::string {
        return pixel == Mapped(OUTSIDE) ? "a part beyond a picture's cut" : "";
    });
    EXPECT_EQ(broken, "");
    // Where both lasers at (400, 150) have their black patch, the stars show.
    EXPECT_PIXEL(400, 150, STARS);
    EXPECT_PIXEL(400 - 20 + LASER_HOLE_X - 1, 150, LASER_BLUE);
}

struct DigitCase {
    const char* name;
    int redScore, blueScore;
};

void PrintTo(const DigitCase& c, std::ostream* os) { *os << c.name; }

class Scores : public OnScreen, public ::testing::WithParamInterface<DigitCase> {};

TEST_P(Scores, ShowTheGlyphOfEachScoreBlueLeftRedRight) {
    const DigitCase& c = GetParam();
    red.score = c.redScore;
    blue.score = c.blueScore;
    DrawFrame();
    const struct {
        int left;
        int score;
    } places[] = {{5, c.blueScore}, {785, c.redScore}};
    for (const auto& place : places) {
        SCOPED_TRACE(place.left);
        EXPECT_PIXEL(place.left, 5, Digit(place.score));
        EXPECT_PIXEL(place.left + DIGIT_HOLE_X - 1, 20, Digit(place.score));
        EXPECT_PIXEL(place.left + DIGIT_HOLE_X, 12, STARS); // the glyph's black column
        EXPECT_PIXEL(place.left, 21, STARS);                // glyphs are 16 high
        EXPECT_PIXEL(place.left - 1, 12, STARS);
        EXPECT_PIXEL(place.left, 4, STARS);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Scores,
                         ::testing::Values(DigitCase{"NoneToNone", 0, 0},
                                           DigitCase{"OneToNone", 1, 0},
                                           DigitCase{"NoneToTwo", 0, 2},
                                           DigitCase{"ThreeToOne", 3, 1},
                                           DigitCase{"TwoToThree", 2, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

// What lies over what: one arrangement, one pixel, the colour that must win.
struct OrderCase {
    const char* name;
    void (*arrange)(GFX& gfx, Player& red, Player& blue, Scroller& scroller);
    int x, y;
    Rgb top;
    bool underBanner; // the pixel is the banner's half mix over `top`
};

void PrintTo(const OrderCase& c, std::ostream* os) { *os << c.name; }

void Shoot(Laser& laser, float x, float y) {
    laser.SetX(x);
    laser.SetY(y);
    laser.SetEnabled(true);
}

void Place(Player& p, float x, float y) {
    p.ship.SetX(x);
    p.ship.SetY(y);
}

class DrawingOrder : public OnScreen, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(DrawingOrder, PutsEachElementOverTheOnesBefore) {
    const OrderCase& c = GetParam();
    c.arrange(gfx, red, blue, scroller);
    DrawFrame();
    const Uint16 pixel = ScreenPixel(c.x, c.y);
    if (c.underBanner) {
        EXPECT_TRUE(IsHalfMix(pixel, c.top, TEXT)) << Describe(pixel);
        EXPECT_NE(pixel, Mapped(c.top));
    } else {
        EXPECT_EQ(Describe(pixel), Describe(Mapped(c.top)));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DrawingOrder,
                         ::testing::Values(
                             OrderCase{"ShotUnderItsShip",
                                       [](GFX&, Player& r, Player&, Scroller&) {
                                           Shoot(r.lasers[0], 700, 300);
                                       },
                                       670, 270, SHIP_RED, false},
                             OrderCase{"ShotShowsThroughTheShipsBlack",
                                       [](GFX&, Player& r, Player&, Scroller&) {
                                           Shoot(r.lasers[0], 700, 300);
                                       },
                                       693, 300, LASER_RED, false},
                             OrderCase{"BlueShotOverRedShotOfTheSameIndex",
                                       [](GFX&, Player& r, Player& b, Scroller&) {
                                           Shoot(r.lasers[7], 400, 150);
                                           Shoot(b.lasers[7], 400, 150);
                                       },
                                       385, 120, LASER_BLUE, false},
                             OrderCase{"RedShotOverBlueShotOfALowerIndex",
                                       [](GFX&, Player& r, Player& b, Scroller&) {
                                           Shoot(r.lasers[8], 400, 150);
                                           Shoot(b.lasers[7], 400, 150);
                                       },
                                       385, 120, LASER_RED, false},
                             OrderCase{"ShotOutOfFlightNotDrawn",
                                       [](GFX&, Player& r, Player&, Scroller&) {
                                           Shoot(r.lasers[5], 400, 150);
                                           r.lasers[5].SetEnabled(false);
                                       },
                                       385, 120, STARS, false},
                             OrderCase{"BlueShipOverRedShip",
                                       [](GFX&, Player& r, Player& b, Scroller&) {
                                           Place(r, 400, 300);
                                           Place(b, 400, 300);
                                       },
                                       370, 270, SHIP_BLUE, false},
                             OrderCase{"RedShipOverBlueShots",
                                       [](GFX&, Player&, Player& b, Scroller&) {
                                           Shoot(b.lasers[99], 700, 300);
                                       },
                                       670, 270, SHIP_RED, false},
                             OrderCase{"ShotsOverHealthBars",
                                       [](GFX&, Player& r, Player&, Scroller&) {
                                           Shoot(r.lasers[0], 100, 260);
                                       },
                                       85, 252, LASER_RED, false},
                             OrderCase{
                                 "HealthBarsOverScoreDigits",
                                 [](GFX&, Player&, Player& b, Scroller&) { Place(b, 30, 57); }, 8,
                                 9, BLUE_BRIGHT, false},
                             OrderCase{"ShotsOverScoreDigits",
                                       [](GFX&, Player& r, Player&, Scroller&) {
                                           Shoot(r.lasers[0], 20, 10);
                                       },
                                       7, 8, LASER_RED, false},
                             OrderCase{"BannerHalfOverShips",
                                       [](GFX&, Player&, Player& b, Scroller& s) {
                                           Place(b, 100, 590);
                                           s.Scroll(800);
                                       },
                                       70, 585, SHIP_BLUE, true},
                             OrderCase{"BannerHalfOverShots",
                                       [](GFX&, Player& r, Player&, Scroller& s) {
                                           Shoot(r.lasers[0], 500, 560);
                                           s.Scroll(800);
                                       },
                                       485, 590, LASER_RED, true},
                             OrderCase{"BannerHalfOverStars",
                                       [](GFX&, Player&, Player&, Scroller& s) { s.Scroll(800); },
                                       10, 580, STARS, true},
                             OrderCase{"BannerBlackShowsWhatLiesBeneath",
                                       [](GFX&, Player&, Player&, Scroller& s) { s.Scroll(800); },
                                       TEXT_HOLE_X, 585, STARS, false},
                             OrderCase{"ExplosionOverShips",
                                       [](GFX& g, Player&, Player& b, Scroller&) {
                                           Place(b, 260, 300);
                                           g.DrawBoom(BLUE);
                                       },
                                       255, 270, BLUE_BOOM, false},
                             OrderCase{"ExplosionBlackShowsTheShipBeneath",
                                       [](GFX& g, Player&, Player& b, Scroller&) {
                                           Place(b, 410, 300);
                                           g.DrawBoom(BLUE);
                                       },
                                       395, 300, SHIP_BLUE, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Where a picture lands: truncation toward zero, then the fixed offsets, then
// the cut to the used size and SDL's clipping at the screen edges.
struct PlaceCase {
    const char* name;
    void (*arrange)(Player& red, Player& blue, Scroller& scroller);
    Rgb colour;
    Box expected; // the box around all pixels of that colour
    int holes;    // pixels of the box that the picture's black patch leaves out
};

void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }

class Placement : public OnScreen, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(Placement, FollowsTheTruncatedCentreAndTheCut) {
    const PlaceCase& c = GetParam();
    Place(red, 700, 150); // out of the way of the bars of BLUE's ship
    c.arrange(red, blue, scroller);
    DrawFrame();
    const Spread found = Find(c.colour);
    EXPECT_EQ(found.box, c.expected);
    EXPECT_EQ(found.count, Area(c.expected) - c.holes);
}

// Moves a shot in flight by d px along its direction, past where SetX goes.
void Fly(Laser& laser, int direction, float x, float y, float d) {
    laser.SetDirection(direction);
    Shoot(laser, x, y);
    laser.Move(d);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Placement,
    ::testing::Values(
        PlaceCase{"ShipFractionsTruncated",
                  [](Player&, Player& b, Scroller&) { Place(b, 100.9f, 300.9f); },
                  SHIP_BLUE,
                  {63, 263, 138, 338},
                  15 * 15},
        PlaceCase{"ShipAtTheTopLeftCorner",
                  [](Player&, Player& b, Scroller&) { Place(b, 0, 0); },
                  SHIP_BLUE,
                  {0, 0, 38, 38},
                  8 * 8},
        PlaceCase{"ShipAtTheBottomRightCorner",
                  [](Player& r, Player&, Scroller&) { Place(r, 800, 600); },
                  SHIP_RED,
                  {763, 563, 800, 600},
                  7 * 7},
        PlaceCase{"ShotLeavingOnTheLeftTruncatedTowardZero",
                  [](Player& r, Player&, Scroller&) { Fly(r.lasers[0], LEFT, 5.0f, 200, 15.5f); },
                  LASER_RED,
                  {0, 163, 15, 238},
                  0},
        PlaceCase{
            "ShotLeavingOnTheRight",
            [](Player&, Player& b, Scroller&) { Fly(b.lasers[0], RIGHT, 795.0f, 200, 15.7f); },
            LASER_BLUE,
            {790, 163, 800, 238},
            0},
        PlaceCase{"ShotPastTheRightEdge",
                  [](Player&, Player& b, Scroller&) { Fly(b.lasers[0], RIGHT, 800.0f, 200, 20); },
                  LASER_BLUE, NOTHING, 0},
        PlaceCase{"ShotWhollyInside",
                  [](Player&, Player& b, Scroller&) { Shoot(b.lasers[50], 400.6f, 150.2f); },
                  LASER_BLUE,
                  {380, 113, 425, 188},
                  15 * 15}),
    [](const auto& info) { return std::string(info.param.name); });

// The banner mixes with what lies beneath, so it is found by its edges: the
// columns and rows where the stars stop being plain.
struct BannerCase {
    const char* name;
    float offset;
    int left, right; // first and last screen column showing the banner, or -1
};

void PrintTo(const BannerCase& c, std::ostream* os) { *os << c.name; }

class Banner : public OnScreen, public ::testing::WithParamInterface<BannerCase> {};

TEST_P(Banner, SitsAtTheTruncatedOffsetSeventeenRowsHighFromRow580) {
    const BannerCase& c = GetParam();
    BannerAt(c.offset);
    DrawFrame();
    int left = -1, right = -1;
    for (int x = 0; x < 800; ++x) {
        if (IsHalfMix(ScreenPixel(x, 580), STARS, TEXT) && ScreenPixel(x, 580) != Mapped(STARS)) {
            left = left < 0 ? x : left;
            right = x;
        }
    }
    EXPECT_EQ(left, c.left);
    EXPECT_EQ(right, c.right);
    if (c.left >= 0) {
        EXPECT_TRUE(IsHalfMix(ScreenPixel(c.left, 596), STARS, TEXT));
        EXPECT_PIXEL(c.left, 597, STARS);
        EXPECT_PIXEL(c.left, 579, STARS);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Banner,
                         ::testing::Values(BannerCase{"AtZero", 0.0f, 0, 799},
                                           BannerCase{"JustLeftOfZero", -0.5f, 0, 799},
                                           BannerCase{"JustRightOfZero", 0.9f, 0, 799},
                                           BannerCase{"HalfOffTheLeft", -400.7f, 0, 399},
                                           BannerCase{"PartlyOffTheRight", 700.2f, 700, 799},
                                           BannerCase{"OneColumnOnTheRight", 799.0f, 799, 799},
                                           BannerCase{"OneColumnOnTheLeft", -799.0f, 0, 0},
                                           BannerCase{"OffTheRight", 800.0f, -1, -1},
                                           BannerCase{"OffTheLeft", -800.0f, -1, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

// After a long stall the banner can lie far beyond the left edge (it wraps once
// per update); an SDL rectangle's 16-bit x would bring this one back at 400.
TEST_F(OnScreen, ABannerFarOffTheLeftShowsNowhere) {
    scroller.Scroll(67536.0f);
    ASSERT_EQ(scroller.GetOffset(), -65136.0f);
    DrawFrame();
    for (int x = 0; x < 800; ++x) {
        EXPECT_PIXEL(x, 580, STARS);
    }
}

// Health bars of one player, the other standing at its starting place.
struct BarCase {
    const char* name;
    int who;
    float x, y;
    int health;
    int exploding; // RED | BLUE of the explosions showing
    Box bright, dark;
};

void PrintTo(const BarCase& c, std::ostream* os) { *os << c.name; }

class HealthBars : public OnScreen, public ::testing::WithParamInterface<BarCase> {};

TEST_P(HealthBars, ShowTheHitsLeftAboveEachShip) {
    const BarCase& c = GetParam();
    Player& mine = c.who == RED ? red : blue;
    const int other = c.who == RED ? BLUE : RED;
    Place(mine, c.x, c.y);
    mine.health = c.health;
    for (int who : {RED, BLUE}) {
        if (c.exploding & who) {
            gfx.DrawBoom(who);
        }
    }
    DrawFrame();
    const Spread bright = Find(c.who == RED ? RED_BRIGHT : BLUE_BRIGHT);
    const Spread dark = Find(c.who == RED ? RED_DARK : BLUE_DARK);
    EXPECT_EQ(bright.box, c.bright);
    EXPECT_TRUE(bright.Solid());
    EXPECT_EQ(dark.box, c.dark);
    EXPECT_TRUE(dark.Solid());

    // The other player's bars, full health at its starting place.
    const Box otherBar = other == RED ? Box{675, 250, 725, 255} : Box{75, 250, 125, 255};
    const bool otherExploding = (c.exploding & other) != 0;
    const Spread otherBright = Find(other == RED ? RED_BRIGHT : BLUE_BRIGHT);
    const Spread otherDark = Find(other == RED ? RED_DARK : BLUE_DARK);
    EXPECT_EQ(otherBright.box, otherExploding ? NOTHING : otherBar);
    EXPECT_EQ(otherDark.box, otherExploding ? otherBar : NOTHING);
    EXPECT_TRUE(otherBright.Solid() && otherDark.Solid());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HealthBars,
    ::testing::Values(
        BarCase{"FullHealthCoversTheDarkBar", BLUE, 100, 300, 5, 0, {75, 250, 125, 255}, NOTHING},
        BarCase{"ThreeHitsLeft", BLUE, 100, 300, 3, 0, {75, 250, 105, 255}, {105, 250, 125, 255}},
        BarCase{"OneHitLeft", RED, 700, 300, 1, 0, {675, 250, 685, 255}, {685, 250, 725, 255}},
        BarCase{"FractionsTruncated",
                BLUE,
                100.9f,
                300.9f,
                4,
                0,
                {75, 250, 115, 255},
                {115, 250, 125, 255}},
        BarCase{"CutAtTheLeftEdge", BLUE, 10, 300, 3, 0, {0, 250, 15, 255}, {15, 250, 35, 255}},
        BarCase{"CutAtTheLeftEdgeJustBelow25", BLUE, 24, 300, 5, 0, {0, 250, 49, 255}, NOTHING},
        BarCase{
            "CutAtTheRightEdge", RED, 790, 300, 2, 0, {765, 250, 785, 255}, {785, 250, 800, 255}},
        BarCase{"AboveTheScreenBelowY45", BLUE, 100, 44, 3, 0, NOTHING, NOTHING},
        BarCase{"AboveTheScreenAtY45", BLUE, 100, 45.9f, 3, 0, NOTHING, NOTHING},
        BarCase{"OnlyTheBottomRowAtY46", BLUE, 100, 46, 3, 0, {75, 0, 105, 1}, {105, 0, 125, 1}},
        BarCase{"AtTheBottomOfTheScreen",
                RED,
                700,
                600,
                4,
                0,
                {675, 550, 715, 555},
                {715, 550, 725, 555}},
        BarCase{"RedExplodingShowsOnlyItsDarkBar",
                RED,
                700,
                300,
                3,
                RED,
                NOTHING,
                {675, 250, 725, 255}},
        BarCase{"BlueExplodingShowsOnlyItsDarkBar",
                BLUE,
                100,
                300,
                5,
                BLUE,
                NOTHING,
                {75, 250, 125, 255}},
        BarCase{"BothExploding", RED, 700, 300, 5, RED | BLUE, NOTHING, {675, 250, 725, 255}},
        BarCase{"TheOtherExplodingLeavesTheBrightBar",
                RED,
                700,
                300,
                4,
                BLUE,
                {675, 250, 715, 255},
                {715, 250, 725, 255}}),
    [](const auto& info) { return std::string(info.param.name); });

// The explosion banner over time: ships destroyed and frames drawn at given
// ticks after a start, what each frame shows and the state it leaves.
enum Shown { NO_BANNER, RED_BANNER, BLUE_BANNER, BOTH_BANNER };

constexpr int DRAW = -1; // a step that draws a frame; 0 ends the table

struct BoomStep {
    Uint32 at; // ms after the case's start (wrapping like the tick count)
    int what;  // RED or BLUE: DrawBoom for it at that tick; DRAW: draw a frame
    Shown shown;
    int maskAfter;
};

constexpr int MAX_STEPS = 12;

struct BoomCase {
    const char* name;
    Uint32 start; // ticks
    BoomStep steps[MAX_STEPS];
};

void PrintTo(const BoomCase& c, std::ostream* os) { *os << c.name; }

constexpr BoomStep Destroy(Uint32 at, int who) { return {at, who, NO_BANNER, 0}; }
constexpr BoomStep Show(Uint32 at, Shown shown, int maskAfter) {
    return {at, DRAW, shown, maskAfter};
}

class Explosions : public OnScreen, public ::testing::WithParamInterface<BoomCase> {};

TEST_P(Explosions, ShowEachDestroyedShipForOneSecondOfFrames) {
    const BoomCase& c = GetParam();
    const Rgb pictures[] = {STARS, RED_BOOM, BLUE_BOOM, BOOM};
    int shownMask = 0; // what the bars must hide: the set as the frame began
    for (const BoomStep& step : c.steps) {
        if (step.what == 0) {
            break; // the unused rest of the table
        }
        FakeClock::Set(c.start + step.at);
        SCOPED_TRACE("at t + " + std::to_string(step.at));
        if (step.what != DRAW) {
            gfx.DrawBoom(step.what);
            shownMask = gfx.GetBoomMask();
            continue;
        }
        DrawFrame();
        EXPECT_PIXEL(255, 270, pictures[step.shown]);
        if (step.shown != NO_BANNER) {
            EXPECT_PIXEL(250 + BOOM_HOLE_X, 264 + BOOM_HOLE_Y, STARS);
        }
        EXPECT_PIXEL(680, 252, (shownMask & RED) ? RED_DARK : RED_BRIGHT);
        EXPECT_PIXEL(80, 252, (shownMask & BLUE) ? BLUE_DARK : BLUE_BRIGHT);
        EXPECT_EQ(gfx.GetBoomMask(), step.maskAfter);
        EXPECT_EQ(gfx.IsBooming(), step.maskAfter != 0);
        shownMask = gfx.GetBoomMask();
    }
}

constexpr int R = RED;
constexpr int B = BLUE;
constexpr Uint32 START = OnScreen::START;
constexpr Uint32 NEAR_WRAP = 0xFFFFFF00u; // 256 ms before the tick count wraps

INSTANTIATE_TEST_SUITE_P(
    Cases, Explosions,
    ::testing::Values(BoomCase{"RedAloneLastsOneSecond",
                               START,
                               {Destroy(0, R), Show(0, RED_BANNER, R), Show(999, RED_BANNER, R),
                                Show(1000, RED_BANNER, 0), Show(1001, NO_BANNER, 0)}},
                      BoomCase{"BlueAloneLastsOneSecond",
                               START,
                               {Destroy(0, B), Show(1, BLUE_BANNER, B), Show(999, BLUE_BANNER, B),
                                Show(1000, BLUE_BANNER, 0), Show(1001, NO_BANNER, 0)}},
                      BoomCase{"RedThenBlueFourHundredLater",
                               START,
                               {Destroy(0, R), Show(1, RED_BANNER, R), Show(399, RED_BANNER, R),
                                Destroy(400, B), Show(400, BOTH_BANNER, R | B),
                                Show(999, BOTH_BANNER, R | B), Show(1000, BOTH_BANNER, B),
                                Show(1001, BLUE_BANNER, B), Show(1399, BLUE_BANNER, B),
                                Show(1400, BLUE_BANNER, 0), Show(1401, NO_BANNER, 0)}},
                      BoomCase{"TheFirstFrameAtOrAfterTheEndStillShowsIt",
                               START,
                               {Destroy(0, R), Destroy(400, B), Show(990, BOTH_BANNER, R | B),
                                Show(1050, BOTH_BANNER, B), Show(1300, BLUE_BANNER, B),
                                Show(1450, BLUE_BANNER, 0), Show(1460, NO_BANNER, 0)}},
                      BoomCase{"BlueThenRed",
                               START,
                               {Destroy(0, B), Destroy(300, R), Show(300, BOTH_BANNER, R | B),
                                Show(1000, BOTH_BANNER, R), Show(1001, RED_BANNER, R),
                                Show(1300, RED_BANNER, 0), Show(1301, NO_BANNER, 0)}},
                      BoomCase{"BothEndInOneFrame",
                               START,
                               {Destroy(0, R), Destroy(400, B), Show(2000, BOTH_BANNER, 0),
                                Show(2001, NO_BANNER, 0)}},
                      BoomCase{"DestroyedAgainGetsAFreshSecond",
                               START,
                               {Destroy(0, R), Show(500, RED_BANNER, R), Destroy(800, R),
                                Show(1000, RED_BANNER, R), Show(1799, RED_BANNER, R),
                                Show(1800, RED_BANNER, 0), Show(1801, NO_BANNER, 0)}},
                      BoomCase{
                          "OnlyFramesEndAnExplosion",
                          START,
                          {Destroy(0, B), Show(60000, BLUE_BANNER, 0), Show(60001, NO_BANNER, 0)}},
                      BoomCase{"StartedJustBeforeTheTickCountWraps",
                               NEAR_WRAP,
                               {Destroy(0, R), Show(0, RED_BANNER, R), Show(255, RED_BANNER, R),
                                Show(256, RED_BANNER, R), Show(999, RED_BANNER, R),
                                Show(1000, RED_BANNER, 0), Show(1001, NO_BANNER, 0)}},
                      BoomCase{"BothAcrossTheWrap",
                               NEAR_WRAP - 256,
                               {Destroy(0, R), Destroy(400, B), Show(511, BOTH_BANNER, R | B),
                                Show(512, BOTH_BANNER, R | B), Show(1000, BOTH_BANNER, B),
                                Show(1399, BLUE_BANNER, B), Show(1400, BLUE_BANNER, 0),
                                Show(1401, NO_BANNER, 0)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Frame, TheScreenshotHoldsExactlyTheFrameAboutToBeShown) {
    BannerAt(-123.4f);
    red.score = 2;
    blue.health = 2;
    Shoot(red.lasers[3], 300, 200);
    Shoot(blue.lasers[3], 310, 210);
    gfx.DrawBoom(RED);
    std::remove("screenshot.bmp");
    DrawFrame(true);
    SDL_Surface* saved = SDL_LoadBMP("screenshot.bmp");
    ASSERT_NE(saved, nullptr) << SDL_GetError();
    EXPECT_EQ(saved->w, 800);
    EXPECT_EQ(saved->h, 600);
    EXPECT_EQ(saved->format->BitsPerPixel, 24);
    SDL_Surface* asScreen = SDL_ConvertSurface(saved, screen->format, SDL_SWSURFACE);
    SDL_FreeSurface(saved);
    ASSERT_NE(asScreen, nullptr);
    const std::string broken = FirstBreak([&](int x, int y, Uint16 pixel) -> std::string {
        const Uint16 stored = PixelOf(asScreen, x, y);
        return stored == pixel ? "" : Describe(stored) + " saved, " + Describe(pixel) + " shown";
    });
    SDL_FreeSurface(asScreen);
    EXPECT_EQ(broken, "");
    EXPECT_PIXEL(255, 270, RED_BOOM) << "the explosion is in the frame";
}

// What the saved screenshot holds at a point, in the screen's format.
Uint16 SavedPixel(int x, int y) {
    SDL_Surface* saved = SDL_LoadBMP("screenshot.bmp");
    if (saved == nullptr) {
        return 0;
    }
    SDL_Surface* asScreen = SDL_ConvertSurface(saved, screen->format, SDL_SWSURFACE);
    const Uint16 pixel = PixelOf(asScreen, x, y);
    SDL_FreeSurface(asScreen);
    SDL_FreeSurface(saved);
    return pixel;
}

TEST_F(Frame, EachScreenshotReplacesThePreviousOneAndOnlyWhenAsked) {
    std::remove("screenshot.bmp");
    DrawFrame(false);
    EXPECT_NE(access("screenshot.bmp", F_OK), 0);
    DrawFrame(true);
    EXPECT_EQ(Describe(SavedPixel(70, 270)), Describe(Mapped(SHIP_BLUE)));
    Place(blue, 300, 300);
    DrawFrame(true);
    EXPECT_EQ(Describe(SavedPixel(70, 270)), Describe(Mapped(STARS)));
    EXPECT_EQ(Describe(SavedPixel(270, 270)), Describe(Mapped(SHIP_BLUE)));
    Place(blue, 100, 500);
    DrawFrame(false);
    EXPECT_EQ(Describe(SavedPixel(270, 270)), Describe(Mapped(SHIP_BLUE)));
}

} // namespace
