// The game's whole drawing path on a real device (OpenGL, or Direct3D 9 in the Windows build):
// GraphicsDevice on the game's window, the process-wide scene, sprites and models loaded
// through the registries from files, and renderScene, checked on the frame pixel by pixel.
// Both devices must give the same pixels.
#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/layout.h"
#include "graphics/graphics_device.h"
#include "graphics/model_instance.h"
#include "graphics/scene.h"
#include "graphics/sprite.h"
#include "gldraw/draw_backend.h"
#include "platform/render_device.h"
#include "support/test_support.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;
constexpr float kPi = 3.14159265f;
constexpr uint32_t kClear = 0x00007F;  // the environment's clear colour (0, 0, 0.5), truncated

// The game's match view and main light.
const Vec3 kEye{0, 100, -190}, kTarget{0, 0, 0}, kLight{-10, 120, -50};
constexpr float kFov = 0.9f, kLightRange = 500, kLightLinear = 0.02f, kAmbient = 0.1f;

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 normalise(Vec3 a) { return a * (1.0f / std::sqrt(dot(a, a))); }

struct Rgb {
    int r, g, b;
};
Rgb rgb(uint32_t c) { return {int(c >> 16 & 0xFF), int(c >> 8 & 0xFF), int(c & 0xFF)}; }

::testing::AssertionResult near(uint32_t actual, uint32_t expected, int tolerance) {
    Rgb a = rgb(actual), e = rgb(expected);
    if (std::abs(a.r - e.r) <= tolerance && std::abs(a.g - e.g) <= tolerance && std::abs(a.b - e.b) <= tolerance)
        return ::testing::AssertionSuccess();
    char text[80];
    std::snprintf(text, sizeof text, "got %06X, expected %06X (within %d)", actual, expected, tolerance);
    return ::testing::AssertionFailure() << text;
}

// A lit face keeps its texel's hue: the channels in `hue` (0xRRGGBB with 0xFF per channel) are
// at least as bright as the ambient light alone makes them, the others at most a third of the
// dimmest of them (the light's specular adds grey).
::testing::AssertionResult hasHue(uint32_t actual, uint32_t hue) {
    Rgb a = rgb(actual), h = rgb(hue);
    const int on[3] = {h.r ? a.r : 999, h.g ? a.g : 999, h.b ? a.b : 999};
    const int off[3] = {h.r ? 0 : a.r, h.g ? 0 : a.g, h.b ? 0 : a.b};
    int dimmest = std::min({on[0], on[1], on[2]}), brightestOff = std::max({off[0], off[1], off[2]});
    if (dimmest >= 20 && brightestOff * 3 <= dimmest) return ::testing::AssertionSuccess();
    char text[80];
    std::snprintf(text, sizeof text, "got %06X, not of hue %06X", actual, hue);
    return ::testing::AssertionFailure() << text;
}

struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)] & 0xFFFFFF; }
    uint32_t at(std::pair<int, int> p) const { return at(p.first, p.second); }
};

// Where the game's camera puts a world point on the back buffer: a pinhole at the eye, the
// same angle across as down (the game's aspect is 1), stretched over the whole screen.
std::pair<int, int> onScreen(Vec3 world) {
    Vec3 forward = normalise(kTarget - kEye), right = normalise(cross({0, 1, 0}, forward));
    Vec3 up = cross(forward, right), d = world - kEye;
    float depth = dot(d, forward), t = std::tan(kFov / 2);
    float x = dot(d, right) / (depth * t), y = dot(d, up) / (depth * t);
    return {int(std::floor((x + 1) / 2 * kWidth)), int(std::floor((1 - y) / 2 * kHeight))};
}

