#pragma once
// Texels as a locked texture level holds them: each format in its own layout, 32 bits
// 0xAARRGGBB for the 8-bit-channel formats, 16 bits for the 5-bit ones.
#include <cstdint>
#include <cstring>

#include "platform/render_types.h"

namespace pixel {

// 4 or 2; 0 for a format textures are not made in.
inline uint32_t bytesPerPixel(uint32_t format) {
    switch (format) {
    case fmt::X8R8G8B8:
    case fmt::A8R8G8B8: return 4;
    case fmt::R5G6B5:
    case fmt::X1R5G5B5:
    case fmt::A1R5G5B5: return 2;
    default: return 0;
    }
}

// 0xAARRGGBB into the format's texel: channels keep their top bits; the one alpha bit is
// set where alpha is at least 0x80; unused (X) bits are set.
inline uint32_t packPixel(uint32_t format, uint32_t argb) {
    const uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    switch (format) {
    case fmt::X8R8G8B8: return argb | 0xFF000000u;
    case fmt::A8R8G8B8: return argb;
    case fmt::R5G6B5: return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
    case fmt::X1R5G5B5:
    case fmt::A1R5G5B5: {
        const uint32_t a = format == fmt::X1R5G5B5 || (argb >> 24) >= 0x80 ? 1u : 0u;
        return a << 15 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    }
    default: return 0;
    }
}

// A texel back to 0xAARRGGBB, each channel widened by repeating its top bits; formats
// without alpha read opaque.
inline uint32_t unpackPixel(uint32_t format, uint32_t texel) {
    auto widen5 = [](uint32_t v) { return (v << 3 | v >> 2) & 0xFF; };
    switch (format) {
    case fmt::X8R8G8B8: return texel | 0xFF000000u;
    case fmt::A8R8G8B8: return texel;
    case fmt::R5G6B5: {
        const uint32_t g = (texel >> 5) & 63;
        return 0xFF000000u | widen5((texel >> 11) & 31) << 16 | ((g << 2 | g >> 4) & 0xFF) << 8 | widen5(texel & 31);
    }
    case fmt::X1R5G5B5:
    case fmt::A1R5G5B5: {
        const bool opaque = format == fmt::X1R5G5B5 || (texel >> 15) != 0;
        return (opaque ? 0xFF000000u : 0u) | widen5((texel >> 10) & 31) << 16 | widen5((texel >> 5) & 31) << 8 |
               widen5(texel & 31);
    }
    default: return 0;
    }
}

// The texel at `at` (bytesPerPixel(format) bytes, any alignment).
inline void storePixel(uint32_t format, void* at, uint32_t argb) {
    const uint32_t texel = packPixel(format, argb);
    if (bytesPerPixel(format) == 2) {
        const uint16_t t16 = static_cast<uint16_t>(texel);
        std::memcpy(at, &t16, 2);
    } else if (bytesPerPixel(format) == 4) {
        std::memcpy(at, &texel, 4);
    }
}

inline uint32_t loadTexel(uint32_t format, const void* at) {
    if (bytesPerPixel(format) == 2) {
        uint16_t t16;
        std::memcpy(&t16, at, 2);
        return t16;
    }
    uint32_t t32 = 0;
    if (bytesPerPixel(format) == 4) std::memcpy(&t32, at, 4);
    return t32;
}

}  // namespace pixel
