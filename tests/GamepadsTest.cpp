// SPDX-License-Identifier: MIT
// The gamepads beside the keyboard: joystick events pushed through SDL's own
// event queue on the dummy driver, and the ship commands the poll raises.
#include "game/Gamepads.h"
#include "RaisedCommands.h"
#include "game/Keyboard.h"
#include "game/Startup.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int RED_PAD = 0;      // SDL's index of the pad seated first
constexpr int BLUE_PAD = 1;     // and of the second
constexpr int UNSEATED_PAD = 2; // a third pad, which plays no ship
constexpr Sint16 PAST_HALF = 16500;
constexpr Sint16 SHORT_OF_HALF = 16000;
constexpr Sint16 FULL = 32767;

SDL_Event Hat(int pad, Uint8 value, Uint8 hat = 0) {
    SDL_Event event{};
    event.type = SDL_JOYHATMOTION;
    event.jhat.type = SDL_JOYHATMOTION;
    event.jhat.which = Uint8(pad);
    event.jhat.hat = hat;
    event.jhat.value = value;
    return event;
}

SDL_Event Axis(int pad, Uint8 axis, Sint16 value) {
    SDL_Event event{};
    event.type = SDL_JOYAXISMOTION;
    event.jaxis.type = SDL_JOYAXISMOTION;
    event.jaxis.which = Uint8(pad);
    event.jaxis.axis = axis;
    event.jaxis.value = value;
    return event;
}

SDL_Event Button(int pad, Uint8 button, bool pressed) {
    SDL_Event event{};
    event.type = pressed ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    event.jbutton.type = event.type;
    event.jbutton.which = Uint8(pad);
    event.jbutton.button = button;
    event.jbutton.state = pressed ? SDL_PRESSED : SDL_RELEASED;
    return event;
}

SDL_Event Key(SDLKey symbol, bool pressed) {
    SDL_Event event{};
    event.type = pressed ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.type = event.type;
    event.key.state = pressed ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = symbol;
    return event;
}

void PushAll(const std::vector<SDL_Event>& events) {
    for (SDL_Event event : events) {
        ASSERT_EQ(SDL_PushEvent(&event), 0) << SDL_GetError();
    }
}

class Pads : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
    static void TearDownTestSuite() { SDL_Quit(); }
    void SetUp() override {
        SDL_Event stale;
        while (SDL_PollEvent(&stale)) {
        }
        ASSERT_TRUE(pads.Attach(RED_PAD));
        ASSERT_TRUE(pads.Attach(BLUE_PAD));
    }

    // One frame: the events in the queue, then the commands they leave.
    std::string Poll(const std::vector<SDL_Event>& events) {
        PushAll(events);
        Controls controls;
        PollInput(keys, pads, controls);
        return Raised(controls);
    }

    Gamepads pads;
    KeyState keys;
};

struct PadCase {
    const char* name;
    std::vector<SDL_Event> events;
    std::string raised;
};

void PrintTo(const PadCase& c, std::ostream* os) { *os << c.name; }

class PadPoll : public Pads, public ::testing::WithParamInterface<PadCase> {};

