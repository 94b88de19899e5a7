// SPDX-License-Identifier: MIT
// The sound: the cues the match gives and where they are placed, the mixer's
// channels and mute on a real (disk) device, the sound files' check and the
// lines a broken one gives, and the choice of the sound driver.
#include "sfx/SFX.h"
#include "ChildProcess.h"
#include "FakeClock.h"
#include "game/Match.h"
#include "game/Startup.h"
#include "gfx/GFX.h"
#include "sfx/AudioDriver.h"
#include "sfx/Cue.h"
#include "sfx/WavHeader.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr Uint32 START = 100000;    // ms: far from 0, which would arm the timer again
constexpr Uint32 HALF_SECOND = 500; // ms: the pause between two shots of a ship
constexpr float RED_X = 700.0f;     // px: the ships' places for the duel
constexpr float BLUE_X = 100.0f;    // px

// ---- The match's cues ----

class Cues : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeClock::Reset(START);
        PlaceForDuel(red, blue);
        SendCuesTo(&sfx);
        UpdateMatch(timer, gfx, controls, red, blue, scroller); // arms the timer
    }
    void TearDown() override { SendCuesTo(nullptr); }

    void Step(Uint32 dtMs) {
        FakeClock::Advance(dtMs);
        UpdateMatch(timer, gfx, controls, red, blue, scroller);
    }

    // A shot of shooter's placed where it hits target on the next update.
    static void AimAt(Player& shooter, const Player& target) {
        Laser& shot = shooter.lasers[0];
        shot.SetX(target.ship.GetX());
        shot.SetY(target.ship.GetY());
        shot.SetEnabled(true);
    }

    SFX sfx; // never opened: counts the cues and where they were placed
    FrameTimer timer;
    GFX gfx;
    Controls controls;
    Player red;
    Player blue;
    Scroller scroller;
};

TEST_F(Cues, EachShotIsHeardInItsSidesVoiceFromItsShip) {
    controls.redFire = true;
    Step(10);
    EXPECT_EQ(sfx.GetPlayCount(Sound::SHOT_RED), 1);
    EXPECT_EQ(sfx.GetPlayCount(Sound::SHOT_BLUE), 0);
    EXPECT_EQ(sfx.GetLastRight(), PAN_FULL);
    EXPECT_LT(sfx.GetLastLeft(), PAN_FULL / 2) << "RED's shot is heard on the right";

    controls = {};
    controls.blueFire = true;
    Step(10);
    EXPECT_EQ(sfx.GetPlayCount(Sound::SHOT_BLUE), 1);
    EXPECT_EQ(sfx.GetLastLeft(), PAN_FULL);
    EXPECT_LT(sfx.GetLastRight(), PAN_FULL / 2) << "BLUE's shot is heard on the left";
}

TEST_F(Cues, AShotIsHeardOnlyWhenOneLeaves) {
    controls.redFire = true;
    Step(10);
    Step(HALF_SECOND - 20); // held, but the ship's pause is not over
    EXPECT_EQ(sfx.GetPlayCount(Sound::SHOT_RED), 1);
    Step(20);
    EXPECT_EQ(sfx.GetPlayCount(Sound::SHOT_RED), 2);
    // With every slot in flight nothing leaves, and nothing is heard.
    for (Laser& laser : red.lasers) {
        laser.SetX(RED_X);
        laser.SetY(10.0f);
        laser.SetEnabled(true);
    }
    Step(HALF_SECOND);
    EXPECT_EQ(sfx.GetPlayCount(Sound::SHOT_RED), 2);
}

