// SPDX-License-Identifier: MIT
// The sound of a real match, written by SDL's disk driver as 16-bit stereo at
// 44,100 Hz: each side's first shot is heard, louder on its own side; after m
// the rest of the match is silent; with no device the match ends as ever.
#include "GameFixture.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <thread>
#include <vector>

namespace {

constexpr const char* SOUND_FILE = "sound.raw"; // in the game's folder
constexpr int CHANNELS = 2;
constexpr int FRAMES_PER_SECOND = 44100;
constexpr int BYTES_PER_FRAME = CHANNELS * 2;
constexpr int AUDIBLE = 64;               // of a 16-bit sample: far above rounding noise
constexpr Milliseconds TAP{100};          // shorter than the 500 ms between shots
constexpr Milliseconds SOUND_LIMIT{8000}; // for a cue to reach the file on a loaded machine
constexpr Milliseconds POLL{20};
constexpr int SHOT_WINDOW = FRAMES_PER_SECOND / 5;   // frames: the loud part of a shot
constexpr int AFTER_HIT = FRAMES_PER_SECOND * 3 / 2; // frames: past the shot's hit and its sound
constexpr int MUTE_LATENCY = FRAMES_PER_SECOND * 3 / 10; // frames: the file runs ahead of the mute
constexpr Milliseconds MATCH_LIMIT{30000};

// The file's frames as [left, right] pairs.
std::vector<int16_t> ReadFrames(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / BYTES_PER_FRAME * CHANNELS);
    for (size_t i = 0; i < samples.size(); ++i) {
        // The device's samples are in the machine's own order.
        int16_t value;
        std::memcpy(&value, &bytes[i * 2], sizeof value);
        samples[i] = value;
    }
    return samples;
}

size_t Frames(const std::vector<int16_t>& samples) { return samples.size() / CHANNELS; }

bool Audible(const std::vector<int16_t>& s, size_t frame) {
    return std::abs(s[frame * CHANNELS]) > AUDIBLE || std::abs(s[frame * CHANNELS + 1]) > AUDIBLE;
}

class Sound : public GameFixture {
  protected:
    GameRunOptions How() const override {
        GameRunOptions how;
        how.diskAudio = SOUND_FILE;
        return how;
    }

    std::string Path() const { return run->Folder() + "/" + SOUND_FILE; }

    // Waits for the first audible frame at or after from; false when none
    // comes in time. frames then holds the file as read.
    bool WaitForSound(size_t from, size_t& onset, std::vector<int16_t>& frames) {
        const Clock::time_point deadline = Clock::now() + SOUND_LIMIT;
        while (Clock::now() < deadline) {
            frames = ReadFrames(Path());
            for (size_t f = from; f < Frames(frames); ++f) {
                if (Audible(frames, f)) {
                    onset = f;
                    return true;
                }
            }
            std::this_thread::sleep_for(POLL);
        }
        return false;
    }

    // Waits until the file holds at least count frames.
    bool WaitForFrames(size_t count, std::vector<int16_t>& frames) {
        const Clock::time_point deadline = Clock::now() + SOUND_LIMIT;
        while (Clock::now() < deadline) {
            frames = ReadFrames(Path());
            if (Frames(frames) >= count) {
                return true;
            }
            std::this_thread::sleep_for(POLL);
        }
        return false;
    }

    // The summed loudness of each side over a shot's window from onset.
    static void Loudness(const std::vector<int16_t>& s, size_t onset, double& left, double& right) {
        left = 0.0;
        right = 0.0;
        for (size_t f = onset; f < onset + SHOT_WINDOW && f < Frames(s); ++f) {
            left += std::abs(s[f * CHANNELS]);
            right += std::abs(s[f * CHANNELS + 1]);
        }
    }

