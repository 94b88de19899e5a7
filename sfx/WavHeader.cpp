// SPDX-License-Identifier: MIT
#include "WavHeader.h"

#include <SDL.h>
#include <cstring>

namespace {

constexpr Uint32 TAG_BYTES = 4;
constexpr Uint32 CHUNK_HEADER = 8; // bytes: a tag and a length
constexpr Uint32 PCM_FORMAT_BYTES = 16;
constexpr Uint16 PCM = 1;
constexpr Uint16 MAX_CHANNELS = 2;
constexpr Uint32 MIN_RATE = 8000;  // Hz
constexpr Uint32 MAX_RATE = 48000; // Hz
constexpr Uint16 BITS_8 = 8;
constexpr Uint16 BITS_16 = 16;
constexpr int BITS_PER_BYTE = 8;
// Chunks before the sound data (lists, cues, ...) a file may hold: enough for
// any editor's, few enough that a file of empty chunks cannot stall the game.
constexpr int MAX_CHUNKS = 64;

bool TagIs(const char* tag, const char* expected) {
    return std::memcmp(tag, expected, TAG_BYTES) == 0;
}

bool Refuse(const char* reason) {
    SDL_SetError("%s", reason);
    return false;
}

// Reads the format chunk's fields; the rest of a longer chunk is skipped by
// the caller.
bool ReadFormat(SDL_RWops* file, Uint32 length, WavFormat& format) {
    if (length < PCM_FORMAT_BYTES) {
        return Refuse("WAV format chunk too short");
    }
    const Uint16 tag = SDL_ReadLE16(file);
    format.channels = SDL_ReadLE16(file);
    format.rate = SDL_ReadLE32(file);
    const Uint32 byteRate = SDL_ReadLE32(file);
    const Uint16 blockAlign = SDL_ReadLE16(file);
    format.bits = SDL_ReadLE16(file);
    if (tag != PCM) {
        return Refuse("Unsupported WAV encoding: not PCM");
    }
    if (format.channels < 1 || format.channels > MAX_CHANNELS) {
        return Refuse("Unsupported WAV channel count");
    }
    if (format.rate < MIN_RATE || format.rate > MAX_RATE) {
        return Refuse("Unsupported WAV sample rate");
    }
    if (format.bits != BITS_8 && format.bits != BITS_16) {
        return Refuse("Unsupported WAV bits per sample");
    }
    const Uint32 frameBytes = Uint32(format.channels) * format.bits / BITS_PER_BYTE;
    if (blockAlign != frameBytes || byteRate != format.rate * frameBytes) {
        return Refuse("WAV format fields disagree");
    }
    return true;
}

bool Check(SDL_RWops* file, long end, WavFormat& format) {
    char tag[TAG_BYTES];
    if (SDL_RWread(file, tag, TAG_BYTES, 1) != 1 || !TagIs(tag, "RIFF")) {
        return Refuse("Not a RIFF WAVE file");
    }
    SDL_ReadLE32(file); // the form's length: many writers get it wrong, the chunks tell
    if (SDL_RWread(file, tag, TAG_BYTES, 1) != 1 || !TagIs(tag, "WAVE")) {
        return Refuse("Not a RIFF WAVE file");
    }
    bool haveFormat = false;
    for (int chunk = 0; chunk < MAX_CHUNKS; ++chunk) {
        const long at = SDL_RWtell(file);
        if (at < 0 || end - at < long(CHUNK_HEADER) || SDL_RWread(file, tag, TAG_BYTES, 1) != 1) {
            return Refuse(haveFormat ? "No WAV sound data" : "No WAV format chunk");
        }
        const Uint32 length = SDL_ReadLE32(file);
        const long body = at + long(CHUNK_HEADER);
        if (TagIs(tag, "data")) {
            if (!haveFormat) {
                return Refuse("No WAV format chunk before the sound data");
            }
            const Uint32 frameBytes = Uint32(format.channels) * format.bits / BITS_PER_BYTE;
            if (length == 0 || length % frameBytes != 0) {
                return Refuse("WAV sound data of no whole samples");
            }
            if (length > MAX_SOUND_BYTES) {
                return Refuse("WAV sound too long");
            }
            if (end - body < long(length)) {
                return Refuse("WAV sound data cut short");
            }
            format.dataBytes = length;
            return true;
        }
        // Chunks are padded to an even length.
        const long next = body + long(length) + long(length & 1);
        if (body + long(length) > end) {
            return Refuse("WAV chunk cut short");
        }
        if (TagIs(tag, "fmt ")) {
            if (!ReadFormat(file, length, format)) {
                return false;
            }
            haveFormat = true;
        }
        // A padding byte missing at the very end is no harm: nothing follows.
        if (next < end && SDL_RWseek(file, next, RW_SEEK_SET) != next) {
            return Refuse("WAV chunk cut short");
        }
        if (next >= end) {
            return Refuse(haveFormat ? "No WAV sound data" : "No WAV format chunk");
        }
    }
    return Refuse("Too many WAV chunks before the sound data");
}

} // namespace

bool CheckWavHeader(SDL_RWops* file, WavFormat* format) {
    if (file == nullptr) {
        return false;
    }
    const long start = SDL_RWtell(file);
    const long end = SDL_RWseek(file, 0, RW_SEEK_END);
    if (start < 0 || end < start || SDL_RWseek(file, start, RW_SEEK_SET) != start) {
        SDL_SetError("Error reading from datastream");
        return false;
    }
    WavFormat read;
    const bool accepted = Check(file, end, read);
    SDL_RWseek(file, start, RW_SEEK_SET);
    if (accepted && format != nullptr) {
        *format = read;
    }
    return accepted;
}
