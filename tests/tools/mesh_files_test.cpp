// The generated meshes, read by the game's own .x reader: sizes, winding, and shapes
// that agree with the collision geometry of the figures, the rink, the goals and the puck.
#include <gtest/gtest.h>

#include <cmath>

#include "asset_files.h"
#include "graphics/xfile_reader.h"
#include "sim/figure_shape.h"

namespace {

XMeshData load(const char* name) {
    XMeshData m;
    EXPECT_TRUE(parseXFile(readBytes(assetPath(name)), &m)) << name;
    return m;
}

struct Box {
    float x0 = 1e9f, x1 = -1e9f, y0 = 1e9f, y1 = -1e9f, z0 = 1e9f, z1 = -1e9f;
    void add(float x, float y, float z) {
        x0 = std::min(x0, x), x1 = std::max(x1, x);
        y0 = std::min(y0, y), y1 = std::max(y1, y);
        z0 = std::min(z0, z), z1 = std::max(z1, z);
    }
};

Box bounds(const XMeshData& m, float scale) {
    Box b;
    for (const Vec3& p : m.positions) b.add(p.x * scale, p.y * scale, p.z * scale);
    return b;
}

Vec3 sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 crossV(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float dotV(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

const char* const kMeshes[] = {"hplayer_h.x", "hplayer_l.x", "hgoalie_h.x", "hgoalie_l.x",
                               "hrink2.x",    "hgoal2.x",    "hockey2.x"};

TEST(Meshes, LoadThroughTheGameReaderWithinSixteenBitIndices) {
    for (const char* name : kMeshes) {
        const XMeshData m = load(name);
        EXPECT_GT(m.faceCount(), 0u) << name;
        EXPECT_LT(m.vertexCount(), 65536u) << name;
        std::vector<uint8_t> vertices;
        std::vector<uint16_t> indices;
        EXPECT_TRUE(convertXMesh(m, 0x112, &vertices, &indices)) << name;
        for (size_t i = 0; i < m.texCoords.size(); ++i) {
            EXPECT_GE(m.texCoords[i], 0.0f) << name;
            EXPECT_LE(m.texCoords[i], 1.0f) << name;
        }
    }
}

// Clockwise seen from the front (Direct3D): (b - a) x (c - a) points the way the normals do.
TEST(Meshes, FacesAreWoundToFaceTheirNormals) {
    for (const char* name : kMeshes) {
        const XMeshData m = load(name);
        size_t checked = 0, wrong = 0;
        for (size_t f = 0; f < m.faceCount(); ++f) {
            const uint32_t i0 = m.indices[3 * f], i1 = m.indices[3 * f + 1], i2 = m.indices[3 * f + 2];
            const Vec3 n = crossV(sub(m.positions[i1], m.positions[i0]), sub(m.positions[i2], m.positions[i0]));
            if (std::sqrt(dotV(n, n)) < 1e-6f) continue;
            const Vec3 vn = {m.normals[i0].x + m.normals[i1].x + m.normals[i2].x,
                             m.normals[i0].y + m.normals[i1].y + m.normals[i2].y,
                             m.normals[i0].z + m.normals[i1].z + m.normals[i2].z};
            ++checked;
            if (dotV(n, vn) <= 0) ++wrong;
        }
        EXPECT_GT(checked, 0u) << name;
        EXPECT_EQ(wrong, 0u) << name;
        for (const Vec3& n : m.normals) EXPECT_NEAR(std::sqrt(dotV(n, n)), 1.0f, 1e-3f) << name;
    }
}

TEST(Meshes, FiguresAreDetailedOrLightAsAsked) {
    for (const char* name : {"hplayer_h.x", "hgoalie_h.x"}) {
        const uint32_t faces = load(name).faceCount();
        EXPECT_GE(faces, 1000u) << name;
        EXPECT_LE(faces, 3000u) << name;
    }
    for (const char* name : {"hplayer_l.x", "hgoalie_l.x"}) {
        const uint32_t faces = load(name).faceCount();
        EXPECT_GE(faces, 100u) << name;
        EXPECT_LE(faces, 800u) << name;
    }
}

// The collision shape's extent in the figure frame (u = x, v = z).
Box collisionBox(int player) {
    const FigureShape& s = figureShape(player);
    Box b;
    for (float sx : {-1.0f, 1.0f}) {
        b.add(sx * kBodyRadius, 0, sx * kBodyRadius);
        b.add(s.circle.x + sx * s.circleRadius, 0, s.circle.z + sx * s.circleRadius);
    }
    b.add(s.bladeA.x, 0, s.bladeA.z);
    b.add(s.bladeB.x, 0, s.bladeB.z);
    return b;
}

void expectFigureMatchesShape(const char* name, float loadScale, int player) {
    const XMeshData m = load(name);
    const Box mesh = bounds(m, loadScale), shape = collisionBox(player);
    const float tu = 0.1f * (shape.x1 - shape.x0), tv = 0.1f * (shape.z1 - shape.z0);
    EXPECT_NEAR(mesh.x0, shape.x0, tu) << name;
    EXPECT_NEAR(mesh.x1, shape.x1, tu) << name;
    EXPECT_NEAR(mesh.z0, shape.z0, tv) << name;
    EXPECT_NEAR(mesh.z1, shape.z1, tv) << name;
    EXPECT_NEAR(mesh.y0, 0.0f, 0.01f) << name << " stands on the ice";

    // Down at the ice, where the puck meets it, the figure has its parts in place.
    const FigureShape& s = figureShape(player);
    // The round base shows in the directions free of pads, blade and legs: back, front, right.
    float baseRadius[3] = {0, 0, 0}, nearA = 1e9f, nearB = 1e9f, nearCircle = 1e9f;
    const float directions[3] = {0.0f, 3.1415927f, 1.5707964f};
    for (const Vec3& p0 : m.positions) {
        const Vec3 p{p0.x * loadScale, p0.y * loadScale, p0.z * loadScale};
        if (p.y > 1.0f) continue;
        const float r = std::hypot(p.x, p.z), a = std::atan2(p.z, p.x);
        for (int d = 0; d < 3; ++d) {
            const float off = std::remainder(a - directions[d], 6.2831853f);
            if (std::fabs(off) < 0.26f) baseRadius[d] = std::max(baseRadius[d], r);
        }
        nearA = std::min(nearA, std::hypot(p.x - s.bladeA.x, p.z - s.bladeA.z));
        nearB = std::min(nearB, std::hypot(p.x - s.bladeB.x, p.z - s.bladeB.z));
        nearCircle = std::min(nearCircle, std::hypot(p.x - s.circle.x, p.z - s.circle.z));
    }
    for (float r : baseRadius) EXPECT_NEAR(r, kBodyRadius, 0.1f * kBodyRadius) << name;
    EXPECT_LT(nearA, 0.5f) << name << " blade start";
    EXPECT_LT(nearB, 0.5f) << name << " blade end";
    EXPECT_LT(nearCircle, s.circleRadius + 0.6f) << name << " off-centre circle";
}

TEST(Meshes, FiguresAfterTheLoadScaleMatchTheirCollisionShapes) {
    expectFigureMatchesShape("hplayer_h.x", 0.8f, 1);
    expectFigureMatchesShape("hplayer_l.x", 0.8f, 1);
    expectFigureMatchesShape("hgoalie_h.x", 0.9f, 0);
    expectFigureMatchesShape("hgoalie_l.x", 0.9f, 0);
}

// Inside the boards: straight sides at x = +-60 and z = +-120, corner arcs of radius 30.
float outsideBoards(float x, float z) {
    const float ax = std::fabs(x), az = std::fabs(z);
    if (ax <= 30 || az <= 90) return std::max(ax - 60, az - 120);
    return std::hypot(ax - 30, az - 90) - 30;
}

TEST(Meshes, RinkIceFillsTheBoardsAndCarriesTheRinkPicture) {
    const XMeshData m = load("hrink2.x");
    Box ice;
    int iceVertices = 0;
    for (size_t i = 0; i < m.positions.size(); ++i) {
        const Vec3& p = m.positions[i];
        if (std::fabs(p.y) > 1e-4f || m.normals[i].y < 0.99f) continue;
        ++iceVertices;
        ice.add(p.x, p.y, p.z);
        EXPECT_LT(outsideBoards(p.x, p.z), 0.01f) << p.x << "," << p.z;
        // The picture's left edge is x = -60 and its top edge z = +120.
        EXPECT_NEAR(m.texCoords[2 * i], (p.x + 60) / 120, 1e-4f);
        EXPECT_NEAR(m.texCoords[2 * i + 1], (120 - p.z) / 240, 1e-4f);
    }
    EXPECT_GT(iceVertices, 100);
    EXPECT_NEAR(ice.x0, -60, 1e-3f);
    EXPECT_NEAR(ice.x1, 60, 1e-3f);
    EXPECT_NEAR(ice.z0, -120, 1e-3f);
    EXPECT_NEAR(ice.z1, 120, 1e-3f);
    // Boards stand a few units high.
    const Box all = bounds(m, 1.0f);
    EXPECT_GE(all.y1, 3.0f);
    EXPECT_LE(all.y1, 10.0f);
    // Their inner face follows the outline, including the corner arcs.
    int onArc = 0;
    for (const Vec3& p : m.positions)
        if (p.y > 1 && std::fabs(p.x) > 31 && std::fabs(p.z) > 91 && std::fabs(outsideBoards(p.x, p.z)) < 0.01f)
            ++onArc;
    EXPECT_GT(onArc, 8);
}

TEST(Meshes, GoalStandsOnItsPostsAndOpensTowardsTheRink) {
    const XMeshData m = load("hgoal2.x");
    const Box b = bounds(m, 1.0f);
    EXPECT_NEAR(b.x0, -15, 1.0f);
    EXPECT_NEAR(b.x1, 15, 1.0f);
    EXPECT_NEAR(b.z0, 0, 1.0f);
    EXPECT_NEAR(b.z1, 10, 1.0f);
    EXPECT_GE(b.y0, -0.01f);
    // Posts: frame at x = +-15 both at the mouth (z = 0) and at the back (z = 10).
    for (float x : {-15.0f, 15.0f})
        for (float z : {0.0f, 10.0f}) {
            float nearest = 1e9f;
            for (const Vec3& p : m.positions)
                if (p.y < 2) nearest = std::min(nearest, std::hypot(p.x - x, p.z - z));
            EXPECT_LT(nearest, 1.0f) << "post at " << x << "," << z;
        }
    // Nothing closes the mouth: no face between the posts near z = 0 below the crossbar.
    for (size_t f = 0; f < m.faceCount(); ++f) {
        Vec3 c{0, 0, 0};
        for (int k = 0; k < 3; ++k) {
            const Vec3& p = m.positions[m.indices[3 * f + k]];
            c = {c.x + p.x / 3, c.y + p.y / 3, c.z + p.z / 3};
        }
        EXPECT_FALSE(std::fabs(c.x) < 13 && c.z < 1 && c.y > 1 && c.y < 7) << "face " << f;
    }
}

TEST(Meshes, PuckIsADiscOfTheCollisionRadiusOnTheIce) {
    const XMeshData m = load("hockey2.x");
    float r = 0;
    for (const Vec3& p : m.positions) r = std::max(r, std::hypot(p.x, p.z));
    EXPECT_NEAR(r, kPuckRadius, 0.02f);
    const Box b = bounds(m, 1.0f);
    EXPECT_NEAR(b.y0, 0, 1e-3f);
    EXPECT_GT(b.y1, 0.5f);
    EXPECT_LT(b.y1, 3.45f);
}

}  // namespace
