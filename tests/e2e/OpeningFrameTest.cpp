// SPDX-License-Identifier: MIT
// The first frame after the loading picture, pixel for pixel at the screen's
// 16-bit precision, against the same frame composed here from the pictures.
#include "GameFixture.h"

#include <iomanip>
#include <sstream>

namespace {

constexpr int BANNER_TOP = 580; // the scrolling banner moves from frame to frame
constexpr int SAVED_BPP = 24;
constexpr int MISMATCHES_SHOWN = 10;
constexpr int HEX_DIGITS = 4;

class OpeningFrame : public GameFixture {};

TEST_F(OpeningFrame, MatchesTheFrameComposedFromThePictures) {
    Frame expected;
    std::string error;
    ASSERT_TRUE(ComposeOpeningFrame(DUELSTAR_IMAGES, expected, error)) << error;

    Frame seen;
    ASSERT_TRUE(Screenshot(seen));
    ASSERT_EQ(seen.width, FRAME_WIDTH);
    ASSERT_EQ(seen.height, FRAME_HEIGHT);
    EXPECT_EQ(seen.bitsPerPixel, SAVED_BPP);

    int mismatches = 0;
    std::ostringstream first;
    for (int y = 0; y < BANNER_TOP; ++y) {
        for (int x = 0; x < FRAME_WIDTH; ++x) {
            if (seen.At(x, y) == expected.At(x, y)) {
                continue;
            }
            if (mismatches < MISMATCHES_SHOWN) {
                first << std::hex << std::setfill('0') << " (" << std::dec << x << "," << y
                      << "): 0x" << std::hex << std::setw(HEX_DIGITS) << seen.At(x, y) << " not 0x"
                      << std::setw(HEX_DIGITS) << expected.At(x, y);
            }
            ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0) << "pixels differ, first ones (RGB565):" << first.str();
    EndWithEscape();
}

} // namespace
