// SPDX-License-Identifier: MIT
// PilotLevel: how well the computer pilot flies - how late it sees the match,
// how far off it aims and how often it notices a shot coming.
#pragma once

enum class PilotLevel { EASY, NORMAL, HARD };
