// SPDX-License-Identifier: MIT
// Options: what the player asked for on the command line. With no arguments
// the game is the duel for two players at one keyboard, as it always was.
#pragma once

#include "../bot/PilotLevel.h"

#include <cstdint>
#include <iosfwd>

// The status of a run that ended on a command line it could not take.
constexpr int USAGE_EXIT_STATUS = 2;

// Where an online match is played from; OFFLINE is both players at one machine.
enum class NetRole { OFFLINE, HOST, JOIN };

constexpr int HOST_NAME_SIZE = 256; // bytes, the longest name DNS allows and its end

struct Options {
    bool help = false; // the usage was asked for; nothing is played

    NetRole role = NetRole::OFFLINE;
    char peerName[HOST_NAME_SIZE] = {}; // the host to join
    int port = 0;                       // 0: the default port
    int delay = -1;                     // frames; -1: the default
    // The computer pilot: which ships it flies, how well, and with which dice.
    bool cpuRed = false;
    bool cpuBlue = false;
    PilotLevel level = PilotLevel::NORMAL;
    bool seedGiven = false; // otherwise the dice are seeded from the clock
    std::uint32_t seed = 0;
};

// Fills options from the arguments after the program's name. False when the
// run is over already: --help wrote the usage to out (status 0), or an
// argument was refused with one line naming it and the usage on err (status
// USAGE_EXIT_STATUS); status holds which.
bool ReadOptions(int argc, const char* const argv[], Options& options, std::ostream& out,
                 std::ostream& err, int& status);
