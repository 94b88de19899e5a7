// SPDX-License-Identifier: MIT
// GameRun: the real game, started on a private X display in a fresh folder with
// a copy of images/ and sounds/, played by its keyboard and watched by
// screenshots, output and what it plays.
#pragma once

#include "Frame.h"
#include "Process.h"
#include "XServer.h"

#include <memory>
#include <string>
#include <vector>

// Which SDL 1.2 the game loads: the classic library it was built against, or
// sdl12-compat (SDL 1.2 on top of SDL 2) through LD_LIBRARY_PATH.
enum class SdlLibrary { Classic, Compat };

// Chosen for the whole test program by DUELSTAR_E2E_SDL ("classic", the
// default, or "compat").
SdlLibrary LibraryUnderTest();
const char* LibraryName(SdlLibrary library);

// How the game is started; the defaults are how every match is played.
struct GameRunOptions {
    bool nameDriver = true;    // SDL_VIDEODRIVER=x11, or none for the game to choose
    bool pictures = true;      // a copy of images/ in its folder, or no pictures at all
    bool closeStdout = false;  // started as with ">&-"
    bool ignoreHangup = false; // started as with nohup
    // With the probe preloaded that reports on standard error when SDL_Quit ran.
    bool quitProbe = false;
    // When named, the sound goes to this file through SDL's disk driver, as
    // 16-bit stereo samples; else the game finds no device, as on this machine.
    std::string diskAudio;
    bool noSoundDevice = false;         // SDL_AUDIODRIVER names a driver SDL does not have
    std::vector<std::string> arguments; // the game's command line
    std::vector<std::string> setEnv;    // NAME=value, set last
};

class GameRun {
  public:
    explicit GameRun(const XServer& display, const GameRunOptions& how = {});
    ~GameRun(); // kills the game if it still runs; removes the folder unless the test failed

    // Empty when the folder was made and the game started.
    const std::string& Error() const { return error; }
    Process& Game() { return *game; }
    const std::string& Folder() const { return folder; }

    // Waits until the game's full-screen window shows, then a moment for it
    // to take the keyboard; false if it did not show in time or the game ended.
    bool WaitForWindow();
    // When WaitForWindow first saw the window; the loading picture then shows
    // for 2.5 s from about that moment.
    Clock::time_point WindowSeen() const { return windowSeen; }

    // Presses p (again every few seconds until a file comes) and reads the
    // screenshot it saves; false with the reason when no complete screenshot
    // came in time. The first one may be asked for while the loading picture
    // still shows: it is taken of the first frame.
    bool Screenshot(Frame& frame, std::string& why);

    // Sends an xdotool command chain to the game's display.
    bool Keys(const std::vector<std::string>& chain);

    // Checks, from the running process's memory map, that the SDL library the
    // test asked for is the one loaded; the reason when it is not.
    bool LoadsLibraryUnderTest(std::string& why) const;

    // Waits at most limit for the game to end on its own; true if it did.
    bool WaitForEnd(Milliseconds limit);

  private:
    const XServer& display;
    std::string folder;
    std::string error;
    std::unique_ptr<Process> game;
    Clock::time_point windowSeen;
};
