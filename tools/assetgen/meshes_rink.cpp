#include <cmath>

#include "meshes.h"
#include "assetgen.h"
#include "output.h"
#include "rink_layout.h"

using namespace rink;

namespace {

constexpr float kPi = 3.14159265f;

struct Row {
    float z, half;  // ice from -half to +half across
};

// Rows of the ice from the near end board to the far one; the corner rows follow the arcs.
std::vector<Row> iceRows() {
    const int arcRows = 12, middleRows = 18;
    const float straight = kHalfLength - kCornerRadius;  // 90
    const float inner = kHalfWidth - kCornerRadius;      // 30
    std::vector<Row> rows;
    for (int j = 0; j <= arcRows; ++j) {
        const float th = -kPi / 2 + (kPi / 2) * j / arcRows;
        rows.push_back({-straight + kCornerRadius * std::sin(th), inner + kCornerRadius * std::cos(th)});
    }
    for (int k = 1; k <= middleRows; ++k) rows.push_back({-straight + 2 * straight * k / middleRows, kHalfWidth});
    for (int j = 1; j <= arcRows; ++j) {
        const float th = (kPi / 2) * j / arcRows;
        rows.push_back({straight + kCornerRadius * std::sin(th), inner + kCornerRadius * std::cos(th)});
    }
    // Exact ends, free of rounding.
    rows.front() = {-kHalfLength, inner};
    rows.back() = {kHalfLength, inner};
    rows[arcRows] = {-straight, kHalfWidth};
    rows[arcRows + middleRows] = {straight, kHalfWidth};
    return rows;
}

// Outward direction of the boards at a boundary point.
V3 boardNormal(float x, float z) {
    const float inner = kHalfWidth - kCornerRadius, straight = kHalfLength - kCornerRadius;
    if (std::fabs(z) <= straight + 1e-4f) return {x < 0 ? -1.0f : 1.0f, 0, 0};
    if (std::fabs(x) <= inner + 1e-4f) return {0, 0, z < 0 ? -1.0f : 1.0f};
    return normalised(V3{x - (x < 0 ? -inner : inner), 0, z - (z < 0 ? -straight : straight)});
}

}  // namespace

Mesh buildRink() {
    MeshBuilder b;
    const std::vector<Row> rows = iceRows();
    const int columns = 24;

    // Ice: a grid squeezed into the rounded outline, so per-vertex light is smooth.
    b.beginPart();
    std::vector<uint32_t> first;
    for (const Row& r : rows) {
        first.push_back(static_cast<uint32_t>(b.mesh().vertices.size()));
        for (int i = 0; i <= columns; ++i) {
            const float x = -r.half + 2 * r.half * i / columns;
            b.vertex({x, 0, r.z}, texU(x), texV(r.z));
        }
    }
    for (size_t j = 0; j + 1 < rows.size(); ++j)
        for (int i = 0; i < columns; ++i) {
            const uint32_t a = first[j] + i, c = first[j + 1] + i;
            b.face({a, a + 1, c + 1, c}, {0, 1, 0});
        }
    b.endPart();

    // The outline, anticlockwise seen from above: near end, right side, far end, left side.
    std::vector<V3> outline;
    for (int i = 0; i <= columns; ++i) outline.push_back({-rows.front().half + 2 * rows.front().half * i / columns, 0,
                                                           rows.front().z});
    for (size_t j = 1; j < rows.size(); ++j) outline.push_back({rows[j].half, 0, rows[j].z});
    for (int i = columns - 1; i >= 0; --i)
        outline.push_back({-rows.back().half + 2 * rows.back().half * i / columns, 0, rows.back().z});
    for (size_t j = rows.size() - 2; j >= 1; --j) outline.push_back({-rows[j].half, 0, rows[j].z});
    const size_t n = outline.size();  // closed: the last point joins the first

    const float top = kBoardHeight;
    // Inner face of the boards, facing the ice.
    b.beginPart();
    std::vector<uint32_t> low, high;
    for (size_t i = 0; i <= n; ++i) {
        const V3 p = outline[i % n];
        low.push_back(b.vertex(p, kBoardFace.u(0.5f), kBoardFace.v(1)));
        high.push_back(b.vertex(p + V3{0, top, 0}, kBoardFace.u(0.5f), kBoardFace.v(0)));
    }
    for (size_t i = 0; i < n; ++i) {
        const V3 mid = (outline[i] + outline[(i + 1) % n]) * 0.5f;
        b.face({low[i], low[i + 1], high[i + 1], high[i]}, V3{-mid.x, 0, -mid.z});
    }
    b.endPart();

    // Rail on top, and the outer face of the case down below the ice.
    std::vector<V3> outer(n);
    for (size_t i = 0; i < n; ++i) outer[i] = outline[i] + boardNormal(outline[i].x, outline[i].z) * kBoardTop;
    b.beginPart();
    std::vector<uint32_t> in, out;
    for (size_t i = 0; i <= n; ++i) {
        in.push_back(b.vertex(outline[i % n] + V3{0, top, 0}, kBoardRail.u(0.5f), kBoardRail.v(0.2f)));
        out.push_back(b.vertex(outer[i % n] + V3{0, top, 0}, kBoardRail.u(0.5f), kBoardRail.v(0.8f)));
    }
    for (size_t i = 0; i < n; ++i) b.face({in[i], in[i + 1], out[i + 1], out[i]}, {0, 1, 0});
    b.endPart();
    b.beginPart();
    std::vector<uint32_t> hi, lo;
    for (size_t i = 0; i <= n; ++i) {
        hi.push_back(b.vertex(outer[i % n] + V3{0, top, 0}, kBoardOuter.u(0.5f), kBoardOuter.v(0)));
        lo.push_back(b.vertex(outer[i % n] + V3{0, -kTableDepth, 0}, kBoardOuter.u(0.5f), kBoardOuter.v(1)));
    }
    for (size_t i = 0; i < n; ++i) {
        const V3 mid = (outer[i] + outer[(i + 1) % n]) * 0.5f;
        b.face({hi[i], hi[i + 1], lo[i + 1], lo[i]}, V3{mid.x, 0, mid.z});
    }
    b.endPart();
    return b.take();
}

