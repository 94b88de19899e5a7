// SPDX-License-Identifier: MIT
// Nothing around the game freezes it: a sound server that accepts and never
// answers, a sound file that is a pipe no one reads, a pad device that is no
// input device, a display that goes away. Each case names the times it saw.
#include "GameFixture.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The loading picture shows for 2.5 s from about when the window shows; its
// screenshot usually comes 2.7 s (classic SDL 1.2) to 3.5 s (sdl12-compat)
// after it here, and 30 s later with the sound start in the way. The bound
// leaves room for a loaded machine, far short of such a wait; each run prints
// its own figure.
constexpr Milliseconds FIRST_FRAME_LIMIT{8000};
// ESCAPE is answered within a frame; this leaves room for a loaded machine.
constexpr Milliseconds ESCAPE_LIMIT{2000};
constexpr Milliseconds DISPLAY_LOST_LIMIT{5000};
constexpr int DISPLAY_LOST_STATUS = 1;
constexpr int BACKLOG = 16; // connections the kernel completes for the silent server

Milliseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<Milliseconds>(Clock::now() - start);
}

// A folder of its own for what a case places for the game.
class Scratch {
  public:
    Scratch() {
        char name[] = "/tmp/duelstar-freeze-XXXXXX";
        if (mkdtemp(name) != nullptr) {
            path = name;
        }
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::string path;
};

// A unix socket that takes connections (the kernel completes them from the
// backlog) and never says a word, as a hung sound daemon does.
class SilentServer {
  public:
    explicit SilentServer(const std::string& path) {
        fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (fd < 0 || path.size() >= sizeof address.sun_path) {
            return;
        }
        path.copy(address.sun_path, path.size());
        listening = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                    listen(fd, BACKLOG) == 0;
    }
    ~SilentServer() {
        if (fd >= 0) {
            close(fd);
        }
    }
    bool listening = false;

