// SPDX-License-Identifier: MIT
// AudioDriver: the choice of SDL's sound driver, made the way the start-up
// chooses the video driver - only drivers that can work here are tried, so
// that a machine without sound stays silent on standard error too.
#pragma once

// The most drivers AudioDriversHere names.
constexpr int MAX_AUDIO_DRIVERS = 4;

// Where Linux lists the sound cards it found.
inline constexpr char SOUND_CARDS_LIST[] = "/proc/asound/cards";

// The drivers worth trying on this machine, best first, into names; returns
// how many. A sound server's drivers (PulseAudio, PipeWire) when its socket is
// there (PULSE_SERVER or XDG_RUNTIME_DIR/pulse/native; PIPEWIRE_REMOTE or
// XDG_RUNTIME_DIR/pipewire-0), ALSA only when cardsList names a card: with no
// card, ALSA's library prints its failures on standard error. Each SDL knows
// only some of the names (classic SDL 1.2 has "pulse", SDL 2 under
// sdl12-compat "pulseaudio" and "pipewire") and refuses the others quietly.
int AudioDriversHere(const char* (&names)[MAX_AUDIO_DRIVERS],
                     const char* cardsList = SOUND_CARDS_LIST);

// Starts SDL's audio: on the driver the player named in SDL_AUDIODRIVER, as
// it is, or else on the first of AudioDriversHere that starts. False when
// none does; the game then plays without sound. ALSA's library, when SDL
// loads it, prints nothing of its own. Call after SDL's video has started.
bool StartAudio();
