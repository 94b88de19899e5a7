// SPDX-License-Identifier: MIT
// FlipSignal: preloaded into the game under test, it lets each SDL_Flip
// through and writes to the descriptor named by FLIP_SIGNAL_FD one byte when
// the loading picture shows and another once a few frames have followed. The
// test then knows whether the screen changed and when the game is in its main
// loop, without watching the clock.
#include <SDL.h>

#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

namespace {
// The loading picture, then three whole frames.
constexpr int FLIPS_BEFORE_SIGNAL = 4;
constexpr char LOADING_MARK = 'l'; // the first flip: the screen has changed
constexpr char PLAYING_MARK = 'f';

void Mark(char mark) {
    if (const char* fd = std::getenv("FLIP_SIGNAL_FD")) {
        if (write(std::atoi(fd), &mark, 1) != 1) {
            _exit(EXIT_FAILURE);
        }
    }
}
} // namespace

extern "C" int SDL_Flip(SDL_Surface* screen) {
    using Flip = int (*)(SDL_Surface*);
    static const Flip real = reinterpret_cast<Flip>(dlsym(RTLD_NEXT, "SDL_Flip"));
    static int flips = 0;
    const int result = real(screen);
    ++flips;
    if (flips == 1) {
        Mark(LOADING_MARK);
    } else if (flips == FLIPS_BEFORE_SIGNAL) {
        Mark(PLAYING_MARK);
    }
    return result;
}
