// What the OpenGL device puts on the back buffer, pixel by pixel.
#include <cmath>
#include <cstring>

#include "gl/gl_test_util.h"

namespace gltest {
namespace {

constexpr float kPi = 3.14159265f;

// The quad x -2..2, y -1.5..1.5 in the plane z = 0, facing -z (clockwise seen from -z).
std::vector<Vertex> facingQuad(float z = 0) {
    return {{-2, 1.5f, z, 0, 0, -1, 0, 0},
            {2, 1.5f, z, 0, 0, -1, 1, 0},
            {-2, -1.5f, z, 0, 0, -1, 0, 1},
            {2, -1.5f, z, 0, 0, -1, 1, 1}};
}
const std::vector<uint16_t> kClockwise = {0, 1, 2, 2, 1, 3};
const std::vector<uint16_t> kCounterClockwise = {0, 2, 1, 2, 3, 1};

void materialOnly(RenderDevice* d, ColourValue diffuse, ColourValue ambient = {}) {
    Material m;
    m.diffuse = diffuse;
    m.ambient = ambient;
    d->setMaterial(m);
    d->setRenderState(rs::DiffuseMaterialSource, rs::McsMaterial);
    d->setRenderState(rs::AmbientMaterialSource, rs::McsMaterial);
}

LightParams pointLight(Vec3 at, float range, float linear) {
    LightParams l;
    l.type = 1;
    l.diffuse = {1, 1, 1, 1};
    l.position = at;
    l.range = range;
    l.attenuation1 = linear;
    return l;
}

TEST_F(GlTest, ClearFillsTheViewportOnly) {
    ASSERT_TRUE(device()->clear(kClearTarget, 0xFF336699u, 1.0f, 0));
    Image all = frame();
    EXPECT_EQ(all.at(0, 0), 0x336699u);
    EXPECT_EQ(all.at(kWidth - 1, kHeight - 1), 0x336699u);

    Viewport v;
    v.x = 100, v.y = 50, v.width = 200, v.height = 100;
    ASSERT_TRUE(device()->setViewport(v));
    ASSERT_TRUE(device()->clear(kClearTarget, 0x01FF0000u, 1.0f, 0));  // alpha byte ignored
    Image part = frame();
    EXPECT_EQ(part.at(100, 50), 0xFF0000u);
    EXPECT_EQ(part.at(299, 149), 0xFF0000u);
    EXPECT_EQ(part.at(99, 50), 0x336699u);
    EXPECT_EQ(part.at(100, 49), 0x336699u);
    EXPECT_EQ(part.at(300, 149), 0x336699u);
    EXPECT_EQ(part.at(299, 150), 0x336699u);

    v.x = 1000;  // beyond the back buffer
    EXPECT_FALSE(device()->setViewport(v));
}

TEST_F(GlTest, SpriteCoversItsPixelsWithOneTexelEach) {
    screenSpace();
    device()->setRenderState(rs::Lighting, 0);
    // Each texel names itself: red = x, green = y, blue = checkerboard.
    Texture* t = texture(256, 256, fmt::X8R8G8B8,
                         [](uint32_t x, uint32_t y) { return 0xFF000000u | x << 16 | y << 8 | ((x + y) & 1) * 0xFF; });
    ASSERT_TRUE(device()->setTexture(0, t));
    Mesh q = quad();
    ASSERT_TRUE(drawSprite(q, 384, 256, 256, 256));

    Image image = frame();
    int wrong = 0;
    for (int y = 250; y < 518; ++y)
        for (int x = 378; x < 646; ++x) {
            bool inside = x >= 384 && x < 640 && y >= 256 && y < 512;
            uint32_t tx = uint32_t(x - 384), ty = uint32_t(y - 256);
            uint32_t want = inside ? (tx << 16 | ty << 8 | ((tx + ty) & 1) * 0xFF) : 0;
            if (image.at(x, y) != want && wrong++ < 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << image.at(x, y) << ", not "
                              << want;
        }
    EXPECT_EQ(wrong, 0);
}

TEST_F(GlTest, ATextureNeverFilledDrawsBlack) {
    screenSpace();
    device()->setRenderState(rs::Lighting, 0);
    ASSERT_TRUE(device()->clear(kClearTarget, 0xFF336699u, 1.0f, 0));
    std::unique_ptr<Texture> t(device()->createTexture(64, 64, 0, 0, fmt::X8R8G8B8, kPoolManaged));
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(device()->setTexture(0, t.get()));
    Mesh q = quad();
    ASSERT_TRUE(drawSprite(q, 100, 100, 64, 64));
    Image image = frame();
    EXPECT_EQ(image.at(132, 132), 0u);
    EXPECT_EQ(image.at(99, 132), 0x336699u);
    device()->setTexture(0, nullptr);
}

TEST_F(GlTest, BuffersWrittenAgainDrawWhatTheyNowHold) {
    screenSpace();
    device()->setRenderState(rs::Lighting, 0);
    device()->setTexture(0, nullptr);
    Mesh q = quad();
    ASSERT_TRUE(drawSprite(q, 100, 100, 64, 64));
    // Halve the quad to its left half, and then draw only its second triangle.
    void* data = nullptr;
    ASSERT_TRUE(q.vertices->lock(0, 0, &data));
    auto* v = static_cast<float*>(data);
    v[5] = v[15] = 0.0f;  // right-hand x from 0.5 to 0
    q.vertices->unlock();
    ASSERT_TRUE(q.indices->lock(0, 0, &data));
    const uint16_t second[] = {2, 1, 3, 2, 1, 3};
    std::memcpy(data, second, sizeof second);
    q.indices->unlock();
    ASSERT_TRUE(drawSprite(q, 300, 100, 64, 64));

    Image image = frame();
    EXPECT_EQ(image.at(160, 160), 0xFFFFFFu) << "the first draw keeps its whole quad";
    EXPECT_EQ(image.at(310, 160), 0xFFFFFFu) << "lower left: in the second triangle";
    EXPECT_EQ(image.at(310, 104), 0u) << "upper left: only in the first triangle";
    EXPECT_EQ(image.at(340, 160), 0u) << "right half: the vertices moved";
}

TEST_F(GlTest, TextureWindowShowsOneCell) {
    screenSpace();
    device()->setRenderState(rs::Lighting, 0);
    Texture* t = texture(256, 256, fmt::X8R8G8B8, [](uint32_t x, uint32_t y) { return 0xFF000000u | x << 16 | y << 8; });
    device()->setTexture(0, t);
    Mesh q = quad();
    // Cell 0.25 x 0.5 of the texture at (0.5, 0.25), as a glyph sprite sets it.
    Matrix cell = matrixIdentity();
    cell.m[0][0] = 0.25f;
    cell.m[1][1] = 0.5f;
    cell.m[2][0] = 0.5f;
    cell.m[2][1] = 0.25f;
    device()->setTransform(ts::Texture0, cell);
    device()->setTextureStageState(0, tss::TextureTransformFlags, tss::TtffCount2);
    ASSERT_TRUE(drawSprite(q, 0, 0, 256, 256));
    device()->setTextureStageState(0, tss::TextureTransformFlags, tss::TtffDisable);
    ASSERT_TRUE(drawSprite(q, 512, 0, 256, 256));

    Image image = frame();
    for (int i : {0, 5, 128, 255})
        for (int j : {0, 7, 100, 255}) {
            EXPECT_EQ(image.at(i, j), uint32_t((128 + i / 4) << 16 | (64 + j / 2) << 8)) << i << ", " << j;
            EXPECT_EQ(image.at(512 + i, j), uint32_t(i << 16 | j << 8)) << "after the window is off";
        }
}

TEST_F(GlTest, ColourKeyedTexelsLetTheBackgroundShow) {
    screenSpace();
    device()->clear(kClearTarget, 0xFFFF0000u, 1.0f, 0);
    device()->setRenderState(rs::Lighting, 0);
    // Bands: transparent black, alpha just below half, alpha just at half, opaque white.
    Texture* t = texture(64, 64, fmt::A1R5G5B5, [](uint32_t x, uint32_t) {
        const uint32_t bands[] = {0x00000000u, 0x7F00FF00u, 0x8000FF00u, 0xFFFFFFFFu};
        return bands[x / 16];
    });
    device()->setTexture(0, t);
    Mesh q = quad();
    ASSERT_TRUE(drawSprite(q, 0, 0, 64, 64));  // no blending: every texel covers
    device()->setRenderState(rs::AlphaBlendEnable, 1);
    device()->setRenderState(rs::SrcBlend, rs::BlendSrcAlpha);
    device()->setRenderState(rs::DestBlend, rs::BlendInvSrcAlpha);
    device()->setTextureStageState(0, tss::AlphaOp, tss::OpModulate);
    device()->setTextureStageState(0, tss::AlphaArg1, tss::ArgTexture);
    device()->setTextureStageState(0, tss::AlphaArg2, tss::ArgDiffuse);
    ASSERT_TRUE(drawSprite(q, 100, 0, 64, 64));

    Image image = frame();
    const uint32_t plain[] = {0x000000, 0x00FF00, 0x00FF00, 0xFFFFFF};
    const uint32_t keyed[] = {0xFF0000, 0xFF0000, 0x00FF00, 0xFFFFFF};
    for (int band = 0; band < 4; ++band) {
        EXPECT_EQ(image.at(band * 16 + 8, 32), plain[band]) << "band " << band;
        EXPECT_EQ(image.at(100 + band * 16 + 8, 32), keyed[band]) << "band " << band;
    }
}

TEST_F(GlTest, LitTexturedMeshLandsWhereItsMatricesPutIt) {
    camera({0, 0, -10}, {0, 0, 0});
    Matrix world = matrixTranslation(1, 0.5f, 0);
    device()->setTransform(ts::World, world);
    // Left texel red, right texel blue: a mirrored mesh would swap them.
    Texture* t = texture(2, 1, fmt::X8R8G8B8, [](uint32_t x, uint32_t) { return x ? 0xFF0000FFu : 0xFFFF0000u; });
    device()->setTexture(0, t);
    LightParams sun;
    sun.type = 3;
    sun.diffuse = {1, 1, 1, 1};
    sun.direction = {0, 0, 1};
    ASSERT_TRUE(device()->setLight(0, sun));
    ASSERT_TRUE(device()->lightEnable(0, true));
    materialOnly(device(), {0.5f, 0.5f, 0.5f, 1});
    Mesh front = mesh(facingQuad(), kClockwise);
    ASSERT_TRUE(draw(front));

    int left, right, top, bottom, cx, cy;
    project({-2 + 1, 1.5f + 0.5f, 0}, &left, &top);
    project({2 + 1, -1.5f + 0.5f, 0}, &right, &bottom);
    project({1, 0.5f, 0}, &cx, &cy);
    ASSERT_GT(right - left, 100);
    Image image = frame();
    EXPECT_TRUE(near(image.at((left + cx) / 2, cy), 0x800000));
    EXPECT_TRUE(near(image.at((right + cx) / 2, cy), 0x000080));
    EXPECT_TRUE(near(image.at(left + 2, top + 2), 0x800000));
    EXPECT_TRUE(near(image.at(right - 3, bottom - 3), 0x000080));
    EXPECT_EQ(image.at(left - 3, cy), 0u);
    EXPECT_EQ(image.at(right + 3, cy), 0u);
    EXPECT_EQ(image.at(cx, top - 3), 0u);
    EXPECT_EQ(image.at(cx, bottom + 3), 0u);

    // Counter-clockwise triangles are back faces and culled, unless culling is off.
    device()->clear(kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
    Mesh back = mesh(facingQuad(), kCounterClockwise);
    ASSERT_TRUE(draw(back));
    EXPECT_EQ(frame().at(cx, cy), 0u);
    device()->setRenderState(rs::CullMode, 1);
    ASSERT_TRUE(draw(back));
    EXPECT_NE(frame().at(cx, cy), 0u);
}

TEST_F(GlTest, YawOfPiTurnsAModelHalfARound) {
    camera({0, 0, -120}, {0, 0, 0});
    device()->setRenderState(rs::Lighting, 0);
    Texture* t = texture(2, 1, fmt::X8R8G8B8, [](uint32_t x, uint32_t) { return x ? 0xFF0000FFu : 0xFFFF0000u; });
    device()->setTexture(0, t);
    // A flag at x 1..3: red on its -z face, blue on its +z face.
    std::vector<Vertex> v = {{1, 1, 0, 0, 0, -1, 0.25f, 0}, {3, 1, 0, 0, 0, -1, 0.25f, 0},
                             {1, -1, 0, 0, 0, -1, 0.25f, 1}, {3, -1, 0, 0, 0, -1, 0.25f, 1},
                             {1, 1, 0, 0, 0, 1, 0.75f, 0}, {3, 1, 0, 0, 0, 1, 0.75f, 0},
                             {1, -1, 0, 0, 0, 1, 0.75f, 1}, {3, -1, 0, 0, 0, 1, 0.75f, 1}};
    Mesh flag = mesh(v, {0, 1, 2, 2, 1, 3, 4, 6, 5, 6, 7, 5});

    int rx, ry, lx, ly;
    project({2, 0, -83}, &rx, &ry);
    project({-2, 0, -83}, &lx, &ly);
    device()->setTransform(ts::World, matrixMultiply(matrixRotationYawPitchRoll(0, 0, 0), matrixTranslation(0, 0, -83)));
    ASSERT_TRUE(draw(flag));
    Image before = frame();
    EXPECT_EQ(before.at(rx, ry), 0xFF0000u);
    EXPECT_EQ(before.at(lx, ly), 0u);

    device()->clear(kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
    device()->setTransform(ts::World, matrixMultiply(matrixRotationYawPitchRoll(kPi, 0, 0), matrixTranslation(0, 0, -83)));
    ASSERT_TRUE(draw(flag));
    Image after = frame();
    EXPECT_EQ(after.at(lx, ly), 0x0000FFu);
    EXPECT_EQ(after.at(rx, ry), 0u);
}

TEST_F(GlTest, OnlyTheAmbientStateLightsTheWholeScene) {
    camera({0, 0, -10}, {0, 0, 0});
    Texture* t = texture(1, 1, fmt::X8R8G8B8, [](uint32_t, uint32_t) { return 0xFFFFFFFFu; });
    device()->setTexture(0, t);
    Mesh m = mesh(facingQuad(), kClockwise);
    int cx, cy;
    project({0, 0, 0}, &cx, &cy);

    materialOnly(device(), {1, 1, 1, 1}, {1, 1, 1, 1});
    device()->clear(kClearTarget, 0xFF0000FFu, 1.0f, 0);
    ASSERT_TRUE(draw(m));
    EXPECT_EQ(frame().at(cx, cy), 0u) << "no lights and no ambient: black";

    device()->setRenderState(rs::Ambient, 0x01404040u);
    ASSERT_TRUE(draw(m));
    EXPECT_TRUE(near(frame().at(cx, cy), 0x404040, 1));

    // Vertex colour as the source, but the vertices have none: the material stands in.
    Material half;
    half.ambient = {0.5f, 0.5f, 0.5f, 1};
    device()->setMaterial(half);
    device()->setRenderState(rs::DiffuseMaterialSource, rs::McsColor1);
    device()->setRenderState(rs::AmbientMaterialSource, rs::McsColor1);
    ASSERT_TRUE(draw(m));
    EXPECT_TRUE(near(frame().at(cx, cy), 0x202020, 1));
}

TEST_F(GlTest, LinearFogFollowsItsStates) {
    camera({0, 0, -10}, {0, 0, 0});
    device()->setRenderState(rs::Lighting, 0);
    Texture* t = texture(1, 1, fmt::X8R8G8B8, [](uint32_t, uint32_t) { return 0xFFFFFFFFu; });
    device()->setTexture(0, t);
    Mesh m = mesh(facingQuad(), kClockwise);
    int cx, cy;
    project({0, 0, 0}, &cx, &cy);
    auto bits = [](float f) {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        return u;
    };
    device()->setRenderState(rs::FogEnable, 1);
    device()->setRenderState(rs::FogVertexMode, rs::FogLinear);
    device()->setRenderState(rs::FogColor, 0x0100FF00u);
    device()->setRenderState(rs::FogStart, bits(5.0f));
    device()->setRenderState(rs::FogEnd, bits(15.0f));
    ASSERT_TRUE(draw(m));
    EXPECT_TRUE(near(frame().at(cx, cy), 0x80FF80, 3)) << "halfway into the fog";
    device()->setRenderState(rs::FogEnd, bits(8.0f));
    ASSERT_TRUE(draw(m));
    EXPECT_EQ(frame().at(cx, cy), 0x00FF00u);
    device()->setRenderState(rs::FogEnable, 0);
    ASSERT_TRUE(draw(m));
    EXPECT_EQ(frame().at(cx, cy), 0xFFFFFFu);
}

// A light's range cuts it off per vertex: a mesh wholly beyond it gets nothing, one partly
// within gets light only at the vertices within.
TEST_F(GlTest, LightRangeAndAttenuationAsDirect3DHasThem) {
    camera({0, 0, -10}, {0, 0, 0});
    Texture* t = texture(1, 1, fmt::X8R8G8B8, [](uint32_t, uint32_t) { return 0xFFFFFFFFu; });
    device()->setTexture(0, t);
    materialOnly(device(), {1, 1, 1, 1});
    Mesh g = grid();
    auto at = [this](Image& image, float x, float y) {
        int px, py;
        project({x, y, 0}, &px, &py);
        return image.at(px, py);
    };
    device()->lightEnable(0, true);

    // 1 / (linear * d) times the cosine: centre d = 2, cos 1; vertex (1, 0) d = 2.236, cos 0.894.
    ASSERT_TRUE(device()->setLight(0, pointLight({0, 0, -2}, 100, 1)));
    ASSERT_TRUE(draw(g));
    Image whole = frame();
    EXPECT_TRUE(near(at(whole, 0, 0), 0x808080, 3));
    EXPECT_TRUE(near(at(whole, 1, 0), 0x666666, 3));
    EXPECT_GT(rgb(at(whole, 3.5f, 3.5f)).r, 8) << "far corner, dim but lit";

    ASSERT_TRUE(device()->setLight(0, pointLight({0, 0, -2}, 1.9f, 1)));
    device()->clear(kClearTarget | kClearZBuffer, 0xFF0000FFu, 1.0f, 0);
    ASSERT_TRUE(draw(g));
    Image none = frame();
    EXPECT_EQ(at(none, 0, 0), 0u);
    EXPECT_EQ(at(none, 3.5f, 3.5f), 0u);

    // Range 3 takes in the vertices with x² + y² <= 5.
    ASSERT_TRUE(device()->setLight(0, pointLight({0, 0, -2}, 3, 1)));
    ASSERT_TRUE(draw(g));
    Image part = frame();
    EXPECT_TRUE(near(at(part, 0, 0), 0x808080, 3));
    EXPECT_TRUE(near(at(part, 1, 0), 0x666666, 3));
    EXPECT_EQ(at(part, 3.5f, 3.5f), 0u);
    EXPECT_EQ(at(part, -2.5f, 3.5f), 0u);
}

TEST_F(GlTest, SpotConeLightsOnlyInsideIt) {
    camera({0, 0, -10}, {0, 0, 0});
    Texture* t = texture(1, 1, fmt::X8R8G8B8, [](uint32_t, uint32_t) { return 0xFFFFFFFFu; });
    device()->setTexture(0, t);
    materialOnly(device(), {1, 1, 1, 1});
    Mesh g = grid();
    int cx, cy, ox, oy;
    project({0, 0, 0}, &cx, &cy);
    project({2.5f, 2.5f, 0}, &ox, &oy);

    // Cone 1 rad wide: (1, 0) is inside (26.6 degrees off the axis), (1, 1) is not (35).
    LightParams spot = pointLight({0, 0, -2}, 100, 0);
    spot.type = 2;
    spot.attenuation0 = 1;
    spot.direction = {0, 0, 1};
    spot.theta = spot.phi = 1.0f;
    for (float falloff : {0.0f, 1.0f}) {  // a soft edge is lit on the CPU
        spot.falloff = falloff;
        spot.theta = falloff == 0 ? 1.0f : 0.5f;
        ASSERT_TRUE(device()->setLight(0, spot));
        ASSERT_TRUE(device()->lightEnable(0, true));
        device()->clear(kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
        ASSERT_TRUE(draw(g));
        Image image = frame();
        EXPECT_TRUE(near(image.at(cx, cy), 0xFFFFFF, 3)) << "falloff " << falloff;
        EXPECT_EQ(image.at(ox, oy), 0u) << "falloff " << falloff;
    }
}

// The lit colour is modulated by the texture; the specular term is added afterwards, so a
// black texture still shows its highlight. Both lighting paths agree.
TEST_F(GlTest, SpecularIsAddedAfterTexturing) {
    camera({0, 0, -10}, {0, 0, 0});
    Texture* t = texture(1, 1, fmt::X8R8G8B8, [](uint32_t, uint32_t) { return 0xFF000000u; });
    device()->setTexture(0, t);
    Material m;
    m.diffuse = {1, 1, 1, 1};
    m.specular = {1, 1, 1, 1};
    m.power = 8;
    device()->setMaterial(m);
    device()->setRenderState(rs::DiffuseMaterialSource, rs::McsMaterial);
    device()->setRenderState(rs::SpecularEnable, 1);
    Mesh g = grid();
    int cx, cy;
    project({0, 0, 0}, &cx, &cy);
    LightParams l = pointLight({0, 0, -5}, 100, 0);
    l.attenuation0 = 1;
    l.specular = {1, 1, 1, 1};
    ASSERT_TRUE(device()->setLight(0, l));
    ASSERT_TRUE(device()->lightEnable(0, true));
    ASSERT_TRUE(draw(g));
    uint32_t glLit = frame().at(cx, cy);
    EXPECT_TRUE(near(glLit, 0xFFFFFF, 3));

    // A second light behind the grid that reaches part of it sends the draw down the CPU path
    // and adds nothing (the faces turn away from it).
    LightParams behind = pointLight({0, 0, 2}, 3, 0);
    behind.attenuation0 = 1;
    ASSERT_TRUE(device()->setLight(1, behind));
    ASSERT_TRUE(device()->lightEnable(1, true));
    m.power = 64;  // a narrower highlight, so the two paths are compared off its peak too
    device()->setMaterial(m);
    device()->clear(kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
    ASSERT_TRUE(draw(g));
    Image cpu = frame();
    device()->lightEnable(1, false);
    device()->clear(kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
    ASSERT_TRUE(draw(g));
    Image gl = frame();
    for (float x : {0.0f, 1.0f, 2.0f}) {
        int px, py;
        project({x, 0, 0}, &px, &py);
        EXPECT_TRUE(near(cpu.at(px, py), gl.at(px, py), 3)) << "x " << x;
    }
    EXPECT_GT(rgb(gl.at(cx, cy)).r, 200);
}

TEST_F(GlTest, DepthTestKeepsTheNearerSurface) {
    camera({0, 0, -10}, {0, 0, 0});
    device()->setRenderState(rs::Lighting, 0);
    Texture* green = texture(1, 1, fmt::X8R8G8B8, [](uint32_t, uint32_t) { return 0xFF00FF00u; });
    Texture* red = texture(1, 1, fmt::X8R8G8B8, [](uint32_t, uint32_t) { return 0xFFFF0000u; });
    Texture* blue = texture(1, 1, fmt::X8R8G8B8, [](uint32_t, uint32_t) { return 0xFF0000FFu; });
    Mesh nearQuad = mesh(facingQuad(-1), kClockwise), farQuad = mesh(facingQuad(1), kClockwise);
    int cx, cy;
    project({0, 0, 0}, &cx, &cy);

    device()->setTexture(0, green);
    ASSERT_TRUE(draw(nearQuad));
    device()->setTexture(0, red);
    ASSERT_TRUE(draw(farQuad));
    EXPECT_EQ(frame().at(cx, cy), 0x00FF00u);
    device()->setTexture(0, blue);
    ASSERT_TRUE(draw(nearQuad));  // equal depth passes (less or equal)
    EXPECT_EQ(frame().at(cx, cy), 0x0000FFu);
    device()->setRenderState(rs::ZEnable, 0);
    device()->setTexture(0, red);
    ASSERT_TRUE(draw(farQuad));
    EXPECT_EQ(frame().at(cx, cy), 0xFF0000u);

    // Between half the near distance and the near plane (1.0) is clipped, as in Direct3D's 0..w depth.
    device()->setRenderState(rs::ZEnable, 1);
    device()->setTexture(0, green);
    Mesh tooNear = mesh(facingQuad(-9.25f), kClockwise);
    ASSERT_TRUE(draw(tooNear));
    EXPECT_EQ(frame().at(cx, cy), 0xFF0000u);
}

}  // namespace
}  // namespace gltest
