// SPDX-License-Identifier: MIT
// ESCAPE in the middle of a match ends the game quietly.
#include "GameFixture.h"

namespace {

constexpr Milliseconds SHORT_SALVO{300};

class Quit : public GameFixture {};

TEST_F(Quit, EscapeMidMatchEndsWithStatusZeroAndNoOutput) {
    Frame frame;
    ASSERT_TRUE(Screenshot(frame));                               // the match is running
    ASSERT_TRUE(Hold({"s", "Return", "t", "Down"}, SHORT_SALVO)); // shots in flight, ships moved
    EndWithEscape();
}

} // namespace
