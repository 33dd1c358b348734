// Sprites and model instances: their keys after loading, and what they draw with.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/matrix.h"
#include "graphics/mesh_registry.h"
#include "graphics/model_instance.h"
#include "graphics/sprite.h"
#include "graphics/texture_registry.h"
#include "graphics_test_util.h"
#include "support/test_support.h"

namespace {

// These use the process-wide registries, so names are unique per test.
class SpriteModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        captureErrorBoxes();
        rec.clear();
        rec.clearFailures();
        DeviceHolder::instance().device = &device;
        dir.write("gfx/pic.bmp", makeBmp(4, 4, std::vector<uint32_t>(16, 0x123456)));
        dir.write("m.x", "xof 0303txt 0032\nMesh m { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n");
    }
    void TearDown() override { DeviceHolder::instance().device = nullptr; }

    const RecordedCall* last(const std::string& name) const {
        for (auto it = rec.calls.rbegin(); it != rec.calls.rend(); ++it)
            if (it->name == name) return &*it;
        return nullptr;
    }

    ScratchDir dir;
    Recorder& rec = sharedRecorder();
    RecordingDevice device{rec};
};

TEST_F(SpriteModelTest, SpriteLoadsShareTheQuadAndSetTheirFlags) {
    Sprite keyed, plain, font, again;
    ASSERT_TRUE(keyed.loadKeyed(4, "gfx\\pic.bmp", true, 32, 32));
    const int textureId = keyed.key().texture;
    const int quad = MeshRegistry::instance().findMeshByName("SPRITE");
    EXPECT_EQ(keyed.key().layer, 4);
    EXPECT_EQ(keyed.key().mesh, quad);
    EXPECT_EQ(keyed.key().flags, 0x40C - keyflag::Lit + keyflag::AlphaBlend + keyflag::AlphaTest +
                                     keyflag::MaterialColour + keyflag::ScreenSpace);
    rec.clear();
    ASSERT_TRUE(plain.loadPlain(2, "gfx\\pic.bmp", 256, 256));
    ASSERT_TRUE(font.loadCells(3, "gfx\\pic.bmp", 14, 16, 0.09091f, 0.12f));
    ASSERT_TRUE(again.loadKeyed(2, "gfx\\pic.bmp", false, 8, 8));
    EXPECT_TRUE(rec.calls.empty());  // nothing new is created
    for (Sprite* s : {&plain, &font, &again}) {
        EXPECT_EQ(s->key().texture, textureId);
        EXPECT_EQ(s->key().flags, 0xC + keyflag::MaterialColour + keyflag::ScreenSpace);
    }
    EXPECT_TRUE(font.cellMode);
    EXPECT_EQ(font.cellOffset.u, 0.0f);  // a fresh glyph shows cell 0

    Sprite missing;
    EXPECT_FALSE(missing.loadCells(3, "gfx\\nofont.bmp", 14, 16, 0.5f, 0.25f));
    EXPECT_EQ(missing.width, 14.0f);  // sizes and cells are stored before the texture fails
    EXPECT_EQ(missing.cellSize.v, 0.25f);
    EXPECT_EQ(errorBoxes(), std::vector<std::string>{"Missing file: gfx\\nofont.bmp"});
}

TEST_F(SpriteModelTest, SpriteCoversItsPixelRectangleAndShowsItsCell) {
    Sprite s;
    ASSERT_TRUE(s.loadCells(3, "gfx\\pic.bmp", 256, 256, 0.09091f, 0.12f));
    s.setPosition(384, 256, 0);
    s.cellOffset = {3 * 0.09091f, 0};
    rec.clear();
    s.render(device);
    const std::vector<std::string> expected = {
        "setMaterial()", "setTransform(256)", "setTextureStageState(0,24,2)", "setTransform(16)",
        "drawIndexedPrimitive(4,0,0,4,0,2)", "setTextureStageState(0,24,0)"};
    EXPECT_EQ(rec.texts(), expected);
    EXPECT_EQ(rec.calls[0].material.diffuse.a, 1.0f);
    EXPECT_EQ(rec.calls[0].material.specular.r, 0.0f);
    EXPECT_EQ(rec.calls[0].material.power, 0.0f);

    const Matrix& world = rec.calls[1].matrix;
    Vec3 topLeft = transformCoord({-0.5f, -0.5f, 0.5f}, world);
    Vec3 bottomRight = transformCoord({0.5f, 0.5f, 0.5f}, world);
    EXPECT_FLOAT_EQ(topLeft.x, 384.0f);
    EXPECT_FLOAT_EQ(topLeft.y, 256.0f);
    EXPECT_FLOAT_EQ(bottomRight.x, 640.0f);
    EXPECT_FLOAT_EQ(bottomRight.y, 512.0f);

    const Matrix& cell = rec.calls[3].matrix;  // (s, t) -> (s * size + offset, t * size + offset)
    EXPECT_FLOAT_EQ(1 * cell.m[0][0] + 1 * cell.m[2][0], 4 * 0.09091f);
    EXPECT_FLOAT_EQ(1 * cell.m[1][1] + 1 * cell.m[2][1], 0.12f);
    EXPECT_FLOAT_EQ(cell.m[2][0], 3 * 0.09091f);

    s.cellMode = false;
    rec.clear();
    s.render(device);
    EXPECT_EQ(rec.countOf("setTextureStageState"), 0u);
    EXPECT_EQ(rec.countOf("drawIndexedPrimitive"), 1u);
}

