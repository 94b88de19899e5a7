// SPDX-License-Identifier: MIT
#include "Screenshot.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr char SCREENSHOT[] = "screenshot.bmp";

// The frame is written under a name of its own first, in the same folder so
// that the rename over "screenshot.bmp" never crosses file systems. mkstemp
// draws the name at random and creates it only if nothing bears it, so
// leftovers of games killed while writing, or another game in the folder,
// never stand in the way.
constexpr char PART_TEMPLATE[] = "screenshot.bmp.XXXXXX";
// What any new file gets; the player's umask takes away the rest. mkstemp
// makes its file private, a screenshot is not.
constexpr mode_t NEW_FILE_MODE = 0666;

int CreatePart(char (&name)[sizeof PART_TEMPLATE]) {
    std::snprintf(name, sizeof name, "%s", PART_TEMPLATE);
    const int fd = mkostemp(name, O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    const mode_t mask = umask(0);
    umask(mask);
    if (fchmod(fd, NEW_FILE_MODE & ~mask) != 0) {
        close(fd);
        unlink(name);
        return -1;
    }
    return fd;
}

// A folder the player may not create files in can still hold a
// "screenshot.bmp" the player may write: then the frame goes over it in
// place, as it did before frames were written under a name of their own.
// Only a plain file with no other name is written to: a link is not followed,
// and opening does not wait for a FIFO's reader.
int OpenInPlace() {
    const int fd = open(SCREENSHOT, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1 ||
        ftruncate(fd, 0) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// The folder itself refuses new files (not a full or read-only disk, where
// writing in place would fail as well, or lose the earlier picture).
bool FolderRefusesNewFiles(int error) { return error == EACCES || error == EPERM; }

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
    char part[sizeof PART_TEMPLATE];
    const int fd = CreatePart(part);
    if (fd < 0) {
        if (FolderRefusesNewFiles(errno)) {
            const int inPlace = OpenInPlace();
            if (inPlace >= 0) {
                WriteFrame(frame, inPlace);
            }
        }
        return;
    }
    if (!WriteFrame(frame, fd) || std::rename(part, SCREENSHOT) != 0) {
        unlink(part);
    }
}
