// The dotted-decimal address reader: any text, with or without a terminator inside it.
// Whatever it accepts must be four decimal groups of at most 255 that read back the same.
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "platform/udp_address.h"

namespace {

// The accepted form, checked independently: digits '.' digits '.' digits '.' digits.
bool wellFormed(const char* s) {
    for (int g = 0; g < 4; ++g) {
        if (g > 0 && *s++ != '.') return false;
        int digits = 0;
        while (*s >= '0' && *s <= '9') {
            ++s;
            ++digits;
        }
        if (digits == 0) return false;
    }
    return *s == '\0';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // As the program holds it: a fixed field with a zero somewhere, or the fuzzer's whole text.
    const std::string text(reinterpret_cast<const char*>(data), size);
    uint8_t out[4] = {0xA5, 0xA5, 0xA5, 0xA5};
    const bool ok = parseDottedDecimal(text.c_str(), out);

    if (!ok) {
        for (uint8_t b : out) fuzzCheck(b == 0xA5, "a refused address leaves the output alone");
        return 0;
    }
    fuzzCheck(wellFormed(text.c_str()), "accepted text has four digit groups");

    // Each group's value, read independently (leading zeros are decimal, not octal).
    const char* s = text.c_str();
    for (int g = 0; g < 4; ++g) {
        if (g > 0) ++s;
        long value = 0;
        while (*s >= '0' && *s <= '9') {
            value = value * 10 + (*s - '0');
            fuzzCheck(value <= 255, "accepted group within 0..255", static_cast<double>(value));
            ++s;
        }
        fuzzCheck(value == out[g], "group read as decimal", static_cast<double>(value), out[g]);
    }

    // The menus' zero-padded form of the same address reads back identically.
    char padded[20];
    std::snprintf(padded, sizeof padded, "%03u.%03u.%03u.%03u", out[0], out[1], out[2], out[3]);
    uint8_t again[4];
    fuzzCheck(parseDottedDecimal(padded, again), "padded form accepted");
    fuzzCheck(std::memcmp(out, again, 4) == 0, "padded form reads back the same");

    return 0;
}
