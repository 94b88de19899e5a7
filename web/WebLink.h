// SPDX-License-Identifier: MIT
// WebLink: the browser's link to the other player - the page's WebRTC data
// channel, or the room service's relay (netlink.js, online.js). The page has
// found the room and the side before the game starts; the game waits here only
// for the two pages to link.
#pragma once

#include "net/LinkEvent.h"

#include <SDL_types.h>

class Session;

class WebLink {
  public:
    WebLink() = default;
    WebLink(const WebLink&) = delete;
    WebLink& operator=(const WebLink&) = delete;

    // The room's maker flies RED and sets the input delay; the page has the
    // room already, so neither can fail.
    bool Host(Uint16 port, int delay, char* why, int whySize);
    bool Join(const char* name, Uint16 port, char* why, int whySize);

    // Takes the next packet the page holds, without waiting; LEFT once the
    // other page has gone.
    LinkEvent Poll(Uint8* bytes, int capacity, int& size);
    void Send(const Uint8* bytes, int size);
    // Tells the other page this game is leaving.
    void Leave();

    bool IsConnected() const;
    int GetDelay() const { return delay; }
    // Both pages come from the same host and so the same release.
    Uint32 GetRemoteProtocol() const;
    // The page's last ping, ms.
    Uint32 GetRoundTrip() const;

    // Hands the session's figures to the page (window.duelstarNet), for the
    // player's line and whoever measures the match.
    void ShowFigures(const Session& session) const;
    // With the result shown, waits for both players to ask for another
    // match: true then, false when the other has gone.
    bool AwaitRematch();

  private:
    int delay = 0;
};
