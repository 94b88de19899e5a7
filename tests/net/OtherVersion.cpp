// SPDX-License-Identifier: MIT
// A game of another release calling a host: connects to 127.0.0.1:PORT with
// the next protocol number and prints how the host answered ("refused:
// version", "refused: full", "accepted" or "no answer").
#include "net/Packet.h"

#include <cstdio>
#include <cstdlib>
#include <enet/enet.h>

int main(int argc, char** argv) {
    if (argc != 2 || enet_initialize() != 0) {
        return 2;
    }
    ENetHost* host = enet_host_create(nullptr, 1, 2, 0, 0);
    host->checksum = enet_crc32;
    ENetAddress address;
    enet_address_set_host(&address, "127.0.0.1");
    address.port = enet_uint16(std::atoi(argv[1]));
    enet_host_connect(host, &address, 2, NET_PROTOCOL + 1);
    ENetEvent event;
    const char* answer = "no answer";
    constexpr enet_uint32 PATIENCE = 10000; // ms
    const enet_uint32 start = enet_time_get();
    while (enet_time_get() - start < PATIENCE) {
        // A refused datagram (nobody on the port yet) is an error here, not an end.
        if (enet_host_service(host, &event, 100) <= 0) {
            continue;
        }
        if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
            const enet_uint32 reason = event.data >> 16;
            answer = reason == 2 ? "refused: version" : reason == 3 ? "refused: full" : "left";
            break;
        }
        if (event.type == ENET_EVENT_TYPE_RECEIVE) {
            enet_packet_destroy(event.packet);
            answer = "accepted";
        }
    }
    std::printf("%s\n", answer);
    return 0;
}
