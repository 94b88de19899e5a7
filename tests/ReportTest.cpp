// SPDX-License-Identifier: MIT
// Report: the exact lines and statuses of the game's text output.
#include "game/Report.h"
#include "ChildProcess.h"

#include <gtest/gtest.h>

TEST(Report, ErrorWritesOneLineOnStdoutAndExitsWithStatusOne) {
    const ChildResult r = RunInChild([] { Report().Error("GFX::loadbmp()", "Couldn't open x"); });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ERROR: GFX::loadbmp(): Couldn't open x\n");
    EXPECT_EQ(r.err, "");
}

TEST(Report, ErrorRunsTheExitHandlersRegisteredBeforeIt) {
    const ChildResult r = RunInChild([] {
        std::atexit([] { std::fputs("handler ran", stderr); });
        Report().Error("main()", "boom");
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ERROR: main(): boom\n");
    EXPECT_EQ(r.err, "handler ran");
}

TEST(Report, WarningsPrintNothing) {
    const ChildResult r = RunInChild([] {
        Report().Warning("Ship::SetX()", "Value out of range");
        Report().Warning("GFX::Init", "Call to GFX::Init while already initialized");
    });
    EXPECT_EQ(r.status, CHILD_RETURNED);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
}

TEST(Report, MessageWritesItsTextAsOneLine) {
    const ChildResult r = RunInChild([] {
        Report().Message("Red wins 3-0 ( 412 fps )");
        std::_Exit(0); // skips any flushing at exit: the line must already be out
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Red wins 3-0 ( 412 fps )\n");
}
