#pragma once
// Pixel tests of the OpenGL render device: one SDL window and device shared by the tests,
// each test starting from a reset device.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "graphics/matrix.h"
#include "platform/gl_render_system.h"
#include "platform/pixel_format.h"
#include "platform/render_device.h"

namespace gltest {

constexpr int kWidth = 1024, kHeight = 768;

struct Rgb {
    int r = 0, g = 0, b = 0;
};
inline Rgb rgb(uint32_t c) { return {int((c >> 16) & 0xFF), int((c >> 8) & 0xFF), int(c & 0xFF)}; }

struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x] & 0xFFFFFF; }
};

// Colours within `tolerance` per channel.
::testing::AssertionResult near(uint32_t actual, uint32_t expected, int tolerance = 2);

struct Vertex {
    float x, y, z, nx, ny, nz, u, v;
};
struct Mesh {
    std::unique_ptr<VertexBuffer> vertices;
    std::unique_ptr<IndexBuffer> indices;
    uint32_t vertexCount = 0, triangles = 0;
    uint32_t fvf = fvf::Model, stride = 32;
};

class GlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;  // resets the device, clears to black inside a scene

    static RenderDevice* device() { return device_; }
    static RenderSystem* system() { return system_; }
    static SDL_Window* window() { return window_; }
    static PresentParams params();

    Image frame();  // the back buffer now

    // A texture filled by pixel(x, y) on every level (levels are not minified; the device
    // samples level 0 only).
    Texture* texture(uint32_t width, uint32_t height, uint32_t format,
                     const std::function<uint32_t(uint32_t, uint32_t)>& pixel);

    // A 0x112 mesh (position, normal, uv), triangle list.
    Mesh mesh(const std::vector<Vertex>& vertices, const std::vector<uint16_t>& indices);
    // A 9 x 9 vertex grid over x, y -4..4 at z 0, facing -z, one unit between vertices.
    Mesh grid();
    // The sprites' unit quad: 0x102, centred on the origin at z 0.5, v growing downwards.
    Mesh quad();
    // Binds and draws it with the current state.
    bool draw(const Mesh& m);
    // A w x h sprite with its top-left corner at (x, y), as sprites place the quad.
    bool drawSprite(const Mesh& quad, float x, float y, float w, float h);

    // Screen-space state: the back buffer's pixels through an orthographic projection.
    void screenSpace();
    // A camera at `eye` looking at `at`, as the game's renderer sets it (aspect 1).
    void camera(Vec3 eye, Vec3 at, float fov = 0.7f);
    // Where a world point lands on the back buffer.
    void project(Vec3 world, int* x, int* y) const;

    std::vector<std::unique_ptr<Texture>> textures_;
    Matrix view_, projection_;

private:
    static SDL_Window* window_;
    static RenderSystem* system_;
    static RenderDevice* device_;
};

}  // namespace gltest