// Direct3D's lighting of one vertex of a model (white material, specular 0.7 to the power 8)
// by the game's point light, the ambient render state and a local viewer.
struct VertexLight {
    float diffuse, specular;
};
VertexLight lightAt(Vec3 p, Vec3 n) {
    Vec3 toLight = kLight - p;
    float d = std::sqrt(dot(toLight, toLight)), atten = 1 / (kLightLinear * d);
    Vec3 l = toLight * (1 / d);
    float nl = std::max(0.0f, dot(n, l));
    float ambient = float(int(kAmbient * 255)) / 255;  // the render state holds bytes
    float specular = 0;
    if (nl > 0) specular = 0.7f * std::pow(std::max(0.0f, dot(n, normalise(normalise(kEye - p) + l))), 8.0f) * atten;
    return {std::min(1.0f, ambient + nl * atten), specular};
}

// One face of a mesh: corners top-left, top-right, bottom-right, bottom-left as seen from its
// front (clockwise, Direct3D's front faces), one normal, a texture rectangle.
struct Face {
    Vec3 corner[4];
    Vec3 normal;
    float u0, v0, u1, v1;
};

// The face of a box with the given centre and half sizes whose outside is `normal`.
Face boxFace(Vec3 centre, Vec3 half, Vec3 normal, float u0, float u1) {
    Vec3 up = normal.y != 0 ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
    Vec3 right = cross(up, normal * -1);
    Vec3 c = centre + normal * std::fabs(dot(normal, half));
    Vec3 w = right * std::fabs(dot(right, half)), h = up * std::fabs(dot(up, half));
    return {{c - w + h, c + w + h, c + w - h, c - w - h}, normal, u0, 0.0f, u1, 1.0f};
}

// A text .x file with one 4-sided face per Face, per-face normals and texture coordinates.
std::string xFile(const std::vector<Face>& faces) {
    std::string positions, indices, normals, normalIndices, uvs;
    char buf[160];
    for (size_t f = 0; f < faces.size(); ++f) {
        const Face& face = faces[f];
        const char* sep = f + 1 == faces.size() ? ";" : ",";
        for (int i = 0; i < 4; ++i) {
            const Vec3& p = face.corner[i];
            const char* s = i == 3 ? sep : ",";
            std::snprintf(buf, sizeof buf, " %g;%g;%g;%s", p.x, p.y, p.z, s);
            positions += buf;
            std::snprintf(buf, sizeof buf, " %g;%g;%s", i == 0 || i == 3 ? face.u0 : face.u1,
                          i < 2 ? face.v0 : face.v1, s);
            uvs += buf;
        }
        const unsigned b = unsigned(f * 4);
        std::snprintf(buf, sizeof buf, " 4;%u,%u,%u,%u;%s", b, b + 1, b + 2, b + 3, sep);
        indices += buf;
        std::snprintf(buf, sizeof buf, " %g;%g;%g;%s", face.normal.x, face.normal.y, face.normal.z, sep);
        normals += buf;
        std::snprintf(buf, sizeof buf, " 4;%zu,%zu,%zu,%zu;%s", f, f, f, f, sep);
        normalIndices += buf;
    }
    const std::string n = std::to_string(faces.size() * 4), f = std::to_string(faces.size());
    return "xof 0303txt 0032\nMesh m {\n" + n + ";" + positions + "\n" + f + ";" + indices +
           "\nMeshNormals {\n" + f + ";" + normals + "\n" + f + ";" + normalIndices + "\n}\nMeshTextureCoords {\n" +
           n + ";" + uvs + "\n}\n}\n";
}

// The models' picture: eight bands of 16 texels across.
enum Band { Red, Blue, Yellow, Magenta, Cyan, Green, White, Grey };
const uint32_t kBandColours[8] = {0xFF0000, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x00FF00, 0xFFFFFF, 0x808080};
float bandCentre(Band b) { return (int(b) + 0.5f) / 8; }

const Vec3 kBoxCentre{0, 10, 0}, kBoxHalf{10, 10, 10};

