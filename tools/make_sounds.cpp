// SPDX-License-Identifier: MIT
// make_sounds: synthesises every sound of sfx/Sounds.h into sounds/ (or the
// folder given). Run by hand to remake them, and by the tests to prove the
// committed files are still what it makes. Only additions, multiplications and
// divisions of doubles go into a sample - no library sine or exponential - and
// the files are written byte by byte, little-endian, so every machine makes
// the very same bytes.
#include "sfx/Sounds.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr double RATE = SOUND_RATE; // samples per second
constexpr double PI = 3.14159265358979323846;
constexpr double FULL_SCALE = 32767.0; // the loudest 16-bit sample
constexpr double PEAK = 0.89;          // of full scale: about -1 dBFS, room for the mixer

using Samples = std::vector<double>;

// ---- Deterministic building blocks ----

int SamplesFor(double seconds) { return int(seconds * RATE + 0.5); }

// sin(2 pi turns), from its Taylor series over a quarter turn.
double Sine(double turns) {
    turns -= double(int64_t(turns));
    if (turns < 0.0) {
        turns += 1.0;
    }
    // Fold onto [-1/4, 1/4] of a turn, where the series converges fast.
    double t = turns;
    if (t > 0.75) {
        t -= 1.0;
    } else if (t > 0.25) {
        t = 0.5 - t;
    }
    const double x = 2.0 * PI * t;
    const double x2 = x * x;
    double term = x;
    double sum = x;
    for (int n = 1; n <= 8; ++n) {
        term *= -x2 / double((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

constexpr double HIGHEST = 0.45 * RATE; // Hz: harmonics above it would fold back as noise

// A square from its first odd harmonics, those the sample rate can hold at hz.
double SoftSquare(double turns, double hz, int harmonics) {
    double sum = 0.0;
    for (int k = 0; k < harmonics && hz * (2 * k + 1) < HIGHEST; ++k) {
        const int h = 2 * k + 1;
        sum += Sine(turns * h) / double(h);
    }
    return sum * (4.0 / PI);
}

// A sawtooth made the same way, all harmonics falling as 1/h.
double SoftSaw(double turns, double hz, int harmonics) {
    double sum = 0.0;
    for (int h = 1; h <= harmonics && hz * h < HIGHEST; ++h) {
        sum += Sine(turns * h) / double(h);
    }
    return sum * (2.0 / PI);
}

// base^n for a whole n, by squaring.
double Power(double base, int n) {
    double p = 1.0;
    for (int e = n; e > 0; e >>= 1) {
        if (e & 1) {
            p *= base;
        }
        base *= base;
    }
    return p;
}

// The factor r with r^n = target (0 < target < 2^n), by bisection, so that no
// library power or logarithm is needed.
double RootOf(double target, int n) {
    double lo = 0.0;
    double hi = 2.0;
    for (int i = 0; i < 64; ++i) {
        const double mid = (lo + hi) / 2.0;
        if (Power(mid, n) < target) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return (lo + hi) / 2.0;
}

constexpr double SILENT = 0.001; // -60 dB, where a decay counts as over

// The per-sample factor that takes a level to SILENT in seconds.
double DecayPerSample(double seconds) { return RootOf(SILENT, SamplesFor(seconds)); }

// A frequency gliding from one to another: exponential in pitch, as the ear
// hears it; it stays at its target once there.
struct Glide {
    double to;  // Hz
    double now; // Hz
    double perSample;
    Glide(double fromHz, double toHz, double seconds)
        : to(toHz), now(fromHz), perSample(RootOf(toHz / fromHz, SamplesFor(seconds))) {}
    // The frequency now, then one sample on.
    double Step() {
        const double f = now;
        const double next = now * perSample;
        now = (perSample < 1.0) == (next < to) ? to : next;
        return f;
    }
};

// White noise from a 32-bit xorshift, in [-1, 1).
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state(seed) {}
    double Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return double(state) / 2147483648.0 - 1.0;
    }
};

// One-pole low-pass; the cut is the fraction of the way moved each sample.
struct LowPass {
    double y = 0.0;
    double Step(double x, double cut) {
        y += cut * (x - y);
        return y;
    }
};

// The cut of a one-pole low-pass for a corner frequency (small-angle form).
double CutFor(double hz) {
    const double w = 2.0 * PI * hz / RATE;
    return w / (w + 1.0);
}

// A short linear fade at both ends, so no cue starts or stops with a click.
void Fade(Samples& s, double inSeconds, double outSeconds) {
    const int in = SamplesFor(inSeconds);
    const int out = SamplesFor(outSeconds);
    const int n = int(s.size());
    for (int i = 0; i < in && i < n; ++i) {
        s[size_t(i)] *= double(i) / double(in);
    }
    for (int i = 0; i < out && i < n; ++i) {
        s[size_t(n - 1 - i)] *= double(i) / double(out);
    }
}

// Scales the loudest sample to PEAK.
void Normalise(Samples& s) {
    double peak = 0.0;
    for (double v : s) {
        const double a = v < 0.0 ? -v : v;
        peak = a > peak ? a : peak;
    }
    if (peak > 0.0) {
        for (double& v : s) {
            v *= PEAK / peak;
        }
    }
}

// ---- The cues ----

// A laser: a bright tone diving in pitch, with a sparkle of noise at its start.
struct ZapVoice {
    double seconds;
    double fromHz;
    double toHz;
    int harmonics;   // odd harmonics of the square (RED) or all of the saw (BLUE)
    bool saw;        // the wave's shape
    double wobbleHz; // vibrato rate
    double wobble;   // vibrato depth, as a fraction of the pitch
    double sub;      // a second voice an octave and a fifth down, its level
    uint32_t seed;
};

Samples MakeZap(const ZapVoice& v) {
    const int n = SamplesFor(v.seconds);
    Samples s(size_t(n), 0.0);
    Glide pitch(v.fromHz, v.toHz, v.seconds * 0.8);
    Noise noise(v.seed);
    LowPass tone;
    const double decay = DecayPerSample(v.seconds * 1.5);
    const double sparkleDecay = DecayPerSample(0.03);
    double level = 1.0;
    double sparkle = 0.6;
    double phase = 0.0;
    double subPhase = 0.0;
    double wobblePhase = 0.0;
    for (int i = 0; i < n; ++i) {
        const double f = pitch.Step() * (1.0 + v.wobble * Sine(wobblePhase));
        phase += f / RATE;
        subPhase += f / 3.0 / RATE;
        wobblePhase += v.wobbleHz / RATE;
        phase -= double(int64_t(phase));
        subPhase -= double(int64_t(subPhase));
        wobblePhase -= double(int64_t(wobblePhase));
        const double wave =
            v.saw ? SoftSaw(phase, f, v.harmonics) : SoftSquare(phase, f, v.harmonics);
        const double body = tone.Step(wave, 0.55) + v.sub * Sine(subPhase);
        s[size_t(i)] = level * body + sparkle * noise.Next();
        level *= decay;
        sparkle *= sparkleDecay;
    }
    Fade(s, 0.002, 0.02);
    Normalise(s);
    return s;
}

// A hit: a hard click of noise over a falling low thump.
Samples MakeHit() {
    const double seconds = 0.22;
    const int n = SamplesFor(seconds);
    Samples s(size_t(n), 0.0);
    Glide thump(230.0, 62.0, 0.12);
    Noise noise(0x9E3779B9u);
    LowPass crack;
    LowPass body;
    const double thumpDecay = DecayPerSample(0.2);
    const double crackDecay = DecayPerSample(0.06);
    double thumpLevel = 1.0;
    double crackLevel = 1.0;
    double phase = 0.0;
    for (int i = 0; i < n; ++i) {
        phase += thump.Step() / RATE;
        phase -= double(int64_t(phase));
        // The thump is driven hard into a soft clip, for punch.
        double t = 2.2 * Sine(phase);
        t = t / (1.0 + (t < 0.0 ? -t : t));
        const double hiss = noise.Next();
        const double crackle = crack.Step(hiss, 0.6) - body.Step(hiss, CutFor(900.0));
        s[size_t(i)] = 0.9 * thumpLevel * t + 0.75 * crackLevel * crackle;
        thumpLevel *= thumpDecay;
        crackLevel *= crackDecay;
    }
    Fade(s, 0.001, 0.03);
    Normalise(s);
    return s;
}

// An explosion: a blast of noise whose brightness falls away into a long
// low rumble, with crackling debris scattered through its tail.
Samples MakeExplosion() {
    const double seconds = 1.45;
    const int n = SamplesFor(seconds);
    Samples s(size_t(n), 0.0);
    Noise noise(0x2545F491u);
    Noise debris(0x7F4A7C15u);
    LowPass roar1;
    LowPass roar2;
    LowPass rumble1;
    LowPass rumble2;
    LowPass pop;
    Glide boom(72.0, 30.0, 0.9);
    const double roarDecay = DecayPerSample(0.9);
    const double rumbleDecay = DecayPerSample(1.9);
    const double boomDecay = DecayPerSample(0.7);
    const double popDecay = DecayPerSample(0.02);
    double roarLevel = 1.0;
    double rumbleLevel = 1.0;
    double boomLevel = 1.0;
    double popLevel = 0.0;
    double cut = CutFor(5200.0);
    const double cutFall = DecayPerSample(2.5); // the blast darkens as it spreads
    double phase = 0.0;
    for (int i = 0; i < n; ++i) {
        const double white = noise.Next();
        const double roar = roar2.Step(roar1.Step(white, cut), cut);
        const double rumble = rumble2.Step(rumble1.Step(white, CutFor(140.0)), CutFor(140.0));
        phase += boom.Step() / RATE;
        phase -= double(int64_t(phase));
        // Now and then a piece of debris pops, more often early on.
        const double chance = 0.004 * rumbleLevel;
        if ((debris.Next() + 1.0) / 2.0 < chance) {
            popLevel = 0.3 + 0.4 * (debris.Next() + 1.0) / 2.0;
        }
        const double crackle = pop.Step(noise.Next(), CutFor(2500.0)) * popLevel;
        const double attack = i < SamplesFor(0.006) ? double(i) / double(SamplesFor(0.006)) : 1.0;
        s[size_t(i)] = attack * (1.1 * roarLevel * roar + 6.0 * rumbleLevel * rumble +
                                 0.55 * boomLevel * Sine(phase) + 0.9 * crackle);
        roarLevel *= roarDecay;
        rumbleLevel *= rumbleDecay;
        boomLevel *= boomDecay;
        popLevel *= popDecay;
        cut *= cutFall;
    }
    Fade(s, 0.0, 0.3);
    Normalise(s);
    return s;
}

// The winning jingle: a quick rising arpeggio to a held, shimmering top
// note, over in time for the result line a second after the winning hit.
Samples MakeVictory() {
    struct Note {
        double start;  // s
        double length; // s
        double hz;     // pitch
        double level;
    };
    // G4, C5, E5, G5 and a held C6, with a fifth below it.
    const Note notes[] = {
        {0.00, 0.11, 392.00, 0.8}, {0.09, 0.11, 523.25, 0.8},  {0.18, 0.11, 659.26, 0.85},
        {0.27, 0.11, 783.99, 0.9}, {0.36, 0.52, 1046.50, 1.0}, {0.36, 0.52, 698.46, 0.45},
    };
    const double seconds = 0.92;
    const int n = SamplesFor(seconds);
    Samples s(size_t(n), 0.0);
    for (const Note& note : notes) {
        const int first = SamplesFor(note.start);
        const int count = SamplesFor(note.length);
        const double decay = DecayPerSample(note.length * 1.6);
        double level = note.level;
        double phase = 0.0;
        double chorus = 0.0;
        double vibrato = 0.0;
        LowPass soft;
        for (int i = 0; i < count && first + i < n; ++i) {
            // The vibrato sets in slowly on the held note.
            const double depth =
                0.006 * (i < SamplesFor(0.3) ? double(i) / double(SamplesFor(0.3)) : 1.0);
            const double f = note.hz * (1.0 + depth * Sine(vibrato));
            phase += f / RATE;
            chorus += f * 1.004 / RATE;
            vibrato += 6.0 / RATE;
            phase -= double(int64_t(phase));
            chorus -= double(int64_t(chorus));
            vibrato -= double(int64_t(vibrato));
            // A pulse-like lead, softened, with a detuned twin for width.
            const double lead = 0.6 * SoftSquare(phase, f, 5) + 0.4 * SoftSaw(chorus, f, 6);
            const int attack = SamplesFor(0.004);
            const double gate = i < attack ? double(i) / double(attack) : 1.0;
            const int release = SamplesFor(0.015);
            const double tail = count - i < release ? double(count - i) / double(release) : 1.0;
            s[size_t(first + i)] += gate * tail * level * soft.Step(lead, 0.35);
            level *= decay;
        }
    }
    Fade(s, 0.0, 0.03);
    Normalise(s);
    return s;
}

Samples Make(Sound sound) {
    switch (sound) {
    case Sound::SHOT_RED:
        // RED: a bright square diving fast from high - a sharp "pew".
        return MakeZap({0.24, 2200.0, 260.0, 6, false, 0.0, 0.0, 0.35, 0x1234567u});
    case Sound::SHOT_BLUE:
        // BLUE: a rounder saw, lower and slower, with a warble - a "vwoom".
        return MakeZap({0.30, 1250.0, 170.0, 9, true, 38.0, 0.05, 0.5, 0x89ABCDEu});
    case Sound::HIT:
        return MakeHit();
    case Sound::EXPLOSION:
        return MakeExplosion();
    case Sound::VICTORY:
        return MakeVictory();
    default:
        return {};
    }
}

// ---- The WAV file, little-endian whatever the machine ----

void PutLE(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(uint8_t(value >> (8 * i)));
    }
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(uint8_t(tag[i]));
    }
}

std::vector<uint8_t> Wav(const Samples& s) {
    constexpr uint32_t FMT_SIZE = 16; // bytes of a PCM format chunk
    constexpr uint32_t PCM = 1;       // format tag
    constexpr uint32_t HEADER = 36;   // bytes of the RIFF form before the data
    const uint32_t blockAlign = SOUND_CHANNELS * SOUND_BITS / 8;
    const uint32_t dataSize = uint32_t(s.size()) * blockAlign;
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    PutLE(out, HEADER + dataSize, 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLE(out, FMT_SIZE, 4);
    PutLE(out, PCM, 2);
    PutLE(out, SOUND_CHANNELS, 2);
    PutLE(out, SOUND_RATE, 4);
    PutLE(out, SOUND_RATE * blockAlign, 4);
    PutLE(out, blockAlign, 2);
    PutLE(out, SOUND_BITS, 2);
    PutTag(out, "data");
    PutLE(out, dataSize, 4);
    for (double v : s) {
        double scaled = v * FULL_SCALE;
        scaled = scaled > FULL_SCALE ? FULL_SCALE : (scaled < -FULL_SCALE ? -FULL_SCALE : scaled);
        // Round half away from zero, in plain arithmetic.
        const int32_t sample = int32_t(scaled < 0.0 ? scaled - 0.5 : scaled + 0.5);
        PutLE(out, uint32_t(sample) & 0xFFFFu, 2);
    }
    return out;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : SOUNDS_FOLDER;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "make_sounds: cannot create %s: %s\n", folder.c_str(),
                     error.message().c_str());
        return 1;
    }
    for (const SoundFile& file : SOUND_FILES) {
        const std::vector<uint8_t> bytes = Wav(Make(file.sound));
        const std::string path = (folder / file.name).string();
        std::FILE* out = std::fopen(path.c_str(), "wb");
        const bool written = out != nullptr &&
                             std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() &&
                             std::fclose(out) == 0;
        if (!written) {
            std::fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
