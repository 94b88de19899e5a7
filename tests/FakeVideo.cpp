// SPDX-License-Identifier: MIT
#include "FakeVideo.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
std::string starting;
} // namespace

void FakeVideo::LetStart(const char* drivers) { starting = std::string(" ") + drivers + " "; }

// These take the place of SDL's own for everything linked into the test binary.
int SDL_Init(Uint32 /*flags*/) {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const std::string name = driver != nullptr ? driver : "(none)";
    const bool started = starting.find(" " + name + " ") != std::string::npos;
    std::fprintf(stderr, "%s:%s ", name.c_str(), started ? "started" : "refused");
    return started ? 0 : -1;
}

void SDL_QuitSubSystem(Uint32 /*flags*/) { std::fputs("quit ", stderr); }