TEST_F(Cues, AHitIsHeardAtTheTargetAndOnlyTheLastOneExplodes) {
    for (int hit = 1; hit < FULL_HEALTH; ++hit) {
        AimAt(red, blue);
        Step(10);
        EXPECT_EQ(sfx.GetPlayCount(Sound::HIT), hit);
        EXPECT_EQ(sfx.GetPlayCount(Sound::EXPLOSION), 0);
        EXPECT_EQ(sfx.GetLastLeft(), PAN_FULL) << "a hit on BLUE is heard on the left";
        EXPECT_LT(sfx.GetLastRight(), PAN_FULL / 2);
    }
    AimAt(blue, red);
    AimAt(red, blue);
    Step(10);
    EXPECT_EQ(sfx.GetPlayCount(Sound::HIT), FULL_HEALTH + 1);
    EXPECT_EQ(sfx.GetPlayCount(Sound::EXPLOSION), 1);
    EXPECT_EQ(gfx.GetBoomMask(), BLUE);
    EXPECT_EQ(sfx.GetPlayCount(Sound::VICTORY), 0);
}

// The winning hit ends the process; the child prints what was heard at exit.
TEST_F(Cues, TheWinningHitPlaysTheJingleFromTheWinnersSideBeforeTheResult) {
    static SFX* heard = &sfx;
    const ChildResult r = RunInChild([this] {
        std::atexit([] {
            std::printf("victory %d explosion %d left %d right %d\n",
                        heard->GetPlayCount(Sound::VICTORY), heard->GetPlayCount(Sound::EXPLOSION),
                        heard->GetLastLeft(), heard->GetLastRight());
        });
        red.score = 2;
        blue.health = 1;
        AimAt(red, blue);
        Step(10);
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 0);
    int left = 0;
    int right = 0;
    SFX::Pan(RED_X, left, right);
    EXPECT_EQ(r.out, "Red wins 3-0 ( 0 fps )\nvictory 1 explosion 1 left " + std::to_string(left) +
                         " right " + std::to_string(right) + "\n");
}

// ---- Placing a cue ----

struct PanCase {
    float x;
    int left;
    int right;
};

void PrintTo(const PanCase& c, std::ostream* os) { *os << "x " << c.x; }

class Panning : public ::testing::TestWithParam<PanCase> {};

TEST_P(Panning, TheNearSideIsFullAndTheFarSideFallsTowardsTheEdge) {
    int left = -1;
    int right = -1;
    SFX::Pan(GetParam().x, left, right);
    EXPECT_EQ(left, GetParam().left);
    EXPECT_EQ(right, GetParam().right);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Panning,
    ::testing::Values(PanCase{-50.0f, PAN_FULL, PAN_FAR}, PanCase{0.0f, PAN_FULL, PAN_FAR},
                      PanCase{BLUE_X, PAN_FULL, 100}, PanCase{400.0f, PAN_FULL, PAN_FULL},
                      PanCase{RED_X, 100, PAN_FULL}, PanCase{800.0f, PAN_FAR, PAN_FULL},
                      PanCase{1e9f, PAN_FAR, PAN_FULL}));

// ---- The mixer, on SDL's disk driver writing to nowhere ----

// Runs body after SFX::Init on a device, in a child, with the mixer paused;
// the child's output is what body prints.
ChildResult WithDevice(const std::function<void(SFX&)>& body) {
    return RunInChild([&body] {
        ApplyEnvironment({"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=/dev/null"});
        SFX sfx;
        sfx.Init();
        sfx.AwaitDevice();
        if (!sfx.IsOpen()) {
            std::printf("no device: %s\n", SDL_GetError());
            return;
        }
        // Held still, so that no cue ends while the test looks, however slow the machine.
        SDL_PauseAudio(1);
        body(sfx);
    });
}

int PlayingIn(Sound sound) {
    int playing = 0;
    for (int c = 0; c < FileOf(sound).channels; ++c) {
        playing += Mix_Playing(FileOf(sound).firstChannel + c);
    }
    return playing;
}

TEST(Mixer, ManyShotsNeverSilenceAHitOrAnExplosion) {
    const ChildResult r = WithDevice([](SFX& sfx) {
        for (int shot = 0; shot < 200; ++shot) {
            sfx.Play(shot % 2 ? Sound::SHOT_RED : Sound::SHOT_BLUE, RED_X);
        }
        sfx.Play(Sound::HIT, BLUE_X);
        sfx.Play(Sound::EXPLOSION, BLUE_X);
        std::printf("red %d blue %d hit %d explosion %d all %d\n", PlayingIn(Sound::SHOT_RED),
                    PlayingIn(Sound::SHOT_BLUE), PlayingIn(Sound::HIT), PlayingIn(Sound::EXPLOSION),
                    Mix_Playing(-1));
    });
    EXPECT_EQ(r.out, "red 4 blue 4 hit 1 explosion 1 all 10\n");
}

TEST(Mixer, MuteCutsWhatPlaysAndSilencesLaterCuesUntilSwitchedBack) {
    const ChildResult r = WithDevice([](SFX& sfx) {
        sfx.Play(Sound::EXPLOSION, RED_X);
        std::printf("before %d", Mix_Playing(-1));
        sfx.ToggleMute();
        sfx.Play(Sound::SHOT_RED, RED_X);
        std::printf(" muted %d %d", Mix_Playing(-1), sfx.IsMuted());
        sfx.ToggleMute();
        sfx.Play(Sound::SHOT_RED, RED_X);
        std::printf(" again %d volume %d counted %d\n", Mix_Playing(-1), Mix_Volume(0, -1),
                    sfx.GetPlayCount(Sound::SHOT_RED));
    });
    EXPECT_EQ(r.out, "before 1 muted 0 1 again 1 volume 128 counted 2\n");
}

TEST(Mixer, TheDeviceIsTheOneAskedFor) {
    const ChildResult r = WithDevice([](SFX&) {
        int rate = 0;
        Uint16 format = 0;
        int channels = 0;
        Mix_QuerySpec(&rate, &format, &channels);
        std::printf("%d %d %d %d\n", rate, format == AUDIO_S16SYS, channels,
                    Mix_AllocateChannels(-1));
    });
    EXPECT_EQ(r.out, "44100 1 2 " + std::to_string(MIXER_CHANNELS) + "\n");
}

// ---- The sound files ----

TEST(SoundFiles, EveryCommittedSoundPassesTheCheckInTheGeneratorsFormat) {
    for (const SoundFile& file : SOUND_FILES) {
        const std::string path = std::string(SOUNDS_FOLDER) + "/" + file.name;
        SDL_RWops* stream = SDL_RWFromFile(path.c_str(), "rb");
        ASSERT_NE(stream, nullptr) << path;
        WavFormat format;
        EXPECT_TRUE(CheckWavHeader(stream, &format)) << path << ": " << SDL_GetError();
        EXPECT_EQ(SDL_RWtell(stream), 0) << "the check leaves the stream where it was";
        SDL_RWclose(stream);
        EXPECT_EQ(format.rate, Uint32(SOUND_RATE)) << path;
        EXPECT_EQ(format.channels, SOUND_CHANNELS) << path;
        EXPECT_EQ(format.bits, SOUND_BITS) << path;
    }
}

// A committed sound with its bytes at offset replaced, or cut to a length.
struct BrokenCase {
    const char* name;
    const char* file;
    size_t offset;          // where the bytes go
    std::vector<Uint8> put; // empty: none
    size_t cutTo;           // bytes kept; 0 keeps them all
    const char* reason;     // after the path; nullptr: the file is missing
};

void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.name; }

