// SPDX-License-Identifier: MIT
// The browser's sound driver: the page's Web Audio, which SDL_mixer's
// emulation opens itself; there is no driver to choose.
#include "sfx/AudioDriver.h"

bool StartAudio() { return true; }