// A 20-unit box standing on y 0, its -z face red on the left and blue on the right, +z yellow,
// top magenta, sides cyan and white, with a green marker block sticking out along +x.
std::vector<Face> markedBox() {
    auto plain = [](Vec3 c, Vec3 h, Vec3 n, Band b) { return boxFace(c, h, n, bandCentre(b), bandCentre(b)); };
    std::vector<Face> f = {
        boxFace(kBoxCentre, kBoxHalf, {0, 0, -1}, 0.0f, 0.25f),  // Red | Blue
        plain(kBoxCentre, kBoxHalf, {0, 0, 1}, Yellow),
        plain(kBoxCentre, kBoxHalf, {0, 1, 0}, Magenta),
        plain(kBoxCentre, kBoxHalf, {0, -1, 0}, Grey),
        plain(kBoxCentre, kBoxHalf, {-1, 0, 0}, Cyan),
        plain(kBoxCentre, kBoxHalf, {1, 0, 0}, White),
    };
    for (Vec3 n : {Vec3{0, 0, -1}, Vec3{0, 0, 1}, Vec3{0, 1, 0}, Vec3{0, -1, 0}, Vec3{1, 0, 0}})
        f.push_back(plain({16, 10, 0}, {6, 5, 5}, n, Green));
    return f;
}

class DrawPathTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (graphics_) return;
        std::string reason;
        const DrawBackend& backend = drawBackend();
        windows_ = backend.startWindows(&reason);
        ASSERT_NE(windows_, nullptr) << reason;
        const Layout& l = layout();
        window_ = windows_->createWindow("Frostel", l.width, l.height, l.windowIsScreenSized);
        ASSERT_NE(window_, nullptr);
        windows_->showWindow(window_);
        captureErrorBoxes();
        setRenderSystemFactory(backend.renderSystem);
        backend.setPresentPacing(false);
        graphics_ = new GraphicsDevice();
        ASSERT_TRUE(graphics_->init(window_, 1024, 768)) << backend.name;
        ASSERT_EQ(graphics_->presentParams().backBufferWidth, uint32_t(kWidth));
        ASSERT_EQ(graphics_->presentParams().backBufferHeight, uint32_t(kHeight));
        // A device that copies presented frames out only once asked to starts now.
        Image first;
        ASSERT_TRUE(backend.readBackBuffer(graphics_->device(), &first.width, &first.height, &first.pixels));

        // The scene as the game sets it up, but for a clear colour that no picture uses.
        Scene& scene = Scene::instance();
        Camera& camera = scene.camera();
        camera.setProjection(kFov, 2.0f, 600.0f);
        camera.setMode(0);
        camera.setEye(kEye.x, kEye.y, kEye.z);
        camera.setTarget(kTarget.x, kTarget.y, kTarget.z);
        scene.environment().setAmbientColour(kAmbient, kAmbient, kAmbient);
        scene.environment().setClearColour(0.0f, 0.0f, 0.5f);
        auto* light = new PointLight;
        light->setColour(1, 1, 1, 1);
        light->setPosition(kLight.x, kLight.y, kLight.z);
        light->setRange(kLightRange);
        light->setAttenuation(kLightLinear, 0);
        light->setSortKey(1);
        scene.addLight(light);

        files_ = new ScratchDir;
        picture("ident.bmp", 256, 256, [](int x, int y) { return uint32_t(x << 16 | y << 8 | ((x + y) & 1) * 0xFF); });
        picture("green.bmp", 8, 8, [](int, int) { return 0x00FF00u; });
        picture("red.bmp", 8, 8, [](int, int) { return 0xFF0000u; });
        picture("blue.bmp", 8, 8, [](int, int) { return 0x0000FFu; });
        // Black, then a black that is not quite, then white.
        picture("keyed.bmp", 64, 64, [](int x, int) { return x < 16 ? 0u : x < 32 ? 0x080808u : 0xFFFFFFu; });
        picture("font.bmp", 256, 128, fontTexel);
        picture("bands.bmp", 128, 16, [](int x, int) { return kBandColours[x / 16]; });
        files_->write("box.x", xFile(markedBox()));
        // One face whose front looks away from the camera.
        files_->write("away.x", xFile({boxFace({30, 10, 0}, {10, 10, 0}, {0, 0, 1}, 0.0f, 1.0f)}));
    }

    // The device, window and registries live on to the end of the program; only the files go.
    static void TearDownTestSuite() {
        delete files_;
        files_ = nullptr;
    }

    // Earlier tests' renderables stay in the scene, hidden.
    void SetUp() override {
        ASSERT_NE(graphics_, nullptr);
        for (Renderable* r : shown_) r->setVisible(false);
        shown_.clear();
        errorBoxes().clear();
    }
    void TearDown() override { EXPECT_TRUE(errorBoxes().empty()) << errorBoxes().front(); }

    template <class T>
    static T* show(T* r) {
        Scene::instance().addRenderable(r);
        shown_.push_back(r);
        return r;
    }
    static Sprite* sprite(Sprite* s, float x, float y) {
        s->setPosition(x, y, 0);
        return show(s);
    }

    // A frame drawn by the game's renderer.
    static Image frame() {
        // the window's waiting messages are handled first, as in the game's loop
        WindowEvent event;
        while (windows_->takeEvent(&event)) {
        }
        EXPECT_FALSE(graphics_->renderScene());
        Image image;
        EXPECT_TRUE(drawBackend().readBackBuffer(graphics_->device(), &image.width, &image.height, &image.pixels));
        EXPECT_EQ(image.width, kWidth);
        EXPECT_EQ(image.height, kHeight);
        if (image.pixels.size() != size_t(kWidth) * kHeight) image.pixels.assign(size_t(kWidth) * kHeight, 0);
        image.width = kWidth;
        image.height = kHeight;
        return image;
    }

    // A 24-bit BMP of pixel(x, y) = 0xRRGGBB.
    static void picture(const char* name, int w, int h, const std::function<uint32_t(int, int)>& pixel) {
        std::vector<unsigned char> rgb;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint32_t p = pixel(x, y);
                rgb.insert(rgb.end(), {(unsigned char)(p >> 16), (unsigned char)(p >> 8), (unsigned char)p});
            }
        ASSERT_NE(stbi_write_bmp(name, w, h, 3, rgb.data()), 0) << name;
    }

    // A font-like picture: 11 cells across, each 0.12 of the height down, every cell its own colour.
    static uint32_t fontCell(int column, int row) {
        return uint32_t((40 + 20 * column) << 16 | (row == 0 ? 220 : 100 + 10 * row) << 8 | (250 - 20 * column));
    }
    static uint32_t fontTexel(int x, int y) {
        return fontCell(int((x + 0.5f) * 11 / 256), int((y + 0.5f) / 128 / 0.12f));
    }

    static GraphicsDevice* graphics_;
    static WindowSystem* windows_;
    static WindowHandle window_;
    static ScratchDir* files_;
    static std::vector<Renderable*> shown_;
};

