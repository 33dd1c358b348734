#pragma once
#include <cstdint>

// Key codes of the standard keyboard scan set.
namespace key {
constexpr int Escape = 1, Digit1 = 2, Digit0 = 11, Q = 16, W = 17, C = 46, Space = 57, F10 = 68;
}

// Process-wide: one byte per key code; a key is down when bit 7 is set.
class KeyBuffer {
public:
    static KeyBuffer& instance();
    bool isKeyDown(int code) const { return code >= 0 && code < 256 && (bytes[code] & 0x80) != 0; }
    uint8_t bytes[256] = {};
};