// Offsets in the 44-byte header make_sounds writes.
constexpr size_t FORMAT_TAG = 20;
constexpr size_t CHANNELS = 22;
constexpr size_t RATE = 24;
constexpr size_t BITS = 34;
constexpr size_t DATA_TAG = 36;
constexpr size_t HEADER = 44;

const BrokenCase BROKEN_CASES[] = {
    {"Missing", "hit.wav", 0, {}, 0, nullptr},
    {"CutShort", "explosion.wav", 0, {}, HEADER + 1000, "WAV sound data cut short"},
    {"CutInTheHeader", "shot_red.wav", 0, {}, 30, "WAV chunk cut short"},
    {"NotRiff", "victory.wav", 0, {'R', 'I', 'F', 'X'}, 0, "Not a RIFF WAVE file"},
    {"Compressed", "shot_blue.wav", FORMAT_TAG, {2, 0}, 0, "Unsupported WAV encoding: not PCM"},
    {"ThreeChannels", "hit.wav", CHANNELS, {3, 0}, 0, "Unsupported WAV channel count"},
    {"RateTooHigh", "hit.wav", RATE, {0x00, 0x77, 0x01, 0x00}, 0, "Unsupported WAV sample rate"},
    {"TwentyFourBits", "hit.wav", BITS, {24, 0}, 0, "Unsupported WAV bits per sample"},
    {"NoData", "hit.wav", DATA_TAG, {'d', 'a', 't', 'x'}, 0, "No WAV sound data"},
    {"AnEmptyFile", "victory.wav", 0, {}, 1, "Not a RIFF WAVE file"},
};

