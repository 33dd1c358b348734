#pragma once
// The one datagram of a network match, 24 bytes, byte for byte as it travels:
// 0..5 slides, 6..11 angles (low bytes), 12..15 and 16..19 two little-endian
// IEEE floats, 20 puck owner, 21 goal side, 22..23 the two scores.
#include <cstdint>

struct StateMessage {
    int8_t slide[6] = {};
    int8_t angle[6] = {};
    float x = 0.0f;
    float z = 0.0f;
    int8_t owner = 0;
    int8_t goal = 0;
    int8_t score[2] = {};
};

constexpr int kStateMessageSize = 24;

void packStateMessage(const StateMessage& message, uint8_t out[kStateMessageSize]);

// False when the bytes are not a usable message: any length but 24, or a float that
// is not finite (it would poison the puck for the rest of the match).
bool readStateMessage(const uint8_t* data, int length, StateMessage& out);

// The low byte of a pose value, as it travels.
inline int8_t lowByte(int value) { return static_cast<int8_t>(static_cast<uint8_t>(value & 0xFF)); }