// goal.bmp: the top 32 rows are the red frame (shaded across), below them the net.
namespace goaltex {
constexpr float kFrameV0 = 2.0f / 256, kFrameV1 = 30.0f / 256;
constexpr float kNetV0 = 34.0f / 256, kNetV1 = 254.0f / 256;
constexpr float kNetUnits = 30.0f;  // the net's width in units spans the picture's width
}  // namespace goaltex

Mesh buildGoal() {
    using namespace goaltex;
    MeshBuilder b;
    const float w = 15, depth = 10, h = 8.5f, backH = 5.0f, r = 0.55f;
    const UvRect frameUv{0.0f, kFrameV0, 1.0f, kFrameV1};
    auto bar = [&](V3 a, V3 c) { b.tube({a, c}, {r, r}, 10, frameUv, true); };
    for (float s : {-w, w}) {
        bar({s, 0, 0}, {s, h, 0});                // post at the mouth
        bar({s, 0, depth}, {s, backH, depth});    // post at the back
        bar({s, h, 0}, {s, backH, depth});        // top of the side
        bar({s, r, 0}, {s, r, depth});            // along the ice
    }
    bar({-w, h, 0}, {w, h, 0});                   // crossbar
    bar({-w, backH, depth}, {w, backH, depth});   // back top
    bar({-w, r, depth}, {w, r, depth});           // back on the ice

    // Net: panels mapped at one scale so the meshes look the same size everywhere.
    const float unitsDown = kNetUnits * (kNetV1 - kNetV0) * 256.0f / 256.0f;
    auto netUv = [&](float width, float height) {
        return UvRect{0.0f, kNetV0, std::min(1.0f, width / kNetUnits),
                      kNetV0 + (kNetV1 - kNetV0) * std::min(1.0f, height / unitsDown)};
    };
    const float topLen = std::hypot(depth, h - backH);
    b.quad2({-w, backH, depth}, {w, backH, depth}, {w, 0, depth}, {-w, 0, depth}, netUv(2 * w, backH));
    b.quad2({-w, h, 0}, {w, h, 0}, {w, backH, depth}, {-w, backH, depth}, netUv(2 * w, topLen));
    for (float s : {-w, w}) {
        // Side panels are trapezoids; the top edge slopes down to the back.
        b.quad2({s, h, 0}, {s, backH, depth}, {s, 0, depth}, {s, 0, 0}, netUv(depth, h));
    }
    return b.take();
}

Mesh buildPuck() {
    MeshBuilder b;
    const float r = 3.45f, h = 2.0f;
    // Top face shows the whole of puck.jpg; the rim samples its dark corner.
    b.disc({0, h, 0}, r - 0.25f, r - 0.25f, 32, true, UvRect{0, 0, 1, 1});
    const UvRect rim{0.02f, 0.02f, 0.1f, 0.1f};
    b.lathe({{h, r - 0.25f, r - 0.25f}, {h - 0.12f, r - 0.05f, r - 0.05f}, {h - 0.3f, r, r}, {0.3f, r, r},
             {0.0f, r - 0.2f, r - 0.2f}},
            32, rim);
    return b.take();
}

void writeMeshes(Output& out) {
    out.writeText("hplayer_h.x", writeXFile(buildSkater(true), "Skater", 1.0f / kSkaterLoadScale));
    out.writeText("hplayer_l.x", writeXFile(buildSkater(false), "SkaterLow", 1.0f / kSkaterLoadScale));
    out.writeText("hgoalie_h.x", writeXFile(buildGoalie(true), "Goalie", 1.0f / kGoalieLoadScale));
    out.writeText("hgoalie_l.x", writeXFile(buildGoalie(false), "GoalieLow", 1.0f / kGoalieLoadScale));
    out.writeText("hrink2.x", writeXFile(buildRink(), "Rink", 1.0f));
    out.writeText("hgoal2.x", writeXFile(buildGoal(), "Goal", 1.0f));
    out.writeText("hockey2.x", writeXFile(buildPuck(), "Puck", 1.0f));
}
