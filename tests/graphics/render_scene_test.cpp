// The scene renderer against the recording device: order, state caches, lights, device loss.
#include <gtest/gtest.h>

#include "graphics/matrix.h"
#include "graphics/mesh_registry.h"
#include "graphics/scene.h"
#include "graphics/texture_registry.h"
#include "graphics_test_util.h"
#include "support/test_support.h"

namespace {

class RenderSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        captureErrorBoxes();
        GraphicsDevice::resetStateCaches();
        installRecordingSystem(&rec);
        ASSERT_TRUE(gd.init(nullptr, 1024, 768));
        rec.clear();
    }
    void TearDown() override { installRecordingSystem(nullptr); }

    std::vector<std::string> frame() {
        rec.clear();
        gd.renderScene();
        return rec.texts();
    }

    Recorder rec;
    Scene scene;
    TextureRegistry textures;
    MeshRegistry meshes;
    GraphicsDevice gd{&scene, &textures, &meshes};
};

TEST(PackColourTest, TruncatesEachComponentAndSetsAlphaOne) {
    EXPECT_EQ(packColour({0.1f, 0.2f, 0.3f}), 0x0119334Cu);
    EXPECT_EQ(packColour({1.0f, 0.0f, 1.0f}), 0x01FF00FFu);
    EXPECT_EQ(packColour({0.0f, 0.0f, 0.0f}), 0x01000000u);
}

TEST_F(RenderSceneTest, EmptyOrHiddenSceneStillClearsAndPresentsInOrder) {
    scene.environment().setClearColour(0.1f, 0.2f, 0.3f);
    scene.environment().setAmbientColour(1.0f, 1.0f, 1.0f);
    MarkerRenderable hidden(1, 3, 7, 4);
    hidden.key().setFlag(keyflag::ScreenSpace, true);
    hidden.visible = false;
    scene.addRenderable(&hidden);
    const std::vector<std::string> expected = {
        "setTransform(3)",  "setTransform(2)", "setRenderState(139,33554431)", "setRenderState(28,0)",
        "clear(3,18428748,1,0)", "beginScene()", "setTransform(256)", "endScene()", "present()"};
    EXPECT_EQ(frame(), expected);
    EXPECT_FALSE(gd.renderScene());
}

TEST_F(RenderSceneTest, DrawsByKeyWithTiesInInsertionOrderAndKeysFixedAtInsertion) {
    MarkerRenderable late(1, 2), b(2, 1, 5), c(3, 1, 5), d(4, 1, 3), e(5, 1, 5, 0), neg(6, -1);
    for (MarkerRenderable* r : {&late, &b, &c, &d, &e, &neg}) scene.addRenderable(r);
    late.key().setLayer(0);  // too late to move
    frame();
    EXPECT_EQ(markers(rec), (std::vector<int>{6, 4, 2, 3, 5, 1}));
}

TEST_F(RenderSceneTest, KeyStatesReachTheDeviceOnlyWhenTheyChange) {
    MarkerRenderable a(1, 1), b(2, 1), keyed(3, 2), plain(4, 3);
    keyed.key().setFlag(keyflag::AlphaBlend, true);
    keyed.key().setFlag(keyflag::AlphaTest, true);
    keyed.key().setFlag(keyflag::MaterialColour, true);
    keyed.key().setFlag(keyflag::Lit, false);
    for (MarkerRenderable* r : {&a, &b, &keyed, &plain}) scene.addRenderable(r);
    auto calls = frame();
    auto from = std::find(calls.begin(), calls.end(), "setTransform(256)") + 1;
    const std::vector<std::string> expected = {
        "setTexture(0,null)",  // -1 differs from the initial -2
        "setRenderState(9001,0)", "setRenderState(9002,0)",
        "setRenderState(137,0)", "setRenderState(27,1)", "setTextureStageState(0,4,4)",
        "setTextureStageState(0,5,2)", "setTextureStageState(0,6,0)", "setRenderState(145,0)",
        "setRenderState(147,0)", "setRenderState(9003,0)",
        "setRenderState(137,1)", "setRenderState(27,0)", "setRenderState(15,0)", "setRenderState(145,1)",
        "setRenderState(147,1)", "setMaterial()", "setRenderState(9004,0)", "endScene()", "present()"};
    EXPECT_EQ(std::vector<std::string>(from, calls.end()), expected);
}

