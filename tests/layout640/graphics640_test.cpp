// The 640x480 build's device: its own size whatever the caller passes, also after a reset.
#include <gtest/gtest.h>

#include "graphics/graphics_device.h"
#include "graphics/mesh_registry.h"
#include "graphics/scene.h"
#include "graphics/texture_registry.h"
#include "platform/fake/recording_device.h"

TEST(Graphics640Test, BackBufferViewportAndScreenProjectionAre640x480) {
    Recorder rec;
    installRecordingSystem(&rec);
    Scene scene;
    TextureRegistry textures;
    MeshRegistry meshes;
    GraphicsDevice::resetStateCaches();
    GraphicsDevice gd(&scene, &textures, &meshes);
    EXPECT_FLOAT_EQ(gd.screenProjection().m[0][0], 2.0f / 640.0f);
    ASSERT_TRUE(gd.init(nullptr, 1024, 768));
    EXPECT_EQ(gd.presentParams().backBufferWidth, 640u);
    EXPECT_EQ(gd.presentParams().backBufferHeight, 480u);
    EXPECT_FLOAT_EQ(gd.screenProjection().m[1][1], -2.0f / 480.0f);
    rec.loseDevice(true);
    EXPECT_TRUE(gd.renderScene());
    std::vector<std::string> viewports;
    for (const auto& c : rec.calls)
        if (c.name == "setViewport") viewports.push_back(c.text());
    EXPECT_EQ(viewports, (std::vector<std::string>{"setViewport(0,0,640,480,0,1)", "setViewport(0,0,640,480,0,1)"}));
    installRecordingSystem(nullptr);
}
