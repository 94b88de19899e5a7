// SPDX-License-Identifier: MIT
#include "Options.h"

#include "../net/EnetLink.h"
#include "../net/Session.h"

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
    "      --version         print the version and exit\n"
    "\n"
    "Online, one ship a machine (each player steers with either key set):\n"
    "      --host [PORT]     wait for the other player on UDP PORT (default 7117);\n"
    "                        the host flies RED\n"
    "      --join HOST[:PORT]\n"
    "                        play against the game waiting at HOST; you fly BLUE\n"
    "      --delay N         frames (0 to 8, default 2) between a key and its ship\n"
    "                        moving; the host's choice holds for both\n"
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

// A whole number from min to max, and nothing else.
bool ReadNumber(const char* text, int min, int max, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || text[0] == '-' || text[0] == '+' || v < min || v > max) {
        return false;
    }
    value = int(v);
    return true;
}

constexpr int PORT_MIN = 1;
constexpr int PORT_MAX = 65535;

// The online options; 1 when arg was one of them (at i, with any value it took
// from argv), 0 when it was not, -1 when it was refused.
int ReadOnlineOption(int argc, const char* const argv[], int& i, Options& options,
                     std::ostream& err, int& status) {
    constexpr int TAKEN = 1;
    constexpr int NOT_MINE = 0;
    constexpr int REFUSED = -1;
    const char* arg = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    const bool hostOrJoin = Is(arg, "--host") || Is(arg, "--join");
    if (hostOrJoin && options.role != NetRole::OFFLINE) {
        Refuse(err, "only one of --host and --join, once:", arg, status);
        return REFUSED;
    }
    if (Is(arg, "--host")) {
        options.role = NetRole::HOST;
        // The port is optional: a next argument that is an option is not one.
        if (next != nullptr && next[0] != '-') {
            i += 1;
            if (!ReadNumber(next, PORT_MIN, PORT_MAX, options.port)) {
                Refuse(err, "--host needs a port from 1 to 65535, not", next, status);
                return REFUSED;
            }
        }
        return TAKEN;
    }
    if (Is(arg, "--join")) {
        if (next == nullptr) {
            Refuse(err, "--join needs HOST or HOST:PORT after", arg, status);
            return REFUSED;
        }
        i += 1;
        const char* colon = std::strrchr(next, ':');
        const size_t nameLength = colon == nullptr ? std::strlen(next) : size_t(colon - next);
        if (nameLength == 0 || nameLength >= sizeof options.peerName ||
            (colon != nullptr && !ReadNumber(colon + 1, PORT_MIN, PORT_MAX, options.port))) {
            Refuse(err, "--join needs HOST or HOST:PORT (port 1 to 65535), not", next, status);
            return REFUSED;
        }
        std::memcpy(options.peerName, next, nameLength);
        options.peerName[nameLength] = '\0';
        options.role = NetRole::JOIN;
        return TAKEN;
    }
    if (Is(arg, "--delay")) {
        if (next == nullptr || !ReadNumber(next, 0, MAX_INPUT_DELAY, options.delay)) {
            Refuse(err, "--delay needs a number of frames from 0 to 8, not",
                   next == nullptr ? "" : next, status);
            return REFUSED;
        }
        i += 1;
        return TAKEN;
    }
    return NOT_MINE;
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
        if (Is(arg, "--version")) {
            out << "duelstar " << DUELSTAR_VERSION << '\n';
            out.flush();
            status = HELP_EXIT_STATUS;
            return false;
        }
        const int online = ReadOnlineOption(argc, argv, i, options, err, status);
        if (online < 0) {
            return false;
        }
        if (online > 0) {
            continue;
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
    // Online, each machine has its own player; the computer flies only at one.
    if ((options.cpuRed || options.cpuBlue) && options.role != NetRole::OFFLINE) {
        return Refuse(err, "--cpu is for a match on one machine, not with",
                      options.role == NetRole::HOST ? "--host" : "--join", status);
    }
    if (options.delay >= 0 && options.role == NetRole::OFFLINE) {
        return Refuse(err, "--delay is for online play, with --host or --join:", "--delay", status);
    }
    if (options.port == 0) {
        options.port = DEFAULT_NET_PORT;
    }
    if (options.delay < 0) {
        options.delay = DEFAULT_INPUT_DELAY;
    }
    return true;
}
