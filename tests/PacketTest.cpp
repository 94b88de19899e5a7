// SPDX-License-Identifier: MIT
// The online packet: what is written is read back whole, and nothing short,
// long, damaged or random is ever taken for a packet.
#include "net/Packet.h"

#include <gtest/gtest.h>
#include <random>

namespace {

InputPacket Full() {
    InputPacket p;
    p.ack = 123456;
    p.first = 123400;
    p.count = MAX_PACKET_INPUTS;
    for (int i = 0; i < p.count; ++i) {
        p.inputs[i] = InputBits(i % (INPUT_ALL + 1));
    }
    p.framesPlayed = 4000000000u;
    p.advantage = -3;
    p.hasCheck = true;
    p.checkFrame = 120;
    p.checkSum = 0x0123456789abcdefull;
    return p;
}

TEST(Packet, IsReadBackAsItWasWritten) {
    const InputPacket sent = Full();
    Uint8 bytes[MAX_PACKET_SIZE];
    const int size = WritePacket(sent, bytes);
    ASSERT_GT(size, 0);
    InputPacket got;
    ASSERT_TRUE(ReadPacket(bytes, size, got));
    EXPECT_EQ(got.ack, sent.ack);
    EXPECT_EQ(got.first, sent.first);
    ASSERT_EQ(got.count, sent.count);
    for (int i = 0; i < got.count; ++i) {
        EXPECT_EQ(got.inputs[i], sent.inputs[i]) << i;
    }
    EXPECT_EQ(got.framesPlayed, sent.framesPlayed);
    EXPECT_EQ(got.advantage, sent.advantage);
    EXPECT_TRUE(got.hasCheck);
    EXPECT_EQ(got.checkFrame, sent.checkFrame);
    EXPECT_EQ(got.checkSum, sent.checkSum);
}

TEST(Packet, EveryCutOrLengthenedOneIsRefused) {
    Uint8 bytes[MAX_PACKET_SIZE];
    InputPacket plain = Full();
    plain.hasCheck = false;
    plain.count = 3;
    for (const InputPacket& sent : {Full(), plain}) {
        const int size = WritePacket(sent, bytes);
        InputPacket got;
        for (int cut = 0; cut < size; ++cut) {
            EXPECT_FALSE(ReadPacket(bytes, cut, got)) << cut << " of " << size;
        }
        if (size < MAX_PACKET_SIZE) {
            bytes[size] = 0;
            EXPECT_FALSE(ReadPacket(bytes, size + 1, got));
        }
    }
}

TEST(Packet, DamagedFieldsAreRefused) {
    Uint8 bytes[MAX_PACKET_SIZE];
    const int size = WritePacket(Full(), bytes);
    InputPacket got;
    const int COUNT_AT = 11;  // after the magic, the kind, ack and first
    const int INPUTS_AT = 12; // the first input
    struct Damage {
        int at;
        Uint8 value;
    };
    const Damage damages[] = {
        {0, 'X'},          {1, 'X'},      {2, 9}, {COUNT_AT, MAX_PACKET_INPUTS + 1},
        {INPUTS_AT, 0x20}, {size - 13, 2}};
    for (const Damage& d : damages) {
        Uint8 copy[MAX_PACKET_SIZE];
        std::copy(bytes, bytes + size, copy);
        copy[d.at] = d.value;
        EXPECT_FALSE(ReadPacket(copy, size, got)) << "byte " << d.at;
    }
    InputPacket bad = Full();
    bad.inputs[5] = 0x40;
    EXPECT_EQ(WritePacket(bad, bytes), 0);
    bad = Full();
    bad.count = MAX_PACKET_INPUTS + 1;
    EXPECT_EQ(WritePacket(bad, bytes), 0);
}

// Noise never crashes the reader, and whatever it takes is a packet that
// could have been written: read, written and read again, it is the same.
TEST(Packet, RandomBytesAreReadSafely) {
    std::mt19937 random(99);
    Uint8 bytes[MAX_PACKET_SIZE + 8];
    int taken = 0;
    for (int round = 0; round < 200000; ++round) {
        const int size = int(random() % sizeof bytes);
        for (int i = 0; i < size; ++i) {
            bytes[i] = Uint8(random());
        }
        if (round % 2 == 0 && size > 3) {
            bytes[0] = 'D';
            bytes[1] = 'S';
            bytes[2] = 1;
        }
        InputPacket got;
        if (ReadPacket(bytes, size, got)) {
            taken += 1;
            Uint8 again[MAX_PACKET_SIZE];
            const int length = WritePacket(got, again);
            ASSERT_EQ(length, size);
            ASSERT_TRUE(std::equal(again, again + length, bytes));
        }
    }
    InputPacket none;
    EXPECT_FALSE(ReadPacket(nullptr, 5, none)) << taken;
}

} // namespace
