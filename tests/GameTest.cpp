// SPDX-License-Identifier: MIT
// The real game binary, started as a player would: its fatal start-up lines,
// a quit request from the system, and error lines that cannot be written.
#include "ChildProcess.h"
#include "QuitProbe.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

TEST(Game, WithoutAVideoDevicePrintsTheErrorLineAndExitsWithOne) {
    const ChildResult r =
        RunProgram(DUELSTAR_BINARY, DUELSTAR_SOURCE_DIR, {"SDL_VIDEODRIVER=no-such-driver"});
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ERROR: main(): No available video device\n");
    EXPECT_EQ(r.err, "");
}

// This one runs in real time: the game shows its loading picture first.
TEST(Game, AQuitRequestEndsItWithStatusZeroAndNoOutput) {
    const ChildResult r =
        RunProgram(DUELSTAR_BINARY, DUELSTAR_SOURCE_DIR, {"SDL_VIDEODRIVER=dummy"}, [](int pid) {
            poll(nullptr, 0, 1000); // long enough for SDL to take over SIGTERM
            kill(pid, SIGTERM);
        });
    EXPECT_TRUE(r.exited) << "killed by signal " << r.status;
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
}

// Each SDL 1.2 the game may meet: the classic library it is built against, and
// sdl12-compat (SDL 1.2 on top of SDL 2) where it is installed.
enum class Library { Classic, Compat };

const char* LibraryName(Library library) {
    return library == Library::Compat ? "sdl12-compat" : "classic SDL 1.2";
}

// The variables that load the library; empty when it is not installed.
std::vector<std::string> LoadLibrary(Library library) {
    if (library == Library::Classic) {
        return {"LD_LIBRARY_PATH", "LD_PRELOAD"};
    }
    const std::string dir = DUELSTAR_SDL12_COMPAT_DIR;
    if (dir.empty()) {
        return {};
    }
    return {"LD_LIBRARY_PATH=" + dir, "LD_PRELOAD"};
}

void PrintTo(Library library, std::ostream* os) { *os << LibraryName(library); }

// For test names.
std::string Tag(Library library) { return library == Library::Compat ? "Compat" : "Classic"; }

// A screen the game may rightly use without X: then a run without DISPLAY
// plays instead of ending.
bool ConsoleScreenReachable() {
    if (access("/dev/fb0", R_OK | W_OK) == 0) {
        return true;
    }
    std::error_code missing;
    for (const fs::directory_entry& entry : fs::directory_iterator("/dev/dri", missing)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("card", 0) == 0 && access(entry.path().c_str(), R_OK | W_OK) == 0) {
            return true;
        }
    }
    return false;
}

constexpr int NO_DISPLAY_LIMIT = 1000; // ms: it must end at once, not after the loading picture

class NoDisplay : public ::testing::TestWithParam<Library> {};

// As from ssh or cron with the output sent to a file: no X display, a terminal
// type that the text-mode drivers would draw for, no Wayland session (whose
// client library would complain on standard error) and no driver named.
TEST_P(NoDisplay, EndsAtOnceWithOneLineAndStatusOne) {
    if (ConsoleScreenReachable()) {
        GTEST_SKIP() << "a framebuffer or DRM device is open to this user: the game may play there";
    }
    std::vector<std::string> environment = LoadLibrary(GetParam());
    if (environment.empty()) {
        GTEST_SKIP() << LibraryName(GetParam()) << " is not installed";
    }
    environment.insert(environment.end(), {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY",
                                           "XDG_RUNTIME_DIR", "TERM=xterm"});
    bool inTime = false;
    const ChildResult r = RunProgram(DUELSTAR_BINARY, DUELSTAR_SOURCE_DIR, environment,
                                     [&](int pid) { inTime = EndsWithin(pid, NO_DISPLAY_LIMIT); });
    EXPECT_TRUE(inTime) << "still running after " << NO_DISPLAY_LIMIT << " ms";
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ERROR: main(): No graphical display; set DISPLAY\n");
    EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(Libraries, NoDisplay, ::testing::Values(Library::Classic, Library::Compat),
                         [](const auto& info) { return Tag(info.param); });

// An error line after SDL has started (no pictures in the folder), written to
// an output that fails. The preloaded probe reports on standard error that
// SDL_Quit ran and what standard output was by then.
struct OutputCase {
    const char* name;
    ChildOutput output;
    const char* stdoutAtQuit; // the start of its target's name
};

void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }

