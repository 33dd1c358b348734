#pragma once
// Internals of the OpenGL render device: fixed-function GL driven the way the game's
// Direct3D 9 style calls expect. Only the files of this folder include it.
#include <SDL.h>
#include <SDL_opengl.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/matrix_math.h"
#include "platform/render_device.h"

namespace glr {

// Entry points beyond GL 1.1, fetched once a context is current.
struct GlProcs {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLGETRENDERBUFFERPARAMETERIVPROC getRenderbufferParameteriv = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;
    PFNGLSECONDARYCOLORPOINTERPROC secondaryColorPointer = nullptr;
    bool bgraVertexColours = false;  // GL_BGRA colour arrays (D3DCOLOR byte order)
    bool rgb565 = false;             // GL_RGB565 is a sized internal format
};
bool loadProcs(GlProcs* out);

struct ColourFormat {
    GLenum internal = 0;
    int red = 0, green = 0, blue = 0;
};
struct DepthFormat {
    GLenum internal = 0;
    int depth = 0, stencil = 0;
};
bool colourFormat(uint32_t format, const GlProcs& procs, ColourFormat* out);
bool depthFormat(uint32_t format, DepthFormat* out);
// A D3DCOLOR as GL's red, green, blue and alpha.
void argbToFloats(uint32_t argb, float out[4]);

// The off-screen back buffer.
struct Framebuffer {
    GLuint fbo = 0, colour = 0, depth = 0;
    int width = 0, height = 0;
    bool hasDepth = false, hasStencil = false;
};
// Builds and checks a framebuffer; on failure nothing is left allocated.
bool createFramebuffer(const GlProcs& procs, int width, int height, uint32_t colour, uint32_t depth,
                       Framebuffer* out);
void destroyFramebuffer(const GlProcs& procs, Framebuffer* fb);

class GlDevice;

// Shared by a device and everything it created, so that a resource outliving its device
// neither touches a dead context nor leaves the device pointing at freed memory.
struct GlContext {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    GlProcs procs;
    GlDevice* device = nullptr;  // null once the device is gone
    GLuint boundTexture = 0;     // what the device has bound on unit 0
    int maxTextureSize = 0;
    bool makeCurrent() const;
};

// Vertex layout of a flexible vertex format code; only the parts the device draws.
struct FvfLayout {
    bool valid = false;
    bool normal = false, diffuse = false, texture = false;
    uint32_t normalOffset = 0, diffuseOffset = 0, textureOffset = 0, size = 0;
};
FvfLayout parseFvf(uint32_t fvf);

class GlVertexBuffer final : public VertexBuffer {
public:
    GlVertexBuffer(std::shared_ptr<GlContext> context, uint32_t length);
    ~GlVertexBuffer() override;
    bool lock(uint32_t offset, uint32_t size, void** data) override;
    void unlock() override;

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    uint32_t version() const { return version_; }

    // Bounding sphere of vertices first..last of the stream read with offset and stride,
    // cached until the contents change.
    struct Sphere {
        float x = 0, y = 0, z = 0, radius = 0;
    };
    Sphere bounds(uint32_t offset, uint32_t stride, uint32_t first, uint32_t last);

private:
    std::shared_ptr<GlContext> context_;
    std::vector<uint8_t> bytes_;
    uint32_t version_ = 0;
    struct {
        bool valid = false;
        uint32_t version = 0, offset = 0, stride = 0, first = 0, last = 0;
        Sphere sphere;
    } cache_;
};

class GlIndexBuffer final : public IndexBuffer {
public:
    GlIndexBuffer(std::shared_ptr<GlContext> context, uint32_t length, uint32_t indexSize);
    ~GlIndexBuffer() override;
    bool lock(uint32_t offset, uint32_t size, void** data) override;
    void unlock() override {
        locked_ = false;
        ++version_;
    }

    uint32_t indexSize() const { return indexSize_; }
    uint32_t count() const { return static_cast<uint32_t>(bytes_.size() / indexSize_); }
    const uint8_t* data() const { return bytes_.data(); }
    // Smallest and largest of `count` indices from `start` (which must lie in the buffer),
    // cached until the contents change.
    void range(uint32_t start, uint32_t count, uint32_t* lowest, uint32_t* highest);

private:
    uint32_t index(uint32_t i) const;

    std::shared_ptr<GlContext> context_;
    std::vector<uint8_t> bytes_;
    uint32_t indexSize_;
    uint32_t version_ = 0;
    bool locked_ = false;  // contents may change under a draw: no caching
    struct {
        bool valid = false;
        uint32_t version = 0, start = 0, count = 0, lowest = 0, highest = 0;
    } cache_;
};

class GlTexture final : public Texture {
public:
    // Null when the size, level count or format cannot be had.
    static GlTexture* create(std::shared_ptr<GlContext> context, uint32_t width, uint32_t height, uint32_t levels,
                             uint32_t format);
    ~GlTexture() override;
    uint32_t levelCount() const override { return static_cast<uint32_t>(levels_.size()); }
    uint32_t format() const override { return format_; }
    bool levelSize(uint32_t level, uint32_t* width, uint32_t* height) const override;
    bool lockRect(uint32_t level, LockedRect* out) override;
    void unlockRect(uint32_t level) override;

    GLuint name() const { return name_; }
    const GlContext* owner() const { return context_.get(); }
    // Levels never filled are uploaded as zeros; expects the texture bound.
    void settleBeforeDraw() {
        if (unsettled_) settle();
    }

private:
    GlTexture(std::shared_ptr<GlContext> context, uint32_t format) : context_(std::move(context)), format_(format) {}
    void upload(uint32_t level);
    void settle();
    GLenum internalFormat() const;

