// Mesh and texture registries: ids, names, failures and their messages, scaling, pictures.
#include <gtest/gtest.h>

#include <cstring>

#include "graphics/mesh_registry.h"
#include "graphics/texture_registry.h"
#include "graphics_test_util.h"
#include "support/test_support.h"

namespace {

const std::string kTriangle = "xof 0303txt 0032\nMesh m { 3; 0;0;0;, 2;0;0;, 0;4;0;; 1; 3;0,1,2;; }\n";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        captureErrorBoxes();
        DeviceHolder::instance().device = &device;
        dir.write("tri.x", kTriangle);
        dir.write("gfx/pic.bmp", makeBmp(3, 5, std::vector<uint32_t>(15, 0x808080)));
    }
    void TearDown() override { DeviceHolder::instance().device = nullptr; }

    const std::vector<float> positionsOf(int id) {
        MeshBuffers* mb = meshes.meshById(id);
        auto* vb = static_cast<RecordingVertexBuffer*>(mb->vertexBuffer);
        std::vector<float> out;
        for (uint32_t i = 0; i < mb->vertexCount; ++i) {
            float p[3];
            std::memcpy(p, vb->bytes.data() + i * mb->stride, sizeof p);
            out.insert(out.end(), p, p + 3);
        }
        return out;
    }

    ScratchDir dir;
    Recorder rec;
    RecordingDevice device{rec};
    MeshRegistry meshes;
    TextureRegistry textures;
};

TEST_F(RegistryTest, MeshIdsAreSharedWithQuadsAndSurviveFailedLoads) {
    EXPECT_EQ(meshes.loadMesh("tri.x", 0x112, 32), 0);
    EXPECT_EQ(meshes.loadMesh("missing.x", 0x112, 32), -1);
    EXPECT_EQ(errorBoxes(), (std::vector<std::string>{"Can not load mesh", "Can't open file: missing.x"}));
    EXPECT_EQ(meshes.findMeshByName("missing.x"), -1);
    EXPECT_EQ(meshes.createQuad("SPRITE"), 2);  // the failed load used id 1
    EXPECT_EQ(meshes.createQuad("SPRITE"), 2);
    // names are case-sensitive; the file goes first, as a file system that ignores case
    // (Windows) would open it under the other name
    std::remove("tri.x");
    EXPECT_EQ(meshes.loadMesh("TRI.x", 0x112, 32), -1);
    dir.write("TRI.x", kTriangle);
    EXPECT_EQ(meshes.loadMesh("TRI.x", 0x112, 32), 4);

    // a known name is never read again, whatever format is asked for
    EXPECT_EQ(meshes.loadMesh("tri.x", 0x102, 20), 0);
    MeshBuffers* mb = meshes.meshById(0);
    EXPECT_EQ(mb->vertexFormat, 0x112u);
    EXPECT_EQ(mb->stride, 32u);
    EXPECT_EQ(mb->vertexCount, 3u);
    EXPECT_EQ(mb->drawVertexCount, 3u);
    EXPECT_EQ(mb->faceCount, 1u);
    EXPECT_EQ(mb->primitiveCount, 1u);
    EXPECT_EQ(meshes.meshById(-1), nullptr);
    EXPECT_EQ(meshes.meshById(1), nullptr);
    EXPECT_EQ(meshes.findMeshByName(nullptr), -1);

    MeshBuffers* quad = meshes.meshById(2);
    EXPECT_EQ(quad->vertexFormat, 0x102u);
    EXPECT_EQ(quad->stride, 20u);
    EXPECT_EQ(quad->primitiveCount, 2u);
    const float expectedQuad[20] = {-0.5f, -0.5f, 0.5f, 0, 0, 0.5f, -0.5f, 0.5f, 1, 0,
                                    -0.5f, 0.5f,  0.5f, 0, 1, 0.5f, 0.5f,  0.5f, 1, 1};
    EXPECT_EQ(std::memcmp(static_cast<RecordingVertexBuffer*>(quad->vertexBuffer)->bytes.data(), expectedQuad, 80), 0);
    const uint16_t expectedIndices[6] = {0, 1, 2, 2, 1, 3};
    EXPECT_EQ(std::memcmp(static_cast<RecordingIndexBuffer*>(quad->indexBuffer)->bytes.data(), expectedIndices, 12), 0);
}

