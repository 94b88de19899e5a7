// SPDX-License-Identifier: MIT
// Startup: what the desktop game makes sure of before SDL starts - open standard
// descriptors, output failures and signals that cannot kill it, and a driver that
// shows the duel - and, once SDL runs, an event queue that only keys and pads can fill.
#pragma once

// Call first in main, before SDL_Init.
// - A standard descriptor (input, output, error) closed at start is opened on
//   /dev/null, so the X connection or a picture file never takes its number
//   and the game's lines never land in them.
// - A write to a pipe whose reader has gone, or past a file size limit, fails
//   instead of killing the game, which then still ends with its own status,
//   exit handlers and all.
// - SIGHUP (the terminal the game was started from closes) ends it as SIGTERM
//   does, which SDL turns into a quit request: status 0, SDL_Quit run. A
//   SIGHUP ignored at start (nohup) stays ignored.
// - When the player names no driver in SDL_VIDEODRIVER, SDL's video starts on
//   the first driver that shows a picture on a screen (an X display, a Wayland
//   compositor, the Linux console's framebuffer) instead of SDL's own fallback
//   to text-mode art or an invisible window. With none of them, the game ends
//   with "ERROR: main(): No graphical display; set DISPLAY" and status 1. A
//   driver the player names is left for SDL_Init to start or refuse.
void PrepareStartup();

// Call right after std::atexit(SDL_Quit), so that it runs first at the exit.
// Bounds how long the exit may take to EXIT_GRACE_SECONDS: past it, or when
// the exit aborts, the game ends with the exit's own status, and prints
// "ERROR: main(): The display went away" when that exit came with no line of
// its own and a failing status. When the X server dies or the window is
// killed, Xlib ends the game with status 1 from inside a frame, and on
// sdl12-compat SDL_Quit then spins for good in SDL 2's X11 code, or aborts; a
// sound start that never finishes must not hold the exit either.
void BoundExit();

// Call right after SDL_Init, before the window shows. Switches off in SDL
// every kind of event that PollInput does not read (mouse, window focus and
// size, joystick balls, ...), so that however many of them come, SDL's event
// queue (about 128 events on classic SDL 1.2) never fills up and drops a key
// or a quit request. The gamepads' events stay on.
void IgnoreUnreadEvents();
