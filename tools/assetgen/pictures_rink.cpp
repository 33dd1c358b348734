// The rink picture (ice, lines, grooves, board colours) and the goal's frame and net.
#include <vector>

#include "assetgen.h"
#include "canvas.h"
#include "output.h"
#include "rink_layout.h"
#include "rng.h"

using namespace rink;

namespace {

struct Px {
    float x, y;
};
Px toPx(float x, float z) { return {pixelX(x), pixelY(z)}; }
float units(float u) { return u * kPixelsPerUnit; }

// Distance in pixels from each pixel centre to the nearest of many segments.
class DistanceField {
public:
    DistanceField(int w, int h, float reach) : w_(w), h_(h), reach_(reach), d_(size_t(w) * h, 1e9f) {}
    void addSegment(Px a, Px b) {
        const int x0 = std::max(0, int(std::floor(std::min(a.x, b.x) - reach_)));
        const int x1 = std::min(w_ - 1, int(std::ceil(std::max(a.x, b.x) + reach_)));
        const int y0 = std::max(0, int(std::floor(std::min(a.y, b.y) - reach_)));
        const int y1 = std::min(h_ - 1, int(std::ceil(std::max(a.y, b.y) + reach_)));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const float d = sdSegment(x + 0.5f, y + 0.5f, a.x, a.y, b.x, b.y, 0);
                float& cell = d_[size_t(y) * w_ + x];
                cell = std::min(cell, d);
            }
    }
    float at(int x, int y) const { return d_[size_t(y) * w_ + x]; }

private:
    int w_, h_;
    float reach_;
    std::vector<float> d_;
};

constexpr Color kIce{0.93f, 0.96f, 0.99f, 1};
constexpr Color kRed{0.80f, 0.10f, 0.14f, 1};
constexpr Color kBlue{0.10f, 0.27f, 0.66f, 1};
constexpr Color kBoardWhite{0.95f, 0.96f, 0.97f, 1};
constexpr Color kKickPlate{0.95f, 0.78f, 0.16f, 1};
constexpr Color kRail{0.10f, 0.24f, 0.58f, 1};

void drawBoardPatches(Canvas& c) {
    // Everything off the ice first takes the boards' white, so filtering blends kindly.
    c.shade(0, 0, kTexW, kTexH, [&](float x, float y) {
        const float wx = x / kPixelsPerUnit - kHalfWidth, wz = kHalfLength - y / kPixelsPerUnit;
        return onIce(wx, wz) ? Color{0, 0, 0, 0} : kBoardWhite;
    });
    // Inner face: the top edge at the patch top, the ice at its bottom.
    const Patch f = kBoardFace;
    c.shade(f.x0, f.y0, f.x1, f.y1, [&](float, float y) {
        const float t = (y - (f.y0 + 4)) / float(f.y1 - f.y0 - 8);
        if (t < 0.12f) return kRail;
        if (t > 0.8f) return kKickPlate;
        return mix(kBoardWhite, rgb(0xDDE3EA), t);
    });
    const Patch r = kBoardRail;
    c.shade(r.x0, r.y0, r.x1, r.y1, [&](float, float y) {
        const float t = (y - r.y0) / float(r.y1 - r.y0);
        return mix(scaled(kRail, 1.25f), kRail, t);
    });
    const Patch o = kBoardOuter;
    c.shade(o.x0, o.y0, o.x1, o.y1, [&](float, float y) {
        const float t = (y - o.y0) / float(o.y1 - o.y0);
        return mix(rgb(0x2C4C8C), rgb(0x16244A), t);
    });
}

void drawIce(Canvas& c) {
    Rng rng(4242);
    c.shade(0, 0, kTexW, kTexH, [&](float x, float y) {
        const float wx = x / kPixelsPerUnit - kHalfWidth, wz = kHalfLength - y / kPixelsPerUnit;
        if (!onIce(wx, wz)) return Color{0, 0, 0, 0};
        const float n = fbm(x * 0.02f, y * 0.02f, 9, 4);
        return mix(kIce, rgb(0xD8E4EE), 0.55f * n);
    });
    // Skate-like scratches, faint.
    for (int i = 0; i < 260; ++i) {
        const float cx = rng.range(0, kTexW), cy = rng.range(0, kTexH);
        const float a = rng.range(0, 6.2831853f), len = rng.range(10, 60);
        const float wx = cx / kPixelsPerUnit - kHalfWidth, wz = kHalfLength - cy / kPixelsPerUnit;
        if (!onIce(wx, wz)) continue;
        c.line(cx, cy, cx + len * std::cos(a), cy + len * std::sin(a), 1.0f, rgb(0xC9D6E2, 0.35f));
    }
}

