// SPDX-License-Identifier: MIT
// The keyboard poll: which held keys and commands a batch of SDL events leaves,
// and the two ways it ends the game.
#include "game/Keyboard.h"
#include "ChildProcess.h"
#include "RaisedCommands.h"
#include "game/Screen.h"
#include "game/Startup.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct KeyEvent {
    Uint8 type; // SDL_KEYDOWN or SDL_KEYUP
    SDLKey symbol;
    SDLMod modifiers;
};

KeyEvent Down(SDLKey symbol, SDLMod modifiers = KMOD_NONE) {
    return {SDL_KEYDOWN, symbol, modifiers};
}
KeyEvent Up(SDLKey symbol) { return {SDL_KEYUP, symbol, KMOD_NONE}; }

void Push(const KeyEvent& key) {
    SDL_Event event{};
    event.type = key.type;
    event.key.type = key.type;
    event.key.state = key.type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key.symbol;
    event.key.keysym.mod = key.modifiers;
    ASSERT_EQ(SDL_PushEvent(&event), 0) << SDL_GetError();
}

class Keyboard : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
    static void TearDownTestSuite() { SDL_Quit(); }
    void SetUp() override {
        SDL_Event stale;
        while (SDL_PollEvent(&stale)) {
        }
    }
};

struct PollCase {
    const char* name;
    std::vector<KeyEvent> events;
    std::string raised;
};

void PrintTo(const PollCase& c, std::ostream* os) { *os << c.name; }

class KeyboardPoll : public Keyboard, public ::testing::WithParamInterface<PollCase> {};

