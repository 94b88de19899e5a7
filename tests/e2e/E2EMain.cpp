// SPDX-License-Identifier: MIT
// The end-to-end tests: the harness itself never opens a display (SDL's
// surfaces need none); the game it starts is told its display and driver.
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
