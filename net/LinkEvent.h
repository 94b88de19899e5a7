// SPDX-License-Identifier: MIT
// LinkEvent: what a link to the other player hands the online match at each
// look - the desktop's ENet link and the browser's page link alike.
#pragma once

enum class LinkEvent {
    NONE,      // nothing arrived
    CONNECTED, // the other player is there (joiner: the host has said hello)
    PACKET,    // a frame's packet
    LEFT,      // the other player quit or closed the game
    SILENT,    // nothing heard for the timeout
    VERSION,   // the other game speaks another protocol; GetRemoteProtocol says which
    FULL,      // the host already has its other player
};
