// SPDX-License-Identifier: MIT
// The scrolling banner: its start, its steps and its wrap from the left end
// back to the right.
#include "game/Scroller.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct ScrollCase {
    const char* name;
    std::vector<float> steps;
    float offset;
};

void PrintTo(const ScrollCase& c, std::ostream* os) { *os << c.name; }

class ScrollerSteps : public ::testing::TestWithParam<ScrollCase> {};

TEST_P(ScrollerSteps, EndAtTheExpectedOffset) {
    Scroller scroller;
    for (float d : GetParam().steps) {
        scroller.Scroll(d);
    }
    EXPECT_EQ(scroller.GetOffset(), GetParam().offset);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScrollerSteps,
    ::testing::Values(ScrollCase{"New", {}, 800.0f}, ScrollCase{"Zero", {0.0f}, 800.0f},
                      ScrollCase{"OneStep", {2.5f}, 797.5f},
                      ScrollCase{"ToExactlyTheLeftEnd", {1600.0f}, -800.0f},
                      ScrollCase{"WrapCarriesTheOvershoot", {800.0f, 801.0f}, 799.0f},
                      ScrollCase{"WrapJustPastTheEnd", {1600.5f}, 799.5f},
                      ScrollCase{"OnlyOneWrapPerCall", {4000.0f}, -1600.0f},
                      ScrollCase{"NextCallWrapsAgain", {4000.0f, 0.0f}, 0.0f},
                      ScrollCase{"NegativeMovesRightWithoutWrap", {-300.0f}, 1100.0f}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
