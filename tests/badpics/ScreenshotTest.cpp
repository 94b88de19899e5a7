// SPDX-License-Identifier: MIT
// A screenshot asked for where "screenshot.bmp" cannot be written (a folder of
// that name is in the way): nothing is written, nothing is said, and the frame
// is still drawn and shown, then the next one. A writable folder beside it
// shows that the same frame is saved when it can be.
#include "BmpFiles.h"
#include "ChildProcess.h"
#include "FakeClock.h"
#include "game/Player.h"
#include "game/Scroller.h"
#include "gfx/GFX.h"

#include <SDL.h>

#include <dirent.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
int flips = 0; // frames shown by this process
} // namespace

// Counts the frames shown by the game's code linked into this binary, and
// shows them with SDL's own SDL_Flip.
extern "C" int SDL_Flip(SDL_Surface* surface) {
    using Flip = int (*)(SDL_Surface*);
    static const Flip real = reinterpret_cast<Flip>(dlsym(RTLD_NEXT, "SDL_Flip"));
    ++flips;
    return real(surface);
}

namespace {

const PixelColour STARS = {24, 40, 72};
constexpr int PROBE_X = 400; // px: a place on the screen where only stars show
constexpr int PROBE_Y = 100; // px

// Ways the child reports a failed check; it may print nothing itself.
enum ChildFault {
    NO_VIDEO = 10,
    NOT_FLIPPED,
    NOT_DRAWN,
    NEXT_FRAME_NOT_FLIPPED,
};

// Flat stand-ins of the list's sizes, one colour per picture in the list's
// order; the loading picture is a small one.
const PixelColour COLOURS[PICTURE_COUNT] = {
    {200, 160, 40}, STARS,         {240, 240, 240}, {240, 240, 240}, {232, 64, 64}, {64, 96, 232},
    {248, 128, 0},  {0, 200, 248}, {248, 248, 0},   {168, 0, 80},    {0, 112, 112},
};
constexpr int LOADING_W = 200; // px
constexpr int LOADING_H = 100; // px

// A current folder with flat pictures of the sizes the drawing relies on.
std::string PictureFolder() {
    const std::string folder = MakeTempFolder("screenshot");
    if (folder.empty() || mkdir((folder + "/images").c_str(), 0755) != 0) {
        return "";
    }
    for (const PictureFile& p : PICTURE_FILES) {
        const bool loading = p.picture == Picture::LOADING;
        BmpLayout layout;
        layout.width = loading ? LOADING_W : p.width;
        layout.height = loading ? LOADING_H : p.height;
        const PixelColour colour = COLOURS[int(p.picture)];
        if (!WriteFile(folder + "/images/" + p.name,
                       EncodeBmp(layout, [colour](int, int) { return colour; }))) {
            return "";
        }
    }
    return folder;
}

// Sets the game's graphics up in folder on the dummy display and draws one
// frame with a screenshot asked for, then one without.
ChildResult DrawWithScreenshot(const std::string& folder) {
    return RunInChild([&] {
        if (chdir(folder.c_str()) != 0 || SDL_Init(SDL_INIT_VIDEO) != 0) {
            _exit(NO_VIDEO);
        }
        FakeClock::Reset();
        GFX gfx;
        gfx.Init(SUBSYSTEM_SDL);
        Player red;
        Player blue;
        red.ship.SetX(700);
        red.ship.SetY(300);
        blue.ship.SetX(100);
        blue.ship.SetY(300);
        Scroller scroller;
        SDL_FillRect(screen, nullptr, 0); // so that only a drawn frame shows stars
        const int before = flips;
        gfx.Draw(red, blue, scroller, true);
        if (flips != before + 1) {
            _exit(NOT_FLIPPED);
        }
        SDL_Surface* shown = SDL_GetVideoSurface();
        const PixelColour seen = PixelOf(shown, PROBE_X, PROBE_Y);
        if (seen.r >> 3 != STARS.r >> 3 || seen.g >> 2 != STARS.g >> 2 ||
            seen.b >> 3 != STARS.b >> 3) {
            _exit(NOT_DRAWN);
        }
        gfx.Draw(red, blue, scroller, false);
        if (flips != before + 2) {
            _exit(NEXT_FRAME_NOT_FLIPPED);
        }
    });
}

bool IsEmptyFolder(const std::string& path) {
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) {
        return false;
    }
    int entries = 0;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        entries += name != "." && name != "..";
    }
    closedir(dir);
    return entries == 0;
}

TEST(UnwritableScreenshot, NothingIsWrittenOrSaidAndTheFrameIsStillShown) {
    const std::string folder = PictureFolder();
    ASSERT_FALSE(folder.empty());
    const std::string inTheWay = folder + "/screenshot.bmp";
    ASSERT_EQ(mkdir(inTheWay.c_str(), 0755), 0);

    const ChildResult r = DrawWithScreenshot(folder);
    EXPECT_TRUE(r.exited) << "killed by signal " << r.status;
    EXPECT_EQ(r.status, CHILD_RETURNED) << "10: no video, 11: not flipped, 12: not drawn, "
                                           "13: next frame not flipped";
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(IsEmptyFolder(inTheWay)) << "something was written into " << inTheWay;
    RemoveTree(folder);
}

// The same frame in a folder where the file can be written: it is, and it
// holds the frame.
TEST(UnwritableScreenshot, AWritableFolderGetsTheFrame) {
    const std::string folder = PictureFolder();
    ASSERT_FALSE(folder.empty());

    const ChildResult r = DrawWithScreenshot(folder);
    EXPECT_TRUE(r.exited) << "killed by signal " << r.status;
    EXPECT_EQ(r.status, CHILD_RETURNED);
    EXPECT_EQ(r.out, "");
    SDL_Surface* saved = SDL_LoadBMP((folder + "/screenshot.bmp").c_str());
    ASSERT_NE(saved, nullptr) << SDL_GetError();
    EXPECT_EQ(saved->w, 800);
    EXPECT_EQ(saved->h, 600);
    const PixelColour seen = PixelOf(saved, PROBE_X, PROBE_Y);
    EXPECT_EQ(seen.r >> 3, STARS.r >> 3);
    EXPECT_EQ(seen.g >> 2, STARS.g >> 2);
    EXPECT_EQ(seen.b >> 3, STARS.b >> 3);
    SDL_FreeSurface(saved);
    RemoveTree(folder);
}

} // namespace
