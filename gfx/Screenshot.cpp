// SPDX-License-Identifier: MIT
#include "Screenshot.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr char SCREENSHOT[] = "screenshot.bmp";

// The frame is written under a name of its own first, in the same folder so
// that the rename over "screenshot.bmp" never crosses file systems. The
// process id keeps two games in one folder apart; the try number steps past
// a leftover of a game that was killed while writing.
constexpr char PART_NAME[] = "screenshot.bmp.%ld-%d.tmp";
constexpr int PART_NAME_SIZE = 64; // bytes, ample for the longest process id
constexpr int PART_TRIES = 16;
// What any new file gets; the player's umask takes away the rest.
constexpr mode_t NEW_FILE_MODE = 0666;

// O_EXCL creates a new file or fails: nothing already there, however named
// or linked, is ever opened.
int CreatePart(char (&name)[PART_NAME_SIZE]) {
    for (int attempt = 0; attempt < PART_TRIES; ++attempt) {
        std::snprintf(name, sizeof name, PART_NAME, long(getpid()), attempt);
        const int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, NEW_FILE_MODE);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// SDL encodes the frame into the stream; the stream's own flush and close
// then tell whether every byte reached the file, which SDL cannot see for
// the bytes still buffered when it returns.
bool WriteFrame(SDL_Surface* frame, int fd) {
    FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        close(fd);
        return false;
    }
    SDL_RWops* stream = SDL_RWFromFP(file, 0);
    // With freedst set, SDL lets go of its stream but leaves the file open.
    const bool encoded = stream != nullptr && SDL_SaveBMP_RW(frame, stream, 1) == 0;
    const bool flushed = std::fflush(file) == 0 && !std::ferror(file);
    const bool closed = std::fclose(file) == 0;
    return encoded && flushed && closed;
}
} // namespace

void SaveScreenshot(SDL_Surface* frame) {
    char part[PART_NAME_SIZE];
    const int fd = CreatePart(part);
    if (fd < 0) {
        return;
    }
    if (!WriteFrame(frame, fd) || std::rename(part, SCREENSHOT) != 0) {
        unlink(part);
    }
}
