// SPDX-License-Identifier: MIT
#include "Packet.h"

namespace {

constexpr Uint8 MAGIC_D = 'D';
constexpr Uint8 MAGIC_S = 'S';
constexpr Uint8 KIND_INPUTS = 1;
constexpr int BYTE_BITS = 8;
constexpr Uint32 BYTE_MASK = 0xff;

class Writer {
  public:
    explicit Writer(Uint8* bytes) : bytes(bytes) {}
    void U8(Uint8 v) { bytes[at++] = v; }
    void U32(Uint32 v) {
        for (int i = 0; i < 4; ++i) {
            U8(Uint8((v >> (i * BYTE_BITS)) & BYTE_MASK));
        }
    }
    void U64(Uint64 v) {
        U32(Uint32(v & 0xffffffffu));
        U32(Uint32(v >> 32));
    }
    int Length() const { return at; }

  private:
    Uint8* bytes;
    int at = 0;
};

// Every read past the end fails the whole packet rather than reading on.
class Reader {
  public:
    Reader(const Uint8* bytes, int size) : bytes(bytes), size(size) {}
    bool U8(Uint8& v) {
        if (at >= size) {
            return false;
        }
        v = bytes[at++];
        return true;
    }
    bool U32(Uint32& v) {
        v = 0;
        for (int i = 0; i < 4; ++i) {
            Uint8 b = 0;
            if (!U8(b)) {
                return false;
            }
            v |= Uint32(b) << (i * BYTE_BITS);
        }
        return true;
    }
    bool U64(Uint64& v) {
        Uint32 low = 0;
        Uint32 high = 0;
        if (!U32(low) || !U32(high)) {
            return false;
        }
        v = Uint64(low) | (Uint64(high) << 32);
        return true;
    }
    bool AtEnd() const { return at == size; }

  private:
    const Uint8* bytes;
    int size;
    int at = 0;
};

} // namespace

int WritePacket(const InputPacket& packet, Uint8* bytes) {
    if (packet.count < 0 || packet.count > MAX_PACKET_INPUTS) {
        return 0;
    }
    Writer w(bytes);
    w.U8(MAGIC_D);
    w.U8(MAGIC_S);
    w.U8(KIND_INPUTS);
    w.U32(packet.ack);
    w.U32(packet.first);
    w.U8(Uint8(packet.count));
    for (int i = 0; i < packet.count; ++i) {
        if ((packet.inputs[i] & ~INPUT_ALL) != 0) {
            return 0;
        }
        w.U8(packet.inputs[i]);
    }
    w.U32(packet.framesPlayed);
    w.U8(Uint8(packet.advantage));
    w.U8(packet.hasCheck ? 1 : 0);
    if (packet.hasCheck) {
        w.U32(packet.checkFrame);
        w.U64(packet.checkSum);
    }
    return w.Length();
}

bool ReadPacket(const Uint8* bytes, int size, InputPacket& packet) {
    if (bytes == nullptr || size <= 0 || size > MAX_PACKET_SIZE) {
        return false;
    }
    Reader r(bytes, size);
    InputPacket p;
    Uint8 d = 0;
    Uint8 s = 0;
    Uint8 kind = 0;
    Uint8 count = 0;
    if (!r.U8(d) || !r.U8(s) || !r.U8(kind) || d != MAGIC_D || s != MAGIC_S ||
        kind != KIND_INPUTS || !r.U32(p.ack) || !r.U32(p.first) || !r.U8(count) ||
        count > MAX_PACKET_INPUTS) {
        return false;
    }
    p.count = count;
    for (int i = 0; i < p.count; ++i) {
        if (!r.U8(p.inputs[i]) || (p.inputs[i] & ~INPUT_ALL) != 0) {
            return false;
        }
    }
    Uint8 hasCheck = 0;
    Uint8 advantage = 0;
    if (!r.U32(p.framesPlayed) || !r.U8(advantage) || !r.U8(hasCheck) || hasCheck > 1) {
        return false;
    }
    p.advantage = Sint8(advantage);
    p.hasCheck = hasCheck == 1;
    if (p.hasCheck && (!r.U32(p.checkFrame) || !r.U64(p.checkSum))) {
        return false;
    }
    if (!r.AtEnd()) {
        return false;
    }
    packet = p;
    return true;
}