TEST_F(RegistryTest, ScalingIsSharedAndMultiplies) {
    int id = meshes.loadMesh("tri.x", 0x112, 32);
    EXPECT_TRUE(meshes.scaleMeshByName("tri.x", 0.5f));
    EXPECT_TRUE(meshes.scaleMesh(id, 0.5f));
    EXPECT_EQ(positionsOf(id), (std::vector<float>{0, 0, 0, 0.5f, 0, 0, 0, 1, 0}));
    EXPECT_FALSE(meshes.scaleMeshByName("never.x", 2.0f));
    EXPECT_FALSE(meshes.scaleMesh(77, 2.0f));
    EXPECT_TRUE(errorBoxes().empty());
    rec.failCall("vertexBuffer.lock");
    EXPECT_FALSE(meshes.scaleMesh(id, 2.0f));
    EXPECT_EQ(errorBoxes(), std::vector<std::string>{"Can not lock vertex buffer"});
}

TEST_F(RegistryTest, EveryMeshFailureHasItsMessage) {
    std::string big = "xof 0303txt 0032\nMesh m { 65536;";
    for (int i = 0; i < 65536; ++i) big += " 0;0;0;,";
    big += "; 1; 3;0,1,2;; }";
    dir.write("big.x", big);
    dir.write("bad.x", "xof 0303bin 0032\x01\x02");
    struct Case {
        const char* failCall;
        const char* file;
        const char* message;
    };
    const Case cases[] = {
        {nullptr, "bad.x", "Can not load mesh"},
        {nullptr, "big.x", "Can not copy mesh"},
        {"createVertexBuffer", "tri.x", "Can not create vertex buffer"},
        {"createIndexBuffer", "tri.x", "Can not create index buffer"},
        {"vertexBuffer.lock", "tri.x", "Can not lock vertex buffer"},
        {"indexBuffer.lock", "tri.x", "Can not lock index buffer"},
    };
    for (const Case& c : cases) {
        rec.clearFailures();
        if (c.failCall) rec.failCall(c.failCall);
        errorBoxes().clear();
        EXPECT_EQ(meshes.loadMesh(c.file, 0x112, 32), -1);
        EXPECT_EQ(errorBoxes(), (std::vector<std::string>{c.message, std::string("Can't open file: ") + c.file}));
    }
    rec.clearFailures();
    EXPECT_EQ(meshes.loadMesh("tri.x", 0x112, 32), 6);

    DeviceHolder::instance().device = nullptr;
    errorBoxes().clear();
    EXPECT_EQ(meshes.loadMesh("other.x", 0x112, 32), -1);
    EXPECT_EQ(meshes.createQuad("Q"), -1);
    EXPECT_EQ(errorBoxes(), (std::vector<std::string>{
                                "I can't load meshes, Direct3DDevice is not ready", "Can't open file: other.x",
                                "Stupid programmer, Direct3DDevice is not ready, do something to your "
                                "motherfucking singleton initializations"}));
    // a quad that failed stays registered under its name
    EXPECT_EQ(meshes.createQuad("Q"), 8);
}

