// SPDX-License-Identifier: MIT
// The command line as the main routine reads it: what each argument asks for,
// and which are refused with status 2.
#include "app/Options.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Reading {
    bool play;
    int status;
    Options options;
    std::string out;
    std::string err;
};

Reading Read(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "duelstar");
    Reading r{};
    std::ostringstream out;
    std::ostringstream err;
    r.status = -1;
    r.play = ReadOptions(int(arguments.size()), arguments.data(), r.options, out, err, r.status);
    r.out = out.str();
    r.err = err.str();
    return r;
}

TEST(Options, NoArgumentsPlaysTheDuelAndSaysNothing) {
    const Reading r = Read({});
    EXPECT_TRUE(r.play);
    EXPECT_FALSE(r.options.help);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
}

TEST(Options, HelpStopsAtOnceEvenBeforeAMistake) {
    const Reading r = Read({"--help", "--no-such-option"});
    EXPECT_FALSE(r.play);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.options.help);
    EXPECT_EQ(r.err, "");
}

TEST(Options, TheFirstMistakeIsNamedAndNothingAfterItIsRead) {
    const Reading r = Read({"--nope", "--help"});
    EXPECT_FALSE(r.play);
    EXPECT_EQ(r.status, USAGE_EXIT_STATUS);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "duelstar: unknown option '--nope'");
}

} // namespace

namespace {

// The computer pilot's options: each well-formed line and what it sets.
TEST(Options, TheComputerPilotsOptions) {
    struct Case {
        std::vector<const char*> arguments;
        bool red;
        bool blue;
        PilotLevel level;
        bool seedGiven;
        std::uint32_t seed;
    };
    const Case cases[] = {
        {{}, false, false, PilotLevel::NORMAL, false, 0},
        {{"--cpu", "blue"}, false, true, PilotLevel::NORMAL, false, 0},
        {{"--cpu", "red", "--level", "easy"}, true, false, PilotLevel::EASY, false, 0},
        {{"--level", "hard", "--cpu", "red", "--cpu", "blue"},
         true,
         true,
         PilotLevel::HARD,
         false,
         0},
        {{"--cpu", "blue", "--cpu", "blue", "--seed", "4294967295"},
         false,
         true,
         PilotLevel::NORMAL,
         true,
         4294967295u},
        {{"--seed", "0"}, false, false, PilotLevel::NORMAL, true, 0},
    };
    for (const Case& c : cases) {
        const Reading r = Read(c.arguments);
        ASSERT_TRUE(r.play) << r.err;
        EXPECT_EQ(r.options.cpuRed, c.red);
        EXPECT_EQ(r.options.cpuBlue, c.blue);
        EXPECT_EQ(r.options.level, c.level);
        EXPECT_EQ(r.options.seedGiven, c.seedGiven);
        EXPECT_EQ(r.options.seed, c.seed);
        EXPECT_EQ(r.err, "");
    }
}

// A malformed pilot option is refused like any unknown one: its first line
// names what was wrong, the usage follows, status 2.
TEST(Options, MalformedComputerPilotOptionsAreRefused) {
    const std::pair<std::vector<const char*>, const char*> cases[] = {
        {{"--cpu"}, "duelstar: missing value for '--cpu'"},
        {{"--cpu", "green"}, "duelstar: --cpu takes red or blue, not 'green'"},
        {{"--cpu", "RED"}, "duelstar: --cpu takes red or blue, not 'RED'"},
        {{"--level", "insane"}, "duelstar: --level takes easy, normal or hard, not 'insane'"},
        {{"--level"}, "duelstar: missing value for '--level'"},
        {{"--seed", "-1"}, "duelstar: --seed takes a number up to 4294967295, not '-1'"},
        {{"--seed", "4294967296"},
         "duelstar: --seed takes a number up to 4294967295, not '4294967296'"},
        {{"--seed", "12x"}, "duelstar: --seed takes a number up to 4294967295, not '12x'"},
        {{"--cpu", "blue", "extra"}, "duelstar: unexpected argument 'extra'"},
    };
    for (const auto& [arguments, line] : cases) {
        const Reading r = Read(arguments);
        EXPECT_FALSE(r.play) << line;
        EXPECT_EQ(r.status, USAGE_EXIT_STATUS) << line;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), line);
        EXPECT_NE(r.err.find("--cpu red|blue"), std::string::npos) << "no usage after " << line;
    }
}

} // namespace
