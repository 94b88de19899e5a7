// SPDX-License-Identifier: MIT
// Thousands of spoilt pictures from a seeded generator: bytes of the headers
// of good 1- to 32-bit pictures flipped or replaced, fields set to edge
// values, files cut at random lengths. Every file either is refused by the
// header check, or goes through SDL's reader, the conversion to the screen's
// format and a keyed blit without a crash, a hang or a sanitizer report.
// With BADPICS_FEED_REFUSED=1 the refused files are given to SDL as well, in
// the same child processes, to count what the check keeps away from it (SDL 2
// under sdl12-compat spends seconds on each absurd size, so not by default).
#include "BmpFiles.h"
#include "ChildProcess.h"
#include "game/Screen.h"
#include "gfx/BmpHeader.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sstream>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr Uint32 DEFAULT_SEED = 20240611;
constexpr int DEFAULT_CASES = 50000;
constexpr unsigned ACCEPTED_TIME_LIMIT = 5; // s for one accepted file: beyond it, a hang
constexpr unsigned REFUSED_TIME_LIMIT = 1;  // s for one refused file, counted as slow beyond it

constexpr int SCREEN_BPP = 16; // bits per pixel

// The reasons the check gives, in the order their counts are shown.
const char* const REASONS[] = {
    "File is not a Windows BMP file",
    "BMP header cut short",
    "Unsupported BMP header",
    "Unsupported BMP bits per pixel",
    "BMP palette larger than its depth allows",
    "Compressed BMP pictures are not supported",
    "Unsupported BMP compression",
    "BMP picture size out of range",
    "BMP pixel offset out of range",
    "BMP pixel data cut short",
    "Cannot read the BMP picture",
};
constexpr int REASON_COUNT = int(sizeof REASONS / sizeof REASONS[0]);
constexpr Uint8 ACCEPTED = 0xFF; // verdict of a file the check passes
constexpr Uint8 NO_VERDICT = 0xFE;
constexpr Uint8 UNKNOWN_REASON = 0xFD;

enum Outcome : Uint8 {
    NOT_RUN = 0,
    LOADED,   // SDL made a surface and it was converted and drawn
    FAILED,   // SDL refused the file cleanly, with a reason
    SILENT,   // SDL refused the file without a reason
    CRASHED,  // the child died on a signal
    HUNG,     // the time limit ran out
    REPORTED, // the child exited with a sanitizer's status
};

struct Shared {
    int current;
    Uint8 verdict[1];
};

std::vector<BmpLayout> Bases() {
    std::vector<BmpLayout> bases;
    auto add = [&](int w, int h, int depth, Uint32 infoSize, bool bitFields, bool topDown) {
        bases.push_back(Layout(w, h, depth, infoSize, bitFields, topDown));
    };
    add(13, 7, 1, 40, false, false);
    add(11, 6, 4, 40, false, false);
    add(9, 5, 8, 40, false, false);
    add(9, 5, 8, 12, false, false);
    add(10, 4, 24, 40, false, false);
    add(10, 4, 24, 12, false, false);
    add(6, 3, 32, 40, false, false);
    add(7, 5, 16, 40, true, false);
    add(7, 5, 16, 40, false, true);
    add(5, 4, 32, 108, true, false);
    add(5, 4, 32, 124, true, true);
    return bases;
}

// Positions and widths of the fields worth setting to edge values.
struct FieldSpot {
    int at;
    int bytes;
};
const FieldSpot FIELDS[] = {
    {BmpField::FILE_SIZE, 4},   {BmpField::PIXEL_OFFSET, 4}, {BmpField::INFO_SIZE, 4},
    {BmpField::WIDTH, 4},       {BmpField::HEIGHT, 4},       {BmpField::WIDTH, 2},
    {BmpField::CORE_HEIGHT, 2}, {BmpField::CORE_DEPTH, 2},   {BmpField::DEPTH, 2},
    {BmpField::COMPRESSION, 4}, {BmpField::COLOURS_USED, 4}, {BmpField::MASKS, 4},
    {BmpField::MASKS + 4, 4},   {BmpField::MASKS + 8, 4},    {BmpField::MASKS + 12, 4},
};
const Uint32 EDGE_VALUES[] = {0,          1,          2,     3,     4,     7,          12,
                              15,         16,         24,    32,    40,    54,         64,
                              108,        124,        255,   256,   8191,  8192,       8193,
                              32767,      32768,      65535, 65536, 70000, 0x7FFFFFFF, 0x80000000,
                              0xFFFFFFFF, 0xFFFFFFFE, 6148,  22529, 32776, 0x00FF0000, 0xF800};

