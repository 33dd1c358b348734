#include "platform/image_decode.h"

#include <stb/stb_image.h>

#include <fstream>

namespace {

constexpr size_t kMaxFileBytes = 64u << 20;
constexpr int kMaxDimension = 8192;

// Only the formats the game ships; the other stb decoders stay unreachable.
bool knownFormat(const uint8_t* d, size_t n) {
    if (n >= 2 && d[0] == 0xFF && d[1] == 0xD8) return true;            // JPEG
    if (n >= 2 && d[0] == 'B' && d[1] == 'M') return true;              // BMP
    if (n >= 8 && d[0] == 0x89 && d[1] == 'P' && d[2] == 'N' && d[3] == 'G') return true;  // PNG
    return false;
}

uint32_t read32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

// Walks the JPEG's segments and scans to its end-of-image marker. Editors and cameras may
// leave any number of bytes after it, and an embedded thumbnail carries an end marker of
// its own, so neither the file's tail nor a plain byte search can tell a picture cut short.
bool jpegReachesEnd(const uint8_t* d, size_t n) {
    size_t i = 2;  // past the start-of-image marker
    while (i < n) {
        if (d[i] != 0xFF) return false;
        while (i < n && d[i] == 0xFF) ++i;  // fill bytes
        if (i >= n) return false;
        const uint8_t marker = d[i++];
        if (marker == 0xD9) return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
        if (n - i < 2) return false;
        const size_t length = size_t(d[i]) << 8 | d[i + 1];
        if (length < 2 || n - i < length) return false;
        i += length;
        if (marker != 0xDA) continue;
        // entropy-coded data: stuffed zeros and restart markers belong to it
        while (i + 1 < n && !(d[i] == 0xFF && d[i + 1] != 0x00 && (d[i + 1] < 0xD0 || d[i + 1] > 0xD7)))
            ++i;
        if (i + 1 >= n) return false;
    }
    return false;
}

// The decoder fills missing bytes with zeros; a picture cut short must fail instead.
bool complete(const uint8_t* d, size_t n) {
    if (d[0] == 'B') {
        if (n < 34) return false;
        const uint64_t offset = read32(d + 10);
        const int64_t width = int32_t(read32(d + 18));
        const int64_t height = int32_t(read32(d + 22));
        const uint64_t bits = uint64_t(d[28]) | uint64_t(d[29]) << 8;
        const uint32_t compression = read32(d + 30);
        if (compression != 0 && compression != 3) return true;  // left to the decoder
        const uint64_t rowBytes = ((uint64_t(width < 0 ? -width : width) * bits + 31) / 32) * 4;
        return offset + rowBytes * uint64_t(height < 0 ? -height : height) <= n;
    }
    if (d[0] == 0xFF) return jpegReachesEnd(d, n);
    return true;
}

}  // namespace

bool decodeImageMemory(const uint8_t* data, size_t size, DecodedImage* out) {
    *out = DecodedImage{};
    if (!data || size == 0 || size > kMaxFileBytes || !knownFormat(data, size) || !complete(data, size))
        return false;
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(data, static_cast<int>(size), &w, &h, &channels)) return false;
    if (w <= 0 || h <= 0 || w > kMaxDimension || h > kMaxDimension) return false;
    unsigned char* rgba = stbi_load_from_memory(data, static_cast<int>(size), &w, &h, &channels, 4);
    if (!rgba) return false;
    if (w <= 0 || h <= 0 || w > kMaxDimension || h > kMaxDimension) {
        stbi_image_free(rgba);
        return false;
    }
    out->width = w;
    out->height = h;
    out->pixels.resize(size_t(w) * size_t(h));
    for (size_t i = 0; i < out->pixels.size(); ++i) {
        const unsigned char* p = rgba + i * 4;
        out->pixels[i] = (uint32_t(p[3]) << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | uint32_t(p[2]);
    }
    stbi_image_free(rgba);
    return true;
}

bool decodeImageFile(const std::string& path, DecodedImage* out) {
    *out = DecodedImage{};
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<uint8_t> bytes;
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        bytes.insert(bytes.end(), buf, buf + in.gcount());
        if (bytes.size() > kMaxFileBytes) return false;
    }
    return decodeImageMemory(bytes.data(), bytes.size(), out);
}
