// SPDX-License-Identifier: MIT
// GFX without a display: choosing the back end, and the explosion banner state
// that a destroyed ship starts.
#include "ChildProcess.h"
#include "FakeClock.h"
#include "game/Player.h"
#include "game/Scroller.h"
#include "gfx/GFX.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

class GFXState : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
    static void TearDownTestSuite() { SDL_Quit(); }
};

TEST_F(GFXState, StartsWithEveryFieldZero) {
    const GFX gfx;
    EXPECT_FALSE(gfx.IsInitialized());
    EXPECT_FALSE(gfx.IsBooming());
    EXPECT_EQ(gfx.GetSubsystem(), 0);
    EXPECT_EQ(gfx.GetRedBoomStart(), 0u);
    EXPECT_EQ(gfx.GetBlueBoomStart(), 0u);
    EXPECT_EQ(gfx.GetBoomMask(), 0);
}

class InvalidSubsystem : public GFXState, public ::testing::WithParamInterface<int> {};

TEST_P(InvalidSubsystem, IsFatal) {
    const ChildResult r = RunInChild([] { GFX().Init(GetParam()); });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ERROR: GFX::Init: Invalid subsystem\n");
    EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(Values, InvalidSubsystem, ::testing::Values(0, 3, -1, 1000));

TEST_F(GFXState, TheDummySubsystemHidesThePointerAndOpensNothing) {
    SDL_ShowCursor(SDL_ENABLE);
    GFX gfx;
    gfx.Init(SUBSYSTEM_DUMMY);
    EXPECT_EQ(gfx.GetSubsystem(), SUBSYSTEM_DUMMY);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(SDL_GetVideoSurface(), nullptr);
    EXPECT_FALSE(gfx.IsInitialized()) << "so a further Init runs again";
    Player red, blue;
    Scroller scroller;
    gfx.Draw(red, blue, scroller, true);
    EXPECT_EQ(SDL_GetVideoSurface(), nullptr);
}

TEST_F(GFXState, DrawBeforeInitDrawsNothingAndTakesNoScreenshot) {
    const ChildResult r = RunInChild([] {
        char dir[] = "/tmp/duelstar-draw-XXXXXX";
        if (mkdtemp(dir) == nullptr || chdir(dir) != 0) {
            return;
        }
        GFX gfx;
        Player red, blue;
        Scroller scroller;
        gfx.Draw(red, blue, scroller, true);
        const bool wrote = SDL_RWFromFile("screenshot.bmp", "rb") != nullptr;
        std::exit(wrote ? 2 : 0);
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

TEST_F(GFXState, DrawBoomForAnyoneButRedOrBlueIsFatal) {
    for (int who : {0, 3, -2}) {
        const ChildResult r = RunInChild([who] { GFX().DrawBoom(who); });
        EXPECT_EQ(r.status, 1) << who;
        EXPECT_EQ(r.out, "ERROR: GFX::DrawBoom(): Player must me RED or BLUE\n") << who;
    }
}

TEST_F(GFXState, DrawBoomAddsThePlayerToTheSetAndRenewsItsStart) {
    FakeClock::Reset(5000);
    GFX gfx;
    gfx.DrawBoom(RED);
    EXPECT_TRUE(gfx.IsBooming());
    EXPECT_EQ(gfx.GetBoomMask(), RED);
    EXPECT_EQ(gfx.GetRedBoomStart(), 5000u);
    FakeClock::Set(5400);
    gfx.DrawBoom(BLUE);
    EXPECT_EQ(gfx.GetBoomMask(), RED | BLUE);
    EXPECT_EQ(gfx.GetBlueBoomStart(), 5400u);
    EXPECT_EQ(gfx.GetRedBoomStart(), 5000u);
    FakeClock::Set(5900);
    gfx.DrawBoom(RED);
    EXPECT_EQ(gfx.GetBoomMask(), RED | BLUE) << "a player stays in the set once";
    EXPECT_EQ(gfx.GetRedBoomStart(), 5900u);
}

} // namespace
