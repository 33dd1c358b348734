#include "net/state_message.h"

#include <bit>
#include <cmath>

namespace {

void putFloat(uint8_t* at, float value) {
    const uint32_t bits = std::bit_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(bits >> (8 * i));
}

float getFloat(const uint8_t* at) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(at[i]) << (8 * i);
    return std::bit_cast<float>(bits);
}

uint8_t putByte(int8_t value) { return static_cast<uint8_t>(value); }
int8_t getByte(uint8_t value) { return static_cast<int8_t>(value); }

}  // namespace

void packStateMessage(const StateMessage& message, uint8_t out[kStateMessageSize]) {
    for (int i = 0; i < 6; ++i) {
        out[i] = putByte(message.slide[i]);
        out[6 + i] = putByte(message.angle[i]);
    }
    putFloat(out + 12, message.x);
    putFloat(out + 16, message.z);
    out[20] = putByte(message.owner);
    out[21] = putByte(message.goal);
    out[22] = putByte(message.score[0]);
    out[23] = putByte(message.score[1]);
}

bool readStateMessage(const uint8_t* data, int length, StateMessage& out) {
    if (data == nullptr || length != kStateMessageSize) return false;
    const float x = getFloat(data + 12);
    const float z = getFloat(data + 16);
    if (!std::isfinite(x) || !std::isfinite(z)) return false;
    for (int i = 0; i < 6; ++i) {
        out.slide[i] = getByte(data[i]);
        out.angle[i] = getByte(data[6 + i]);
    }
    out.x = x;
    out.z = z;
    out.owner = getByte(data[20]);
    out.goal = getByte(data[21]);
    out.score[0] = getByte(data[22]);
    out.score[1] = getByte(data[23]);
    return true;
}
