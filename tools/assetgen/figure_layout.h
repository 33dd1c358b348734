#pragma once
// Where each part of a figure lies on the 256x256 team textures. Shared by the figure
// meshes and the pictures painted for them, so every team texture fits every figure.
#include "mesh.h"

namespace figure {

constexpr int kTextureSize = 256;

struct PixelRect {
    int x0, y0, x1, y1;
    // Inset by a texel so filtering stays inside the region.
    UvRect uv() const {
        const float s = 1.0f / kTextureSize;
        return {(x0 + 1.0f) * s, (y0 + 1.0f) * s, (x1 - 1.0f) * s, (y1 - 1.0f) * s};
    }
};

// Around = u (figure's right side at 0, front at 1/4, left at 1/2, back at 3/4), down = v.
constexpr PixelRect kJersey{0, 0, 128, 80};
constexpr PixelRect kHead{0, 80, 128, 144};
constexpr PixelRect kSleeve{128, 0, 192, 64};  // shoulder at the top, wrist at the bottom
constexpr PixelRect kGlove{192, 0, 256, 32};
constexpr PixelRect kPants{128, 64, 256, 96};
constexpr PixelRect kLeg{128, 96, 192, 160};  // hip at the top, ankle at the bottom
constexpr PixelRect kSkate{192, 96, 256, 128};
constexpr PixelRect kBase{0, 144, 128, 176};   // top centre at the top, rim at the bottom
constexpr PixelRect kShaft{128, 160, 192, 176};  // heel at the top, butt at the bottom
constexpr PixelRect kBlade{192, 160, 256, 176};
constexpr PixelRect kPad{0, 176, 128, 256};    // goalie leg pads
constexpr PixelRect kGear{128, 176, 192, 240};  // goalie blocker and catching glove
constexpr PixelRect kSpare{192, 176, 256, 256};

// Fractions of the jersey's width where front and back lie.
constexpr float kFrontU = 0.25f;
constexpr float kBackU = 0.75f;
// Head rows: the sphere from the top pole (0) to where the neck starts.
constexpr float kHeadChinV = 0.84f;

}  // namespace figure
