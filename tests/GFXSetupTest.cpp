// SPDX-License-Identifier: MIT
// The SDL set-up of the display: the mode, the loading screen and its wait,
// the preparation of the pictures, a second set-up, and the fatal ends when
// the mode or a picture cannot be had.
#include "ChildProcess.h"
#include "FakeClock.h"
#include "GFXFixture.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace Fixture;

constexpr Uint32 LOADING_WAIT = 2500; // ms

class Setup : public OnScreen {};

TEST_F(Setup, OpensAnEightHundredBySixHundredModeOfSixteenBits) {
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen, SDL_GetVideoSurface());
    EXPECT_EQ(screen->w, 800);
    EXPECT_EQ(screen->h, 600);
    EXPECT_EQ(screen->format->BitsPerPixel, 16);
    EXPECT_TRUE(ready.IsInitialized());
    EXPECT_EQ(ready.GetSubsystem(), SUBSYSTEM_SDL);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

TEST_F(Setup, ShowsTheLoadingPictureInTheBottomRightCornerForTwoAndAHalfSeconds) {
    EXPECT_EQ(loadingDelay, LOADING_WAIT);
    // The stand-in loading picture is 200 by 120 with a black top-left patch.
    const auto at = [](int x, int y) { return Describe(PixelOf(loadingScreen, x, y)); };
    EXPECT_EQ(at(799, 599), Describe(Mapped(LOADING)));
    EXPECT_EQ(at(610, 490), Describe(Mapped(LOADING)));
    EXPECT_EQ(at(600, 480), Describe(Mapped(BLACK))) << "its black is drawn";
    EXPECT_EQ(at(609, 489), Describe(Mapped(BLACK)));
    EXPECT_EQ(at(599, 599), Describe(Mapped(STARS)));
    EXPECT_EQ(at(799, 479), Describe(Mapped(STARS)));
    EXPECT_EQ(at(0, 0), Describe(Mapped(STARS)));
    EXPECT_EQ(at(STARS_HOLE_X, STARS_HOLE_Y), Describe(Mapped(BLACK)));
    int loading = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            loading += PixelOf(loadingScreen, x, y) == Mapped(LOADING) ? 1 : 0;
        }
    }
    EXPECT_EQ(loading, 200 * 120 - LOADING_HOLE_SIZE * LOADING_HOLE_SIZE);
}

TEST_F(Setup, ConvertsEveryPictureToTheScreensFormat) {
    SDL_Surface* pictures[] = {loadingImage, starsImage,    digitsImage,   textImage,
                               shipRedImage, shipBlueImage, laserRedImage, laserBlueImage,
                               boomImage,    redBoomImage,  blueBoomImage};
    for (SDL_Surface* picture : pictures) {
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->format->BitsPerPixel, screen->format->BitsPerPixel);
        EXPECT_EQ(picture->format->Rmask, screen->format->Rmask);
        EXPECT_EQ(picture->format->Gmask, screen->format->Gmask);
        EXPECT_EQ(picture->format->Bmask, screen->format->Bmask);
    }
    EXPECT_EQ(starsImage->w, 800);
    EXPECT_EQ(loadingImage->w, 200);
    EXPECT_EQ(shipRedImage->w, 80) << "pictures are loaded whole; the drawing cuts them";
}

TEST_F(Setup, KeysBlackOnTheNineSpritesAndMakesTheBannerHalfTransparent) {
    SDL_Surface* sprites[] = {digitsImage,    textImage, shipRedImage, shipBlueImage, laserRedImage,
                              laserBlueImage, boomImage, redBoomImage, blueBoomImage};
    for (SDL_Surface* sprite : sprites) {
        EXPECT_TRUE(sprite->flags & SDL_SRCCOLORKEY);
        EXPECT_TRUE(sprite->flags & SDL_RLEACCELOK);
        EXPECT_EQ(sprite->format->colorkey, SDL_MapRGB(screen->format, 0, 0, 0));
    }
    EXPECT_TRUE(textImage->flags & SDL_SRCALPHA);
    EXPECT_EQ(textImage->format->alpha, 128);
    for (SDL_Surface* unkeyed : {starsImage, loadingImage}) {
        EXPECT_FALSE(unkeyed->flags & SDL_SRCCOLORKEY);
        EXPECT_FALSE(unkeyed->flags & SDL_SRCALPHA);
    }
    EXPECT_FALSE(shipRedImage->flags & SDL_SRCALPHA);
}

