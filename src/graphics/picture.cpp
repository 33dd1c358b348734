#include "graphics/picture.h"

#include <algorithm>

int nextPowerOfTwo(int n) {
    int p = 1;
    while (p < n && p < (1 << 30)) p <<= 1;
    return p;
}

void applyBlackColourKey(Picture* picture) {
    for (uint32_t& px : picture->pixels) px = (px & 0x00FFFFFFu) == 0 ? 0u : (px | 0xFF000000u);
}

namespace {

struct Tap {
    int index;
    double weight;
};

// For each destination cell, the source cells it covers and by how much.
std::vector<std::vector<Tap>> coverage(int src, int dst) {
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(dst));
    const double scale = double(src) / double(dst);
    for (int d = 0; d < dst; ++d) {
        double lo = d * scale, hi = (d + 1) * scale;
        int first = int(lo);
        int last = std::min(src - 1, int(hi - 1e-9));
        for (int s = first; s <= last; ++s) {
            double w = std::min(hi, double(s + 1)) - std::max(lo, double(s));
            if (w > 0) taps[size_t(d)].push_back({s, w});
        }
        if (taps[size_t(d)].empty()) taps[size_t(d)].push_back({std::min(first, src - 1), 1.0});
    }
    return taps;
}

}  // namespace

Picture resamplePicture(const Picture& source, int width, int height) {
    Picture out;
    out.width = width;
    out.height = height;
    out.pixels.assign(size_t(width) * size_t(height), 0);
    if (source.width == width && source.height == height) {
        out.pixels = source.pixels;
        return out;
    }
    const auto xs = coverage(source.width, width);
    const auto ys = coverage(source.height, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double sa = 0, sr = 0, sg = 0, sb = 0, sw = 0;
            for (const Tap& ty : ys[size_t(y)]) {
                const uint32_t* row = &source.pixels[size_t(ty.index) * size_t(source.width)];
                for (const Tap& tx : xs[size_t(x)]) {
                    uint32_t px = row[tx.index];
                    double w = ty.weight * tx.weight;
                    double a = double(px >> 24) * w;
                    sw += w;
                    sa += a;
                    sr += a * double((px >> 16) & 0xFF);
                    sg += a * double((px >> 8) & 0xFF);
                    sb += a * double(px & 0xFF);
                }
            }
            uint32_t a = 0, r = 0, g = 0, b = 0;
            if (sw > 0) a = uint32_t(sa / sw + 0.5);
            if (sa > 0) {
                r = uint32_t(sr / sa + 0.5);
                g = uint32_t(sg / sa + 0.5);
                b = uint32_t(sb / sa + 0.5);
            }
            out.pixels[size_t(y) * size_t(width) + size_t(x)] =
                (std::min(a, 255u) << 24) | (std::min(r, 255u) << 16) | (std::min(g, 255u) << 8) | std::min(b, 255u);
        }
    }
    return out;
}
