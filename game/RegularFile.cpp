// SPDX-License-Identifier: MIT
#include "RegularFile.h"

#include "Report.h"

#include <SDL.h>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int MESSAGE_SIZE = 512; // bytes, for a file's path and the reason it was refused

// The reason for a file that could not be opened, in SDL's own words; closes
// fd when there is one.
SDL_RWops* CouldNotOpen(const char* path, int fd) {
    if (fd >= 0) {
        close(fd);
    }
    SDL_SetError("Couldn't open %s", path);
    return nullptr;
}
} // namespace

const char* WhyNotAFile(const char* path) {
    struct stat info;
    if (stat(path, &info) != 0) {
        return nullptr;
    }
    return WhyNotAFile(info.st_mode);
}

const char* WhyNotAFile(mode_t mode) {
    switch (mode & S_IFMT) {
    case S_IFREG:
        return nullptr;
    case S_IFIFO:
        return "A named pipe, not a file";
    case S_IFDIR:
        return "A folder, not a file";
    case S_IFSOCK:
        return "A socket, not a file";
    case S_IFCHR:
    case S_IFBLK:
        return "A device, not a file";
    default:
        return "Not a regular file";
    }
}

SDL_RWops* OpenRegularFile(const char* path, const char*& why) {
    why = nullptr;
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // A socket cannot be opened at all; it is named as the early look names it.
        why = WhyNotAFile(path);
        return CouldNotOpen(path, fd);
    }
    struct stat info;
    if (fstat(fd, &info) != 0) {
        return CouldNotOpen(path, fd);
    }
    if (!S_ISREG(info.st_mode)) {
        close(fd);
        why = WhyNotAFile(info.st_mode);
        return nullptr;
    }
    FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        return CouldNotOpen(path, fd);
    }
    // Closing the stream closes the file.
    SDL_RWops* stream = SDL_RWFromFP(file, SDL_TRUE);
    if (stream == nullptr) {
        std::fclose(file);
    }
    return stream;
}

void RefuseFile(const char* where, const char* path, const char* reason) {
    char message[MESSAGE_SIZE];
    std::snprintf(message, sizeof message, "%s: %s", path, reason);
    Report().Error(where, message);
}

SDL_RWops* OpenGameFile(const char* where, const char* path) {
    const char* notAFile = nullptr;
    SDL_RWops* file = OpenRegularFile(path, notAFile);
    if (notAFile != nullptr) {
        RefuseFile(where, path, notAFile);
    }
    if (file == nullptr) {
        Report().Error(where, SDL_GetError());
    }
    return file;
}
