// SPDX-License-Identifier: MIT
#include "Options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ostream>

namespace {

constexpr int HELP_EXIT_STATUS = 0;

constexpr const char* USAGE =
    "Usage: duelstar [OPTION]...\n"
    "A space duel for two: RED on the right steers with t g f h and fires with s,\n"
    "BLUE on the left steers with the cursor keys and fires with RETURN.\n"
    "p saves screenshot.bmp, m switches the sound off and on, ESCAPE quits.\n"
    "\n"
    "Options:\n"
    "  -h, --help            show this help and exit\n"
    "  --cpu red|blue        the computer flies that ship; give it twice for a\n"
    "                        demo match. Alone, the player may use either keys\n"
    "  --level easy|normal|hard\n"
    "                        how well the computer flies (normal)\n"
    "  --seed N              the computer's dice (0 to 4294967295), for a\n"
    "                        repeatable flight; otherwise from the clock\n"
    "\n"
    "With no option, two players share one keyboard (and any gamepads).\n";

bool Is(const char* arg, const char* name) { return std::strcmp(arg, name) == 0; }

// One line naming what was wrong, then the usage, so the player sees both
// the mistake and the right form.
bool Refuse(std::ostream& err, const char* why, const char* arg, int& status) {
    err << "duelstar: " << why << " '" << arg << "'\n" << USAGE;
    err.flush();
    status = USAGE_EXIT_STATUS;
    return false;
}

// What one of the computer pilot's options made of the arguments.
enum class PilotOption { NOT_MINE, TAKEN, REFUSED };

bool ParseSeed(const char* text, std::uint32_t& seed) {
    if (text[0] < '0' || text[0] > '9') {
        return false; // strtoul would take a sign or blanks
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || v > 0xFFFFFFFFull) {
        return false;
    }
    seed = std::uint32_t(v);
    return true;
}

// --cpu, --level and --seed, each with its value as the next argument; i moves
// past what is taken.
PilotOption ReadPilotOption(int argc, const char* const argv[], int& i, Options& options,
                            std::ostream& err, int& status) {
    const char* arg = argv[i];
    if (!Is(arg, "--cpu") && !Is(arg, "--level") && !Is(arg, "--seed")) {
        return PilotOption::NOT_MINE;
    }
    if (i + 1 >= argc) {
        Refuse(err, "missing value for", arg, status);
        return PilotOption::REFUSED;
    }
    const char* value = argv[++i];
    bool ok = true;
    if (Is(arg, "--cpu")) {
        ok = Is(value, "red") || Is(value, "blue");
        options.cpuRed = options.cpuRed || Is(value, "red");
        options.cpuBlue = options.cpuBlue || Is(value, "blue");
    } else if (Is(arg, "--level")) {
        ok = Is(value, "easy") || Is(value, "normal") || Is(value, "hard");
        options.level = Is(value, "easy")   ? PilotLevel::EASY
                        : Is(value, "hard") ? PilotLevel::HARD
                                            : PilotLevel::NORMAL;
    } else {
        ok = ParseSeed(value, options.seed);
        options.seedGiven = ok;
    }
    if (!ok) {
        const char* why = Is(arg, "--cpu")     ? "--cpu takes red or blue, not"
                          : Is(arg, "--level") ? "--level takes easy, normal or hard, not"
                                               : "--seed takes a number up to 4294967295, not";
        Refuse(err, why, value, status);
        return PilotOption::REFUSED;
    }
    return PilotOption::TAKEN;
}

} // namespace

bool ReadOptions(int argc, const char* const argv[], Options& options, std::ostream& out,
                 std::ostream& err, int& status) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (Is(arg, "--help") || Is(arg, "-h")) {
            options.help = true;
            out << USAGE;
            out.flush();
            status = HELP_EXIT_STATUS;
            return false;
        }
        const PilotOption pilot = ReadPilotOption(argc, argv, i, options, err, status);
        if (pilot == PilotOption::REFUSED) {
            return false;
        }
        if (pilot == PilotOption::TAKEN) {
            continue;
        }
        if (arg[0] == '-') {
            return Refuse(err, "unknown option", arg, status);
        }
        return Refuse(err, "unexpected argument", arg, status);
    }
    return true;
}