constexpr int OUTPUT_LIMIT = 10000; // ms; the error comes before the loading picture's pause

class FailingOutput : public ::testing::TestWithParam<std::tuple<OutputCase, Library>> {};

TEST_P(FailingOutput, TheErrorLineStillEndsWithOneAfterSdlQuit) {
    const OutputCase& c = std::get<0>(GetParam());
    std::vector<std::string> environment = LoadLibrary(std::get<1>(GetParam()));
    if (environment.empty()) {
        GTEST_SKIP() << LibraryName(std::get<1>(GetParam())) << " is not installed";
    }
    char folder[] = "/tmp/duelstar-nopics-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    // LD_PRELOAD last: it replaces the library's setting. A sanitizer build
    // accepts a preloaded library ahead of its runtime only when told so.
    environment.insert(environment.end(),
                       {"SDL_VIDEODRIVER=dummy", "ASAN_OPTIONS=verify_asan_link_order=0",
                        std::string("LD_PRELOAD=") + QUIT_PROBE_LIBRARY});
    bool inTime = false;
    const ChildResult r = RunProgram(
        DUELSTAR_BINARY, folder, environment,
        [&](int pid) { inTime = EndsWithin(pid, OUTPUT_LIMIT); }, c.output);
    rmdir(folder);
    EXPECT_TRUE(inTime);
    EXPECT_TRUE(r.exited) << "killed by signal " << r.status;
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, c.output == ChildOutput::File
                         ? "ERROR: GFX::loadbmp(): Couldn't open images/loading.bmp\n"
                         : "");
    EXPECT_EQ(r.err.rfind(std::string(QUIT_PROBE_LINE) + c.stdoutAtQuit, 0), 0u) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailingOutput,
    ::testing::Combine(
        ::testing::Values(OutputCase{"File", ChildOutput::File, "/tmp/duelstar-child-"},
                          OutputCase{"ReaderGone", ChildOutput::ClosedPipe, "pipe:["},
                          OutputCase{"DeviceFull", ChildOutput::FullDevice, "/dev/full"},
                          // Opened on /dev/null at start, so no file took it.
                          OutputCase{"ClosedAtStart", ChildOutput::Closed, "/dev/null"}),
        ::testing::Values(Library::Classic, Library::Compat)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + Tag(std::get<1>(info.param));
    });

// The command line, read before any window opens: nothing here needs a display.
struct CommandLineCase {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    const char* outStart; // what standard output begins with
    const char* errStart; // what standard error begins with
};

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, AnswersWithoutOpeningAWindow) {
    const CommandLineCase& c = GetParam();
    // No video driver at all: a run that tried to open a window would fail
    // with its ERROR line and status 1 instead.
    const ChildResult r =
        RunProgram(DUELSTAR_BINARY, DUELSTAR_SOURCE_DIR, {"SDL_VIDEODRIVER=no-such-driver"}, {},
                   ChildOutput::File, c.arguments);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out.rfind(c.outStart, 0), 0u) << r.out;
    EXPECT_EQ(r.err.rfind(c.errStart, 0), 0u) << r.err;
    // The usage goes with every answer but the version, to the stream that answers.
    EXPECT_EQ((r.out + r.err).find("Usage: duelstar") != std::string::npos,
              c.arguments[0] != "--version");
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLine,
    ::testing::Values(
        CommandLineCase{"Help", {"--help"}, 0, "Usage: duelstar", ""},
        CommandLineCase{"ShortHelp", {"-h"}, 0, "Usage: duelstar", ""},
        CommandLineCase{"Version", {"--version"}, 0, "duelstar ", ""},
        CommandLineCase{"DelayWithoutPlayingOnline",
                        {"--delay", "2"},
                        2,
                        "",
                        "duelstar: --delay is for online play"},
        CommandLineCase{"UnknownOption",
                        {"--no-such-option"},
                        2,
                        "",
                        "duelstar: unknown option '--no-such-option'\nUsage:"},
        CommandLineCase{
            "StrayArgument", {"stray"}, 2, "", "duelstar: unexpected argument 'stray'\nUsage:"},
        CommandLineCase{"BadLevel",
                        {"--cpu", "blue", "--level", "insane"},
                        2,
                        "",
                        "duelstar: --level takes easy, normal or hard, not 'insane'\nUsage:"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
