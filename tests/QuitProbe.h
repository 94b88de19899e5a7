// SPDX-License-Identifier: MIT
// QuitProbe: what the probe preloaded into the game under test writes on
// standard error once SDL_Quit has run, followed by standard output's target.
#pragma once

constexpr char QUIT_PROBE_LINE[] = "SDL_Quit ran; stdout is ";