TEST_F(RegistryTest, TextureIdsCountOnlySuccessesAndNamesMatchExactly) {
    dir.write("gfx/b.bmp", makeBmp(2, 2, std::vector<uint32_t>(4, 0)));
    EXPECT_EQ(textures.loadTexture("gfx\\pic.bmp"), 0);
    EXPECT_EQ(textures.loadTexture("gfx\\menu01.jpg"), -1);
    EXPECT_EQ(textures.loadTexture("gfx\\connind.bmp", true), -1);
    EXPECT_EQ(textures.loadTexture("gfx\\b.bmp", true), 1);
    EXPECT_EQ(textures.loadTexture("gfx\\b.bmp"), 1);  // keeps the keyed form
    std::remove("gfx/pic.bmp");  // known by name from now on; Windows would open it as PIC.bmp
    EXPECT_EQ(textures.loadTexture("gfx\\PIC.bmp"), -1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(textures.loadTexture("gfx\\pic.bmp"), 0);
    EXPECT_EQ(textures.loadTexture(nullptr), -1);
    EXPECT_EQ(errorBoxes(), (std::vector<std::string>{"Missing file: gfx\\menu01.jpg", "Texture files missing",
                                                       "Missing file: gfx\\PIC.bmp"}));
    EXPECT_EQ(rec.countOf("createTexture"), 2u);
    EXPECT_EQ(rec.countOf("adapterDisplayFormat"), 3u);  // plain loads only
    EXPECT_EQ(textures.textureById(0)->format(), fmt::X8R8G8B8);
    EXPECT_EQ(textures.textureById(1)->format(), fmt::A1R5G5B5);
    EXPECT_EQ(textures.textureById(-1), nullptr);
    EXPECT_EQ(textures.textureById(2), nullptr);
    EXPECT_EQ(textures.findTextureByName("gfx\\b.bmp"), 1);

    rec.failCall("createTexture");
    errorBoxes().clear();
    dir.write("gfx/c.bmp", makeBmp(2, 2, std::vector<uint32_t>(4, 0)));
    EXPECT_EQ(textures.loadTexture("gfx\\c.bmp"), -1);
    rec.clearFailures();
    dir.write("gfx/trunc.bmp", makeBmp(8, 8, std::vector<uint32_t>(64, 0)).substr(0, 80));
    EXPECT_EQ(textures.loadTexture("gfx\\trunc.bmp", true), -1);
    EXPECT_EQ(textures.loadTexture("gfx\\c.bmp"), 2);
    DeviceHolder::instance().device = nullptr;
    EXPECT_EQ(textures.loadTexture("gfx\\d.bmp"), -1);
    EXPECT_EQ(errorBoxes(), (std::vector<std::string>{"Missing file: gfx\\c.bmp", "Texture files missing",
                                                       "I can't load textures, Direct3DDevice is not ready"}));
}

TEST_F(RegistryTest, PicturesFillAPowerOfTwoTextureWithAMipChain) {
    // 3x5: left column red, right column blue, a black pixel and a near-black one
    std::vector<uint32_t> px(15, 0x00FF00);
    for (int y = 0; y < 5; ++y) {
        px[size_t(y * 3)] = 0xFF0000;
        px[size_t(y * 3 + 2)] = 0x0000FF;
    }
    px[1] = 0x000000;
    px[4] = 0x000004;  // would be black after a 5-bit conversion: not keyed
    dir.write("gfx/p.bmp", makeBmp(3, 5, px));
    rec.displayFormat = fmt::R5G6B5;
    int plain = textures.loadTexture("gfx\\p.bmp");
    dir.write("gfx/k.bmp", makeBmp(3, 5, px));
    int keyed = textures.loadTexture("gfx\\k.bmp", true);
    auto* t = static_cast<RecordingTexture*>(textures.textureById(plain));
    auto* k = static_cast<RecordingTexture*>(textures.textureById(keyed));
    ASSERT_TRUE(t && k);
    EXPECT_EQ(t->format(), fmt::R5G6B5);
    ASSERT_EQ(t->levels.size(), 4u);  // 4x8, 2x4, 1x2, 1x1
    EXPECT_EQ(t->levels[0].width, 4u);
    EXPECT_EQ(t->levels[0].height, 8u);
    EXPECT_EQ(t->levels[3].width * t->levels[3].height, 1u);
    EXPECT_EQ(t->levels[0].bytes.size(), 4u * 8u * 2u);  // 16 bits a texel in 5-6-5
    EXPECT_EQ(t->argb(0, 0, 0), 0xFFFF0000u);  // the whole picture is stretched: corners keep
    EXPECT_EQ(t->argb(0, 3, 0), 0xFF0000FFu);  // their colours
    EXPECT_EQ(t->argb(0, 0, 7), 0xFFFF0000u);
    EXPECT_EQ(t->argb(0, 3, 7), 0xFF0000FFu);
    EXPECT_EQ(t->texel(0, 0, 0), 0xF800u) << "red in 5-6-5";

    // 4x8 from 3x5: the black source pixel (1, 0) covers the middle of the top row
    EXPECT_EQ(k->argb(0, 1, 0) >> 24, 0u);
    EXPECT_EQ(k->argb(0, 2, 0) >> 24, 0u);
    EXPECT_EQ(k->argb(0, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(k->texel(0, 0, 1), 0xFC00u) << "red with the alpha bit, 1-5-5-5";

    // unscaled, the key hits pure black only, judged on the decoded colours (0x000004 and
    // 0x040000 are black in five bits, yet keep their alpha bit)
    dir.write("gfx/key.bmp", makeBmp(2, 2, {0x000000, 0x000004, 0x040000, 0xFFFFFF}));
    auto* exact = static_cast<RecordingTexture*>(textures.textureById(textures.loadTexture("gfx\\key.bmp", true)));
    ASSERT_TRUE(exact);
    EXPECT_EQ(exact->levels[0].bytes, (std::vector<uint8_t>{0x00, 0x00, 0x00, 0x80, 0x00, 0x80, 0xFF, 0xFF}));
}

}  // namespace
