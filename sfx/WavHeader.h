// SPDX-License-Identifier: MIT
// WavHeader: the look at a sound file's header that keeps files the mixers
// would read differently, or not at all, away from them - on the desktop and
// in the browser alike.
#pragma once

#include <SDL_types.h>

struct SDL_RWops;

// The longest sound a file may hold: far beyond any cue, small enough that no
// file can make the mixer take an absurd amount of memory.
constexpr Uint32 MAX_SOUND_BYTES = 4 * 1024 * 1024; // bytes of sound data

// What the check read of an accepted file.
struct WavFormat {
    Uint16 channels = 0;
    Uint32 rate = 0; // Hz
    Uint16 bits = 0; // per sample
    Uint32 dataBytes = 0;
};

// Reads the WAV header at the stream's current position and tells whether
// the mixer may be given the stream: an uncompressed (PCM) RIFF WAVE of 1 or
// 2 channels, 8 or 16 bits, 8,000 to 48,000 Hz, whose format chunk comes
// before its sound data and whose file holds all the data it claims, up to
// MAX_SOUND_BYTES. Leaves the stream where it found it. A refused file gets a
// short reason as SDL's error text; a null stream (a file that could not be
// opened) is refused with SDL's text left as it is.
bool CheckWavHeader(SDL_RWops* file, WavFormat* format = nullptr);
