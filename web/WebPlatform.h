// SPDX-License-Identifier: MIT
// WebPlatform: what the browser's page supplies to the platform layer - the
// frame hand-over, a clock of visible time, downloads, the sounds' decoding,
// the sound switch, and the gamepads and fingers held (platform.js).
#pragma once

struct Mix_Chunk;

extern "C" {
// Returns once the browser has shown the frame, at its next display refresh
// while the page is visible; never while it is hidden.
void WaitForNextFrame(void);

// Milliseconds since the page started, counting only time while it was visible.
double VisibleMilliseconds(void);

// Returns once ms of visible time have passed.
void WaitVisible(unsigned ms);

// Hands the finished file at path to the player as a download of that name.
void OfferDownload(const char* path);

// A sound of the mixer's emulation made from a sound file's size bytes,
// decoded by Web Audio, which places it in stereo; never none.
Mix_Chunk* DecodeSound(const unsigned char* bytes, int size);

// 1 while the page's sound switch is off, else 0.
int SoundMuted(void);

// What each seat's gamepad holds right now, RED's seat first: for each seat
// PAD_FIELDS numbers - the fire buttons (a bit each), the d-pad as SDL's hat
// bits, and the left stick's x and y on SDL's scale. An empty seat holds
// nothing.
constexpr int PAD_FIELDS = 4;
void ReadPads(int* seats);

// The fingers held on the game, RED's (right half) first: for each,
// TOUCH_FIELDS numbers - 1 if held, else 0, then x and y in the game's pixels.
constexpr int TOUCH_FIELDS = 3;
void ReadTouches(float* fingers);
}
