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

TEST(Options, VersionPrintsTheGamesVersion) {
    const Reading r = Read({"--version"});
    EXPECT_FALSE(r.play);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("duelstar ", 0), 0u);
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1);
}

struct OnlineCase {
    const char* name;
    std::vector<const char*> arguments;
    NetRole role;
    const char* peer;
    int port;
    int delay;
};

class OnlineOptions : public ::testing::TestWithParam<OnlineCase> {};

TEST_P(OnlineOptions, AreRead) {
    const OnlineCase& c = GetParam();
    const Reading r = Read(c.arguments);
    ASSERT_TRUE(r.play) << r.err;
    EXPECT_EQ(r.options.role, c.role);
    EXPECT_STREQ(r.options.peerName, c.peer);
    EXPECT_EQ(r.options.port, c.port);
    EXPECT_EQ(r.options.delay, c.delay);
}

INSTANTIATE_TEST_SUITE_P(
    Net, OnlineOptions,
    ::testing::Values(
        OnlineCase{"Nothing", {}, NetRole::OFFLINE, "", 7117, 2},
        OnlineCase{"HostOnTheDefaultPort", {"--host"}, NetRole::HOST, "", 7117, 2},
        OnlineCase{"HostOnAPort", {"--host", "9000"}, NetRole::HOST, "", 9000, 2},
        OnlineCase{"HostThenDelay", {"--host", "--delay", "0"}, NetRole::HOST, "", 7117, 0},
        OnlineCase{"Join", {"--join", "duel.example"}, NetRole::JOIN, "duel.example", 7117, 2},
        OnlineCase{"JoinAPort",
                   {"--delay", "8", "--join", "10.0.0.2:7200"},
                   NetRole::JOIN,
                   "10.0.0.2",
                   7200,
                   8}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    std::vector<const char*> arguments;
    const char* line; // the first line on standard error
};

class RefusedOptions : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedOptions, NameWhatWasWrongWithStatusTwo) {
    const RefusedCase& c = GetParam();
    const Reading r = Read(c.arguments);
    EXPECT_FALSE(r.play);
    EXPECT_EQ(r.status, USAGE_EXIT_STATUS);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), c.line);
    EXPECT_NE(r.err.find("Usage: duelstar"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Net, RefusedOptions,
    ::testing::Values(
        RefusedCase{
            "PortZero", {"--host", "0"}, "duelstar: --host needs a port from 1 to 65535, not '0'"},
        RefusedCase{"PortTooBig",
                    {"--host", "65536"},
                    "duelstar: --host needs a port from 1 to 65535, not '65536'"},
        RefusedCase{"PortNotANumber",
                    {"--host", "80x"},
                    "duelstar: --host needs a port from 1 to 65535, not '80x'"},
        RefusedCase{
            "JoinNothing", {"--join"}, "duelstar: --join needs HOST or HOST:PORT after '--join'"},
        RefusedCase{"JoinEmptyName",
                    {"--join", ":7117"},
                    "duelstar: --join needs HOST or HOST:PORT (port 1 to 65535), not ':7117'"},
        RefusedCase{"JoinBadPort",
                    {"--join", "a:b"},
                    "duelstar: --join needs HOST or HOST:PORT (port 1 to 65535), not 'a:b'"},
        RefusedCase{"HostAndJoin",
                    {"--host", "--join", "a"},
                    "duelstar: only one of --host and --join, once: '--join'"},
        RefusedCase{"DelayTooLong",
                    {"--host", "--delay", "9"},
                    "duelstar: --delay needs a number of frames from 0 to 8, not '9'"},
        RefusedCase{"DelayNegative",
                    {"--host", "--delay", "-1"},
                    "duelstar: --delay needs a number of frames from 0 to 8, not '-1'"},
        RefusedCase{"ComputerOnline",
                    {"--cpu", "blue", "--host"},
                    "duelstar: --cpu is for a match on one machine, not with '--host'"},
        RefusedCase{"DelayAlone",
                    {"--delay", "3"},
                    "duelstar: --delay is for online play, with --host or --join: '--delay'"}),
    [](const auto& info) { return std::string(info.param.name); });

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
