// The programs' icon: crossed sticks and a puck on an ice tile. For Windows (resource 32512)
// drawn at each of the sizes Windows asks for, packed as an .ico of 32-bit pictures; for the
// Linux desktop one PNG a size, the 640x480 build's with its screen width on a badge.
#include "icon.h"

#include <cmath>
#include <iterator>

#include <stb/stb_image_write.h>

#include "canvas.h"
#include "text.h"

namespace {

constexpr int kSizes[] = {16, 32, 48, 64};

Canvas iconPicture(int n) {
    const float s = n / 48.0f;
    Canvas c(n, n);
    c.verticalGradient(1 * s, 1 * s, 47 * s, 47 * s, rgb(0xE6F4FF), rgb(0x7FB4E8), 7 * s);
    c.frame(1 * s, 1 * s, 47 * s, 47 * s, std::max(1.0f, 1.5f * s), rgb(0x0B2456), 7 * s);
    // Two sticks crossing above the puck, blades at the bottom.
    c.line(11 * s, 7 * s, 32 * s, 30 * s, 4.5f * s, rgb(0xB07A3A));
    c.line(32 * s, 30 * s, 40 * s, 30 * s, 5 * s, rgb(0x1E2430));
    c.line(37 * s, 7 * s, 16 * s, 30 * s, 4.5f * s, rgb(0xD8A868));
    c.line(16 * s, 30 * s, 8 * s, 30 * s, 5 * s, rgb(0x1E2430));
    // The puck, seen a little from above.
    c.circle(24 * s, 38.5f * s, 6 * s, rgb(0x101010));
    c.circle(24 * s, 37.3f * s, 5.5f * s, rgb(0x2C2C2C));
    return c;
}

uint8_t channel(float v) { return uint8_t(std::lround(clamp01(v) * 255.0f)); }

void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF), put16(b, v >> 16);
}

// One icon image: a bottom-up 32-bit BGRA DIB of double height, then its 1-bit mask.
std::vector<uint8_t> iconImage(const Canvas& c) {
    const int n = c.width();
    const int maskStride = ((n + 31) / 32) * 4;
    std::vector<uint8_t> b;
    put32(b, 40), put32(b, uint32_t(n)), put32(b, uint32_t(2 * n));
    put16(b, 1), put16(b, 32), put32(b, 0);
    put32(b, uint32_t(n * n * 4 + maskStride * n));
    put32(b, 0), put32(b, 0), put32(b, 0), put32(b, 0);
    for (int y = n - 1; y >= 0; --y)
        for (int x = 0; x < n; ++x) {
            const Color p = c.at(x, y);
            b.push_back(channel(p.b)), b.push_back(channel(p.g)), b.push_back(channel(p.r));
            b.push_back(channel(p.a));
        }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<uint8_t> row(size_t(maskStride), 0);
        for (int x = 0; x < n; ++x)
            if (c.at(x, y).a < 0.5f) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

}  // namespace

std::vector<uint8_t> iconPng(int size, const std::string& badge) {
    Canvas c = iconPicture(size);
    if (!badge.empty()) {
        const float s = size / 48.0f;
        c.rect(27 * s, 35 * s, 46.5f * s, 46.5f * s, rgb(0x0B2456), 3 * s);
        TypeSetting ts = fitText(badge, TypeSetting{FontFace::Sans, 10 * s}, 16 * s, 9 * s);
        paintTextIn(c, renderText(badge, ts), 27 * s, 35 * s, 46.5f * s, 46.5f * s, 1, solid(rgb(0xFFFFFF)));
    }
    std::vector<uint8_t> pixels;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const Color p = c.at(x, y);
            for (float v : {p.r, p.g, p.b, p.a}) pixels.push_back(channel(v));
        }
    std::vector<uint8_t> bytes;
    const auto append = [](void* context, void* data, int n) {
        auto* out = static_cast<std::vector<uint8_t>*>(context);
        out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + n);
    };
    if (!stbi_write_png_to_func(append, &bytes, size, size, 4, pixels.data(), size * 4)) bytes.clear();
    return bytes;
}

std::vector<uint8_t> iconFile() {
    const int count = int(std::size(kSizes));
    std::vector<std::vector<uint8_t>> images;
    for (int n : kSizes) images.push_back(iconImage(iconPicture(n)));
    std::vector<uint8_t> b;
    put16(b, 0), put16(b, 1), put16(b, uint32_t(count));
    uint32_t offset = 6 + 16 * uint32_t(count);
    for (int i = 0; i < count; ++i) {
        b.push_back(uint8_t(kSizes[i])), b.push_back(uint8_t(kSizes[i]));
        b.push_back(0), b.push_back(0);
        put16(b, 1), put16(b, 32);
        put32(b, uint32_t(images[size_t(i)].size())), put32(b, offset);
        offset += uint32_t(images[size_t(i)].size());
    }
    for (const auto& image : images) b.insert(b.end(), image.begin(), image.end());
    return b;
}
