// SPDX-License-Identifier: MIT
// The command line as the main routine reads it: what each argument asks for,
// and which are refused with status 2.
#include "app/Options.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
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