// One spoilt file, made from the seed and the case number alone, so that a
// failing case can be made again and looked at.
std::vector<Uint8> MakeCase(Uint32 seed, int index, const std::vector<std::vector<Uint8>>& bases,
                            std::string* description) {
    std::seed_seq seq{seed, Uint32(index)};
    std::mt19937 random(seq);
    auto below = [&](size_t n) { return size_t(random() % n); };
    const size_t base = below(bases.size());
    std::vector<Uint8> bytes = bases[base];
    std::ostringstream said;
    said << "base " << base;
    const int changes = 1 + int(below(4));
    for (int c = 0; c < changes; ++c) {
        const size_t reach = std::min(bytes.size(), size_t(BmpField::HEADERS_END));
        switch (below(10)) {
        case 0:
        case 1:
        case 2: {
            const size_t at = below(reach);
            const int bit = int(below(8));
            bytes[at] ^= Uint8(1 << bit);
            said << ", flip bit " << bit << " of byte " << at;
            break;
        }
        case 3:
        case 4: {
            const size_t at = below(reach);
            const Uint8 value = Uint8(random());
            bytes[at] = value;
            said << ", byte " << at << " = " << int(value);
            break;
        }
        case 5:
        case 6:
        case 7: {
            const FieldSpot spot = FIELDS[below(sizeof FIELDS / sizeof FIELDS[0])];
            Uint32 value = EDGE_VALUES[below(sizeof EDGE_VALUES / sizeof EDGE_VALUES[0])];
            if (below(4) == 0) {
                value = Uint32(random());
            }
            if (size_t(spot.at + spot.bytes) <= bytes.size()) {
                if (spot.bytes == 2) {
                    Put16(bytes, spot.at, Uint16(value));
                } else {
                    Put32(bytes, spot.at, value);
                }
                said << ", field at " << spot.at << " = " << value;
            }
            break;
        }
        case 8: {
            const size_t length = below(bytes.size() + 1);
            bytes.resize(length);
            said << ", cut to " << length << " bytes";
            if (bytes.empty()) {
                return bytes;
            }
            break;
        }
        default: {
            const size_t extra = 1 + below(64);
            for (size_t i = 0; i < extra; ++i) {
                bytes.push_back(Uint8(random()));
            }
            said << ", " << extra << " bytes added";
            break;
        }
        }
    }
    *description = said.str();
    return bytes;
}

Uint32 SettingOr(const char* name, Uint32 fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? Uint32(std::strtoul(value, nullptr, 0)) : fallback;
}

Uint8 ReasonIndex(const char* text) {
    for (int i = 0; i < REASON_COUNT; ++i) {
        if (std::strcmp(text, REASONS[i]) == 0) {
            return Uint8(i);
        }
    }
    return UNKNOWN_REASON;
}

