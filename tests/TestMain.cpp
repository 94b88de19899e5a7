// SPDX-License-Identifier: MIT
// The unit tests run SDL on its dummy video driver: no display, and never the
// terminal fallback.
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
