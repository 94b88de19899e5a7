// SPDX-License-Identifier: MIT
// Keyboard: the once-per-frame poll that turns SDL's key and quit events into
// held keys and this frame's commands.
#pragma once

#include "Controls.h"
#include "KeyState.h"

// Drains SDL's event queue into keys, then raises (never lowers) the commands
// of every held key: RED steers with t g f h and fires with s, BLUE with the
// cursor keys and RETURN; p takes a screenshot, m switches the sound off or
// on. Ends the process with status 0 on ESCAPE or a quit request.
void PollKeyboard(KeyState& keys, Controls& controls);
