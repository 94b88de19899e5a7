// SPDX-License-Identifier: MIT
// Keyboard: the once-per-frame poll that turns SDL's key and quit events into
// held keys and this frame's commands, with the gamepads' events beside them.
#pragma once

#include "Controls.h"
#include "Gamepads.h"
#include "KeyState.h"

// Drains SDL's event queue into keys, then raises (never lowers) the commands
// of every held key: RED steers with t g f h and fires with s, BLUE with the
// cursor keys and RETURN; p takes a screenshot, m switches the sound off or
// on. Ends the process with status 0 on ESCAPE or a quit request.
void PollKeyboard(KeyState& keys, Controls& controls);

// The same poll with the gamepads beside the keys: the seated pads' events go
// to pads, and what the pads hold raises its commands after the keys'. A pad
// never releases a held key, quits or takes a screenshot.
void PollInput(KeyState& keys, Gamepads& pads, Controls& controls);
