#include "canvas.h"

#include "rng.h"

Color rgb(uint32_t hex, float alpha) {
    return Color{((hex >> 16) & 0xFF) / 255.0f, ((hex >> 8) & 0xFF) / 255.0f, (hex & 0xFF) / 255.0f, alpha};
}

Color mix(const Color& a, const Color& b, float t) {
    return Color{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Color scaled(const Color& c, float k) { return Color{c.r * k, c.g * k, c.b * k, c.a}; }

float sdCircle(float x, float y, float cx, float cy, float r) { return std::hypot(x - cx, y - cy) - r; }

float sdBox(float x, float y, float x0, float y0, float x1, float y1, float radius) {
    const float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
    const float hx = (x1 - x0) * 0.5f - radius, hy = (y1 - y0) * 0.5f - radius;
    const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float sdSegment(float x, float y, float ax, float ay, float bx, float by, float halfWidth) {
    const float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    const float len2 = dx * dx + dy * dy;
    const float t = len2 > 0 ? clamp01((px * dx + py * dy) / len2) : 0.0f;
    return std::hypot(px - dx * t, py - dy * t) - halfWidth;
}

float sdPolygon(float x, float y, const std::vector<float>& xy) {
    const size_t n = xy.size() / 2;
    float best = 1e30f;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const float ax = xy[2 * j], ay = xy[2 * j + 1], bx = xy[2 * i], by = xy[2 * i + 1];
        best = std::min(best, sdSegment(x, y, ax, ay, bx, by, 0));
        if ((by > y) != (ay > y) && x < (ax - bx) * (y - by) / (ay - by) + bx) inside = !inside;
    }
    return inside ? -best : best;
}

Canvas::Canvas(int w, int h, Color fill) : w_(w), h_(h), px_(static_cast<size_t>(w) * h * 4) { this->fill(fill); }

Color Canvas::at(int x, int y) const {
    const float* p = &px_[(static_cast<size_t>(y) * w_ + x) * 4];
    if (p[3] <= 0) return Color{0, 0, 0, 0};
    return Color{p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

void Canvas::set(int x, int y, const Color& c) {
    float* p = &px_[(static_cast<size_t>(y) * w_ + x) * 4];
    p[0] = c.r * c.a, p[1] = c.g * c.a, p[2] = c.b * c.a, p[3] = c.a;
}

void Canvas::blend(int x, int y, const Color& c, float k) {
    const float a = c.a * k;
    if (a <= 0) return;
    float* p = &px_[(static_cast<size_t>(y) * w_ + x) * 4];
    p[0] = c.r * a + p[0] * (1 - a);
    p[1] = c.g * a + p[1] * (1 - a);
    p[2] = c.b * a + p[2] * (1 - a);
    p[3] = a + p[3] * (1 - a);
}

void Canvas::fill(const Color& c) {
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) set(x, y, c);
}

void Canvas::circle(float cx, float cy, float r, const Color& c) {
    paintShape(cx - r, cy - r, cx + r, cy + r, [&](float x, float y) { return sdCircle(x, y, cx, cy, r); },
               [&](float, float) { return c; });
}

void Canvas::ring(float cx, float cy, float r, float halfWidth, const Color& c) {
    const float e = r + halfWidth;
    paintShape(cx - e, cy - e, cx + e, cy + e,
               [&](float x, float y) { return std::fabs(sdCircle(x, y, cx, cy, r)) - halfWidth; },
               [&](float, float) { return c; });
}

void Canvas::rect(float x0, float y0, float x1, float y1, const Color& c, float radius) {
    paintShape(x0, y0, x1, y1, [&](float x, float y) { return sdBox(x, y, x0, y0, x1, y1, radius); },
               [&](float, float) { return c; });
}

void Canvas::frame(float x0, float y0, float x1, float y1, float thickness, const Color& c, float radius) {
    paintShape(x0, y0, x1, y1,
               [&](float x, float y) {
                   const float d = sdBox(x, y, x0, y0, x1, y1, radius);
                   return std::max(d, -d - thickness);
               },
               [&](float, float) { return c; });
}

void Canvas::line(float ax, float ay, float bx, float by, float width, const Color& c) {
    const float e = width * 0.5f;
    paintShape(std::min(ax, bx) - e, std::min(ay, by) - e, std::max(ax, bx) + e, std::max(ay, by) + e,
               [&](float x, float y) { return sdSegment(x, y, ax, ay, bx, by, e); },
               [&](float, float) { return c; });
}

void Canvas::polygon(const std::vector<float>& xy, const Color& c) {
    float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        x0 = std::min(x0, xy[i]), x1 = std::max(x1, xy[i]);
        y0 = std::min(y0, xy[i + 1]), y1 = std::max(y1, xy[i + 1]);
    }
    paintShape(x0, y0, x1, y1, [&](float x, float y) { return sdPolygon(x, y, xy); },
               [&](float, float) { return c; });
}

void Canvas::verticalGradient(float x0, float y0, float x1, float y1, const Color& top, const Color& bottom,
                              float radius) {
    paintShape(x0, y0, x1, y1, [&](float x, float y) { return sdBox(x, y, x0, y0, x1, y1, radius); },
               [&](float, float y) { return mix(top, bottom, clamp01((y - y0) / (y1 - y0))); });
}

void Canvas::draw(const Canvas& src, int x, int y) {
    for (int j = 0; j < src.h_; ++j)
        for (int i = 0; i < src.w_; ++i) {
            const int tx = x + i, ty = y + j;
            if (tx < 0 || ty < 0 || tx >= w_ || ty >= h_) continue;
            blend(tx, ty, src.at(i, j));
        }
}

Canvas Canvas::crop(int x, int y, int w, int h) const {
    Canvas out(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            for (int k = 0; k < 4; ++k)
                out.px_[(static_cast<size_t>(j) * w + i) * 4 + k] =
                    px_[(static_cast<size_t>(y + j) * w_ + (x + i)) * 4 + k];
    return out;
}

void Canvas::blur(int radius, int passes) {
    std::vector<float> tmp(px_.size());
    const float norm = 1.0f / (2 * radius + 1);
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x)
                for (int k = 0; k < 4; ++k) {
                    float s = 0;
                    for (int d = -radius; d <= radius; ++d) {
                        const int xx = std::clamp(x + d, 0, w_ - 1);
                        s += px_[(static_cast<size_t>(y) * w_ + xx) * 4 + k];
                    }
                    tmp[(static_cast<size_t>(y) * w_ + x) * 4 + k] = s * norm;
                }
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x)
                for (int k = 0; k < 4; ++k) {
                    float s = 0;
                    for (int d = -radius; d <= radius; ++d) {
                        const int yy = std::clamp(y + d, 0, h_ - 1);
                        s += tmp[(static_cast<size_t>(yy) * w_ + x) * 4 + k];
                    }
                    px_[(static_cast<size_t>(y) * w_ + x) * 4 + k] = s * norm;
                }
    }
}

