// SPDX-License-Identifier: MIT
// RegularFile: the look every game file (picture or sound) gets before it is
// opened, since only a regular file can hold one.
#pragma once

#include <sys/types.h>

// Why path is no regular file ("A named pipe, not a file", ...), or nullptr
// when it is one or cannot be looked at (left to the loader, whose "Couldn't
// open" names it). Opening a named pipe would block until something writes
// into it, freezing the game before its first line.
const char* WhyNotAFile(const char* path);

// The same for a file already open, by its st_mode from fstat: what is
// checked is then what is read.
const char* WhyNotAFile(mode_t mode);