// The game's way with a picture: read, convert, key out black, draw.
Outcome LoadLikeTheGame(SDL_RWops* file, SDL_Surface* screen) {
    SDL_ClearError();
    SDL_Surface* loaded = SDL_LoadBMP_RW(file, 1);
    if (loaded == nullptr) {
        return SDL_GetError()[0] != '\0' ? FAILED : SILENT;
    }
    SDL_Surface* converted = SDL_DisplayFormat(loaded);
    SDL_FreeSurface(loaded);
    if (converted == nullptr) {
        return SDL_GetError()[0] != '\0' ? FAILED : SILENT;
    }
    SDL_SetColorKey(converted, SDL_SRCCOLORKEY | SDL_RLEACCEL, SDL_MapRGB(screen->format, 0, 0, 0));
    // Bottom-right, as the loading picture goes; SDL may have made a surface
    // of any size from a refused file.
    auto corner = [](int screenSide, int side) {
        return Sint16(std::max<long>(SHRT_MIN, std::min<long>(SHRT_MAX, long(screenSide) - side)));
    };
    SDL_Rect place = {corner(SCREEN_WIDTH, converted->w), corner(SCREEN_HEIGHT, converted->h), 0,
                      0};
    SDL_BlitSurface(converted, nullptr, screen, &place);
    SDL_FreeSurface(converted);
    return LOADED;
}