void drawMarkings(Canvas& c) {
    auto across = [&](float z, float width, const Color& col) {
        const Px a = toPx(-kHalfWidth, z), b = toPx(kHalfWidth, z);
        const float hw = units(width) * 0.5f;
        c.paintShape(a.x, a.y - hw, b.x, b.y + hw,
                     [&](float x, float y) {
                         const float wx = x / kPixelsPerUnit - kHalfWidth, wz = kHalfLength - y / kPixelsPerUnit;
                         const float d = std::fabs(y - a.y) - hw;
                         return onIce(wx, wz) ? d : std::max(d, 0.6f);
                     },
                     [&](float, float) { return col; });
    };
    // Goal creases in front of both goal mouths, then the lines.
    for (float side : {-1.0f, 1.0f}) {
        const Px g = toPx(0, side * 83);
        const float r = units(8);
        c.paintShape(g.x - r, g.y - r, g.x + r, g.y + r,
                     [&](float x, float y) {
                         const float inFront = side > 0 ? (y - g.y) : (g.y - y);  // towards centre ice
                         return std::max(sdCircle(x, y, g.x, g.y, r), -inFront);
                     },
                     [&](float, float) { return rgb(0xA8D0F0); });
        c.paintShape(g.x - r - 2, g.y - r - 2, g.x + r + 2, g.y + r + 2,
                     [&](float x, float y) {
                         const float inFront = side > 0 ? (y - g.y) : (g.y - y);
                         return std::max(std::fabs(sdCircle(x, y, g.x, g.y, r)) - units(0.25f), -inFront);
                     },
                     [&](float, float) { return kRed; });
    }
    across(0, 1.6f, kRed);
    across(30, 1.6f, kBlue);
    across(-30, 1.6f, kBlue);
    across(83, 0.5f, kRed);
    across(-83, 0.5f, kRed);

    const Px centre = toPx(0, 0);
    c.ring(centre.x, centre.y, units(15), units(0.28f), kBlue);
    c.circle(centre.x, centre.y, units(1.1f), kBlue);
    for (float sx : {-1.0f, 1.0f})
        for (float sz : {-1.0f, 1.0f}) {
            const Px f = toPx(sx * 30, sz * 58);
            c.ring(f.x, f.y, units(11), units(0.25f), kRed);
            c.circle(f.x, f.y, units(1.2f), kRed);
            const Px n = toPx(sx * 30, sz * 20);
            c.circle(n.x, n.y, units(1.0f), kRed);
        }
}

// The slots the rods run in: a light lip, a dark slot, a darker core.
void drawGrooves(Canvas& c) {
    DistanceField field(kTexW, kTexH, units(2.5f));
    for (int team = 0; team < 2; ++team)
        for (int rod = 0; rod < 6; ++rod) {
            const float sign = team == 0 ? 1.0f : -1.0f;
            std::vector<Px> path;
            // A little past both ends of the slide range, so the figure's base sits inside.
            const float step = 0.25f;
            for (float s = -1.0f; s <= kSlideMax[rod] + 1.0f + 1e-3f; s += step) {
                const P2 p = groove(rod, s);
                path.push_back(toPx(sign * p.x, sign * p.z));
            }
            for (size_t i = 0; i + 1 < path.size(); ++i) field.addSegment(path[i], path[i + 1]);
        }
    const float lip = units(1.25f), slot = units(0.8f), core = units(0.35f);
    c.shade(0, 0, kTexW, kTexH, [&](float x, float y) {
        const float d = field.at(int(x), int(y));
        if (d > lip + 1) return Color{0, 0, 0, 0};
        const Color lipColour = rgb(0xB4C2D0), slotColour = rgb(0x3C4452), coreColour = rgb(0x1E232C);
        Color col = mix(lipColour, slotColour, coverage(d - slot));
        col = mix(col, coreColour, coverage(d - core));
        col.a = coverage(d - lip);
        return col;
    });
}

Canvas rinkPicture() {
    Canvas c(kTexW, kTexH, kBoardWhite);
    drawIce(c);
    drawMarkings(c);
    drawGrooves(c);
    drawBoardPatches(c);
    return c;
}

// goal.bmp: red frame in the top rows, white net strings with pure black (see-through) holes.
Canvas goalPicture() {
    const int n = 256;
    Canvas c(n, n, Color{0, 0, 0, 0});
    c.shade(0, 0, n, 32, [&](float x, float) {
        const float s = x / n;  // around the tube
        const float light = 0.75f + 0.35f * std::max(0.0f, std::cos((s - 0.25f) * 6.2831853f));
        return scaled(rgb(0xD8202A), light);
    });
    const float spacing = 11.0f;
    for (float x = 5.5f; x < n; x += spacing) c.line(x, 34, x, n, 2.4f, rgb(0xEEF0F4));
    for (float y = 39.5f; y < n; y += spacing) c.line(0, y, n, y, 2.4f, rgb(0xE4E8EE));
    return c;
}

}  // namespace

void writeRinkPictures(Output& out) {
    out.jpeg("gfx\\rink.jpg", rinkPicture(), 92);
    out.keyedBmp("gfx\\goal.bmp", goalPicture());
}
