// SPDX-License-Identifier: MIT
// Packet: the bytes an online match sends each frame - this machine's
// commands not yet acknowledged, what it holds of the other's, its frame for
// keeping the two clocks together and a checked frame's checksum. Fixed byte order; anything that
// does not parse whole is dropped.
#pragma once

#include "InputBits.h"

#include <SDL_types.h>

// Changes whenever the bytes below or the rules of the match change, so that
// two different games refuse each other instead of drifting apart.
constexpr Uint32 NET_PROTOCOL = 1;

// Commands in one packet: all frames not yet acknowledged, which the
// prediction limit and the input delay keep far below this.
constexpr int MAX_PACKET_INPUTS = 64; // frames
constexpr int MAX_PACKET_SIZE = 128;  // bytes

struct InputPacket {
    Uint32 ack = 0;   // frames of the receiver's commands the sender holds
    Uint32 first = 0; // the frame of inputs[0]
    int count = 0;    // 0 up to MAX_PACKET_INPUTS
    InputBits inputs[MAX_PACKET_INPUTS] = {};
    Uint32 framesPlayed = 0; // the sender's, for keeping time together
    // The sender's frames played less the receiver's as it last heard, so
    // each side sees both sides' lead measured the same way.
    Sint8 advantage = 0; // frames
    bool hasCheck = false;
    Uint32 checkFrame = 0;
    Uint64 checkSum = 0;
};

// Writes packet into bytes (at least MAX_PACKET_SIZE); returns the length,
// or 0 for a packet that cannot be written (a bad count or input).
int WritePacket(const InputPacket& packet, Uint8* bytes);

// Reads size bytes; false for anything short, long, foreign or damaged.
bool ReadPacket(const Uint8* bytes, int size, InputPacket& packet);