GraphicsDevice* DrawPathTest::graphics_ = nullptr;
WindowSystem* DrawPathTest::windows_ = nullptr;
WindowHandle DrawPathTest::window_ = nullptr;
ScratchDir* DrawPathTest::files_ = nullptr;
std::vector<Renderable*> DrawPathTest::shown_;

// Pixels of the w x h rectangle at (x, y), `margin` in from its edges, that `ok` refuses.
int countWrong(const Image& image, int x, int y, int w, int h, int margin,
               const std::function<bool(uint32_t, int, int)>& ok) {
    int wrong = 0;
    for (int py = y + margin; py < y + h - margin; ++py)
        for (int px = x + margin; px < x + w - margin; ++px)
            if (!ok(image.at(px, py), px, py) && wrong++ < 4)
                ADD_FAILURE() << "pixel (" << px << ", " << py << ") is " << std::hex << image.at(px, py);
    return wrong;
}

TEST_F(DrawPathTest, PlainSpriteCoversExactlyItsPixelsOneTexelEach) {
    auto* s = new Sprite;
    ASSERT_TRUE(s->loadPlain(1, "ident.bmp", 256, 256));
    sprite(s, 384, 256);
    Image image = frame();

    // Every texel names itself; a ring of clear colour around the sprite.
    EXPECT_EQ(countWrong(image, 378, 250, 268, 268, 0,
                         [](uint32_t c, int x, int y) {
                             bool inside = x >= 384 && x < 640 && y >= 256 && y < 512;
                             int tx = x - 384, ty = y - 256;
                             return c == (inside ? uint32_t(tx << 16 | ty << 8 | ((tx + ty) & 1) * 0xFF) : kClear);
                         }),
              0);

    // The window shows what was presented.
    if (!drawBackend().readWindow) return;
    Image window;
    ASSERT_TRUE(drawBackend().readWindow(graphics_->device(), &window.width, &window.height, &window.pixels));
    ASSERT_EQ(window.width, kWidth);
    ASSERT_EQ(window.height, kHeight);
    for (auto [x, y] : {std::pair{384, 256}, {639, 511}, {383, 256}, {639, 512}, {500, 400}})
        EXPECT_EQ(window.at(x, y), image.at(x, y)) << x << ", " << y;
}

