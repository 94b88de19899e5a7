// SPDX-License-Identifier: MIT
#include "Options.h"

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
        if (arg[0] == '-') {
            return Refuse(err, "unknown option", arg, status);
        }
        return Refuse(err, "unexpected argument", arg, status);
    }
    return true;
}
