// SPDX-License-Identifier: MIT
// QuitProbe: preloaded into the game under test, it lets SDL_Quit through and
// then writes on standard error, which the game itself never uses, that it ran
// and what standard output was then: "SDL_Quit ran; stdout is /dev/null".
#include "QuitProbe.h"

#include <cstdio>
#include <dlfcn.h>
#include <unistd.h>

namespace {
constexpr const char* STDOUT_LINK = "/proc/self/fd/1";
constexpr size_t TARGET_SIZE = 256; // bytes of a descriptor's target name
} // namespace

extern "C" void SDL_Quit(void) {
    using Quit = void (*)(void);
    static const Quit real = reinterpret_cast<Quit>(dlsym(RTLD_NEXT, "SDL_Quit"));
    real();
    char target[TARGET_SIZE] = "closed";
    const ssize_t n = readlink(STDOUT_LINK, target, sizeof target - 1);
    if (n >= 0) {
        target[n] = '\0';
    }
    std::fprintf(stderr, "%s%s\n", QUIT_PROBE_LINE, target);
}
