// SPDX-License-Identifier: MIT
// FlipSignal: preloaded into the game under test, it lets each SDL_Flip
// through and, once the loading picture and a few frames have been shown,
// writes one byte to the descriptor named by FLIP_SIGNAL_FD. The test then
// knows the game is in its main loop without watching the clock.
#include <SDL.h>

#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

namespace {
// The loading picture, then three whole frames.
constexpr int FLIPS_BEFORE_SIGNAL = 4;
} // namespace

extern "C" int SDL_Flip(SDL_Surface* screen) {
    using Flip = int (*)(SDL_Surface*);
    static const Flip real = reinterpret_cast<Flip>(dlsym(RTLD_NEXT, "SDL_Flip"));
    static int flips = 0;
    const int result = real(screen);
    if (++flips == FLIPS_BEFORE_SIGNAL) {
        if (const char* fd = std::getenv("FLIP_SIGNAL_FD")) {
            const char mark = 'f';
            if (write(std::atoi(fd), &mark, 1) != 1) {
                _exit(EXIT_FAILURE);
            }
        }
    }
    return result;
}
