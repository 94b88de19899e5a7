// SPDX-License-Identifier: MIT
#include "GameFixture.h"

#include "tests/QuitProbe.h"

#include <iostream>
#include <sstream>

namespace {

constexpr Milliseconds ESCAPE_LIMIT{5000};
constexpr double MILLISECONDS_PER_SECOND = 1000.0;

} // namespace

void GameFixture::SetUp() {
    std::cout << "The game runs on " << LibraryName(LibraryUnderTest()) << std::endl;
    ASSERT_TRUE(display.Ready()) << display.Error();
    run = std::make_unique<GameRun>(display, How());
    ASSERT_EQ(run->Error(), "");
    ASSERT_TRUE(run->WaitForWindow()) << "no window titled Duelstar; " << Describe();
    std::string why;
    EXPECT_TRUE(run->LoadsLibraryUnderTest(why)) << why;
}

std::string GameFixture::Describe() {
    std::ostringstream text;
    Process& game = run->Game();
    if (!game.HasEnded()) {
        text << "the game still runs";
    } else if (game.Exited()) {
        text << "the game exited with status " << game.Status();
    } else {
        text << "the game was ended by signal " << game.Status();
    }
    text << "; stdout: \"" << game.Out() << "\"; stderr: \"" << game.Err() << "\"";
    return text.str();
}

::testing::AssertionResult GameFixture::Screenshot(Frame& frame) {
    std::string why;
    if (run->Screenshot(frame, why)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << why << "; " << Describe();
}

bool GameFixture::Hold(const std::vector<std::string>& keys, Milliseconds time) {
    std::vector<std::string> chain{"keydown"};
    chain.insert(chain.end(), keys.begin(), keys.end());
    chain.push_back("sleep");
    chain.push_back(std::to_string(double(time.count()) / MILLISECONDS_PER_SECOND));
    chain.push_back("keyup");
    chain.insert(chain.end(), keys.begin(), keys.end());
    return run->Keys(chain);
}

void GameFixture::EndWithEscape() {
    ASSERT_TRUE(run->Keys({"key", "Escape"}));
    ExpectQuietEnd(ESCAPE_LIMIT, "ESCAPE");
}

void GameFixture::ExpectQuietEnd(Milliseconds limit, const char* cause) {
    ASSERT_TRUE(run->WaitForEnd(limit)) << cause << " did not end the game; " << Describe();
    Process& game = run->Game();
    EXPECT_TRUE(game.Exited()) << Describe();
    EXPECT_EQ(game.Status(), 0);
    EXPECT_EQ(game.Out(), "");
    const std::string err = game.Err();
    if (How().quitProbe) {
        EXPECT_EQ(err.rfind(QUIT_PROBE_LINE, 0), 0u) << "SDL_Quit did not run; " << Describe();
        EXPECT_EQ(err.find('\n'), err.size() - 1) << "more than the probe's line; " << Describe();
    } else {
        EXPECT_EQ(err, "");
    }
}
