#pragma once
// The join menu keeps the address as zero-padded groups ("192.168.001.010"). The
// system resolvers read a leading zero as octal ("010" -> 8, "008" fails), so four
// dotted groups of digits are read here as decimal; any other text is a host name.
// Header-only so that the platform link can use it without depending on game code.
#include <cstdint>

inline bool parseDottedDecimal(const char* text, uint8_t out[4]) {
    if (text == nullptr) return false;
    uint8_t groups[4];
    const char* p = text;
    for (int g = 0; g < 4; ++g) {
        if (g > 0) {
            if (*p != '.') return false;
            ++p;
        }
        if (*p < '0' || *p > '9') return false;  // empty group or a sign
        int value = 0;
        while (*p >= '0' && *p <= '9') {
            value = value * 10 + (*p - '0');
            if (value > 255) return false;  // also stops overflow on long runs of digits
            ++p;
        }
        groups[g] = static_cast<uint8_t>(value);
    }
    if (*p != '\0') return false;
    for (int g = 0; g < 4; ++g) out[g] = groups[g];
    return true;
}