static uint8_t toByte(float v) { return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f)); }

std::vector<uint8_t> Canvas::rgb8() const {
    std::vector<uint8_t> out(static_cast<size_t>(w_) * h_ * 3);
    for (size_t i = 0, n = static_cast<size_t>(w_) * h_; i < n; ++i)
        for (int k = 0; k < 3; ++k) out[i * 3 + k] = toByte(px_[i * 4 + k]);
    return out;
}

std::vector<uint8_t> Canvas::keyed8(int minLevel) const {
    std::vector<uint8_t> out(static_cast<size_t>(w_) * h_ * 3, 0);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            const Color c = at(x, y);
            if (c.a < 0.5f) continue;
            uint8_t v[3] = {toByte(c.r), toByte(c.g), toByte(c.b)};
            const int top = std::max({v[0], v[1], v[2]});
            if (top < minLevel) {
                // Keep the hue, raise the brightness to the floor.
                for (auto& ch : v)
                    ch = static_cast<uint8_t>(top > 0 ? std::min(255, ch * minLevel / top) : minLevel);
            }
            uint8_t* o = &out[(static_cast<size_t>(y) * w_ + x) * 3];
            o[0] = v[0], o[1] = v[1], o[2] = v[2];
        }
    return out;
}

Canvas ringMarker(float radius, float line, const Color& rim, const Color& body, const Color& light) {
    Canvas c(32, 32);
    c.ring(16, 16, radius, 2.6f, rim);
    c.ring(16, 16, radius, 1.6f, body);
    c.paintShape(0, 0, 32, 32, [&](float x, float y) { return std::fabs(sdCircle(x, y, 16, 16, radius)) - line; },
                 [&](float, float y) { return y < 16 ? light : body; });
    return c;
}

float valueNoise(float x, float y, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const float tx = x - fx, ty = y - fy;
    const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    auto h = [&](int i, int j) { return hashUnit(static_cast<uint32_t>(i), static_cast<uint32_t>(j), seed); };
    const float a = h(ix, iy), b = h(ix + 1, iy), c = h(ix, iy + 1), d = h(ix + 1, iy + 1);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

float fbm(float x, float y, uint32_t seed, int octaves) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += valueNoise(x, y, seed + static_cast<uint32_t>(o) * 7919u) * amp;
        norm += amp;
        x *= 2.0f, y *= 2.0f, amp *= 0.5f;
    }
    return sum / norm;
}
