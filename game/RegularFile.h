// SPDX-License-Identifier: MIT
// RegularFile: the look every game file (picture or sound) gets before it is
// opened, since only a regular file can hold one, the open that checks it, and
// the one error line that names a file the game cannot use.
#pragma once

#include <sys/types.h>

struct SDL_RWops;

// Why path is no regular file ("A named pipe, not a file", ...), or nullptr
// when it is one or cannot be looked at (left to the loader, whose "Couldn't
// open" names it). Opening a named pipe would block until something writes
// into it, freezing the game before its first line.
const char* WhyNotAFile(const char* path);

// The same for a file already open, by its st_mode from fstat: what is
// checked is then what is read.
const char* WhyNotAFile(mode_t mode);

// Opens path for reading without waiting for a writer and checks the open
// file, so that a file swapped for a named pipe after an earlier look is
// refused, never waited on. Returns SDL's stream over it (closing the stream
// closes the file), or nullptr with why set to the reason it is no regular
// file, or, when it could not be opened at all, with why nullptr and SDL's
// error naming the path ("Couldn't open <path>").
SDL_RWops* OpenRegularFile(const char* path, const char*& why);

// Ends the game with "ERROR: <where>: <path>: <reason>", naming the file so
// the player knows which to mend.
[[noreturn]] void RefuseFile(const char* where, const char* path, const char* reason);

// OpenRegularFile for a file the game cannot do without: a path that is no
// regular file is refused by RefuseFile, one that cannot be opened ends the
// game with SDL's reason, which already names the path.
SDL_RWops* OpenGameFile(const char* where, const char* path);
