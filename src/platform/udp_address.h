#pragma once
// The part of the UDP link that does not touch a socket library, shared by the BSD
// and the Winsock link: reading the typed address and building IPv4 socket addresses.
#include <cstdint>

// An IPv4 socket address as both socket libraries lay it out: the family (host order),
// the port (network order), the address, then 8 zero bytes.
constexpr int kIPv4AddressSize = 16;
constexpr uint16_t kAddressFamilyIPv4 = 2;  // AF_INET on both

// The join menu keeps the address as zero-padded groups ("192.168.001.010"). The
// system resolvers read a leading zero as octal ("010" -> 8, "008" fails), so four
// dotted groups of digits are read here as decimal; any other text is a host name.
// On failure out is untouched.
bool parseDottedDecimal(const char* text, uint8_t out[4]);

// The name lookup of one socket library: the first IPv4 address of a host name.
using HostLookup = bool (*)(const char* name, uint8_t out[4]);
// Dotted decimal first; only other text goes to the lookup. Null or empty text fails.
bool resolveIPv4(const char* text, uint8_t out[4], HostLookup lookup);

// A port a socket cannot take fails the open rather than wrapping to another port.
bool portInRange(int port);

void fillIPv4Address(uint8_t raw[kIPv4AddressSize], int port, const uint8_t address[4]);
