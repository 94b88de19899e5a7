// SPDX-License-Identifier: MIT
// Sounds: the one list of the game's sound files - the cue each plays, the
// file it is read from and the mixer channels it has to itself.
#pragma once

// Every cue the match can give, in the order the set-up loads them.
enum class Sound { SHOT_RED, SHOT_BLUE, HIT, EXPLOSION, VICTORY, COUNT };

struct SoundFile {
    Sound sound;      // its place in the list
    const char* name; // in SOUNDS_FOLDER
    // Channels of its own, so that no number of one cue can cut another
    // short: a new cue replaces the oldest of its kind only.
    int firstChannel;
    int channels;
};

inline constexpr char SOUNDS_FOLDER[] = "sounds";

// What tools/make_sounds writes: mono, 16-bit signed little-endian PCM.
constexpr int SOUND_RATE = 22050; // Hz
constexpr int SOUND_CHANNELS = 1;
constexpr int SOUND_BITS = 16;

inline constexpr SoundFile SOUND_FILES[] = {
    {Sound::SHOT_RED, "shot_red.wav", 0, 4}, {Sound::SHOT_BLUE, "shot_blue.wav", 4, 4},
    {Sound::HIT, "hit.wav", 8, 6},           {Sound::EXPLOSION, "explosion.wav", 14, 3},
    {Sound::VICTORY, "victory.wav", 17, 1},
};

constexpr int SOUND_COUNT = int(Sound::COUNT);
constexpr int MIXER_CHANNELS = 18; // the channels of every cue together

constexpr bool SoundListFollowsTheEnum() {
    int next = 0;
    for (int i = 0; i < SOUND_COUNT; ++i) {
        if (int(SOUND_FILES[i].sound) != i || SOUND_FILES[i].firstChannel != next ||
            SOUND_FILES[i].channels < 1) {
            return false;
        }
        next += SOUND_FILES[i].channels;
    }
    return sizeof SOUND_FILES / sizeof SOUND_FILES[0] == SOUND_COUNT && next == MIXER_CHANNELS;
}
static_assert(SoundListFollowsTheEnum(),
              "one line per sound, in the order of Sound, channels side by side");

constexpr const SoundFile& FileOf(Sound sound) { return SOUND_FILES[int(sound)]; }
