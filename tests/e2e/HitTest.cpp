// SPDX-License-Identifier: MIT
// One shot fired by a short press hits the still ship opposite and takes one
// point (10 px) off its bright health bar, uncovering the dark one beneath.
#include "GameFixture.h"

#include <thread>

namespace {

constexpr Milliseconds TAP{100};          // shorter than the 500 ms between shots
constexpr Milliseconds SHOT_FLIGHT{1500}; // the 545 px to the hit take 1.09 s
constexpr int BLUE_BAR_LEFT = 75;         // ship at (100, 300)
constexpr int RED_BAR_LEFT = 675;         // ship at (700, 300)
constexpr int BAR_TOP = 250;
constexpr int FULL_BAR = BAR_PIXELS_PER_HEALTH * FULL_HEALTH;
constexpr int AFTER_ONE_HIT = FULL_BAR - BAR_PIXELS_PER_HEALTH;

class Hit : public GameFixture {
  protected:
    void ExpectBars(const Frame& frame, int red, int blue, const char* when) {
        EXPECT_EQ(BrightWidthAt(frame, RED_BAR_LEFT, BAR_TOP, RED_BRIGHT, RED_DARK), red)
            << "RED's bar " << when;
        EXPECT_EQ(BrightWidthAt(frame, BLUE_BAR_LEFT, BAR_TOP, BLUE_BRIGHT, BLUE_DARK), blue)
            << "BLUE's bar " << when;
    }
};

TEST_F(Hit, OneHitTakesTenPixelsOffTheBar) {
    Frame frame;
    ASSERT_TRUE(Screenshot(frame));
    ExpectBars(frame, FULL_BAR, FULL_BAR, "at the start");

    ASSERT_TRUE(Hold({"s"}, TAP));
    std::this_thread::sleep_for(SHOT_FLIGHT);
    ASSERT_TRUE(Screenshot(frame));
    ExpectBars(frame, FULL_BAR, AFTER_ONE_HIT, "after RED's one shot");

    ASSERT_TRUE(Hold({"Return"}, TAP));
    std::this_thread::sleep_for(SHOT_FLIGHT);
    ASSERT_TRUE(Screenshot(frame));
    ExpectBars(frame, AFTER_ONE_HIT, AFTER_ONE_HIT, "after BLUE's one shot");

    EndWithEscape();
}

} // namespace