TEST_F(RenderSceneTest, CameraStepRestoresPerspectiveSoScreenSpaceIsSetAgainEachFrame) {
    MarkerRenderable sprite(1, 1);
    sprite.key().setFlag(keyflag::ScreenSpace, true);
    scene.addRenderable(&sprite);
    scene.camera().setEye(0, 10, -50);
    scene.camera().setMode(0);
    scene.camera().setTarget(0, 0, 0);
    for (int f = 0; f < 2; ++f) {
        frame();
        std::vector<const RecordedCall*> projections;
        for (const auto& c : rec.calls)
            if (c.name == "setTransform" && c.args[0] == ts::Projection) projections.push_back(&c);
        ASSERT_EQ(projections.size(), 2u) << "frame " << f;
        EXPECT_FLOAT_EQ(projections[0]->matrix.m[2][3], 1.0f);  // perspective
        EXPECT_FLOAT_EQ(projections[1]->matrix.m[0][0], 2.0f / 1024.0f);
        EXPECT_FLOAT_EQ(projections[1]->matrix.m[1][1], -2.0f / 768.0f);
    }
}

TEST_F(RenderSceneTest, UsesTheSixLightsWithTheSmallestSortKeys) {
    PointLight lights[8];
    const float keys[8] = {5, 1, 9, 1, 3, 7, 2, 0};
    for (int i = 0; i < 8; ++i) {
        lights[i].setPosition(float(i), 0, 0);
        lights[i].setSortKey(keys[i]);
        scene.addLight(&lights[i]);
    }
    frame();
    std::vector<int> set, enabled;
    for (const auto& c : rec.calls) {
        if (c.name == "setLight") set.push_back(int(c.light.position.x));
        if (c.name == "lightEnable" && c.args[1] == 1) enabled.push_back(int(c.args[0]));
    }
    EXPECT_EQ(set, (std::vector<int>{7, 1, 3, 6, 4, 0}));  // ties keep insertion order
    EXPECT_EQ(enabled, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    frame();
    EXPECT_EQ(rec.countOf("setLight"), 6u);  // moved lights are taken every frame
    EXPECT_EQ(rec.countOf("lightEnable"), 0u);

    Scene fewer;  // a scene with fewer lights switches the rest off
    fewer.addLight(&lights[0]);
    GraphicsDevice other(&fewer, &textures, &meshes);
    installRecordingSystem(&rec);
    ASSERT_TRUE(other.init(nullptr, 1024, 768));
    rec.clear();
    other.renderScene();
    EXPECT_EQ(rec.countOf("lightEnable"), 5u);
    EXPECT_EQ(textsFrom(rec, "lightEnable").front(), "lightEnable(1,0)");
}

TEST_F(RenderSceneTest, LostDeviceSkipsFramesUntilItCanBeResetThenRestoresState) {
    PointLight light;
    scene.addLight(&light);
    MarkerRenderable r(1, 1, 4);
    scene.addRenderable(&r);
    frame();

    rec.loseDevice(false);
    EXPECT_FALSE(gd.renderScene());
    EXPECT_EQ(frame().back(), "testCooperativeLevel()");
    EXPECT_TRUE(markers(rec).empty());

    rec.loseDevice(true);
    rec.clear();
    EXPECT_TRUE(gd.renderScene());
    const std::vector<std::string> expected = {
        "testCooperativeLevel()", "reset(1024,768,22,80)", "clear(3,4278190080,1,0)", "present()",
        "setViewport(0,0,1024,768,0,1)", "setRenderState(26,1)", "setRenderState(141,1)",
        "setRenderState(19,5)", "setRenderState(20,6)", "setRenderState(29,1)", "setRenderState(145,1)",
        "setRenderState(147,1)", "setMaterial()", "setLight(0)", "lightEnable(0,1)"};
    EXPECT_EQ(textsFrom(rec, "testCooperativeLevel"), expected);

    // the reset device binds nothing: the caches start over, so the same texture is bound
    // again; the lights the reset enabled stay enabled
    frame();
    EXPECT_EQ(rec.countOf("setTexture"), 1u);
    EXPECT_EQ(rec.countOf("lightEnable"), 0u);
    EXPECT_EQ(markers(rec), std::vector<int>{1});

    // lost while drawing: present fails and the reset follows in the same frame
    r.onRender = [&] { rec.loseDevice(true); };
    EXPECT_TRUE(gd.renderScene());
    r.onRender = nullptr;
    EXPECT_FALSE(gd.renderScene());
}

}  // namespace
