// SPDX-License-Identifier: MIT
#include "EnetLink.h"

#include "Packet.h"

#include <cstdio>
#include <cstring>
#include <enet/enet.h>

namespace {

constexpr size_t HOST_PEERS = 2; // the other player, and room to turn a third away
constexpr size_t JOIN_PEERS = 1;
constexpr size_t CHANNELS = 2;
constexpr enet_uint8 RELIABLE_CHANNEL = 0;
constexpr enet_uint8 FRAME_CHANNEL = 1;
constexpr enet_uint32 TIMEOUT_ROUND_TRIPS = 32;

// Why a connection ended, sent with the disconnection beside the protocol.
constexpr enet_uint32 REASON_QUIT = 1;
constexpr enet_uint32 REASON_VERSION = 2;
constexpr enet_uint32 REASON_FULL = 3;
constexpr int REASON_SHIFT = 16;
constexpr enet_uint32 PROTOCOL_MASK = 0xffff;

constexpr Uint8 HELLO[] = {'D', 'S', 2}; // then the delay, one byte
constexpr int HELLO_SIZE = int(sizeof HELLO) + 1;

enet_uint32 Farewell(enet_uint32 reason) { return (reason << REASON_SHIFT) | NET_PROTOCOL; }

bool StartEnet(char* why, int whySize) {
    static bool started = false;
    if (!started && enet_initialize() != 0) {
        std::snprintf(why, size_t(whySize), "ENet could not start");
        return false;
    }
    started = true;
    return true;
}

// ENet keeps a packet it accepted and leaves a refused one to the caller.
void SendPacket(ENetPeer* to, enet_uint8 channel, const void* bytes, size_t size,
                enet_uint32 flags) {
    ENetPacket* packet = enet_packet_create(bytes, size, flags);
    if (packet != nullptr && enet_peer_send(to, channel, packet) != 0) {
        enet_packet_destroy(packet);
    }
}

} // namespace

bool EnetLink::Host(Uint16 port, int hostDelay, char* why, int whySize) {
    if (!StartEnet(why, whySize)) {
        return false;
    }
    ENetAddress address;
    address.host = ENET_HOST_ANY;
    address.port = port;
    host = enet_host_create(&address, HOST_PEERS, CHANNELS, 0, 0);
    if (host == nullptr) {
        std::snprintf(why, size_t(whySize), "Cannot listen on UDP port %u (is it in use?)",
                      unsigned(port));
        return false;
    }
    // A checksum on every datagram: a damaged or cut one is dropped whole.
    host->checksum = enet_crc32;
    hosting = true;
    delay = hostDelay;
    return true;
}

bool EnetLink::Join(const char* name, Uint16 port, char* why, int whySize) {
    if (!StartEnet(why, whySize)) {
        return false;
    }
    ENetAddress address;
    if (enet_address_set_host(&address, name) != 0) {
        std::snprintf(why, size_t(whySize), "Unknown host '%s'", name);
        return false;
    }
    address.port = port;
    host = enet_host_create(nullptr, JOIN_PEERS, CHANNELS, 0, 0);
    if (host == nullptr) {
        std::snprintf(why, size_t(whySize), "Cannot open a UDP socket");
        return false;
    }
    host->checksum = enet_crc32;
    peer = enet_host_connect(host, &address, CHANNELS, NET_PROTOCOL);
    if (peer == nullptr) {
        std::snprintf(why, size_t(whySize), "Cannot call %s:%u", name, unsigned(port));
        return false;
    }
    enet_peer_timeout(peer, TIMEOUT_ROUND_TRIPS, SILENCE_LIMIT, SILENCE_LIMIT);
    return true;
}

LinkEvent EnetLink::Poll(Uint8* bytes, int capacity, int& size) {
    size = 0;
    if (host == nullptr) {
        return LinkEvent::NONE;
    }
    ENetEvent event;
    while (enet_host_service(host, &event, 0) > 0) {
        switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            if (!hosting) {
                break; // the joiner waits for the host's hello
            }
            if (peer != nullptr) {
                enet_peer_disconnect(event.peer, Farewell(REASON_FULL));
                break;
            }
            if (event.data != NET_PROTOCOL) {
                remoteProtocol = event.data;
                enet_peer_disconnect(event.peer, Farewell(REASON_VERSION));
                enet_host_flush(host);
                return LinkEvent::VERSION;
            }
            peer = event.peer;
            enet_peer_timeout(peer, TIMEOUT_ROUND_TRIPS, SILENCE_LIMIT, SILENCE_LIMIT);
            {
                const Uint8 hello[HELLO_SIZE] = {HELLO[0], HELLO[1], HELLO[2], Uint8(delay)};
                SendPacket(peer, RELIABLE_CHANNEL, hello, sizeof hello, ENET_PACKET_FLAG_RELIABLE);
            }
            connected = true;
            return LinkEvent::CONNECTED;
        case ENET_EVENT_TYPE_RECEIVE: {
            const ENetPacket* packet = event.packet;
            const bool fromPeer = event.peer == peer;
            LinkEvent result = LinkEvent::NONE;
            if (fromPeer && !hosting && !connected && int(packet->dataLength) == HELLO_SIZE &&
                std::memcmp(packet->data, HELLO, sizeof HELLO) == 0 &&
                packet->data[HELLO_SIZE - 1] <= 8) {
                delay = packet->data[HELLO_SIZE - 1];
                connected = true;
                result = LinkEvent::CONNECTED;
            } else if (fromPeer && connected && int(packet->dataLength) <= capacity) {
                std::memcpy(bytes, packet->data, packet->dataLength);
                size = int(packet->dataLength);
                result = LinkEvent::PACKET;
            }
            enet_packet_destroy(event.packet);
            if (result != LinkEvent::NONE) {
                return result;
            }
            break;
        }
        case ENET_EVENT_TYPE_DISCONNECT: {
            if (event.peer != peer) {
                break; // a turned-away third player, gone
            }
            peer = nullptr;
            connected = false;
            const enet_uint32 reason = event.data >> REASON_SHIFT;
            remoteProtocol = event.data & PROTOCOL_MASK;
            if (reason == REASON_VERSION) {
                return LinkEvent::VERSION;
            }
            if (reason == REASON_FULL) {
                return LinkEvent::FULL;
            }
            return reason == REASON_QUIT ? LinkEvent::LEFT : LinkEvent::SILENT;
        }
        case ENET_EVENT_TYPE_NONE:
            break;
        }
    }
    return LinkEvent::NONE;
}

void EnetLink::Send(const Uint8* bytes, int size) {
    if (!IsConnected()) {
        return;
    }
    SendPacket(peer, FRAME_CHANNEL, bytes, size_t(size), ENET_PACKET_FLAG_UNSEQUENCED);
    enet_host_flush(host);
}

void EnetLink::Leave() {
    if (host == nullptr) {
        return;
    }
    if (peer != nullptr) {
        enet_peer_disconnect_now(peer, Farewell(REASON_QUIT));
        peer = nullptr;
    }
    enet_host_flush(host);
    connected = false;
}

Uint32 EnetLink::GetRoundTrip() const { return peer == nullptr ? 0 : peer->roundTripTime; }
