// SPDX-License-Identifier: MIT
// Start-up: which video driver the game starts on when the player names none,
// and the standard descriptors it finds closed. SDL's start is faked
// (FakeVideo), so each case decides which drivers would start.
#include "game/Startup.h"
#include "ChildProcess.h"
#include "FakeVideo.h"
#include "game/Report.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* NO_DISPLAY_LINE = "ERROR: main(): No graphical display; set DISPLAY\n";

// Ends the trace with the driver variable as the game leaves it.
void TraceDriverVariable() {
    const char* value = std::getenv("SDL_VIDEODRIVER");
    std::fprintf(stderr, "| SDL_VIDEODRIVER %s", value != nullptr ? value : "unset");
}

struct ChoiceCase {
    const char* name;
    std::vector<std::string> environment; // over DISPLAY, WAYLAND_DISPLAY and SDL_VIDEODRIVER unset
    const char* starting;                 // the drivers that would start
    int status;
    const char* out;
    const char* trace;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.name; }

class DriverChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(DriverChoice, StartsTheFirstDriverThatShowsAPictureOrEndsWithOneLine) {
    const ChoiceCase& c = GetParam();
    const ChildResult r = RunInChild([&] {
        ApplyEnvironment({"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"});
        ApplyEnvironment(c.environment);
        FakeVideo::LetStart(c.starting);
        std::atexit(TraceDriverVariable);
        PrepareStartup();
        std::exit(0);
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.trace);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DriverChoice,
    ::testing::Values(
        // The player's choice is SDL_Init's to start or refuse, even a text-mode one.
        ChoiceCase{"ANamedDriverIsLeftAlone",
                   {"SDL_VIDEODRIVER=caca", "DISPLAY=:0"},
                   "x11 caca",
                   0,
                   "",
                   "| SDL_VIDEODRIVER caca"},
        ChoiceCase{"AnEmptyNameIsNoChoice",
                   {"SDL_VIDEODRIVER=", "DISPLAY=:0"},
                   "x11",
                   0,
                   "",
                   "x11:started | SDL_VIDEODRIVER unset"},
        ChoiceCase{"AnXDisplayComesFirst",
                   {"DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0"},
                   "x11 wayland fbcon kmsdrm",
                   0,
                   "",
                   "x11:started | SDL_VIDEODRIVER unset"},
        ChoiceCase{"WaylandWithoutX",
                   {"WAYLAND_DISPLAY=wayland-0"},
                   "wayland kmsdrm",
                   0,
                   "",
                   "wayland:started | SDL_VIDEODRIVER unset"},
        // A refused start is shut down before the next is tried.
        ChoiceCase{"AnUnreachableXDisplayThenTheConsoleFramebuffer",
                   {"DISPLAY=:9"},
                   "fbcon",
                   0,
                   "",
                   "x11:refused quit fbcon:started | SDL_VIDEODRIVER unset"},
        ChoiceCase{"TheConsoleUnderSdl2",
                   {},
                   "kmsdrm",
                   0,
                   "",
                   "fbcon:refused quit directfb:refused quit kmsdrm:started | SDL_VIDEODRIVER "
                   "unset"},
        // SDL's own fallbacks are never tried.
        ChoiceCase{"NothingThatShowsAPicture",
                   {"TERM=xterm"},
                   "aalib caca offscreen dummy",
                   1,
                   NO_DISPLAY_LINE,
                   "fbcon:refused quit directfb:refused quit kmsdrm:refused quit | "
                   "SDL_VIDEODRIVER unset"},
        ChoiceCase{"EmptyDisplayVariablesNameNoDisplay",
                   {"DISPLAY=", "WAYLAND_DISPLAY="},
                   "x11 wayland",
                   1,
                   NO_DISPLAY_LINE,
                   "fbcon:refused quit directfb:refused quit kmsdrm:refused quit | "
                   "SDL_VIDEODRIVER unset"}),
    [](const auto& info) { return std::string(info.param.name); });

constexpr int STANDARD_DESCRIPTORS = 3;
constexpr size_t REPORT_SIZE = 4096; // bytes: room for three lines of two targets
constexpr const char* NULL_DEVICE = "/dev/null";

struct ClosedCase {
    const char* name;
    std::vector<int> closed;
};

void PrintTo(const ClosedCase& c, std::ostream* os) { *os << c.name; }

class ClosedDescriptors : public ::testing::TestWithParam<ClosedCase> {};

// The child writes each descriptor's target before and after to a file of its
// own, the one place left to write to when all three are closed.
TEST_P(ClosedDescriptors, AreOpenedOnDevNullAndTheOthersKept) {
    const ClosedCase& c = GetParam();
    char name[] = "/tmp/duelstar-fds-XXXXXX";
    const int report = mkstemp(name);
    ASSERT_GE(report, STANDARD_DESCRIPTORS);
    unlink(name);
    const ChildResult r = RunInChild([&] {
        std::string before[STANDARD_DESCRIPTORS];
        for (int fd = 0; fd < STANDARD_DESCRIPTORS; ++fd) {
            before[fd] = DescriptorTarget(fd);
        }
        for (int fd : c.closed) {
            close(fd);
        }
        PrepareStartup(); // on the driver the test runner names, so SDL is not started
        std::string lines;
        for (int fd = 0; fd < STANDARD_DESCRIPTORS; ++fd) {
            lines += before[fd] + " -> " + DescriptorTarget(fd) + "\n";
        }
        const bool written = write(report, lines.data(), lines.size()) == ssize_t(lines.size());
        std::exit(written ? 0 : 1);
    });
    ASSERT_TRUE(r.exited);
    ASSERT_EQ(r.status, 0);
    std::string lines(REPORT_SIZE, '\0');
    const ssize_t n = pread(report, lines.data(), lines.size(), 0);
    close(report);
    ASSERT_GT(n, 0);
    lines.resize(size_t(n));
    size_t at = 0;
    for (int fd = 0; fd < STANDARD_DESCRIPTORS; ++fd) {
        const size_t end = lines.find('\n', at);
        ASSERT_NE(end, std::string::npos);
        const std::string line = lines.substr(at, end - at);
        at = end + 1;
        const std::string before = line.substr(0, line.find(" -> "));
        const std::string after = line.substr(line.find(" -> ") + 4);
        bool wasClosed = false;
        for (int closedFd : c.closed) {
            wasClosed = wasClosed || closedFd == fd;
        }
        EXPECT_EQ(after, wasClosed ? std::string(NULL_DEVICE) : before) << "descriptor " << fd;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ClosedDescriptors,
                         ::testing::Values(ClosedCase{"None", {}}, ClosedCase{"Output", {1}},
                                           ClosedCase{"Input", {0}}, ClosedCase{"Error", {2}},
                                           ClosedCase{"InputAndError", {0, 2}},
                                           ClosedCase{"All", {0, 1, 2}}),
                         [](const auto& info) { return std::string(info.param.name); });

// An exit whose shutdown breaks down (here SDL_Quit's stand-in aborts, as SDL
// 2's X11 code does with the X server gone) still ends with the exit's own
// status, and names the lost display only when nothing else said why.
enum class ExitKind { Quit, ErrorLine, Silent };

struct StuckExitCase {
    const char* name;
    ExitKind kind;
    int status;
    const char* out;
};

const StuckExitCase STUCK_EXIT_CASES[] = {
    {"AQuitSaysNothing", ExitKind::Quit, 0, ""},
    {"AnErrorLineIsTheOnlyLine", ExitKind::ErrorLine, 1, "ERROR: GFX::loadbmp(): broken\n"},
    {"AWordlessFailureNamesTheDisplay", ExitKind::Silent, 1,
     "ERROR: main(): The display went away\n"},
};

class StuckExit : public ::testing::TestWithParam<StuckExitCase> {};

TEST_P(StuckExit, EndsWithTheExitsStatusAndAtMostOneLine) {
    const StuckExitCase& c = GetParam();
    const ChildResult r = RunInChild([&] {
        std::atexit([] { std::abort(); });
        BoundExit();
        if (c.kind == ExitKind::ErrorLine) {
            Report().Error("GFX::loadbmp()", "broken");
        }
        std::exit(c.kind == ExitKind::Quit ? 0 : 1);
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
}

INSTANTIATE_TEST_SUITE_P(Cases, StuckExit, ::testing::ValuesIn(STUCK_EXIT_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
