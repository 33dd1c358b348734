#pragma once
// The rink picture lies flat on the ice: picture x follows world x (left edge x = -60),
// picture y runs against world z (top edge z = +120). The four picture corners lie
// outside the rounded ice and hold the colours of the boards.
#include <cmath>

namespace rink {

constexpr int kTexW = 512, kTexH = 1024;
constexpr float kHalfWidth = 60, kHalfLength = 120;
constexpr float kCornerRadius = 30;
constexpr float kBoardHeight = 4.5f;
constexpr float kBoardTop = 3.0f;    // width of the rail on top of the boards
constexpr float kTableDepth = 7.0f;  // the toy's case below the ice

inline float texU(float x) { return (x + kHalfWidth) / (2 * kHalfWidth); }
inline float texV(float z) { return (kHalfLength - z) / (2 * kHalfLength); }
inline float pixelX(float x) { return texU(x) * kTexW; }
inline float pixelY(float z) { return texV(z) * kTexH; }
constexpr float kPixelsPerUnit = kTexW / (2 * kHalfWidth);

// Solid colour patches in the picture corners (pixels): the boards sample their middles.
struct Patch {
    int x0, y0, x1, y1;
    float u(float s) const { return (x0 + 4 + (x1 - x0 - 8) * s) / kTexW; }
    float v(float t) const { return (y0 + 4 + (y1 - y0 - 8) * t) / kTexH; }
};
constexpr Patch kBoardFace{0, 0, 24, 32};        // top of the board at the top, ice at the bottom
constexpr Patch kBoardRail{488, 0, 512, 32};
constexpr Patch kBoardOuter{0, 992, 24, 1024};

// True when the ice point lies inside the boards.
inline bool onIce(float x, float z) {
    const float ax = std::fabs(x), az = std::fabs(z);
    if (ax > kHalfWidth || az > kHalfLength) return false;
    if (ax <= kHalfWidth - kCornerRadius || az <= kHalfLength - kCornerRadius) return true;
    return std::hypot(ax - (kHalfWidth - kCornerRadius), az - (kHalfLength - kCornerRadius)) <= kCornerRadius;
}

struct P2 {
    float x, z;
};

// The groove of a rod of team 0 at a slide (team 1: both coordinates negated).
inline P2 groove(int rod, float slide) {
    auto lerp = [](float a, float b, float t) { return (b - a) * t + a; };
    switch (rod) {
    case 0:
        return {lerp(-15, 15, slide * 0.02f), -71};
    case 1: {
        const float s = slide * 0.78740156f;
        if (s < 10) return {lerp(-40, -46, s * 0.1f), lerp(17, 30, s * 0.1f)};
        if (s < 50) return {-46, lerp(30, 90, (s - 10) * 0.025f)};
        if (s < 70) {
            const float q = (s - 50) * 0.05f * 1.5708f;
            return {-30 - 16 * std::cos(q), 90 + 16 * std::sin(q)};
        }
        return {lerp(-30, 15, (s - 70) * 0.033333335f), 106};
    }
    case 2:
        return {-28, lerp(-106, -12, slide * 0.011111111f)};
    case 3:
        return {lerp(12, 0, slide * 0.011111111f), lerp(-13, 60, slide * 0.011111111f)};
    case 4:
        return {28, lerp(-90, -22, slide * 0.011111111f)};
    default:
        return {46, lerp(-4, 95, slide * 0.007874016f)};
    }
}

constexpr int kSlideMax[6] = {50, 127, 90, 90, 90, 127};

}  // namespace rink