TEST_F(SpriteModelTest, ModelInstanceLoadsAndDrawsRotatedThenMoved) {
    ModelInstance model, untextured, broken;
    ASSERT_TRUE(model.loadKeyed(1, "gfx\\pic.bmp", true, "m.x"));
    EXPECT_EQ(model.key().flags, 0x40C + keyflag::AlphaBlend + keyflag::AlphaTest + keyflag::MaterialColour);
    ASSERT_TRUE(untextured.loadUntextured(1, "m.x"));
    EXPECT_EQ(untextured.key().texture, -1);
    EXPECT_EQ(untextured.key().mesh, model.key().mesh);
    EXPECT_FALSE(broken.load(1, "gfx\\none.jpg", "m.x"));
    EXPECT_EQ(broken.key().mesh, -1);  // stops at the texture

    model.rotation = {0, 3.14159265f, 0};
    model.position = {0, 0, -83};
    rec.clear();
    model.render(device);
    ASSERT_EQ(rec.texts(), (std::vector<std::string>{"setMaterial()", "setTransform(256)",
                                                     "drawIndexedPrimitive(4,0,0,3,0,1)"}));
    const Material& m = rec.calls[0].material;
    EXPECT_EQ(m.diffuse.r, 1.0f);
    EXPECT_EQ(m.ambient.g, 1.0f);
    EXPECT_FLOAT_EQ(m.specular.b, 0.7f);
    EXPECT_EQ(m.specular.a, 1.0f);
    EXPECT_EQ(m.emissive.a, 0.0f);
    EXPECT_EQ(m.power, 8.0f);
    Vec3 x = transformCoord({1, 0, 0}, rec.calls[1].matrix);
    Vec3 z = transformCoord({0, 0, 1}, rec.calls[1].matrix);
    EXPECT_NEAR(x.x, -1.0f, 1e-5);
    EXPECT_NEAR(x.z, -83.0f, 1e-5);
    EXPECT_NEAR(z.z, -84.0f, 1e-5);
}

TEST(MatrixTest, BuildsTheLeftHandedMatrices) {
    // roll first, then pitch, then yaw
    Vec3 v = transformCoord({1, 0, 0}, matrixRotationYawPitchRoll(1.5707963f, 0, 1.5707963f));
    EXPECT_NEAR(v.x, 0, 1e-6);
    EXPECT_NEAR(v.y, 1, 1e-6);
    v = transformCoord({1, 0, 0}, matrixRotationYawPitchRoll(1.5707963f, 0, 0));
    EXPECT_NEAR(v.z, -1, 1e-6);
    v = transformCoord({0, 0, 1}, matrixRotationYawPitchRoll(0, 1.5707963f, 0));
    EXPECT_NEAR(v.y, -1, 1e-6);

    // looking down +z from the origin: view is identity, depth 0 at near and 1 at far
    Matrix view = matrixLookAtLH({0, 0, 0}, {0, 0, 1}, {0, 1, 0});
    Matrix proj = matrixPerspectiveFovLH(0.7f, 1.0f, 1.0f, 100.0f);
    Matrix vp = matrixMultiply(view, proj);
    EXPECT_NEAR(transformCoord({0, 0, 1}, vp).z, 0.0f, 1e-6);
    EXPECT_NEAR(transformCoord({0, 0, 100}, vp).z, 1.0f, 1e-6);
    Vec3 edge = transformCoord({std::tan(0.35f) * 10, 0, 10}, vp);
    EXPECT_NEAR(edge.x, 1.0f, 1e-5);
    // a camera at +x looking back at the origin has +z on its right (left-handed)
    Vec3 side = transformCoord({0, 0, 1}, matrixLookAtLH({10, 0, 0}, {0, 0, 0}, {0, 1, 0}));
    EXPECT_NEAR(side.x, 1.0f, 1e-6);
    EXPECT_NEAR(side.z, 10.0f, 1e-6);
}

}  // namespace
