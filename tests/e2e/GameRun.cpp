// SPDX-License-Identifier: MIT
#include "GameRun.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <set>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr const char* CAPTION_PATTERN = "^Duelstar$";
constexpr const char* SCREENSHOT = "screenshot.bmp";
constexpr Milliseconds WINDOW_LIMIT{10000};
constexpr Milliseconds WINDOW_POLL{100};
// After the window shows, SDL still takes the keyboard for its full screen.
constexpr Milliseconds WINDOW_SETTLE{500};
// The first screenshot waits for the loading picture (2.5 s) and the loading.
constexpr Milliseconds SCREENSHOT_LIMIT{12000};
constexpr Milliseconds SCREENSHOT_POLL{20};
// A press of p can be lost while the window is still taking the keyboard; the
// presses queued during the loading picture give one screenshot together.
constexpr Milliseconds PRESS_AGAIN{2000};
// A file whose size stayed the same this long is taken as written.
constexpr Milliseconds FILE_SETTLE{100};
constexpr const char* SDL12_LIBRARY = "libSDL-1.2.so";
constexpr const char* SDL2_LIBRARY = "libSDL2-2.0.so";

std::string MakeFolder() {
    char name[] = "/tmp/duelstar-e2e-XXXXXX";
    return mkdtemp(name) != nullptr ? std::string(name) : std::string();
}

// The SDL libraries mapped into a process.
std::set<std::string> MappedSdlLibraries(int pid) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::set<std::string> found;
    std::string line;
    while (std::getline(maps, line)) {
        const size_t slash = line.find('/');
        if (slash == std::string::npos) {
            continue;
        }
        const std::string path = line.substr(slash);
        if (path.find(SDL12_LIBRARY) != std::string::npos ||
            path.find(SDL2_LIBRARY) != std::string::npos) {
            found.insert(path);
        }
    }
    return found;
}

} // namespace

SdlLibrary LibraryUnderTest() {
    const char* chosen = std::getenv("DUELSTAR_E2E_SDL");
    return chosen != nullptr && std::string(chosen) == "compat" ? SdlLibrary::Compat
                                                                : SdlLibrary::Classic;
}

const char* LibraryName(SdlLibrary library) {
    return library == SdlLibrary::Compat ? "sdl12-compat" : "classic SDL 1.2";
}

GameRun::GameRun(const XServer& display, const GameRunOptions& how)
    : display(display), folder(MakeFolder()) {
    if (folder.empty()) {
        error = "cannot make a folder to play in";
        return;
    }
    std::error_code failed;
    if (how.pictures) {
        fs::copy(DUELSTAR_IMAGES, folder + "/images", fs::copy_options::recursive, failed);
    }
    if (failed) {
        error = std::string("cannot copy the pictures: ") + failed.message();
        return;
    }
    // The sounds, without which a game that found its pictures stops.
    fs::copy(DUELSTAR_SOUNDS, folder + "/sounds", fs::copy_options::recursive, failed);
    if (failed) {
        error = std::string("cannot copy the sounds: ") + failed.message();
        return;
    }
    ProcessOptions options;
    options.workDir = folder;
    options.closeStdout = how.closeStdout;
    options.ignoreHangup = how.ignoreHangup;
    // The game draws on this display's X server, never on any other device:
    // named, or the one a game choosing its own driver finds first.
    options.setEnv = {"DISPLAY=" + display.Name()};
    if (!how.diskAudio.empty()) {
        // Real time on both SDLs: one buffer of 1,024 frames at 44,100 Hz.
        options.setEnv.insert(options.setEnv.end(),
                              {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + how.diskAudio,
                               "SDL_DISKAUDIODELAY=23"});
    }
    if (how.noSoundDevice) {
        options.setEnv.push_back("SDL_AUDIODRIVER=no-such-driver");
    }
    if (how.nameDriver) {
        options.setEnv.push_back("SDL_VIDEODRIVER=x11");
    } else {
        options.unsetEnv = {"SDL_VIDEODRIVER", "WAYLAND_DISPLAY"};
    }
    if (LibraryUnderTest() == SdlLibrary::Compat) {
        if (!fs::exists(fs::path(DUELSTAR_SDL12_COMPAT_DIR) / "libSDL-1.2.so.0")) {
            error = std::string("sdl12-compat is not installed: no libSDL-1.2.so.0 in ") +
                    DUELSTAR_SDL12_COMPAT_DIR;
            return;
        }
        options.setEnv.push_back(std::string("LD_LIBRARY_PATH=") + DUELSTAR_SDL12_COMPAT_DIR);
    } else {
        options.unsetEnv.insert(options.unsetEnv.end(), {"LD_LIBRARY_PATH", "LD_PRELOAD"});
    }
    if (how.quitProbe) {
        // A sanitizer build accepts a preloaded library ahead of its runtime
        // only when told so.
        options.setEnv.insert(options.setEnv.end(),
                              {"ASAN_OPTIONS=verify_asan_link_order=0",
                               std::string("LD_PRELOAD=") + QUIT_PROBE_LIBRARY});
    }
    options.setEnv.insert(options.setEnv.end(), how.setEnv.begin(), how.setEnv.end());
    game = std::make_unique<Process>(DUELSTAR_BINARY, how.arguments, options);
    if (!game->Started()) {
        error = "cannot start the game";
    }
}

