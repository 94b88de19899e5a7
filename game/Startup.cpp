// SPDX-License-Identifier: MIT
#include "Startup.h"

#include "Report.h"

#include <SDL.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int STANDARD_DESCRIPTORS = 3; // input, output and error: 0, 1 and 2
constexpr const char* NULL_DEVICE = "/dev/null";
constexpr const char* DRIVER_VARIABLE = "SDL_VIDEODRIVER";
constexpr const char* WHERE = "main()";
constexpr const char* NO_DISPLAY = "No graphical display; set DISPLAY";
constexpr const char* NO_NULL_DEVICE = "Cannot open /dev/null for a closed standard descriptor";
// SDL_Quit closes the window and the sound in well under a tenth of a second,
// and in over a second on a heavily loaded machine.
constexpr unsigned EXIT_GRACE_SECONDS = 2;
// Written from a signal handler, so made whole beforehand (Report's format).
constexpr const char* EXIT_STUCK = "ERROR: main(): The display went away\n";

struct ScreenDriver {
    const char* name;
    // A variable that must name a display for the driver to be tried, or
    // nullptr. It keeps a desktop driver from being probed where none runs:
    // the Wayland client library complains on standard error when it finds
    // no session to look in.
    const char* display;
};

// The drivers that show a picture on a screen, in SDL's own order: the X and
// Wayland desktops, then the Linux console's framebuffer (fbcon and directfb on
// classic SDL 1.2, kmsdrm on SDL 2 under sdl12-compat). Each library refuses
// the names it does not have. Left to itself, SDL would fall back to text-mode
// art in the terminal (aalib, caca) or SDL 2's offscreen window, which no one
// sees and which never ends.
const ScreenDriver SCREEN_DRIVERS[] = {
    {"x11", "DISPLAY"},  {"wayland", "WAYLAND_DISPLAY"}, {"fbcon", nullptr}, {"directfb", nullptr},
    {"kmsdrm", nullptr},
};

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

// Opened in ascending order, each closed descriptor gets the lowest free
// number, which is its own.
void OpenClosedStandardDescriptors() {
    for (int fd = 0; fd < STANDARD_DESCRIPTORS; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        if (open(NULL_DEVICE, O_RDWR) != fd) {
            Report().Error(WHERE, NO_NULL_DEVICE);
        }
    }
}

// SDL turns SIGTERM into a quit request; a closed terminal ends the game the
// same way. Raising a signal is safe inside a handler.
void EndAsTerminated(int /*signal*/) { std::raise(SIGTERM); }

// A player who started the game to outlive its terminal (nohup) left SIGHUP
// ignored, and it stays so.
void EndOnHangup() {
    struct sigaction current {};
    if (sigaction(SIGHUP, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) {
        return;
    }
    struct sigaction hangup {};
    hangup.sa_handler = EndAsTerminated;
    sigemptyset(&hangup.sa_mask);
    hangup.sa_flags = SA_RESTART;
    sigaction(SIGHUP, &hangup, nullptr);
}

void StartOnAScreen() {
    if (IsSet(DRIVER_VARIABLE)) {
        return;
    }
    for (const ScreenDriver& driver : SCREEN_DRIVERS) {
        if (driver.display != nullptr && !IsSet(driver.display)) {
            continue;
        }
        setenv(DRIVER_VARIABLE, driver.name, 1);
        const bool started = SDL_Init(SDL_INIT_VIDEO) == 0;
        unsetenv(DRIVER_VARIABLE);
        if (started) {
            return;
        }
        // sdl12-compat takes every later start for a success, without starting
        // anything, until the failed one is shut down.
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    Report().Error(WHERE, NO_DISPLAY);
}

volatile std::sig_atomic_t exitStatus = 0;

// A quit the player asked for, a result line or an error line already says
// how the game ended; only an exit that came without a word (Xlib's, when the
// display has gone) is named.
void EndStuckExit(int /*signal*/) {
    if (exitStatus != 0 && !Report::ErrorWritten()) {
        const ssize_t written = write(STDOUT_FILENO, EXIT_STUCK, std::strlen(EXIT_STUCK));
        static_cast<void>(written); // nothing more can be done about a lost line
    }
    _exit(exitStatus);
}

// Runs at the exit before SDL_Quit, with the exit's status.
void ArmExitBound(int status, void* /*unused*/) {
    exitStatus = status;
    struct sigaction stuck {};
    stuck.sa_handler = EndStuckExit;
    sigemptyset(&stuck.sa_mask);
    // With the X server gone, Xlib under SDL 2 may also abort in SDL_Quit.
    sigaction(SIGALRM, &stuck, nullptr);
    sigaction(SIGABRT, &stuck, nullptr);
    sigset_t alarm;
    sigemptyset(&alarm);
    sigaddset(&alarm, SIGALRM);
    pthread_sigmask(SIG_UNBLOCK, &alarm, nullptr);
    ::alarm(EXIT_GRACE_SECONDS);
}

// The only events PollInput reads: keys, quit requests and the gamepads'
// d-pads, sticks and buttons (Gamepads).
bool IsRead(int type) {
    return type == SDL_KEYDOWN || type == SDL_KEYUP || type == SDL_QUIT ||
           type == SDL_JOYHATMOTION || type == SDL_JOYAXISMOTION || type == SDL_JOYBUTTONDOWN ||
           type == SDL_JOYBUTTONUP;
}
} // namespace

void PrepareStartup() {
    OpenClosedStandardDescriptors();
    std::signal(SIGPIPE, SIG_IGN);
    // Past a file size limit a write fails with EFBIG, which the screenshot
    // handles, instead of killing the game.
    std::signal(SIGXFSZ, SIG_IGN);
    EndOnHangup();
    StartOnAScreen();
}

void BoundExit() { on_exit(ArmExitBound, nullptr); }

void IgnoreUnreadEvents() {
    for (int type = SDL_NOEVENT + 1; type < SDL_NUMEVENTS; ++type) {
        if (!IsRead(type)) {
            SDL_EventState(Uint8(type), SDL_IGNORE);
        }
    }
}
