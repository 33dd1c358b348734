// The OpenGL device's start-up checks, resources, presentation and pacing.
#include <chrono>
#include <cstring>

#include "gl/gl_test_util.h"

namespace gltest {
namespace {

// The checks open probe contexts of their own; the device's context must be current again
// afterwards, or the next draw would go nowhere.
TEST_F(GlTest, FormatChecksProbeTheDriverAndLeaveTheDeviceDrawing) {
    SDL_GLContext before = SDL_GL_GetCurrentContext();
    EXPECT_TRUE(system()->checkDeviceType(fmt::X8R8G8B8, fmt::X8R8G8B8, false));
    EXPECT_TRUE(system()->checkDeviceType(fmt::R5G6B5, fmt::R5G6B5, false));
    EXPECT_TRUE(system()->checkDeviceType(fmt::X1R5G5B5, fmt::X1R5G5B5, false));
    EXPECT_FALSE(system()->checkDeviceType(fmt::X8R8G8B8, fmt::R5G6B5, false)) << "full-screen formats must match";
    EXPECT_FALSE(system()->checkDeviceType(99, 99, false));
    EXPECT_TRUE(system()->checkDepthStencilFormat(fmt::X8R8G8B8, fmt::D16));
    EXPECT_TRUE(system()->checkDepthStencilFormat(fmt::R5G6B5, fmt::D16));
    EXPECT_TRUE(system()->checkDepthStencilFormat(fmt::X8R8G8B8, fmt::D15S1));
    EXPECT_TRUE(system()->checkDepthStencilFormat(fmt::X8R8G8B8, fmt::D24S8));
    EXPECT_FALSE(system()->checkDepthStencilFormat(fmt::X8R8G8B8, 99));
    // Checks of one colour size share a probe; asking again must not leave it current.
    EXPECT_TRUE(system()->checkDeviceType(fmt::X8R8G8B8, fmt::X8R8G8B8, false));
    EXPECT_EQ(SDL_GL_GetCurrentContext(), before);

    ASSERT_TRUE(device()->clear(kClearTarget, 0xFF123456u, 1.0f, 0));
    EXPECT_EQ(frame().at(10, 10), 0x123456u);
}

TEST_F(GlTest, DeviceCreationRefusesWhatItCannotServe) {
    PresentParams p = params();
    EXPECT_EQ(system()->createDevice(nullptr, kCreateHardwareVertexProcessing, &p), nullptr);
    EXPECT_EQ(system()->createDevice(window(), kCreateHardwareVertexProcessing | kCreateSoftwareVertexProcessing, &p),
              nullptr);
    PresentParams empty = p;
    empty.backBufferWidth = 0;
    EXPECT_EQ(system()->createDevice(window(), kCreateSoftwareVertexProcessing, &empty), nullptr);
    PresentParams badDepth = p;
    badDepth.autoDepthStencilFormat = 99;
    EXPECT_EQ(system()->createDevice(window(), kCreateSoftwareVertexProcessing, &badDepth), nullptr);
    SDL_Window* plain = SDL_CreateWindow("no gl", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(system()->createDevice(plain, kCreateSoftwareVertexProcessing, &p), nullptr);
    SDL_DestroyWindow(plain);
    EXPECT_EQ(device()->testCooperativeLevel(), DeviceStatus::Ok);
    EXPECT_EQ(device()->adapterDisplayFormat(), fmt::X8R8G8B8);
}

TEST_F(GlTest, TexturesHaveTheirMipChainAndRefuseBadShapes) {
    Texture* t = device()->createTexture(256, 64, 0, 0, fmt::X8R8G8B8, kPoolManaged);
    ASSERT_NE(t, nullptr);
    std::unique_ptr<Texture> owned(t);
    EXPECT_EQ(t->levelCount(), 9u);
    uint32_t w = 0, h = 0;
    EXPECT_TRUE(t->levelSize(2, &w, &h));
    EXPECT_EQ(w, 64u);
    EXPECT_EQ(h, 16u);
    EXPECT_TRUE(t->levelSize(8, &w, &h));
    EXPECT_EQ(w, 1u);
    EXPECT_EQ(h, 1u);
    LockedRect rect;
    EXPECT_FALSE(t->lockRect(9, &rect));
    EXPECT_TRUE(t->lockRect(1, &rect));
    EXPECT_EQ(rect.pitch, 128 * 4);
    t->unlockRect(1);

    EXPECT_EQ(device()->createTexture(0, 16, 1, 0, fmt::X8R8G8B8, kPoolManaged), nullptr);
    EXPECT_EQ(device()->createTexture(1u << 20, 16, 1, 0, fmt::X8R8G8B8, kPoolManaged), nullptr);
    EXPECT_EQ(device()->createTexture(16, 16, 6, 0, fmt::X8R8G8B8, kPoolManaged), nullptr) << "16 has 5 levels";
    EXPECT_EQ(device()->createTexture(16, 16, 1, 0, 99, kPoolManaged), nullptr);
}

TEST_F(GlTest, ALevelLockedAgainHoldsWhatWasUnlocked) {
    for (uint32_t format : {uint32_t(fmt::X8R8G8B8), uint32_t(fmt::A1R5G5B5), uint32_t(fmt::R5G6B5)}) {
        std::unique_ptr<Texture> t(device()->createTexture(8, 4, 0, 0, format, kPoolManaged));
        ASSERT_NE(t, nullptr);
        const uint32_t bytes = pixel::bytesPerPixel(format);
        LockedRect rect;
        ASSERT_TRUE(t->lockRect(1, &rect));
        EXPECT_EQ(rect.pitch, int(4 * bytes)) << "format " << format;
        auto* px = static_cast<uint8_t*>(rect.bits);
        for (uint32_t i = 0; i < 8; ++i)
            pixel::storePixel(format, px + i * bytes, (i % 2 ? 0xFF000000u : 0u) | i * 0x00200810u);
        t->unlockRect(1);
        ASSERT_TRUE(t->lockRect(1, &rect));
        px = static_cast<uint8_t*>(rect.bits);
        for (uint32_t i = 0; i < 8; ++i) {
            // the texel as packed: five bits a channel (six for 5-6-5 green), one alpha bit
            uint32_t c = pixel::packPixel(format, (i % 2 ? 0xFF000000u : 0u) | i * 0x00200810u);
            EXPECT_EQ(pixel::loadTexel(format, px + i * bytes), c) << "format " << format << " texel " << i;
        }
        t->unlockRect(1);
    }
}

TEST_F(GlTest, BufferLocksAndDrawsStayInsideTheirBuffers) {
    std::unique_ptr<VertexBuffer> vb(device()->createVertexBuffer(80, 0, fvf::Quad, kPoolManaged));
    ASSERT_NE(vb, nullptr);
    void* p = nullptr;
    EXPECT_TRUE(vb->lock(0, 0, &p));  // size 0: the whole buffer
    vb->unlock();
    EXPECT_TRUE(vb->lock(60, 20, &p));
    vb->unlock();
    EXPECT_FALSE(vb->lock(64, 20, &p));
    EXPECT_FALSE(vb->lock(81, 0, &p));
    EXPECT_EQ(device()->createIndexBuffer(12, 0, 99, kPoolManaged), nullptr);

    screenSpace();
    device()->setRenderState(rs::Lighting, 0);
    Mesh q = quad();
    ASSERT_TRUE(drawSprite(q, 0, 0, 8, 8));
    // Indices past the vertices, a range past the indices, a stride past the buffer.
    uint16_t* idx = nullptr;
    ASSERT_TRUE(q.indices->lock(0, 12, reinterpret_cast<void**>(&idx)));
    idx[5] = 4;
    EXPECT_FALSE(draw(q)) << "still locked: checked afresh";
    q.indices->unlock();
    EXPECT_FALSE(draw(q));
    EXPECT_FALSE(device()->drawIndexedPrimitive(kTriangleList, 0, 0, 4, 3, 2));
    ASSERT_TRUE(q.indices->lock(0, 12, reinterpret_cast<void**>(&idx)));
    idx[5] = 3;
    q.indices->unlock();
    device()->setStreamSource(0, q.vertices.get(), 0, 32);
    EXPECT_FALSE(device()->drawIndexedPrimitive(kTriangleList, 0, 0, 4, 0, 2));
    device()->endScene();
    EXPECT_FALSE(draw(q)) << "outside a scene";
}

// Direct3D holds references to what is bound; here the caller owns resources outright, so
// freeing a bound one must leave the device without it rather than with a dangling pointer.
TEST_F(GlTest, FreedResourcesAreUnboundAndOthersSurviveAReset) {
    screenSpace();
    device()->setRenderState(rs::Lighting, 0);
    Texture* keep = texture(4, 4, fmt::X8R8G8B8, [](uint32_t, uint32_t) { return 0xFF00FF00u; });
    Texture* gone = device()->createTexture(4, 4, 1, 0, fmt::X8R8G8B8, kPoolManaged);
    ASSERT_NE(gone, nullptr);
    Mesh q = quad();
    device()->setTexture(0, gone);
    delete gone;
    ASSERT_TRUE(drawSprite(q, 0, 0, 8, 8));
    EXPECT_EQ(frame().at(4, 4), 0xFFFFFFu) << "untextured: the vertices' white";

    device()->endScene();
    ASSERT_TRUE(device()->reset(params()));
    ASSERT_TRUE(device()->beginScene());
    screenSpace();
    device()->setRenderState(rs::Lighting, 0);
    device()->setTexture(0, keep);
    ASSERT_TRUE(drawSprite(q, 0, 0, 8, 8));
    EXPECT_EQ(frame().at(4, 4), 0x00FF00u);

    Mesh other = quad();
    ASSERT_TRUE(drawSprite(other, 0, 0, 8, 8));
    other.vertices.reset();
    other.indices.reset();
    EXPECT_FALSE(device()->drawIndexedPrimitive(kTriangleList, 0, 0, 4, 0, 2));
}

TEST_F(GlTest, BackBufferIsLetterboxedIntoTheDrawable) {
    SDL_Window* w = SDL_CreateWindow("letterbox", 0, 0, 800, 700, SDL_WINDOW_OPENGL);
    ASSERT_NE(w, nullptr);
    PresentParams p = params();
    p.windowed = true;
    std::unique_ptr<RenderDevice> d(system()->createDevice(w, kCreateSoftwareVertexProcessing, &p));
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(d->clear(kClearTarget, 0xFF00FF00u, 1.0f, 0));

    Image shown;
    ASSERT_TRUE(readGlWindow(d.get(), &shown.width, &shown.height, &shown.pixels));
    ASSERT_EQ(shown.width, 800);
    ASSERT_EQ(shown.height, 700);
    // 1024 x 768 scaled by 800/1024 is 800 x 600, centred: 50 rows of bar above and below.
    EXPECT_EQ(shown.at(400, 49), 0u);
    EXPECT_EQ(shown.at(400, 50), 0x00FF00u);
    EXPECT_EQ(shown.at(0, 300), 0x00FF00u);
    EXPECT_EQ(shown.at(799, 649), 0x00FF00u);
    EXPECT_EQ(shown.at(400, 650), 0u);

    // The game presents every frame; the frame after a resize is letterboxed anew.
    SDL_SetWindowSize(w, 1000, 600);
    SDL_PumpEvents();
    ASSERT_TRUE(d->present());
    ASSERT_TRUE(readGlWindow(d.get(), &shown.width, &shown.height, &shown.pixels));
    ASSERT_EQ(shown.width, 1000);
    // Now the height decides: 800 x 600 with 100 columns of bar either side.
    EXPECT_EQ(shown.at(99, 300), 0u);
    EXPECT_EQ(shown.at(100, 300), 0x00FF00u);
    EXPECT_EQ(shown.at(899, 0), 0x00FF00u);
    EXPECT_EQ(shown.at(900, 300), 0u);
    d.reset();
    SDL_DestroyWindow(w);
}

// Xvfb has no vsync: present itself must keep frames a refresh interval apart.
TEST_F(GlTest, PresentIsPacedWithoutVsync) {
    ASSERT_TRUE(device()->endScene());
    setPresentPacing(true);
    ASSERT_TRUE(device()->present());
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(device()->present());
    auto elapsed = std::chrono::steady_clock::now() - start;
    setPresentPacing(false);
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 70);
}

}  // namespace
}  // namespace gltest
