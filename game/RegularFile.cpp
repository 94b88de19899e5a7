// SPDX-License-Identifier: MIT
#include "RegularFile.h"

#include <sys/stat.h>

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
