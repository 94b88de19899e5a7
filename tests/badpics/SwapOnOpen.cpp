// SPDX-License-Identifier: MIT
// SwapOnOpen: preloaded into the game under test, it renames the file named
// by SWAP_WITH over the path named by SWAP_PATH just before the game opens
// that path for the SWAP_AT-th time (the first when unset), once: the swap
// lands exactly between the game's look at the file and that opening of it,
// every run, with no timing involved.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>

namespace {
void SwapBefore(const char* path) {
    static int opens = 0;
    const char* target = std::getenv("SWAP_PATH");
    const char* with = std::getenv("SWAP_WITH");
    const char* at = std::getenv("SWAP_AT");
    if (target == nullptr || with == nullptr || std::strcmp(path, target) != 0) {
        return;
    }
    opens += 1;
    if (opens == (at != nullptr ? std::atoi(at) : 1)) {
        std::rename(with, target);
    }
}

template <typename Function> Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// open() takes a mode only when it may create the file.
mode_t ModeOf(int flags, va_list args) {
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? mode_t(va_arg(args, int)) : 0;
}
} // namespace

extern "C" {
int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    SwapBefore(path);
    return Next<int (*)(const char*, int, ...)>("open")(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    SwapBefore(path);
    return Next<int (*)(const char*, int, ...)>("open64")(path, flags, mode);
}

FILE* fopen(const char* path, const char* mode) {
    SwapBefore(path);
    return Next<FILE* (*)(const char*, const char*)>("fopen")(path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
    SwapBefore(path);
    return Next<FILE* (*)(const char*, const char*)>("fopen64")(path, mode);
}
}
