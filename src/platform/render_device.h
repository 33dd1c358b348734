#pragma once
// The render device seen by the graphics code. OpenGL and Direct3D 9 implementations draw;
// a recording one logs every call for tests.
#include <cstdint>

#include "platform/render_types.h"
#include "platform/window_handle.h"

class VertexBuffer {
public:
    virtual ~VertexBuffer() = default;
    virtual bool lock(uint32_t offset, uint32_t size, void** data) = 0;
    virtual void unlock() = 0;
};

class IndexBuffer {
public:
    virtual ~IndexBuffer() = default;
    virtual bool lock(uint32_t offset, uint32_t size, void** data) = 0;
    virtual void unlock() = 0;
};

struct LockedRect {
    int pitch = 0;  // bytes per row
    void* bits = nullptr;
};

// A locked level holds texels in the format's own layout (platform/pixel_format.h):
// 32-bit 0xAARRGGBB for X8R8G8B8 and A8R8G8B8, 16-bit for R5G6B5, X1R5G5B5 and A1R5G5B5.
class Texture {
public:
    virtual ~Texture() = default;
    virtual uint32_t levelCount() const = 0;
    virtual uint32_t format() const = 0;
    virtual bool levelSize(uint32_t level, uint32_t* width, uint32_t* height) const = 0;
    virtual bool lockRect(uint32_t level, LockedRect* out) = 0;
    virtual void unlockRect(uint32_t level) = 0;
};

class RenderDevice {
public:
    virtual ~RenderDevice() = default;

    virtual DeviceStatus testCooperativeLevel() = 0;
    virtual bool reset(const PresentParams& params) = 0;
    virtual bool clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) = 0;
    virtual bool beginScene() = 0;
    virtual bool endScene() = 0;
    virtual bool present() = 0;
    virtual bool setViewport(const Viewport& viewport) = 0;

    virtual bool setRenderState(uint32_t state, uint32_t value) = 0;
    virtual bool setTransform(uint32_t slot, const Matrix& matrix) = 0;
    virtual bool setMaterial(const Material& material) = 0;
    virtual bool setLight(uint32_t index, const LightParams& light) = 0;
    virtual bool lightEnable(uint32_t index, bool enable) = 0;
    virtual bool setTexture(uint32_t stage, Texture* texture) = 0;
    virtual bool setTextureStageState(uint32_t stage, uint32_t type, uint32_t value) = 0;

    virtual bool setStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset, uint32_t stride) = 0;
    virtual bool setFVF(uint32_t vertexFormat) = 0;
    virtual bool setIndices(IndexBuffer* buffer) = 0;
    virtual bool drawIndexedPrimitive(uint32_t primitiveType, int baseVertex, uint32_t minIndex,
                                      uint32_t numVertices, uint32_t startIndex, uint32_t primitiveCount) = 0;

    // Created resources belong to the caller. Null on failure.
    virtual VertexBuffer* createVertexBuffer(uint32_t length, uint32_t usage, uint32_t vertexFormat, uint32_t pool) = 0;
    virtual IndexBuffer* createIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool) = 0;
    virtual Texture* createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                   uint32_t format, uint32_t pool) = 0;

    // Format of the current display mode of the default adapter.
    virtual uint32_t adapterDisplayFormat() = 0;
};

// The object that checks formats and creates the device.
class RenderSystem {
public:
    virtual ~RenderSystem() = default;
    virtual bool checkDeviceType(uint32_t adapterFormat, uint32_t backBufferFormat, bool windowed) = 0;
    virtual bool checkDepthStencilFormat(uint32_t adapterFormat, uint32_t depthFormat) = 0;
    // The device belongs to the caller. Null on failure.
    virtual RenderDevice* createDevice(WindowHandle window, uint32_t behaviourFlags, PresentParams* params) = 0;
};

// Makes the render system: the OpenGL one in the programs, a recording one in tests.
// Null means the system could not be created.
using RenderSystemFactory = RenderSystem* (*)();
void setRenderSystemFactory(RenderSystemFactory factory);
RenderSystem* createRenderSystem();