TEST(BmpMutations, EveryFileIsRefusedOrReadSafely) {
    const Uint32 seed = SettingOr("BADPICS_SEED", DEFAULT_SEED);
    const int cases = int(SettingOr("BADPICS_CASES", DEFAULT_CASES));
    const bool feedRefused = SettingOr("BADPICS_FEED_REFUSED", 0) != 0;
    std::cout << "seed " << seed << ", " << cases << " cases (BADPICS_SEED, BADPICS_CASES)"
              << (feedRefused ? ", refused files fed to SDL too" : "") << std::endl;

    std::vector<std::vector<Uint8>> bases;
    for (const BmpLayout& layout : Bases()) {
        bases.push_back(EncodeBmp(layout, Pattern));
    }
    const std::string folder = MakeTempFolder("mutations");
    ASSERT_FALSE(folder.empty());
    const std::string path = folder + "/case.bmp";

    // Shared with the children: the case they are at, each case's verdict and
    // the outcome of SDL's reading.
    const size_t sharedSize = sizeof(Shared) + 2 * size_t(cases);
    void* memory =
        mmap(nullptr, sharedSize, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    Shared* shared = static_cast<Shared*>(memory);
    Uint8* verdict = shared->verdict;
    Uint8* outcome = verdict + cases;
    std::memset(verdict, NO_VERDICT, size_t(cases));

    std::map<int, std::string> deaths; // case: how its child ended
    int next = 0;
    while (next < cases) {
        const int first = next;
        const ChildResult child = RunInChild([&] {
            if (SDL_Init(SDL_INIT_VIDEO) != 0) {
                std::printf("SDL_Init: %s\n", SDL_GetError());
                return;
            }
            SDL_Surface* screen =
                SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_BPP, SDL_SWSURFACE);
            if (screen == nullptr) {
                std::printf("SDL_SetVideoMode: %s\n", SDL_GetError());
                return;
            }
            for (int i = first; i < cases; ++i) {
                shared->current = i;
                std::string description;
                // A new file each time: ext4 flushes a file rewritten in place.
                unlink(path.c_str());
                if (!WriteFile(path, MakeCase(seed, i, bases, &description))) {
                    std::printf("cannot write %s\n", path.c_str());
                    return;
                }
                SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
                const bool accepted = CheckBmpHeader(file);
                verdict[i] = accepted ? ACCEPTED : ReasonIndex(SDL_GetError());
                if (!accepted && !feedRefused) {
                    SDL_RWclose(file);
                    continue;
                }
                alarm(accepted ? ACCEPTED_TIME_LIMIT : REFUSED_TIME_LIMIT);
                outcome[i] = LoadLikeTheGame(file, screen);
                alarm(0);
            }
        });
        const int at = shared->current;
        if (child.exited && child.status == CHILD_RETURNED && at == cases - 1 &&
            verdict[at] != NO_VERDICT) {
            EXPECT_EQ(child.out, "");
            EXPECT_EQ(child.err, "") << "cases " << first << " to " << at;
            break;
        }
        if (child.exited && child.status == CHILD_RETURNED) {
            ADD_FAILURE() << "the child stopped at case " << at << ": " << child.out;
            break;
        }
        std::ostringstream how;
        if (!child.exited) {
            how << "signal " << child.status << " (" << strsignal(child.status) << ")";
            outcome[at] = child.status == SIGALRM ? HUNG : CRASHED;
        } else {
            how << "exit status " << child.status;
            outcome[at] = REPORTED;
        }
        if (!child.err.empty()) {
            how << "\n" << child.err.substr(0, 4000);
        }
        deaths[at] = how.str();
        next = at + 1;
    }

    // Tally, and fail on every accepted file that SDL did not read safely.
    int accepted = 0;
    int acceptedLoaded = 0;
    int acceptedFailed = 0;
    int byReason[REASON_COUNT + 1] = {};
    int crashByReason[REASON_COUNT + 1] = {};
    int slowByReason[REASON_COUNT + 1] = {};
    int loadedByReason[REASON_COUNT + 1] = {};
    for (int i = 0; i < cases; ++i) {
        if (verdict[i] == ACCEPTED) {
            ++accepted;
            if (outcome[i] == LOADED) {
                ++acceptedLoaded;
            } else if (outcome[i] == FAILED) {
                ++acceptedFailed;
            } else {
                std::string description;
                const std::vector<Uint8> bytes = MakeCase(seed, i, bases, &description);
                const std::string keep = "/tmp/duelstar-badpics-seed" + std::to_string(seed) +
                                         "-case" + std::to_string(i) + ".bmp";
                WriteFile(keep, bytes);
                ADD_FAILURE() << "seed " << seed << " case " << i << " (" << description
                              << "): accepted by the check, then SDL "
                              << (outcome[i] == SILENT ? "failed without a reason"
                                                       : deaths[i].c_str())
                              << "; the file is kept as " << keep;
            }
            continue;
        }
        const int reason = verdict[i] < REASON_COUNT ? verdict[i] : REASON_COUNT;
        EXPECT_LT(verdict[i], REASON_COUNT)
            << "seed " << seed << " case " << i << ": refused without a known reason";
        ++byReason[reason];
        if (outcome[i] == CRASHED || outcome[i] == REPORTED) {
            ++crashByReason[reason];
        } else if (outcome[i] == HUNG) {
            ++slowByReason[reason];
        } else if (outcome[i] == LOADED) {
            ++loadedByReason[reason];
        }
    }

    std::cout << "accepted " << accepted << ": loaded and drawn " << acceptedLoaded
              << ", refused cleanly by SDL " << acceptedFailed << "\n";
    std::cout << "refused " << cases - accepted << "; per reason: refused"
              << (feedRefused ? " / SDL alone then crashed / took over " +
                                    std::to_string(REFUSED_TIME_LIMIT) + " s / loaded it"
                              : "")
              << "\n";
    for (int r = 0; r <= REASON_COUNT; ++r) {
        if (byReason[r] > 0) {
            std::cout << "  " << (r < REASON_COUNT ? REASONS[r] : "(unknown)") << ": "
                      << byReason[r];
            if (feedRefused) {
                std::cout << " / " << crashByReason[r] << " / " << slowByReason[r] << " / "
                          << loadedByReason[r];
            }
            std::cout << "\n";
        }
    }
    std::map<std::string, int> deathKinds;
    for (const auto& death : deaths) {
        // The first line says how the child ended; a sanitizer sums up its
        // report in a line of its own.
        const std::string& text = death.second;
        std::string kind = text.substr(0, text.find('\n'));
        const size_t summary = text.find("SUMMARY: ");
        if (summary != std::string::npos) {
            kind += ", " + text.substr(summary + 9, text.find('\n', summary) - summary - 9);
        }
        deathKinds[kind]++;
    }
    for (const auto& kind : deathKinds) {
        std::cout << "  children ended by " << kind.first << ": " << kind.second << "\n";
    }
    std::cout.flush();
    EXPECT_GT(accepted, 0) << "the generator spoilt every file";
    EXPECT_GT(acceptedLoaded, 0);

    munmap(memory, sharedSize);
    RemoveTree(folder);
}

} // namespace