// A folder holding the committed sounds with one of them broken.
std::string FolderWith(const BrokenCase& c) {
    char name[] = "/tmp/duelstar-sounds-XXXXXX";
    if (mkdtemp(name) == nullptr) {
        return "";
    }
    const std::string folder = name;
    fs::copy(SOUNDS_FOLDER, folder + "/" + SOUNDS_FOLDER);
    const std::string path = folder + "/" + SOUNDS_FOLDER + "/" + c.file;
    if (c.reason == nullptr) {
        fs::remove(path);
        return folder;
    }
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(std::streamoff(c.offset));
    file.write(reinterpret_cast<const char*>(c.put.data()), std::streamsize(c.put.size()));
    file.close();
    if (c.cutTo != 0) {
        fs::resize_file(path, c.cutTo);
    }
    return folder;
}

class BrokenSound : public ::testing::TestWithParam<std::tuple<BrokenCase, bool>> {};

// The same line and status whether a device opens or not: a broken install
// shows on every machine.
TEST_P(BrokenSound, EndsTheGameWithOneLineNamingTheFile) {
    const BrokenCase& c = std::get<0>(GetParam());
    const bool device = std::get<1>(GetParam());
    const std::string folder = FolderWith(c);
    ASSERT_FALSE(folder.empty());
    const ChildResult r = RunInChild([&] {
        ApplyEnvironment({device ? "SDL_AUDIODRIVER=disk" : "SDL_AUDIODRIVER=no-such-driver",
                          "SDL_DISKAUDIOFILE=/dev/null"});
        if (chdir(folder.c_str()) == 0) {
            SFX().Init();
        }
    });
    fs::remove_all(folder);
    const std::string path = std::string(SOUNDS_FOLDER) + "/" + c.file;
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, c.reason == nullptr
                         ? "ERROR: SFX::loadwav(): Couldn't open " + path + "\n"
                         : "ERROR: SFX::loadwav(): " + path + ": " + c.reason + "\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokenSound,
                         ::testing::Combine(::testing::ValuesIn(BROKEN_CASES), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "WithADevice" : "WithoutOne");
                         });

TEST(SoundFilesInPlace, AFolderWhereASoundShouldBeIsRefusedByName) {
    char name[] = "/tmp/duelstar-sounds-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    const std::string folder = name;
    fs::copy(SOUNDS_FOLDER, folder + "/" + SOUNDS_FOLDER);
    fs::remove(folder + "/sounds/shot_red.wav");
    fs::create_directory(folder + "/sounds/shot_red.wav");
    const ChildResult r = RunInChild([&] {
        ApplyEnvironment({"SDL_AUDIODRIVER=no-such-driver"});
        if (chdir(folder.c_str()) == 0) {
            SFX().Init();
        }
    });
    fs::remove_all(folder);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "ERROR: SFX::loadwav(): sounds/shot_red.wav: A folder, not a file\n");
}

// ---- The driver choice ----

struct DriverCase {
    const char* name;
    std::vector<std::string> environment; // applied over a machine with nothing
    std::vector<std::string> sockets;     // made below the runtime folder
    const char* cards;                    // the cards list's text, or nullptr for none
    std::string drivers;                  // tried, in order
};