TEST_F(DrawPathTest, KeyedSpriteLetsTheLowerLayerShowWhereItsPictureIsBlack) {
    auto* below = new Sprite;
    ASSERT_TRUE(below->loadPlain(1, "green.bmp", 128, 128));
    auto* keyed = new Sprite;
    ASSERT_TRUE(keyed->loadKeyed(2, "keyed.bmp", true, 64, 64));
    sprite(keyed, 100, 100);  // inserted first, drawn second
    sprite(below, 68, 68);
    Image image = frame();

    EXPECT_EQ(countWrong(image, 100, 100, 16, 64, 0, [](uint32_t c, int, int) { return c == 0x00FF00; }), 0)
        << "pure black lets the green below show";
    EXPECT_EQ(countWrong(image, 116, 100, 16, 64, 0, [](uint32_t c, int, int) { return bool(near(c, 0x080808, 3)); }),
              0)
        << "almost black covers";
    EXPECT_EQ(countWrong(image, 132, 100, 32, 64, 0, [](uint32_t c, int, int) { return c == 0xFFFFFF; }), 0);
    EXPECT_EQ(image.at(75, 75), 0x00FF00u);
    EXPECT_EQ(image.at(60, 60), kClear);
}

TEST_F(DrawPathTest, HigherLayerCoversLowerWhateverTheInsertionOrder) {
    auto load = [](int layer, const char* file) {
        auto* s = new Sprite;
        EXPECT_TRUE(s->loadPlain(layer, file, 100, 100));
        return s;
    };
    sprite(load(4, "red.bmp"), 500, 100);  // higher layer inserted first
    sprite(load(2, "blue.bmp"), 550, 150);
    sprite(load(2, "blue.bmp"), 700, 100);  // and last
    sprite(load(4, "red.bmp"), 750, 150);
    Image image = frame();

    for (int x0 : {550, 750}) {
        EXPECT_EQ(countWrong(image, x0, 150, 50, 50, 0, [](uint32_t c, int, int) { return c == 0xFF0000; }), 0)
            << "overlap at x " << x0;
    }
    EXPECT_EQ(image.at(520, 120), 0xFF0000u);
    EXPECT_EQ(image.at(640, 240), 0x0000FFu);
    EXPECT_EQ(image.at(720, 120), 0x0000FFu);
    EXPECT_EQ(image.at(840, 240), 0xFF0000u);
}

