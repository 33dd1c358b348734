#include "gl/gl_test_util.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace gltest {

SDL_Window* GlTest::window_ = nullptr;
RenderSystem* GlTest::system_ = nullptr;
RenderDevice* GlTest::device_ = nullptr;

::testing::AssertionResult near(uint32_t actual, uint32_t expected, int tolerance) {
    Rgb a = rgb(actual), e = rgb(expected);
    if (std::abs(a.r - e.r) <= tolerance && std::abs(a.g - e.g) <= tolerance && std::abs(a.b - e.b) <= tolerance)
        return ::testing::AssertionSuccess();
    char text[96];
    std::snprintf(text, sizeof text, "got %06X, expected %06X (±%d)", actual & 0xFFFFFF, expected & 0xFFFFFF,
                  tolerance);
    return ::testing::AssertionFailure() << text;
}

PresentParams GlTest::params() {
    PresentParams p;
    p.backBufferWidth = kWidth;
    p.backBufferHeight = kHeight;
    p.backBufferFormat = fmt::X8R8G8B8;
    p.backBufferCount = 1;
    p.swapEffect = kSwapDiscard;
    p.windowed = false;
    p.enableAutoDepthStencil = true;
    p.autoDepthStencilFormat = fmt::D16;
    return p;
}

void GlTest::SetUpTestSuite() {
    if (device_) return;
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    window_ = SDL_CreateWindow("gl test", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
    system_ = createGlRenderSystem();
    ASSERT_NE(system_, nullptr);
    PresentParams p = params();
    device_ = system_->createDevice(window_, kCreateHardwareVertexProcessing, &p);
    if (!device_) device_ = system_->createDevice(window_, kCreateSoftwareVertexProcessing, &p);
    ASSERT_NE(device_, nullptr);
    setPresentPacing(false);
}

// The device lives for the whole program: the suites share it.
void GlTest::TearDownTestSuite() {}

void GlTest::SetUp() {
    ASSERT_NE(device_, nullptr);
    PresentParams p = params();
    ASSERT_TRUE(device_->reset(p));
    ASSERT_TRUE(device_->clear(kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0));
    ASSERT_TRUE(device_->beginScene());
    view_ = projection_ = matrixIdentity();
}

Image GlTest::frame() {
    Image image;
    EXPECT_TRUE(readGlBackBuffer(device_, &image.width, &image.height, &image.pixels));
    return image;
}

Texture* GlTest::texture(uint32_t width, uint32_t height, uint32_t format,
                         const std::function<uint32_t(uint32_t, uint32_t)>& pixel) {
    Texture* t = device_->createTexture(width, height, 0, 0, format, kPoolManaged);
    EXPECT_NE(t, nullptr);
    if (!t) return nullptr;
    textures_.emplace_back(t);
    for (uint32_t level = 0; level < t->levelCount(); ++level) {
        uint32_t w, h;
        LockedRect rect;
        EXPECT_TRUE(t->levelSize(level, &w, &h));
        EXPECT_TRUE(t->lockRect(level, &rect));
        const uint32_t bytes = pixel::bytesPerPixel(format);
        for (uint32_t y = 0; y < h; ++y) {
            auto* row = static_cast<uint8_t*>(rect.bits) + size_t(y) * rect.pitch;
            for (uint32_t x = 0; x < w; ++x) pixel::storePixel(format, row + size_t(x) * bytes, pixel(x, y));
        }
        t->unlockRect(level);
    }
    return t;
}

Mesh GlTest::mesh(const std::vector<Vertex>& vertices, const std::vector<uint16_t>& indices) {
    Mesh m;
    uint32_t vbytes = uint32_t(vertices.size() * sizeof(Vertex)), ibytes = uint32_t(indices.size() * 2);
    m.vertices.reset(device_->createVertexBuffer(vbytes, 0, fvf::Model, kPoolManaged));
    m.indices.reset(device_->createIndexBuffer(ibytes, 0, fmt::Index16, kPoolManaged));
    void* data = nullptr;
    EXPECT_TRUE(m.vertices && m.vertices->lock(0, vbytes, &data));
    if (data) std::memcpy(data, vertices.data(), vbytes);
    if (m.vertices) m.vertices->unlock();
    data = nullptr;
    EXPECT_TRUE(m.indices && m.indices->lock(0, ibytes, &data));
    if (data) std::memcpy(data, indices.data(), ibytes);
    if (m.indices) m.indices->unlock();
    m.vertexCount = uint32_t(vertices.size());
    m.triangles = uint32_t(indices.size() / 3);
    return m;
}

Mesh GlTest::grid() {
    std::vector<Vertex> v;
    std::vector<uint16_t> i;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) v.push_back({float(x - 4), float(4 - y), 0, 0, 0, -1, x / 8.0f, y / 8.0f});
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            uint16_t a = uint16_t(y * 9 + x), b = uint16_t(a + 1), c = uint16_t(a + 9), d = uint16_t(a + 10);
            i.insert(i.end(), {a, b, c, c, b, d});
        }
    return mesh(v, i);
}