TEST_F(Setup, ASecondInitChangesNothingAndPrintsNothing) {
    DrawFrame(); // the stars replace the loading picture
    const ChildResult r = RunInChild([this] {
        SDL_Surface* const before[] = {screen,         loadingImage, starsImage,    digitsImage,
                                       textImage,      shipRedImage, shipBlueImage, laserRedImage,
                                       laserBlueImage, boomImage,    redBoomImage,  blueBoomImage};
        const Uint32 delay = FakeClock::TotalDelay();
        for (int subsystem : {SUBSYSTEM_SDL, SUBSYSTEM_DUMMY, 0, 3}) {
            gfx.Init(subsystem);
        }
        SDL_Surface* const after[] = {screen,         loadingImage, starsImage,    digitsImage,
                                      textImage,      shipRedImage, shipBlueImage, laserRedImage,
                                      laserBlueImage, boomImage,    redBoomImage,  blueBoomImage};
        std::ostringstream problems;
        for (int i = 0; i < 12; ++i) {
            if (before[i] != after[i]) {
                problems << "surface " << i << " replaced\n";
            }
        }
        if (FakeClock::TotalDelay() != delay) {
            problems << "waited again\n";
        }
        if (gfx.GetSubsystem() != SUBSYSTEM_SDL || !gfx.IsInitialized()) {
            problems << "state changed\n";
        }
        if (ScreenPixel(799, 599) != Mapped(STARS)) {
            problems << "the loading picture was shown again\n";
        }
        // Reported through the exit status: the child's output must stay empty.
        std::_Exit(problems.str().empty() ? 0 : 2);
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
}

// Fatal ends, each in a child of its own that starts SDL afresh.

// What the child leaves behind at its exit, in the folder it runs in: the
// time it waited and whether the loading picture was on the screen.
void RecordAtExit() {
    const bool shown = screen != nullptr && ScreenPixel(799, 599) == Mapped(LOADING);
    std::FILE* f = std::fopen("record.txt", "w");
    if (f != nullptr) {
        std::fprintf(f, "waited %u, loading picture %s", unsigned(FakeClock::TotalDelay()),
                     shown ? "shown" : "not shown");
        std::fclose(f);
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs body in a child, in folder, with SDL's video started on the dummy
// driver if asked; an exit leaves the record in that folder.
ChildResult RunSetUpInChild(const std::string& folder, bool startVideo,
                            const std::function<void()>& body) {
    return RunInChild([&] {
        SDL_Quit(); // whatever the test runner had open
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (chdir(folder.c_str()) != 0 || (startVideo && SDL_Init(SDL_INIT_VIDEO) != 0)) {
            std::_Exit(3);
        }
        FakeClock::Reset(100000);
        std::atexit(RecordAtExit);
        body();
    });
}

enum Damage { MISSING, NOT_A_BMP, EMPTY, FOLDER };

struct BrokenCase {
    const char* name;
    Picture picture;
    Damage damage;
    // After "ERROR: GFX::loadbmp(): <path>: "; nullptr: SDL's "Couldn't open <path>" alone.
    const char* reason;
    const char* record;
};

void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.name; }

class BrokenPicture : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenPicture, EndsTheProgramWithTheLoadersMessage) {
    const BrokenCase& c = GetParam();
    const std::string folder = MakeFolder(200, 120);
    ASSERT_FALSE(folder.empty());
    const std::string relative = std::string("images/") + FileOf(c.picture).name;
    const std::string path = folder + "/" + relative;
    std::remove(path.c_str());
    if (c.damage == FOLDER) {
        ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    } else if (c.damage != MISSING) {
        std::ofstream(path) << (c.damage == NOT_A_BMP ? "a picture, honestly\n" : "");
    }
    const ChildResult r = RunSetUpInChild(folder, true, [] { GFX().Init(SUBSYSTEM_SDL); });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 1);
    const std::string reason =
        c.reason != nullptr ? relative + ": " + c.reason : "Couldn't open " + relative;
    EXPECT_EQ(r.out, "ERROR: GFX::loadbmp(): " + reason + "\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadFile(folder + "/record.txt"), c.record);
    RemoveFolder(folder);
}

constexpr char BEFORE[] = "waited 0, loading picture not shown";
constexpr char AFTER[] = "waited 2500, loading picture shown";
constexpr char NOT_BMP[] = "File is not a Windows BMP file";
constexpr char NOT_A_FILE[] = "A folder, not a file";

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenPicture,
    ::testing::Values(BrokenCase{"LoadingMissing", Picture::LOADING, MISSING, nullptr, BEFORE},
                      BrokenCase{"StarsMissing", Picture::STARS, MISSING, nullptr, BEFORE},
                      BrokenCase{"DigitsMissing", Picture::DIGITS, MISSING, nullptr, AFTER},
                      BrokenCase{"TextMissing", Picture::TEXT, MISSING, nullptr, AFTER},
                      BrokenCase{"ShipRedMissing", Picture::SHIP_RED, MISSING, nullptr, AFTER},
                      BrokenCase{"ShipBlueMissing", Picture::SHIP_BLUE, MISSING, nullptr, AFTER},
                      BrokenCase{"LaserRedMissing", Picture::LASER_RED, MISSING, nullptr, AFTER},
                      BrokenCase{"LaserBlueMissing", Picture::LASER_BLUE, MISSING, nullptr, AFTER},
                      BrokenCase{"BoomMissing", Picture::BOOM, MISSING, nullptr, AFTER},
                      BrokenCase{"RedBoomMissing", Picture::RED_BOOM, MISSING, nullptr, AFTER},
                      BrokenCase{"BlueBoomMissing", Picture::BLUE_BOOM, MISSING, nullptr, AFTER},
                      BrokenCase{"LoadingNotABmp", Picture::LOADING, NOT_A_BMP, NOT_BMP, BEFORE},
                      BrokenCase{"ShipBlueNotABmp", Picture::SHIP_BLUE, NOT_A_BMP, NOT_BMP, AFTER},
                      BrokenCase{"StarsEmpty", Picture::STARS, EMPTY, NOT_BMP, BEFORE},
                      BrokenCase{"TextEmpty", Picture::TEXT, EMPTY, NOT_BMP, AFTER},
                      // No file is opened to find out: before the screen changes.
                      BrokenCase{"LoadingFolder", Picture::LOADING, FOLDER, NOT_A_FILE, BEFORE},
                      BrokenCase{"BlueBoomFolder", Picture::BLUE_BOOM, FOLDER, NOT_A_FILE, BEFORE}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SetupFails, APictureThatCannotBeConvertedIsFatal) {
    // With video started but no mode open, SDL cannot convert to the screen's format.
    const std::string folder = MakeFolder(200, 120);
    const ChildResult r = RunSetUpInChild(folder, true, [] { GFX().loadbmp("images/stars.bmp"); });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ERROR: GFX::loadbmp(): images/stars.bmp: No video mode has been set\n");
    EXPECT_EQ(r.err, "");
    RemoveFolder(folder);
}

TEST(SetupFails, AVideoModeThatCannotBeOpenedIsFatal) {
    // SDL_SetVideoMode starts video itself when nobody has; on a driver that
    // does not exist that fails, and the mode with it.
    const std::string folder = MakeFolder(200, 120);
    const ChildResult r = RunSetUpInChild(folder, false, [] {
        setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
        GFX().Init(SUBSYSTEM_SDL);
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ERROR: GFX::sdlInit(): No available video device\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadFile(folder + "/record.txt"), BEFORE);
    RemoveFolder(folder);
}

// The child writes what it finds wrong, one line each.
TEST(LoadingScreen, AFullScreenLoadingPictureCoversTheStarsCompletely) {
    const std::string folder = MakeFolder(800, 600);
    const ChildResult r = RunSetUpInChild(folder, true, [] {
        GFX().Init(SUBSYSTEM_SDL);
        int loading = 0;
        for (int y = 0; y < 600; ++y) {
            for (int x = 0; x < 800; ++x) {
                loading += ScreenPixel(x, y) == Mapped(LOADING) ? 1 : 0;
            }
        }
        if (loading != 800 * 600 - LOADING_HOLE_SIZE * LOADING_HOLE_SIZE) {
            std::printf("%d pixels of the loading picture\n", loading);
        }
        if (ScreenPixel(0, 0) != Mapped(BLACK)) {
            std::printf("its black corner is %s\n", Describe(ScreenPixel(0, 0)).c_str());
        }
        if (FakeClock::TotalDelay() != LOADING_WAIT) {
            std::printf("waited %u ms\n", unsigned(FakeClock::TotalDelay()));
        }
    });
    EXPECT_EQ(r.status, CHILD_RETURNED);
    EXPECT_EQ(r.out, "");
    RemoveFolder(folder);
}

// A sprite with nothing drawn - all black - is legal: it shows nothing, and
// the pictures drawn around it are unaffected.
TEST(AllBlackSprite, LoadsAndShowsNothing) {
    const std::string folder = MakeFolder(200, 120);
    ASSERT_FALSE(folder.empty());
    const PictureFile& laser = FileOf(Picture::LASER_RED);
    SDL_Surface* black = SDL_CreateRGBSurface(SDL_SWSURFACE, laser.width, laser.height, 24,
                                              0xFF0000, 0x00FF00, 0x0000FF, 0);
    SDL_FillRect(black, nullptr, 0);
    ASSERT_EQ(SDL_SaveBMP(black, (folder + "/images/" + laser.name).c_str()), 0);
    SDL_FreeSurface(black);
    const ChildResult r = RunSetUpInChild(folder, true, [] {
        GFX gfx;
        gfx.Init(SUBSYSTEM_SDL);
        Player red, blue;
        PlaceForDuel(red, blue);
        for (Laser* shot : {&red.lasers[0], &blue.lasers[0], &red.lasers[1]}) {
            shot->SetX(400.0f);
            shot->SetY(150.0f);
            shot->SetEnabled(true);
        }
        red.lasers[1].SetY(450.0f);
        gfx.Draw(red, blue, Scroller(), false);
        if (SpriteOf(Picture::LASER_RED).GetBox() != nullptr) {
            std::printf("a box was kept for an all-black picture\n");
        }
        if (ScreenPixel(385, 450) != Mapped(STARS)) {
            std::printf("RED's shot shows %s\n", Describe(ScreenPixel(385, 450)).c_str());
        }
        if (ScreenPixel(385, 150) != Mapped(LASER_BLUE)) {
            std::printf("BLUE's shot shows %s\n", Describe(ScreenPixel(385, 150)).c_str());
        }
        if (ScreenPixel(670, 270) != Mapped(SHIP_RED)) {
            std::printf("RED's ship shows %s\n", Describe(ScreenPixel(670, 270)).c_str());
        }
    });
    EXPECT_EQ(r.status, CHILD_RETURNED);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    RemoveFolder(folder);
}

// The game's own pictures, when they have been made: the sizes the drawing
// relies on, and a frame drawn from them.
TEST(RealPictures, LoadWithTheSizesTheDrawingReliesOn) {
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    for (const PictureFile& file : PICTURE_FILES) {
        if (access((std::string(cwd) + "/images/" + file.name).c_str(), R_OK) != 0) {
            GTEST_SKIP() << "no images/" << file.name << " below " << cwd;
        }
    }
    const std::string home = cwd;
    const ChildResult r = RunInChild([&home] {
        SDL_Quit(); // whatever the test runner had open
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (chdir(home.c_str()) != 0 || SDL_Init(SDL_INIT_VIDEO) != 0) {
            std::_Exit(3);
        }
        GFX gfx;
        gfx.Init(SUBSYSTEM_SDL);
        for (const PictureFile& file : PICTURE_FILES) {
            const SDL_Surface* p = SurfaceOf(file.picture);
            if (p->w != file.width || p->h != file.height) {
                std::printf("%s is %dx%d instead of %dx%d\n", file.name, p->w, p->h, file.width,
                            file.height);
            }
        }
        if (loadingImage->w > 800 || loadingImage->h > 600) {
            std::printf("the loading picture is larger than the screen\n");
        }
        Player red, blue;
        red.ship.SetX(700.0f);
        red.ship.SetY(300.0f);
        blue.ship.SetX(100.0f);
        blue.ship.SetY(300.0f);
        Scroller scroller;
        gfx.Draw(red, blue, scroller, false);
        // Nothing but the stars is drawn at (400, 100), nor in the bottom-right corner.
        const struct { int x, y; } plain[] = {{400, 100}, {799, 599}};
        for (const auto& at : plain) {
            if (ScreenPixel(at.x, at.y) != PixelOf(starsImage, at.x, at.y)) {
                std::printf("the stars do not show at (%d, %d)\n", at.x, at.y);
            }
        }
        if (ScreenPixel(80, 252) != Mapped({0, 0, 255})) {
            std::printf("no bright bar over BLUE's ship\n");
        }
    });
    EXPECT_EQ(r.status, CHILD_RETURNED);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
}

} // namespace
