#include "platform/udp_address.h"

#include <cstring>

bool parseDottedDecimal(const char* text, uint8_t out[4]) {
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
    std::memcpy(out, groups, 4);
    return true;
}

bool resolveIPv4(const char* text, uint8_t out[4], HostLookup lookup) {
    // Winsock's lookup answers empty text with this machine's own address.
    if (text == nullptr || *text == '\0') return false;
    if (parseDottedDecimal(text, out)) return true;
    return lookup != nullptr && lookup(text, out);
}

bool portInRange(int port) { return port >= 0 && port <= 65535; }

void fillIPv4Address(uint8_t raw[kIPv4AddressSize], int port, const uint8_t address[4]) {
    std::memset(raw, 0, kIPv4AddressSize);
    const uint16_t family = kAddressFamilyIPv4;
    std::memcpy(raw, &family, 2);
    // network order, cut to 16 bits like htons
    raw[2] = static_cast<uint8_t>((port >> 8) & 0xFF);
    raw[3] = static_cast<uint8_t>(port & 0xFF);
    std::memcpy(raw + 4, address, 4);
}