TEST_F(DrawPathTest, GlyphSpritesShowTheirCellOnly) {
    auto* three = new Sprite;
    ASSERT_TRUE(three->loadCells(3, "font.bmp", 32, 48, 0.09091f, 0.12f));
    three->cellOffset = {3 * 0.09091f, 0};
    auto* zero = new Sprite;
    ASSERT_TRUE(zero->loadCells(3, "font.bmp", 32, 48, 0.09091f, 0.12f));
    // The whole picture after the glyphs: the cell window must not stay on.
    auto* whole = new Sprite;
    ASSERT_TRUE(whole->loadPlain(4, "font.bmp", 256, 128));
    sprite(three, 200, 400);
    sprite(zero, 260, 400);
    sprite(whole, 400, 400);
    Image image = frame();

    // Point sampling may reach the neighbouring cell on the glyph's outermost pixels.
    EXPECT_EQ(countWrong(image, 200, 400, 32, 48, 1, [](uint32_t c, int, int) { return c == fontCell(3, 0); }), 0);
    EXPECT_EQ(countWrong(image, 260, 400, 32, 48, 1, [](uint32_t c, int, int) { return c == fontCell(0, 0); }), 0);
    EXPECT_EQ(countWrong(image, 400, 400, 256, 128, 0,
                         [](uint32_t c, int x, int y) { return c == fontTexel(x - 400, y - 400); }),
              0);
}

TEST_F(DrawPathTest, LitTexturedModelStandsWhereTheCameraSeesItFacingIt) {
    auto* box = new ModelInstance;
    ASSERT_TRUE(box->load(1, "bands.bmp", "box.x"));
    box->position = {-30, 0, 20};
    show(box);
    auto* away = new ModelInstance;
    ASSERT_TRUE(away->load(1, "bands.bmp", "away.x"));
    show(away);
    Image image = frame();

    const Vec3 p = box->position;
    // The near face, red on the left and blue on the right; its world-space corners bound it.
    EXPECT_TRUE(hasHue(image.at(onScreen(p + Vec3{-5, 10, -10})), 0xFF0000));
    EXPECT_TRUE(hasHue(image.at(onScreen(p + Vec3{5, 10, -10})), 0xFF));
    auto [left, mid] = onScreen(p + Vec3{-10, 10, -10});
    EXPECT_TRUE(hasHue(image.at(left + 2, mid), 0xFF0000));
    EXPECT_EQ(image.at(left - 3, mid), kClear);
    auto [qx, bottom] = onScreen(p + Vec3{-5, 0, -10});
    EXPECT_TRUE(hasHue(image.at(qx, bottom - 2), 0xFF0000));
    EXPECT_EQ(image.at(qx, bottom + 3), kClear);

    // The top, lit by the light in world space: at its centre, between the two corners of
    // the triangles' shared edge.
    Vec3 up{0, 1, 0};
    VertexLight a = lightAt(p + Vec3{-10, 20, 10}, up), b = lightAt(p + Vec3{10, 20, -10}, up);
    float diffuse = (a.diffuse + b.diffuse) / 2, specular = (a.specular + b.specular) / 2;
    int lit = int(std::lround(std::min(1.0f, diffuse + specular) * 255)), grey = int(std::lround(specular * 255));
    ASSERT_GT(lit, 60);  // well above the ambient term alone (25)
    uint32_t top = image.at(onScreen(p + Vec3{0, 20, 0}));
    EXPECT_TRUE(near(top, uint32_t(lit << 16 | grey << 8 | lit), 6)) << "lit top";
    EXPECT_EQ(image.at(onScreen(p + Vec3{0, 23, 25})), kClear) << "beyond the top's far edge";

    // The face turned away is culled.
    EXPECT_EQ(image.at(onScreen({30, 10, 0})), kClear);
}

