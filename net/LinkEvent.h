// SPDX-License-Identifier: MIT
// LinkEvent: what a link to the other player hands the online match at each
// look - the desktop's ENet link and the browser's page link alike.
#pragma once

#include <SDL_types.h>

// The other player unheard for this long has gone: their machine or network
// died without a word. The link and the match both go by it.
constexpr Uint32 SILENCE_LIMIT = 5000; // ms

enum class LinkEvent {
    NONE,      // nothing arrived
    CONNECTED, // the other player is there (joiner: the host has said hello)
    PACKET,    // a frame's packet
    LEFT,      // the other player quit or closed the game
    SILENT,    // nothing heard for the timeout
    VERSION,   // the other game speaks another protocol; GetRemoteProtocol says which
    FULL,      // the host already has its other player
};
