// SPDX-License-Identifier: MIT
// WebPlatform: what the browser's page supplies to the platform layer - the
// frame hand-over, a clock of visible time and downloads (platform.js).
#pragma once

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
}
