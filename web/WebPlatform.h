// SPDX-License-Identifier: MIT
// WebPlatform: what the browser's page supplies to the platform layer - the
// frame hand-over, a clock of visible time, downloads, the sounds' decoding,
// the sound switch, the gamepads and fingers held, and the online link
// (platform.js, online.js).
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

// ---- The online link, which the page holds (window.duelstarOnline). ----

// What OnlineTake returns when nothing waits, and when the other page has gone.
constexpr int ONLINE_NOTHING = -1;
constexpr int ONLINE_GONE = -2;
// Copies the oldest packet the page holds into bytes (capacity bytes; a longer
// one is dropped) and returns its length, or one of the two above.
int OnlineTake(unsigned char* bytes, int capacity);
void OnlineSend(const unsigned char* bytes, int size);
void OnlineLeave(void);
// 1 once the two pages are linked, else 0.
int OnlineLinked(void);
// ms, the last round trip the page measured; 0 before the first.
int OnlinePing(void);
void OnlineFigures(int frames, int rollbacks, int framesRolledBack, int deepest, int stalls);
// Shows the result's offer to play again and returns once both players took
// it (1), or the other page has gone (0).
int OnlineRematch(void);
}
