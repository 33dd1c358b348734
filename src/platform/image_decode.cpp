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

}  // namespace

bool decodeImageMemory(const uint8_t* data, size_t size, DecodedImage* out) {
    *out = DecodedImage{};
    if (!data || size == 0 || size > kMaxFileBytes || !knownFormat(data, size)) return false;
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
