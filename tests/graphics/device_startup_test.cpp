// Device start-up: the order of the format checks and every fallback and message.
#include <gtest/gtest.h>

#include "graphics/mesh_registry.h"
#include "graphics/scene.h"
#include "graphics/texture_registry.h"
#include "graphics_test_util.h"
#include "support/test_support.h"

namespace {

class DeviceStartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        captureErrorBoxes();
        installRecordingSystem(&rec);
    }
    void TearDown() override { installRecordingSystem(nullptr); }

    // The format checks and device creations, in order.
    std::vector<std::string> checks() const {
        std::vector<std::string> out;
        for (const auto& c : rec.calls)
            if (c.name.rfind("check", 0) == 0 || c.name == "createDevice") out.push_back(c.text());
        return out;
    }

    Recorder rec;
    Scene scene;
    TextureRegistry textures;
    MeshRegistry meshes;
};

TEST_F(DeviceStartupTest, PreferredFormatsGiveTheDeviceAndTheStartupState) {
    {
        GraphicsDevice gd(&scene, &textures, &meshes);
        ASSERT_TRUE(gd.init(nullptr, 1024, 768));
        EXPECT_EQ(DeviceHolder::instance().device, gd.device());
        const std::vector<std::string> expected = {
            "createRenderSystem()", "checkDeviceType(22,22,0)", "checkDepthStencilFormat(22,80)",
            "createDevice(64,1024,768,22,80)", "setViewport(0,0,1024,768,0,1)", "setRenderState(26,1)",
            "setRenderState(141,1)", "setRenderState(19,5)", "setRenderState(20,6)", "setRenderState(29,1)",
            "setRenderState(145,1)", "setRenderState(147,1)", "setMaterial()", "clear(3,4278190080,1,0)",
            "present()"};
        EXPECT_EQ(rec.texts(), expected);
        const PresentParams& p = gd.presentParams();
        EXPECT_FALSE(p.windowed);
        EXPECT_EQ(p.swapEffect, kSwapDiscard);
        EXPECT_EQ(p.backBufferCount, 1u);
        EXPECT_TRUE(p.enableAutoDepthStencil);
        EXPECT_EQ(p.presentationInterval, 0u);
        EXPECT_FLOAT_EQ(gd.screenProjection().m[3][0], -1.0f);
        EXPECT_FLOAT_EQ(gd.screenProjection().m[3][1], 1.0f);
        EXPECT_TRUE(errorBoxes().empty());
    }
    EXPECT_EQ(DeviceHolder::instance().device, nullptr);  // no dangling device once it is gone
}

TEST_F(DeviceStartupTest, FallsBackThroughTheFormatAndVertexProcessingLists) {
    // an adapter with only 16-bit 5-6-5 modes; depth tried against that format, D16 refused
    rec.failText("checkDeviceType(22,22,0)");
    rec.failText("checkDepthStencilFormat(23,80)");
    rec.failText("checkDepthStencilFormat(23,73)");
    rec.failCall("createDevice", 1);  // no hardware vertex processing: software, silently
    GraphicsDevice gd(&scene, &textures, &meshes);
    ASSERT_TRUE(gd.init(nullptr, 1024, 768));
    const std::vector<std::string> expected = {
        "checkDeviceType(22,22,0)", "checkDeviceType(23,23,0)", "checkDepthStencilFormat(23,80)",
        "checkDepthStencilFormat(23,73)", "checkDepthStencilFormat(23,71)", "createDevice(64,1024,768,23,71)",
        "createDevice(32,1024,768,23,71)"};
    EXPECT_EQ(checks(), expected);
    EXPECT_TRUE(errorBoxes().empty());
}

TEST_F(DeviceStartupTest, EachExhaustedListReportsItsMessage) {
    struct Case {
        const char* failing;
        std::vector<std::string> lastChecks;
        const char* message;
    };
    const Case cases[] = {
        {"createRenderSystem", {}, "I can't initialize Direct3D. Please check DirectX 9 (or newer) is properly installed."},
        {"checkDeviceType",
         {"checkDeviceType(22,22,0)", "checkDeviceType(23,23,0)", "checkDeviceType(24,24,0)"},
         "I can't find a suitable graphics format. :( Go buy a new video card or deltree me."},
        {"checkDepthStencilFormat",
         {"checkDepthStencilFormat(22,80)", "checkDepthStencilFormat(22,73)", "checkDepthStencilFormat(22,71)",
          "checkDepthStencilFormat(22,75)", "checkDepthStencilFormat(22,70)"},
         "I can't find a suitable depth buffer format :("},
        {"createDevice",
         {"createDevice(64,1024,768,22,80)", "createDevice(32,1024,768,22,80)"},
         "I can't initialize the Direct3DDevice interface. Your video card is probably incompatible."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        rec.clear();
        rec.clearFailures();
        errorBoxes().clear();
        std::string failing = c.failing;
        if (failing == "createRenderSystem")
            installRecordingSystem(nullptr);
        else
            rec.failCall(failing);
        GraphicsDevice gd(&scene, &textures, &meshes);
        EXPECT_FALSE(gd.init(nullptr, 1024, 768));
        installRecordingSystem(&rec);
        EXPECT_EQ(errorBoxes(), std::vector<std::string>{c.message});
        auto all = checks();
        std::vector<std::string> tail(all.end() - long(std::min(all.size(), c.lastChecks.size())), all.end());
        EXPECT_EQ(tail, c.lastChecks);
        EXPECT_EQ(rec.countOf("setViewport"), 0u);
    }
}

}  // namespace