GameRun::~GameRun() {
    game.reset(); // a game still running is killed here
    if (folder.empty()) {
        return;
    }
    if (::testing::Test::HasFailure()) {
        std::cout << "The game's folder is kept for a look: " << folder << std::endl;
    } else {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
}

bool GameRun::WaitForWindow() {
    const Clock::time_point deadline = Clock::now() + WINDOW_LIMIT;
    while (Clock::now() < deadline && !game->HasEnded()) {
        if (display.Xdotool({"search", "--onlyvisible", "--name", CAPTION_PATTERN})) {
            windowSeen = Clock::now();
            std::this_thread::sleep_for(WINDOW_SETTLE);
            return !game->HasEnded();
        }
        std::this_thread::sleep_for(WINDOW_POLL);
    }
    return false;
}

bool GameRun::Screenshot(Frame& frame, std::string& why) {
    const fs::path file = fs::path(folder) / SCREENSHOT;
    std::error_code ignored;
    fs::remove(file, ignored);
    if (!Keys({"key", "p"})) {
        why = "xdotool could not press p";
        return false;
    }
    const Clock::time_point deadline = Clock::now() + SCREENSHOT_LIMIT;
    Clock::time_point pressed = Clock::now();
    std::uintmax_t lastSize = 0;
    while (Clock::now() < deadline) {
        std::this_thread::sleep_for(SCREENSHOT_POLL);
        std::error_code missing;
        const std::uintmax_t size = fs::file_size(file, missing);
        if (missing || size == 0) {
            if (game->HasEnded()) {
                why = "the game ended without saving a screenshot";
                return false;
            }
            if (Clock::now() - pressed >= PRESS_AGAIN) {
                Keys({"key", "p"});
                pressed = Clock::now();
            }
            continue;
        }
        if (size != lastSize) {
            lastSize = size;
            std::this_thread::sleep_for(FILE_SETTLE);
            continue;
        }
        if (LoadFrame(file.string(), frame, why)) {
            return true;
        }
    }
    why = "no complete " + std::string(SCREENSHOT) + " after pressing p (" + why + ")";
    return false;
}

bool GameRun::Keys(const std::vector<std::string>& chain) { return display.Xdotool(chain); }

bool GameRun::LoadsLibraryUnderTest(std::string& why) const {
    const std::set<std::string> mapped = MappedSdlLibraries(game->Pid());
    std::string list;
    bool sdl12FromCompat = false;
    bool sdl12Elsewhere = false;
    bool sdl2 = false;
    for (const std::string& path : mapped) {
        list += " " + path;
        if (path.find(SDL12_LIBRARY) != std::string::npos) {
            (path.rfind(DUELSTAR_SDL12_COMPAT_DIR, 0) == 0 ? sdl12FromCompat : sdl12Elsewhere) =
                true;
        }
        sdl2 = sdl2 || path.find(SDL2_LIBRARY) != std::string::npos;
    }
    // SDL 2 is mapped beside classic SDL 1.2 too: Debian's SDL_mixer 1.2 links
    // music libraries (MikMod, FluidSynth) that need it, though the game
    // never starts it. Only which SDL 1.2 is loaded tells the two apart.
    const bool right = LibraryUnderTest() == SdlLibrary::Compat
                           ? sdl12FromCompat && !sdl12Elsewhere && sdl2
                           : sdl12Elsewhere && !sdl12FromCompat;
    if (!right) {
        why = std::string("expected ") + LibraryName(LibraryUnderTest()) + ", mapped:" + list;
    }
    return right;
}

bool GameRun::WaitForEnd(Milliseconds limit) { return game->WaitForEnd(limit); }