    // GL keeps the texels: the bytes here exist only between a lock and its unlock.
    struct Level {
        uint32_t width = 0, height = 0;
        bool uploaded = false, locked = false;
        std::vector<uint8_t> bytes;  // texels in the format's layout, rows top first
    };
    // GL's client format and type for the texels of format_.
    void transferFormat(GLenum* format, GLenum* type) const;
    std::shared_ptr<GlContext> context_;
    uint32_t format_;
    GLuint name_ = 0;
    bool unsettled_ = true;
    std::vector<Level> levels_;
};

// Lighting as Direct3D's fixed-function pipeline computes it, for draws that GL's own
// lighting cannot reproduce (a light's range cutting through a mesh).
struct LightingInputs {
    Material material;
    ColourValue ambient;  // global ambient (the Ambient render state)
    bool specular = false;
    bool localViewer = true;
    bool normalize = false;
    bool diffuseFromVertex = false, ambientFromVertex = false, specularFromVertex = false,
         emissiveFromVertex = false;
    Vec3 eye;      // camera position, world space
    Vec3 forward;  // camera looking direction, world space
    std::vector<const LightParams*> lights;
};
// Fills primary (4 floats) and secondary (3 floats) colours of vertices first..last,
// indexed from vertex 0 of `vertices`.
void lightVertices(const LightingInputs& in, const Matrix& world, const uint8_t* vertices, uint32_t stride,
                   const FvfLayout& layout, uint32_t first, uint32_t last, std::vector<float>* primary,
                   std::vector<float>* secondary);

enum class RangeCover { All, None, Part };
// Which of vertices first..last lie within a point or spot light's range.
RangeCover rangeCover(const LightParams& light, const Matrix& world, GlVertexBuffer& buffer, uint32_t offset,
                      uint32_t stride, uint32_t first, uint32_t last);

class GlDevice final : public RenderDevice {
public:
    GlDevice(std::shared_ptr<GlContext> context, const PresentParams& params);
    ~GlDevice() override;
    bool init();  // false: the back buffer could not be built

    DeviceStatus testCooperativeLevel() override { return DeviceStatus::Ok; }
    bool reset(const PresentParams& params) override;
    bool clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) override;
    bool beginScene() override;
    bool endScene() override;
    bool present() override;
    bool setViewport(const Viewport& viewport) override;

    bool setRenderState(uint32_t state, uint32_t value) override;
    bool setTransform(uint32_t slot, const Matrix& matrix) override;
    bool setMaterial(const Material& material) override;
    bool setLight(uint32_t index, const LightParams& light) override;
    bool lightEnable(uint32_t index, bool enable) override;
    bool setTexture(uint32_t stage, Texture* texture) override;
    bool setTextureStageState(uint32_t stage, uint32_t type, uint32_t value) override;

    bool setStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset, uint32_t stride) override;
    bool setFVF(uint32_t vertexFormat) override;
    bool setIndices(IndexBuffer* buffer) override;
    bool drawIndexedPrimitive(uint32_t primitiveType, int baseVertex, uint32_t minIndex, uint32_t numVertices,
                              uint32_t startIndex, uint32_t primitiveCount) override;

    VertexBuffer* createVertexBuffer(uint32_t length, uint32_t usage, uint32_t vertexFormat, uint32_t pool) override;
    IndexBuffer* createIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool) override;
    Texture* createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                           uint32_t pool) override;
    uint32_t adapterDisplayFormat() override;

    // A resource is going away: forget any binding of it.
    void released(const void* resource);

    bool readBackBuffer(int* width, int* height, std::vector<uint32_t>* pixels);
    bool readWindow(int* width, int* height, std::vector<uint32_t>* pixels);

private:
    using Clock = std::chrono::steady_clock;

    static constexpr uint32_t kStateCount = 256;
    static constexpr int kGlLights = 8;

    bool validParams(const PresentParams& params) const;
    bool buildBackBuffer();
    void setDefaults();
    void applyWindowMode();
    void measureRefresh();
    void blitToWindow();
    void applyViewport();
    void applyRenderStates();
    void applyCulling();
    void applyLights();
    void applyTextureStage();
    bool lightingWanted(const FvfLayout& layout, bool* cpu, GLenum* colourMaterial) const;
    void drawLit(const FvfLayout& layout, const uint8_t* base, uint32_t first, uint32_t last);
    void setArrays(const FvfLayout& layout, const uint8_t* base, bool vertexColours);
    void pace();

    std::shared_ptr<GlContext> context_;
    PresentParams params_;
    Framebuffer backBuffer_;

    // Direct3D-side state, turned into GL state when a draw needs it.
    uint32_t states_[kStateCount] = {};
    Matrix world_, view_, projection_, textureMatrix_;
    Material material_;
    struct LightSlot {
        LightParams params;
        bool enabled = false;
    };
    std::vector<LightSlot> lights_;
    GlTexture* texture_ = nullptr;
    uint32_t alphaOp_ = 0, alphaArg1_ = 0, alphaArg2_ = 0, textureFlags_ = 0;
    GlVertexBuffer* stream_ = nullptr;
    uint32_t streamOffset_ = 0, streamStride_ = 0;
    uint32_t fvf_ = 0;
    GlIndexBuffer* indices_ = nullptr;
    Viewport viewport_;
    bool inScene_ = false;

    bool statesDirty_ = true, projectionDirty_ = true, lightsDirty_ = true;
    std::vector<int> activeLights_;      // D3D light indices on GL lights 0..7
    bool glLightOn_[kGlLights] = {};     // what GL has enabled now
    std::vector<float> primary_, secondary_;

    Clock::time_point lastPresent_;
    Clock::duration refresh_{};
    bool vsync_ = false;
};

}  // namespace glr