TEST_F(DrawPathTest, YawOfPiTurnsAModelHalfAroundTheVerticalAxis) {
    auto* model = new ModelInstance;
    ASSERT_TRUE(model->load(1, "bands.bmp", "box.x"));
    model->position = {0, 0, -83};
    show(model);
    const Vec3 p = model->position;
    const auto markerRight = onScreen(p + Vec3{16, 10, -5}), markerLeft = onScreen(p + Vec3{-16, 10, -5});
    const auto nearFace = onScreen(p + Vec3{-5, 10, -10}), top = onScreen(p + Vec3{0, 20, 0});
    ASSERT_LT(markerLeft.first + 40, markerRight.first);

    Image before = frame();
    EXPECT_TRUE(hasHue(before.at(markerRight), 0x00FF00));
    EXPECT_EQ(before.at(markerLeft), kClear);
    EXPECT_TRUE(hasHue(before.at(nearFace), 0xFF0000));
    EXPECT_TRUE(hasHue(before.at(top), 0xFF00FF));

    model->rotation = {0, kPi, 0};
    Image after = frame();
    EXPECT_TRUE(hasHue(after.at(markerLeft), 0x00FF00)) << "the marker went round to the other side";
    EXPECT_EQ(after.at(markerRight), kClear);
    EXPECT_TRUE(hasHue(after.at(nearFace), 0xFFFF00)) << "the far face came round to the front";
    EXPECT_TRUE(hasHue(after.at(top), 0xFF00FF)) << "still upright";
}

// Switched away from and back to, as with Alt+Tab: the lost device skips frames, the frame
// that resets it says so, and the next frame is drawn as before. Sprites of one picture keep
// one texture and mesh for every frame, so nothing but the reset binds them again.
TEST_F(DrawPathTest, ALostDeviceComesBackDrawingWhatItDrewBefore) {
    if (!drawBackend().switchFocus) GTEST_SKIP() << drawBackend().name << " devices are never lost";
    auto* s = new Sprite;
    ASSERT_TRUE(s->loadPlain(1, "ident.bmp", 256, 256));
    sprite(s, 384, 256);
    Image before = frame();
    ASSERT_EQ(before.at(500, 400), uint32_t(116 << 16 | 144 << 8));

    drawBackend().switchFocus(window_, false);
    EXPECT_FALSE(graphics_->renderScene());
    EXPECT_FALSE(graphics_->renderScene());
    // A lost device draws nothing. Wine's would still render every frame, never presenting it,
    // and the renderer below holds on to such frames (the game's grew by 100 to 180 MB).
    std::vector<Sprite*> crowd;
    for (int i = 0; i < 100; ++i) {
        crowd.push_back(new Sprite);
        ASSERT_TRUE(crowd.back()->loadPlain(1, "ident.bmp", 256, 256));
        sprite(crowd.back(), 0, 0);
    }
    const size_t resident = drawBackend().residentBytes();
    for (int i = 0; i < 1000; ++i) EXPECT_FALSE(graphics_->renderScene());  // Wine's own: 4 MB
    EXPECT_LT(drawBackend().residentBytes(), resident + (1u << 20)) << "grew while lost";
    for (Sprite* c : crowd) c->setVisible(false);
    drawBackend().switchFocus(window_, true);
    EXPECT_TRUE(graphics_->renderScene());
    Image after = frame();
    EXPECT_EQ(countWrong(after, 378, 250, 268, 268, 0, [&](uint32_t c, int x, int y) { return c == before.at(x, y); }),
              0);
}

// Defined last, so it runs last, as at the game's end: the registries keep their textures and
// meshes to the end of the process, yet the released device is destroyed, its worker thread
// gone. A device left alive has the process exit with Direct3D still at work.
TEST_F(DrawPathTest, ReleasedDeviceIsDestroyedThoughItsTexturesAreStillHeld) {
    if (!drawBackend().threadCount) GTEST_SKIP() << drawBackend().name << " has no worker thread to look at";
    auto* s = new Sprite;
    ASSERT_TRUE(s->loadPlain(1, "ident.bmp", 256, 256));
    sprite(s, 384, 256);
    frame();
    const int threads = drawBackend().threadCount();
    delete graphics_;
    graphics_ = nullptr;
    // the worker is told to stop and ends on its own, soon after
    int now = drawBackend().threadCount();
    for (int i = 0; i < 100 && now >= threads; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        now = drawBackend().threadCount();
    }
    EXPECT_LT(now, threads);
}

}  // namespace
