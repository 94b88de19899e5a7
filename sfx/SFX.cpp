// SPDX-License-Identifier: MIT
#include "SFX.h"

#include "AudioDriver.h"
#include "WavHeader.h"

#include "../game/RegularFile.h"
#include "../game/Report.h"
#include "../game/Screen.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int PATH_SIZE = 256; // bytes, for "sounds/" and a file name of the list
constexpr const char* WHERE_LOADING = "SFX::loadwav()";
constexpr int PLAY_ONCE = 0; // Mix_PlayChannel's loops: none

void PathOf(Sound sound, char (&path)[PATH_SIZE]) {
    std::snprintf(path, sizeof path, "%s/%s", SOUNDS_FOLDER, FileOf(sound).name);
}

// Ends the game naming the sound file, so the player knows which to mend.
[[noreturn]] void Refuse(const char* path, const char* reason) {
    RefuseFile(WHERE_LOADING, path, reason);
}

// Only a regular file can be a sound: a folder, pipe, socket or device is
// refused by name, also when swapped in after an earlier look.
SDL_RWops* OpenSound(const char* path) { return OpenGameFile(WHERE_LOADING, path); }

// The same look at a sound file whether a device is there or not, so that a
// broken install shows on every machine.
void CheckFile(const char* path) {
    SDL_RWops* file = OpenSound(path);
    const bool accepted = CheckWavHeader(file);
    SDL_RWclose(file);
    if (!accepted) {
        Refuse(path, SDL_GetError());
    }
}
#ifndef __EMSCRIPTEN__
// How many sound starts have their driver and are opening its device or
// loading the sounds into it: mostly local work of a moment, unlike a driver's
// wait on its server (though a device may block too, as the disk driver on a
// pipe nobody reads).
std::atomic<int> startsLoading{0};
// At the exit SDL_Quit must not take the audio apart under such a start, so
// it is let finish, for no longer than this; a start still waiting on its
// driver is not waited for.
constexpr Uint32 LOAD_WAIT_AT_EXIT = 300; // ms
constexpr Uint32 LOAD_WAIT_STEP = 5;      // ms

void LetLoadsFinish() {
    const Uint32 since = SDL_GetTicks();
    while (startsLoading.load() > 0 && SDL_GetTicks() - since < LOAD_WAIT_AT_EXIT) {
        SDL_Delay(LOAD_WAIT_STEP);
    }
}
#endif
} // namespace

SFX::~SFX() { AwaitDevice(); }

void SFX::Init() {
    if (initialized) {
        Report().Warning("SFX::Init", "Call to SFX::Init while already initialized");
        return;
    }
    for (const SoundFile& file : SOUND_FILES) {
        char path[PATH_SIZE];
        PathOf(file.sound, path);
        CheckFile(path);
    }
    initialized = 1;
#ifdef __EMSCRIPTEN__
    // The browser's audio starts at once, and its SDL has no threads.
    StartDevice(this);
#else
    // Registered after SDL_Quit, so it runs before it.
    static const bool waitsAtExit = std::atexit(LetLoadsFinish) == 0;
    static_cast<void>(waitsAtExit);
    // Without a thread the game plays on silently.
    start = SDL_CreateThread(StartDevice, this);
#endif
}

void SFX::AwaitDevice() {
    if (start != nullptr) {
        SDL_WaitThread(start, nullptr);
        start = nullptr;
    }
}

int SFX::StartDevice(void* sfx) {
    SFX& self = *static_cast<SFX*>(sfx);
    if (!StartAudio()) {
        return 0;
    }
#ifndef __EMSCRIPTEN__
    startsLoading += 1;
#endif
    if (Mix_OpenAudio(OUTPUT_RATE, AUDIO_S16SYS, OUTPUT_CHANNELS, OUTPUT_BUFFER_FRAMES) == 0) {
        Mix_AllocateChannels(MIXER_CHANNELS);
        for (const SoundFile& file : SOUND_FILES) {
            self.loadwav(file.sound);
        }
        // Every chunk is in place before Play sees the device open.
        self.open = true;
    }
#ifndef __EMSCRIPTEN__
    startsLoading -= 1;
#endif
    return 0;
}

// Runs on the sound's own thread, which must never end the game under the
// main loop's feet: every file passed its check before the match began, so one
// the mixer cannot load now (swapped or changed since) leaves only that cue
// silent, as a missing device leaves them all.
void SFX::loadwav(Sound sound) {
    char path[PATH_SIZE];
    PathOf(sound, path);
    const char* why = nullptr;
    SDL_RWops* file = OpenRegularFile(path, why);
    // The mixer closes the file itself.
    chunks[int(sound)] = file == nullptr ? nullptr : Mix_LoadWAV_RW(file, 1);
}

void SFX::Pan(float x, int& left, int& right) {
    float across = x / float(SCREEN_WIDTH); // 0 at the left edge, 1 at the right
    across = across < 0.0f ? 0.0f : (across > 1.0f ? 1.0f : across);
    const float fall = float(PAN_FULL - PAN_FAR);
    left = across <= 0.5f ? PAN_FULL : PAN_FAR + int(fall * (1.0f - across) * 2.0f + 0.5f);
    right = across >= 0.5f ? PAN_FULL : PAN_FAR + int(fall * across * 2.0f + 0.5f);
}

int SFX::GetPlayCount(Sound sound) const {
    const int i = int(sound);
    return i >= 0 && i < SOUND_COUNT ? playCounts[i] : 0;
}

void SFX::Play(Sound sound, float x) {
    const int i = int(sound);
    if (i < 0 || i >= SOUND_COUNT) {
        Report().Warning("SFX::Play", "Not a sound of the list");
        return;
    }
    playCounts[i] += 1;
    Pan(x, lastLeft, lastRight);
    if (!open || muted || chunks[i] == nullptr) {
        return;
    }
    // The oldest of the cue's own channels makes way; no other cue's ever does.
    const SoundFile& file = FileOf(sound);
    const int channel = file.firstChannel + nextChannel[i];
    nextChannel[i] = (nextChannel[i] + 1) % file.channels;
    // The mixer must not start the cue before it is placed.
    SDL_LockAudio();
    Mix_PlayChannel(channel, chunks[i], PLAY_ONCE);
    Mix_SetPanning(channel, Uint8(lastLeft), Uint8(lastRight));
    SDL_UnlockAudio();
}

void SFX::ToggleMute() {
    muted = muted ? 0 : 1;
    if (!open) {
        return;
    }
    Mix_Volume(-1, muted ? 0 : MIX_MAX_VOLUME);
    if (muted) {
        Mix_HaltChannel(-1);
    }
}