void PrintTo(const DriverCase& c, std::ostream* os) { *os << c.name; }

constexpr const char* NO_CARDS = "--- no soundcards ---\n";
constexpr const char* ONE_CARD = " 0 [PCH            ]: HDA-Intel - HDA Intel PCH\n"
                                 "                      HDA Intel PCH at 0xf7f10000 irq 33\n";

class AudioDriverChoice : public ::testing::TestWithParam<DriverCase> {};

TEST_P(AudioDriverChoice, TriesOnlyTheDriversThatCanWorkHere) {
    const DriverCase& c = GetParam();
    char name[] = "/tmp/duelstar-runtime-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    const std::string runtime = name;
    for (const std::string& socket : c.sockets) {
        fs::create_directories(fs::path(runtime + "/" + socket).parent_path());
        std::ofstream(runtime + "/" + socket).put('\0');
    }
    const std::string cards = runtime + "/cards";
    if (c.cards != nullptr) {
        std::ofstream(cards) << c.cards;
    }
    const ChildResult r = RunInChild([&] {
        ApplyEnvironment({"PULSE_SERVER", "PIPEWIRE_REMOTE", "XDG_RUNTIME_DIR=" + runtime});
        ApplyEnvironment(c.environment);
        const char* names[MAX_AUDIO_DRIVERS];
        const int count = AudioDriversHere(names, cards.c_str());
        for (int i = 0; i < count; ++i) {
            std::printf("%s%s", i ? " " : "", names[i]);
        }
    });
    fs::remove_all(runtime);
    EXPECT_EQ(r.out, c.drivers);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AudioDriverChoice,
    ::testing::Values(
        DriverCase{"NothingHere", {}, {}, nullptr, ""},
        DriverCase{"NoCardListed", {}, {}, NO_CARDS, ""},
        DriverCase{"ACard", {}, {}, ONE_CARD, "alsa"},
        DriverCase{"PulseAudioRunning", {}, {"pulse/native"}, NO_CARDS, "pulseaudio pulse"},
        DriverCase{
            "PulseAudioElsewhere", {"PULSE_SERVER=tcp:localhost"}, {}, nullptr, "pulseaudio pulse"},
        DriverCase{"PipeWireRunning", {}, {"pipewire-0"}, nullptr, "pipewire"},
        DriverCase{"NoRuntimeFolder", {"XDG_RUNTIME_DIR"}, {}, nullptr, ""},
        DriverCase{"EverythingBestFirst",
                   {},
                   {"pulse/native", "pipewire-0"},
                   ONE_CARD,
                   "pulseaudio pulse pipewire alsa"}),
    [](const auto& info) { return std::string(info.param.name); });

// A named driver is used as it is, and one that SDL does not have leaves the
// game silent, not ended, and quiet.
TEST(StartAudio, ANamedDriverIsUsedAsItIsAndAnUnknownOneMeansSilence) {
    const ChildResult r = RunInChild([] {
        ApplyEnvironment({"SDL_AUDIODRIVER=disk"});
        const bool disk = StartAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        ApplyEnvironment({"SDL_AUDIODRIVER=no-such-driver"});
        std::printf("%d %d", disk, StartAudio());
    });
    EXPECT_EQ(r.out, "1 0");
    EXPECT_EQ(r.err, "");
}

// With no card, ALSA's library would print some lines of its failures.
TEST(StartAudio, TheNamedAlsaDriverWithNoCardIsSilentAndQuiet) {
    const char* names[MAX_AUDIO_DRIVERS];
    if (AudioDriversHere(names) > 0) {
        GTEST_SKIP() << "this machine has a sound card or a sound server";
    }
    const ChildResult r = RunInChild([] {
        ApplyEnvironment({"SDL_AUDIODRIVER=alsa"});
        std::printf("%d", StartAudio());
    });
    EXPECT_EQ(r.out, "0");
    EXPECT_EQ(r.err, "");
}

} // namespace