Mesh GlTest::quad() {
    const float v[] = {-0.5f, -0.5f, 0.5f, 0, 0, 0.5f, -0.5f, 0.5f, 1, 0,
                       -0.5f, 0.5f,  0.5f, 0, 1, 0.5f, 0.5f,  0.5f, 1, 1};
    const uint16_t i[] = {0, 1, 2, 2, 1, 3};
    Mesh m;
    m.vertices.reset(device_->createVertexBuffer(sizeof v, 0, fvf::Quad, kPoolManaged));
    m.indices.reset(device_->createIndexBuffer(sizeof i, 0, fmt::Index16, kPoolManaged));
    void* data = nullptr;
    EXPECT_TRUE(m.vertices && m.vertices->lock(0, sizeof v, &data));
    if (data) std::memcpy(data, v, sizeof v);
    if (m.vertices) m.vertices->unlock();
    data = nullptr;
    EXPECT_TRUE(m.indices && m.indices->lock(0, sizeof i, &data));
    if (data) std::memcpy(data, i, sizeof i);
    if (m.indices) m.indices->unlock();
    m.vertexCount = 4;
    m.triangles = 2;
    m.fvf = fvf::Quad;
    m.stride = 20;
    return m;
}

bool GlTest::drawSprite(const Mesh& quad, float x, float y, float w, float h) {
    device_->setTransform(ts::World, matrixMultiply(matrixScaling(w, h, 0), matrixTranslation(x + w / 2, y + h / 2, 0)));
    return draw(quad);
}

bool GlTest::draw(const Mesh& m) {
    return device_->setStreamSource(0, m.vertices.get(), 0, m.stride) && device_->setFVF(m.fvf) &&
           device_->setIndices(m.indices.get()) &&
           device_->drawIndexedPrimitive(kTriangleList, 0, 0, m.vertexCount, 0, m.triangles);
}

void GlTest::screenSpace() {
    projection_ = matrixOrthoOffCenterLH(0, float(kWidth), float(kHeight), 0, 0, 1);
    view_ = matrixIdentity();
    device_->setTransform(ts::Projection, projection_);
    device_->setTransform(ts::View, view_);
}

void GlTest::camera(Vec3 eye, Vec3 at, float fov) {
    projection_ = matrixPerspectiveFovLH(fov, 1.0f, 1.0f, 1000.0f);
    view_ = matrixLookAtLH(eye, at, {0, 1, 0});
    device_->setTransform(ts::Projection, projection_);
    device_->setTransform(ts::View, view_);
}

void GlTest::project(Vec3 world, int* x, int* y) const {
    Vec3 ndc = transformCoord(world, matrixMultiply(view_, projection_));
    *x = int(std::floor((ndc.x + 1) / 2 * kWidth));
    *y = int(std::floor((1 - ndc.y) / 2 * kHeight));
}

}  // namespace gltest