    // Fires one shot with key and checks it is heard after from, louder on
    // the side named; returns where it was heard.
    size_t ExpectShotHeard(const char* key, size_t from, bool onTheRight) {
        EXPECT_TRUE(Hold({key}, TAP));
        size_t onset = 0;
        std::vector<int16_t> frames;
        EXPECT_TRUE(WaitForSound(from, onset, frames))
            << "no sound after " << key << "; " << Describe();
        EXPECT_TRUE(WaitForFrames(onset + SHOT_WINDOW, frames));
        double left = 0.0;
        double right = 0.0;
        Loudness(frames, onset, left, right);
        const double near = onTheRight ? right : left;
        const double far = onTheRight ? left : right;
        EXPECT_GT(near, 2.0 * far) << key << "'s shot: left " << left << ", right " << right;
        EXPECT_GT(far, 0.0) << "the far side still hears it";
        return onset;
    }
};

TEST_F(Sound, EachSidesFirstShotIsHeardLouderOnItsOwnSide) {
    Frame frame;
    ASSERT_TRUE(Screenshot(frame)); // the match runs and takes keys
    std::vector<int16_t> frames = ReadFrames(Path());
    const size_t start = Frames(frames);
    for (size_t f = 0; f < start; ++f) {
        ASSERT_FALSE(Audible(frames, f)) << "a sound before any shot, at frame " << f;
    }
    const size_t red = ExpectShotHeard("s", start, true);
    // BLUE fires once RED's shot has hit and been heard.
    ASSERT_TRUE(WaitForFrames(red + AFTER_HIT, frames));
    ExpectShotHeard("Return", red + AFTER_HIT, false);
    // Not EndWithEscape: SDL's disk driver announces itself on standard error.
    ASSERT_TRUE(run->Keys({"key", "Escape"}));
    EXPECT_TRUE(run->WaitForEnd(SOUND_LIMIT)) << Describe();
    EXPECT_EQ(run->Game().Status(), 0);
}

TEST_F(Sound, AfterMTheRestOfTheMatchIsSilent) {
    Frame frame;
    ASSERT_TRUE(Screenshot(frame));
    const size_t heard = ExpectShotHeard("s", Frames(ReadFrames(Path())), true);
    ASSERT_TRUE(run->Keys({"key", "m"}));
    std::vector<int16_t> frames;
    ASSERT_TRUE(WaitForFrames(Frames(ReadFrames(Path())) + MUTE_LATENCY, frames));
    const size_t muted = Frames(frames);
    // RED then wins with every hit, explosion and the jingle unheard.
    ASSERT_TRUE(run->Keys({"keydown", "s"}));
    const bool ended = run->WaitForEnd(MATCH_LIMIT);
    run->Keys({"keyup", "s"});
    ASSERT_TRUE(ended) << Describe();
    EXPECT_EQ(run->Game().Status(), 0);
    EXPECT_TRUE(
        std::regex_match(run->Game().Out(), std::regex(R"(Red wins 3-0 \( [0-9]+ fps \)\n)")))
        << Describe();
    frames = ReadFrames(Path());
    ASSERT_GT(Frames(frames), muted + FRAMES_PER_SECOND) << "the match went on after m";
    size_t loud = 0;
    for (size_t f = muted; f < Frames(frames); ++f) {
        loud += Audible(frames, f) ? 1 : 0;
    }
    EXPECT_EQ(loud, 0u) << "audible frames after m (pressed " << (muted - heard)
                        << " frames after the shot)";
}

class NoSoundDevice : public GameFixture {
  protected:
    GameRunOptions How() const override {
        GameRunOptions how;
        how.noSoundDevice = true;
        return how;
    }
};

TEST_F(NoSoundDevice, TheMatchEndsAsEverAndSilently) {
    Frame frame;
    ASSERT_TRUE(Screenshot(frame));
    ASSERT_TRUE(run->Keys({"keydown", "Return"}));
    const bool ended = run->WaitForEnd(MATCH_LIMIT);
    run->Keys({"keyup", "Return"});
    ASSERT_TRUE(ended) << Describe();
    EXPECT_TRUE(run->Game().Exited());
    EXPECT_EQ(run->Game().Status(), 0);
    EXPECT_TRUE(
        std::regex_match(run->Game().Out(), std::regex(R"(Blue wins 3-0 \( [0-9]+ fps \)\n)")))
        << Describe();
    EXPECT_EQ(run->Game().Err(), "");
}

} // namespace
