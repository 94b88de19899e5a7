// SPDX-License-Identifier: MIT
// EnetLink: the desktop's link to the other player, over ENet on UDP. The
// connection and its refusals go reliable; the frames' packets go unreliable
// and unsequenced, since every one repeats what the last may have lost.
#pragma once

#include "LinkEvent.h"

#include <SDL_types.h>

class Session;
struct _ENetHost;
struct _ENetPeer;

constexpr Uint16 DEFAULT_NET_PORT = 7117;

class EnetLink {
  public:
    EnetLink() = default;
    EnetLink(const EnetLink&) = delete;
    EnetLink& operator=(const EnetLink&) = delete;

    // Waits for a player on port, telling them the input delay. False, with
    // why filled, when the port cannot be had.
    bool Host(Uint16 port, int delay, char* why, int whySize);
    // Calls the host at name:port. False, with why filled, for a name that
    // cannot be found.
    bool Join(const char* name, Uint16 port, char* why, int whySize);

    // Takes what the network has, without waiting; a PACKET's bytes land in
    // bytes (capacity bytes at most; longer ones are dropped).
    LinkEvent Poll(Uint8* bytes, int capacity, int& size);
    // One frame's packet to the other player, if there is one.
    void Send(const Uint8* bytes, int size);
    // Tells the other player this game is leaving, and sends it now.
    void Leave();

    bool IsConnected() const { return peer != nullptr && connected; }
    // The host's delay, as the joiner learns it.
    int GetDelay() const { return delay; }
    Uint32 GetRemoteProtocol() const { return remoteProtocol; }
    // ENet's smoothed round trip, ms.
    Uint32 GetRoundTrip() const;

    // The desktop plays one match a run, and writes its figures at exit
    // (DUELSTAR_NET_STATS): nothing to show or wait for between matches.
    void ShowFigures(const Session& /*session*/) const {}
    bool AwaitRematch() { return false; }

  private:
    _ENetHost* host = nullptr;
    _ENetPeer* peer = nullptr;
    bool hosting = false;
    bool connected = false;
    int delay = 0;
    Uint32 remoteProtocol = 0;
};
