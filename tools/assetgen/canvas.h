#pragma once
// Float RGBA pictures with anti-aliased shapes drawn from signed distances.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

struct Color {
    float r = 0, g = 0, b = 0, a = 1;
};

// 0xRRGGBB, optional alpha.
Color rgb(uint32_t hex, float alpha = 1.0f);
Color mix(const Color& a, const Color& b, float t);
Color scaled(const Color& c, float k);  // brightness, alpha kept

inline float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }
inline float smoothstep(float e0, float e1, float x) {
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// Signed distances in pixels, negative inside.
float sdCircle(float x, float y, float cx, float cy, float r);
float sdBox(float x, float y, float x0, float y0, float x1, float y1, float radius = 0);
float sdSegment(float x, float y, float ax, float ay, float bx, float by, float halfWidth);
float sdPolygon(float x, float y, const std::vector<float>& xy);  // x0,y0,x1,y1,...

// Coverage of one pixel from a signed distance (one pixel wide soft edge).
inline float coverage(float d) { return clamp01(0.5f - d); }

class Canvas {
public:
    Canvas(int w, int h, Color fill = Color{0, 0, 0, 0});

    int width() const { return w_; }
    int height() const { return h_; }

    // Straight colour of a pixel (alpha separate).
    Color at(int x, int y) const;
    void set(int x, int y, const Color& c);

    // Composite c over the pixel with extra opacity k.
    void blend(int x, int y, const Color& c, float k = 1.0f);

    void fill(const Color& c);

    // f(px, py) gives the colour at pixel centre (px, py); painted over the rectangle.
    template <class F>
    void shade(int x0, int y0, int x1, int y1, F f) {
        x0 = std::max(0, x0), y0 = std::max(0, y0), x1 = std::min(w_, x1), y1 = std::min(h_, y1);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) blend(x, y, f(x + 0.5f, y + 0.5f));
    }

    // sd(px, py) gives the signed distance; paint gives the colour inside.
    template <class SD, class P>
    void paintShape(float bx0, float by0, float bx1, float by1, SD sd, P paint) {
        const int x0 = std::max(0, static_cast<int>(std::floor(bx0)) - 1);
        const int y0 = std::max(0, static_cast<int>(std::floor(by0)) - 1);
        const int x1 = std::min(w_, static_cast<int>(std::ceil(bx1)) + 1);
        const int y1 = std::min(h_, static_cast<int>(std::ceil(by1)) + 1);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const float cx = x + 0.5f, cy = y + 0.5f;
                const float k = coverage(sd(cx, cy));
                if (k > 0) blend(x, y, paint(cx, cy), k);
            }
    }

    void circle(float cx, float cy, float r, const Color& c);
    void ring(float cx, float cy, float r, float halfWidth, const Color& c);
    void rect(float x0, float y0, float x1, float y1, const Color& c, float radius = 0);
    void frame(float x0, float y0, float x1, float y1, float thickness, const Color& c, float radius = 0);
    void line(float ax, float ay, float bx, float by, float width, const Color& c);
    void polygon(const std::vector<float>& xy, const Color& c);
    void verticalGradient(float x0, float y0, float x1, float y1, const Color& top, const Color& bottom,
                          float radius = 0);

    // Paste another canvas with its top-left at (x, y).
    void draw(const Canvas& src, int x, int y);
    Canvas crop(int x, int y, int w, int h) const;

    // Box blur of every channel, radius in pixels (repeated for a softer result).
    void blur(int radius, int passes = 2);

    // 8-bit RGB rows, alpha dropped (the picture is composed over black).
    std::vector<uint8_t> rgb8() const;
    // Colour-keyed form: pixels under half coverage become pure black, every other pixel
    // is lifted so that no channel maximum falls below minLevel.
    std::vector<uint8_t> keyed8(int minLevel) const;

private:
    int w_, h_;
    std::vector<float> px_;  // premultiplied RGBA
};

// A 32x32 marker: a ring round the centre with a dark rim and a bright body, its upper
// half lit along a line `line` wide either side of the middle; see-through inside.
Canvas ringMarker(float radius, float line, const Color& rim, const Color& body, const Color& light);

// Value noise in [0, 1] and its fractal sum; the same for the same seed everywhere.
float valueNoise(float x, float y, uint32_t seed);
float fbm(float x, float y, uint32_t seed, int octaves);