TEST_P(PadPoll, RaisesWhatThePadsHoldAfterTheEvents) {
    EXPECT_EQ(Poll(GetParam().events), GetParam().raised);
    // Held, it counts in the next frame too, with no new event.
    EXPECT_EQ(Poll({}), GetParam().raised);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PadPoll,
    ::testing::Values(
        PadCase{"Nothing", {}, ""}, PadCase{"HatUp", {Hat(RED_PAD, SDL_HAT_UP)}, "redUp"},
        PadCase{
            "HatLeftDownOfTheSecondPad", {Hat(BLUE_PAD, SDL_HAT_LEFTDOWN)}, "blueDown blueLeft"},
        PadCase{
            "HatCentredAgain", {Hat(RED_PAD, SDL_HAT_RIGHT), Hat(RED_PAD, SDL_HAT_CENTERED)}, ""},
        PadCase{"SecondHatIsNoDpad", {Hat(RED_PAD, SDL_HAT_UP, 1)}, ""},
        PadCase{"EachOfTheFirstFourButtonsFires",
                {Button(RED_PAD, 0, true), Button(RED_PAD, 1, true), Button(RED_PAD, 2, true),
                 Button(RED_PAD, 3, true), Button(BLUE_PAD, 3, true)},
                "redFire blueFire"},
        PadCase{"FifthButtonDoesNotFire", {Button(RED_PAD, 4, true)}, ""},
        PadCase{"OneOfTwoFireButtonsReleasedStillFires",
                {Button(BLUE_PAD, 0, true), Button(BLUE_PAD, 2, true), Button(BLUE_PAD, 0, false)},
                "blueFire"},
        PadCase{"StickPastHalf",
                {Axis(RED_PAD, 0, -PAST_HALF), Axis(RED_PAD, 1, PAST_HALF),
                 Axis(BLUE_PAD, 0, PAST_HALF), Axis(BLUE_PAD, 1, -FULL)},
                "redDown redLeft blueUp blueRight"},
        PadCase{"StickShortOfHalf",
                {Axis(RED_PAD, 0, -SHORT_OF_HALF), Axis(RED_PAD, 1, SHORT_OF_HALF),
                 Axis(BLUE_PAD, 0, SHORT_OF_HALF), Axis(BLUE_PAD, 1, -SHORT_OF_HALF)},
                ""},
        PadCase{"StickBackToTheCentre", {Axis(RED_PAD, 1, -FULL), Axis(RED_PAD, 1, 0)}, ""},
        PadCase{"OtherAxesDoNotSteer", {Axis(RED_PAD, 2, FULL), Axis(RED_PAD, 3, -FULL)}, ""},
        PadCase{"ThirdPadPlaysNoShip",
                {Hat(UNSEATED_PAD, SDL_HAT_UP), Button(UNSEATED_PAD, 0, true),
                 Axis(UNSEATED_PAD, 0, FULL)},
                ""},
        // What SDL sends as a pad goes away: its held buttons up, its stick and
        // d-pad back to the centre.
        PadCase{"PadRemovedReleasesWhatItHeld",
                {Hat(RED_PAD, SDL_HAT_UP), Button(RED_PAD, 1, true), Axis(RED_PAD, 0, FULL),
                 Hat(RED_PAD, SDL_HAT_CENTERED), Button(RED_PAD, 1, false), Axis(RED_PAD, 0, 0)},
                ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Pads, PadAndKeyboardPlayTogether) {
    EXPECT_EQ(Poll({Key(SDLK_s, true), Hat(BLUE_PAD, SDL_HAT_LEFT), Key(SDLK_UP, true)}),
              "redFire blueUp blueLeft");
    EXPECT_EQ(Poll({Button(BLUE_PAD, 0, true), Key(SDLK_s, false)}), "blueFire blueUp blueLeft");
}

TEST_F(Pads, PadNeverReleasesAHeldKey) {
    EXPECT_EQ(Poll({Key(SDLK_t, true), Hat(RED_PAD, SDL_HAT_UP), Key(SDLK_RETURN, true),
                    Button(BLUE_PAD, 0, true)}),
              "redUp blueFire");
    EXPECT_EQ(Poll({Hat(RED_PAD, SDL_HAT_CENTERED), Button(BLUE_PAD, 0, false)}), "redUp blueFire");
    EXPECT_TRUE(keys.keyT);
    EXPECT_TRUE(keys.keyReturn);
}

TEST_F(Pads, BothSeatsTakenLeavesNoneForAThirdPad) {
    EXPECT_FALSE(pads.Attach(UNSEATED_PAD));
    EXPECT_EQ(pads.GetSeat(0).device, RED_PAD);
    EXPECT_EQ(pads.GetSeat(1).device, BLUE_PAD);
}

// However many pads this machine has (none where the tests run), the first two
// take the seats, RED's first.
TEST(PadsOpen, SeatsThePadsPresentAtStart) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    Gamepads pads;
    pads.Open();
    const int present = SDL_NumJoysticks();
    for (int seat = 0; seat < MAX_PADS; ++seat) {
        EXPECT_EQ(pads.GetSeat(seat).inUse, seat < present) << "seat " << seat;
    }
    SDL_Quit();
}

// What SDL_JOYSTICK_DEVICE may name that is no pad: classic SDL 1.2 reads
// /dev/zero for ever, and both SDLs wait for good to open a pipe no writer has.
struct NotAPadCase {
    const char* name;
    const char* path; // below a fresh folder when relative
};

const NotAPadCase NOT_A_PAD[] = {
    {"DevZero", "/dev/zero"}, {"DevNull", "/dev/null"}, {"Pipe", "pipe"}, {"RegularFile", "file"},
    {"Folder", "folder"},     {"Missing", "missing"},   {"Empty", ""},
};

class NotAPad : public ::testing::TestWithParam<NotAPadCase> {};

TEST_P(NotAPad, IsLeftOutBeforeSdlOpensIt) {
    char name[] = "/tmp/duelstar-pads-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    const std::string folder = name;
    ASSERT_EQ(mkfifo((folder + "/pipe").c_str(), S_IRUSR | S_IWUSR), 0);
    ASSERT_EQ(mkdir((folder + "/folder").c_str(), S_IRWXU), 0);
    std::FILE* file = std::fopen((folder + "/file").c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("not a pad", file);
    std::fclose(file);
    const char* path = GetParam().path;
    const std::string named = path[0] == '/' || path[0] == '\0' ? path : folder + "/" + path;

    EXPECT_FALSE(Gamepads::IsInputDevice(named.c_str()));
    setenv("SDL_JOYSTICK_DEVICE", named.c_str(), 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    Gamepads pads; // a pipe would block here, and /dev/zero spin in the polls
    pads.Open();
    EXPECT_EQ(std::getenv("SDL_JOYSTICK_DEVICE"), nullptr);
    EXPECT_FALSE(pads.GetSeat(0).inUse);
    SDL_Event event;
    for (int poll = 0; poll < 3; ++poll) {
        SDL_PollEvent(&event);
    }
    SDL_Quit();
    unsetenv("SDL_JOYSTICK_DEVICE");
    for (const char* made : {"pipe", "folder", "file"}) {
        remove((folder + "/" + made).c_str());
    }
    rmdir(folder.c_str());
}

INSTANTIATE_TEST_SUITE_P(Cases, NotAPad, ::testing::ValuesIn(NOT_A_PAD),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PadsOpen, UnreadEventsSwitchedOffLeaveThePadsOn) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    IgnoreUnreadEvents();
    for (Uint8 type : {SDL_JOYHATMOTION, SDL_JOYAXISMOTION, SDL_JOYBUTTONDOWN, SDL_JOYBUTTONUP}) {
        EXPECT_EQ(SDL_EventState(type, SDL_QUERY), SDL_ENABLE) << "event type " << int(type);
    }
    EXPECT_EQ(SDL_EventState(SDL_JOYBALLMOTION, SDL_QUERY), SDL_IGNORE);
    EXPECT_EQ(SDL_EventState(SDL_MOUSEMOTION, SDL_QUERY), SDL_IGNORE);
    SDL_Quit();
}

} // namespace