  private:
    int fd = -1;
};

// The first frame within FIRST_FRAME_LIMIT of the window, then ESCAPE ending
// the game quietly within ESCAPE_LIMIT.
class Unfrozen : public GameFixture {
  protected:
    void PlayThenEscape() {
        Frame frame;
        ASSERT_TRUE(Screenshot(frame));
        const Milliseconds firstFrame = Since(run->WindowSeen());
        EXPECT_LT(firstFrame, FIRST_FRAME_LIMIT) << "the first frame came late";
        ASSERT_TRUE(Screenshot(frame)); // and the match goes on
        const Clock::time_point pressed = Clock::now();
        ASSERT_TRUE(run->Keys({"key", "Escape"}));
        ExpectQuietEnd(ESCAPE_LIMIT, "ESCAPE");
        std::cout << "First frame " << firstFrame.count() << " ms after the window; exit "
                  << Since(pressed).count() << " ms after ESCAPE" << std::endl;
    }
    Scratch scratch;
};

// ---- A sound server that accepts and never answers ----

enum class Named { InRuntimeFolder, ByPulseServer };

class SilentSoundServer : public Unfrozen, public ::testing::WithParamInterface<Named> {
  protected:
    SilentSoundServer() {
        fs::create_directories(scratch.path + "/pulse");
        server = std::make_unique<SilentServer>(scratch.path + "/pulse/native");
    }
    GameRunOptions How() const override {
        GameRunOptions how;
        if (GetParam() == Named::InRuntimeFolder) {
            how.setEnv = {"XDG_RUNTIME_DIR=" + scratch.path, "PULSE_SERVER="};
        } else {
            how.setEnv = {"PULSE_SERVER=unix:" + scratch.path + "/pulse/native"};
        }
        return how;
    }
    std::unique_ptr<SilentServer> server;
};

TEST_P(SilentSoundServer, HoldsUpNeitherTheFirstFrameNorEscape) {
    ASSERT_TRUE(server->listening);
    PlayThenEscape();
}

INSTANTIATE_TEST_SUITE_P(Cases, SilentSoundServer,
                         ::testing::Values(Named::InRuntimeFolder, Named::ByPulseServer),
                         [](const auto& info) {
                             return info.param == Named::InRuntimeFolder ? "InRuntimeFolder"
                                                                         : "ByPulseServer";
                         });

// ---- The disk driver writing into a pipe no one reads ----

class UnreadSoundPipe : public Unfrozen {
  protected:
    UnreadSoundPipe() { made = mkfifo(Pipe().c_str(), S_IRUSR | S_IWUSR) == 0; }
    std::string Pipe() const { return scratch.path + "/sound"; }
    GameRunOptions How() const override {
        GameRunOptions how;
        how.diskAudio = Pipe();
        return how;
    }
    bool made = false;
};

TEST_F(UnreadSoundPipe, HoldsUpNeitherTheMatchNorEscape) {
    ASSERT_TRUE(made);
    PlayThenEscape();
}

// ---- A pad device that is no input device ----

enum class Device { Zero, Pipe, RegularFile };

class StrangePadDevice : public Unfrozen, public ::testing::WithParamInterface<Device> {
  protected:
    StrangePadDevice() {
        if (GetParam() == Device::Pipe) {
            made = mkfifo(Path().c_str(), S_IRUSR | S_IWUSR) == 0;
        } else if (GetParam() == Device::RegularFile) {
            std::ofstream(Path()) << "not a pad";
            made = fs::is_regular_file(Path());
        }
    }
    std::string Path() const {
        return GetParam() == Device::Zero ? "/dev/zero" : scratch.path + "/pad";
    }
    GameRunOptions How() const override {
        GameRunOptions how;
        how.noSoundDevice = true;
        how.setEnv = {"SDL_JOYSTICK_DEVICE=" + Path()};
        return how;
    }
    bool made = true;
};

TEST_P(StrangePadDevice, IsLeftOutAndTheMatchPlays) {
    ASSERT_TRUE(made);
    PlayThenEscape();
}

const char* const DEVICE_NAMES[] = {"DevZero", "Pipe", "RegularFile"};

INSTANTIATE_TEST_SUITE_P(Cases, StrangePadDevice,
                         ::testing::Values(Device::Zero, Device::Pipe, Device::RegularFile),
                         [](const auto& info) { return DEVICE_NAMES[int(info.param)]; });

// ---- The display going away mid-match ----

enum class Loss { ServerKilled, WindowKilled };
constexpr int TRIES = 3; // it hung every time before, so a few tries show it

class DisplayLost : public GameFixture,
                    public ::testing::WithParamInterface<std::tuple<Loss, int>> {
  protected:
    GameRunOptions How() const override {
        GameRunOptions how;
        how.noSoundDevice = true;
        return how;
    }
};

TEST_P(DisplayLost, EndsTheGameWithStatusOneWithinSeconds) {
    Frame frame;
    ASSERT_TRUE(Screenshot(frame)); // the match is running
    const Clock::time_point lost = Clock::now();
    if (std::get<0>(GetParam()) == Loss::ServerKilled) {
        display.Kill();
    } else {
        ASSERT_TRUE(run->Keys({"search", "--name", "Duelstar", "windowkill"}));
    }
    ASSERT_TRUE(run->WaitForEnd(DISPLAY_LOST_LIMIT)) << "the game did not end; " << Describe();
    std::cout << "Exit " << Since(lost).count() << " ms after the display went away" << std::endl;
    EXPECT_TRUE(run->Game().Exited()) << Describe();
    EXPECT_EQ(run->Game().Status(), DISPLAY_LOST_STATUS) << Describe();
    // Where SDL_Quit cannot finish, the game says why it cut the exit short.
    const std::string out = run->Game().Out();
    EXPECT_TRUE(out.empty() || out == "ERROR: main(): The display went away\n") << Describe();
}

INSTANTIATE_TEST_SUITE_P(Tries, DisplayLost,
                         ::testing::Combine(::testing::Values(Loss::ServerKilled,
                                                              Loss::WindowKilled),
                                            ::testing::Range(0, TRIES)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == Loss::ServerKilled
                                                    ? "ServerKilled"
                                                    : "WindowKilled") +
                                    std::to_string(std::get<1>(info.param));
                         });

} // namespace
