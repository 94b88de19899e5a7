// SPDX-License-Identifier: MIT
// SFX: the sound - the audio device, the sounds of the list, and the cues the
// match gives, each placed in stereo where it happens and mutable with m.
#pragma once

#include "Sounds.h"

#include <atomic>

struct Mix_Chunk;
struct SDL_Thread;

// The device the game asks for: CD-quality stereo, in buffers short enough
// that a cue is heard within about 25 ms of its frame.
constexpr int OUTPUT_RATE = 44100;         // Hz
constexpr int OUTPUT_CHANNELS = 2;         // stereo
constexpr int OUTPUT_BUFFER_FRAMES = 1024; // samples per channel: 23 ms

// The loudest a side may be (SDL_mixer's panning levels), and the least the
// far side keeps, so that a cue at the screen's edge is not lost to one ear.
constexpr int PAN_FULL = 255;
constexpr int PAN_FAR = 48;

class SFX {
  public:
    SFX() = default;
    SFX(const SFX&) = delete;
    SFX& operator=(const SFX&) = delete;
    // Waits for a device start still running, so that it never writes into a
    // gone object; the game's SFX lives until the process exits.
    ~SFX();

    // Checks every sound of the list - a sound file that is missing or cannot
    // be read is fatal, device or not - then opens the audio device and loads
    // the sounds on a thread of their own: a sound server that never answers
    // must not hold up the picture, the keys or the exit. Until the device is
    // open, or when none ever opens, the game plays silently. Later calls are
    // refused.
    void Init();

    // Waits until the device's start has ended, open or not. For tools and
    // tests that need the device before they go on; the game never waits.
    void AwaitDevice();

    // Plays a cue placed at x, the screen's x of where it happens (0 is the
    // left edge); while muted, or with no device, it is only counted.
    void Play(Sound sound, float x);

    // Turns all sound off, cutting what plays, or on again.
    void ToggleMute();

    bool IsInitialized() const { return initialized != 0; }
    bool IsOpen() const { return open.load(); }
    bool IsMuted() const { return muted != 0; }
    // How many times a cue was given since the start.
    int GetPlayCount(Sound sound) const;
    // The left and right levels the last cue was given at.
    int GetLastLeft() const { return lastLeft; }
    int GetLastRight() const { return lastRight; }

    // The left and right levels of a cue at x: the near side full, the far
    // side falling to PAN_FAR at the screen's edge.
    static void Pan(float x, int& left, int& right);

  private:
    void loadwav(Sound sound);
    static int StartDevice(void* sfx);

    unsigned char initialized = 0;
    // Set by the start's thread once the device and every sound are ready.
    std::atomic<bool> open{false};
    SDL_Thread* start = nullptr;
    unsigned char muted = 0;
    int playCounts[SOUND_COUNT] = {};
    int nextChannel[SOUND_COUNT] = {}; // of the cue's own channels, the one to use next
    int lastLeft = 0;
    int lastRight = 0;
    Mix_Chunk* chunks[SOUND_COUNT] = {};
};