TEST_P(KeyboardPoll, RaisesTheCommandsOfTheKeysHeldAfterTheEvents) {
    KeyState keys;
    Controls controls;
    for (const KeyEvent& e : GetParam().events) {
        Push(e);
    }
    PollKeyboard(keys, controls);
    EXPECT_EQ(Raised(controls), GetParam().raised);
    EXPECT_FALSE(keys.keyP) << "p counts only in the poll that sees its key-down";
    EXPECT_FALSE(keys.keyM) << "m counts only in the poll that sees its key-down";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeyboardPoll,
    ::testing::Values(
        PollCase{"Nothing", {}, ""}, PollCase{"P", {Down(SDLK_p)}, "screenshot"},
        PollCase{"T", {Down(SDLK_t)}, "redUp"}, PollCase{"G", {Down(SDLK_g)}, "redDown"},
        PollCase{"F", {Down(SDLK_f)}, "redLeft"}, PollCase{"H", {Down(SDLK_h)}, "redRight"},
        PollCase{"S", {Down(SDLK_s)}, "redFire"}, PollCase{"Up", {Down(SDLK_UP)}, "blueUp"},
        PollCase{"Down", {Down(SDLK_DOWN)}, "blueDown"},
        PollCase{"Left", {Down(SDLK_LEFT)}, "blueLeft"},
        PollCase{"Right", {Down(SDLK_RIGHT)}, "blueRight"},
        PollCase{"Return", {Down(SDLK_RETURN)}, "blueFire"},
        PollCase{"OtherKeysIgnored", {Down(SDLK_a), Down(SDLK_SPACE), Down(SDLK_KP8)}, ""},
        PollCase{"ModifiersIgnored",
                 {Down(SDLK_t, KMOD_LSHIFT), Down(SDLK_UP, SDLMod(KMOD_CTRL | KMOD_CAPS))},
                 "redUp blueUp"},
        PollCase{"PressAndReleaseInOnePollHasNoEffect", {Down(SDLK_s), Up(SDLK_s)}, ""},
        PollCase{"PPressedAndReleasedStillShootsOnce", {Down(SDLK_p), Up(SDLK_p)}, "screenshot"},
        PollCase{"PTwiceInOnePoll", {Down(SDLK_p), Down(SDLK_p)}, "screenshot"},
        PollCase{"PReleaseAloneChangesNothing", {Up(SDLK_p)}, ""},
        PollCase{"M", {Down(SDLK_m)}, "mute"},
        PollCase{"MPressedAndReleasedStillSwitchesOnce", {Down(SDLK_m), Up(SDLK_m)}, "mute"},
        PollCase{"MReleaseAloneChangesNothing", {Up(SDLK_m)}, ""},
        PollCase{"BothPlayersAtOnce",
                 {Down(SDLK_s), Down(SDLK_h), Down(SDLK_RETURN), Down(SDLK_DOWN)},
                 "redFire redRight blueFire blueDown"},
        PollCase{"EscapeReleaseIgnored", {Up(SDLK_ESCAPE)}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Keyboard, HeldKeysCountInEveryPollUntilReleased) {
    KeyState keys;
    Controls controls;
    Push(Down(SDLK_s));
    Push(Down(SDLK_LEFT));
    PollKeyboard(keys, controls);
    for (int frame = 0; frame < 3; ++frame) {
        controls.Clear();
        PollKeyboard(keys, controls);
        EXPECT_EQ(Raised(controls), "redFire blueLeft") << "frame " << frame;
    }
    Push(Up(SDLK_s));
    controls.Clear();
    PollKeyboard(keys, controls);
    EXPECT_EQ(Raised(controls), "blueLeft");
    EXPECT_FALSE(keys.keyS);
    EXPECT_TRUE(keys.keyLeft);
}

TEST_F(Keyboard, HoldingPTakesNoFurtherScreenshots) {
    KeyState keys;
    Controls controls;
    Push(Down(SDLK_p));
    PollKeyboard(keys, controls);
    EXPECT_TRUE(controls.screenshot);
    controls.Clear();
    PollKeyboard(keys, controls);
    EXPECT_FALSE(controls.screenshot);
}

// Held, m switches the sound once: the next polls leave it as it is.
TEST_F(Keyboard, HoldingMSwitchesTheSoundOnlyOnce) {
    KeyState keys;
    Controls controls;
    Push(Down(SDLK_m));
    PollKeyboard(keys, controls);
    EXPECT_TRUE(controls.mute);
    controls.Clear();
    PollKeyboard(keys, controls);
    EXPECT_FALSE(controls.mute);
}

TEST_F(Keyboard, PollRaisesButNeverLowersCommands) {
    KeyState keys;
    Controls controls;
    controls.blueFire = true;
    controls.screenshot = true;
    PollKeyboard(keys, controls);
    EXPECT_EQ(Raised(controls), "screenshot blueFire");
    controls.Clear();
    EXPECT_EQ(Raised(controls), "");
}

TEST_F(Keyboard, NonKeyEventsAreIgnored) {
    KeyState keys;
    Controls controls;
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    ASSERT_EQ(SDL_PushEvent(&motion), 0);
    Push(Down(SDLK_g));
    PollKeyboard(keys, controls);
    EXPECT_EQ(Raised(controls), "redDown");
}

constexpr int MOUSE_MOVES = 300; // far more than SDL's event queue holds (about 128)
constexpr int SCREEN_BPP = 16;   // bits per pixel, as the game's screen

// The mouse is moved through SDL itself, as a driver reports it: switched off,
// its moves never reach the queue, and the keys behind them all do. The screen
// opens after the switch, as in the game, and must not switch them on again.
TEST_F(Keyboard, MouseMovesNeverCrowdOutKeysOnceUnreadEventsAreOff) {
    IgnoreUnreadEvents();
    ASSERT_NE(SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_BPP, SDL_SWSURFACE), nullptr)
        << SDL_GetError();
    for (int move = 0; move < MOUSE_MOVES; ++move) {
        SDL_WarpMouse(Uint16(move % SCREEN_WIDTH), Uint16(move % SCREEN_HEIGHT));
    }
    Push(Down(SDLK_DOWN));
    Push(Up(SDLK_DOWN));
    Push(Down(SDLK_f));
    KeyState keys;
    Controls controls;
    PollKeyboard(keys, controls);
    EXPECT_EQ(Raised(controls), "redLeft");
    for (Uint8 type : {SDL_KEYDOWN, SDL_KEYUP, SDL_QUIT}) {
        EXPECT_EQ(SDL_EventState(type, SDL_QUERY), SDL_ENABLE) << "event type " << int(type);
    }
}

// Each way out, pushed behind a held key: the poll ends the process at once
// with status 0 and prints nothing.
struct ExitCase {
    const char* name;
    Uint8 type;
};

void PrintTo(const ExitCase& c, std::ostream* os) { *os << c.name; }

class KeyboardExit : public Keyboard, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(KeyboardExit, EndsWithStatusZeroAndNoOutput) {
    const ChildResult r = RunInChild([] {
        KeyState keys;
        Controls controls;
        Push(Down(SDLK_s));
        SDL_Event event{};
        event.type = GetParam().type;
        event.key.type = GetParam().type;
        event.key.keysym.sym = SDLK_ESCAPE;
        event.key.keysym.mod = KMOD_LSHIFT;
        SDL_PushEvent(&event);
        PollKeyboard(keys, controls);
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, KeyboardExit,
                         ::testing::Values(ExitCase{"Escape", SDL_KEYDOWN},
                                           ExitCase{"QuitRequest", SDL_QUIT}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
