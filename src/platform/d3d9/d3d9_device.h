#pragma once
// Internals of the Direct3D 9 render device. Only the files of this folder include it.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <d3d9.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "platform/render_device.h"

namespace d3d9r {

// Holds one COM reference.
template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* p) : p_(p) {}
    ~Ref() { reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    void reset(T* p = nullptr) {
        if (p_) p_->Release();
        p_ = p;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T** out() {
        reset();
        return &p_;
    }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// Unpaced devices present immediately.
D3DPRESENT_PARAMETERS toD3d(const PresentParams& p, bool paced);
bool presentPacing();

class D3d9Device;

// Every buffer and texture holds a reference on its device, and the game's registries keep
// theirs until the process ends: the device would never be destroyed, and the process would
// exit with Direct3D's worker thread and the renderer below it still busy. So the device
// lets go of what it made when it is released itself; a resource outliving it is empty.
class DeviceChild {
public:
    DeviceChild(const DeviceChild&) = delete;
    DeviceChild& operator=(const DeviceChild&) = delete;
    void orphan() {
        releaseObject();
        owner_ = nullptr;
    }

protected:
    explicit DeviceChild(D3d9Device* owner);
    ~DeviceChild();
    virtual void releaseObject() = 0;

private:
    D3d9Device* owner_;
};

// Direct3D locks whatever range it is given; ours stay inside the buffer. Size 0 locks to the end.
inline bool lockRange(uint32_t length, uint32_t offset, uint32_t size) {
    return offset <= length && (size == 0 || uint64_t(offset) + size <= length) && length > 0;
}

// A vertex or index buffer: the two differ only in their interfaces.
template <class Interface, class Object>
class D3d9Buffer final : public Interface, DeviceChild {
public:
    D3d9Buffer(D3d9Device* owner, Object* buffer, uint32_t length)
        : DeviceChild(owner), buffer_(buffer), length_(length) {}
    bool lock(uint32_t offset, uint32_t size, void** data) override {
        if (!data) return false;
        *data = nullptr;
        if (!buffer_ || !lockRange(length_, offset, size)) return false;
        return SUCCEEDED(buffer_->Lock(offset, size, data, 0)) && *data;
    }
    void unlock() override {
        if (buffer_) buffer_->Unlock();
    }
    Object* get() const { return buffer_.get(); }

private:
    void releaseObject() override { buffer_.reset(); }
    Ref<Object> buffer_;
    uint32_t length_;
};
using D3d9VertexBuffer = D3d9Buffer<VertexBuffer, IDirect3DVertexBuffer9>;
using D3d9IndexBuffer = D3d9Buffer<IndexBuffer, IDirect3DIndexBuffer9>;

// Locked levels hold texels in the format's own layout, as Direct3D hands them out.
class D3d9Texture final : public Texture, DeviceChild {
public:
    D3d9Texture(D3d9Device* owner, IDirect3DTexture9* texture, uint32_t format)
        : DeviceChild(owner), texture_(texture), format_(format) {}
    uint32_t levelCount() const override { return texture_ ? texture_->GetLevelCount() : 0; }
    uint32_t format() const override { return format_; }
    bool levelSize(uint32_t level, uint32_t* width, uint32_t* height) const override;
    bool lockRect(uint32_t level, LockedRect* out) override;
    void unlockRect(uint32_t level) override {
        if (texture_) texture_->UnlockRect(level);
    }
    IDirect3DTexture9* get() const { return texture_.get(); }

private:
    void releaseObject() override { texture_.reset(); }
    Ref<IDirect3DTexture9> texture_;
    uint32_t format_;
};

class D3d9Device final : public RenderDevice {
public:
    explicit D3d9Device(IDirect3DDevice9* device);
    ~D3d9Device() override;
    D3d9Device(const D3d9Device&) = delete;
    D3d9Device& operator=(const D3d9Device&) = delete;

    DeviceStatus testCooperativeLevel() override;
    bool reset(const PresentParams& params) override;
    bool clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) override;
    bool beginScene() override { return SUCCEEDED(device_->BeginScene()); }
    bool endScene() override { return SUCCEEDED(device_->EndScene()); }
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
    bool setFVF(uint32_t vertexFormat) override { return SUCCEEDED(device_->SetFVF(vertexFormat)); }
    bool setIndices(IndexBuffer* buffer) override;
    bool drawIndexedPrimitive(uint32_t primitiveType, int baseVertex, uint32_t minIndex, uint32_t numVertices,
                              uint32_t startIndex, uint32_t primitiveCount) override;

    VertexBuffer* createVertexBuffer(uint32_t length, uint32_t usage, uint32_t vertexFormat, uint32_t pool) override;
    IndexBuffer* createIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool) override;
    Texture* createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                           uint32_t pool) override;
    uint32_t adapterDisplayFormat() override;

    bool readBackBuffer(int* width, int* height, std::vector<uint32_t>* pixels);

    void adopt(DeviceChild* child) { children_.push_back(child); }
    void forget(DeviceChild* child);

private:
    using Clock = std::chrono::steady_clock;
    void pace();
    bool applyProjection();
    bool copyBackBuffer(Ref<IDirect3DSurface9>* copy, D3DSURFACE_DESC* desc);

    // Direct3D 9 puts pixel centres on whole coordinates, half a pixel off texel centres (and
    // off OpenGL), so point-sampled sprites would sample on texel edges. Every projection goes
    // to the device shifted up and left by half a pixel of the viewport.
    Matrix projection_;
    bool hasProjection_ = false;
    uint32_t viewportWidth_ = 0, viewportHeight_ = 0;

    Ref<IDirect3DDevice9> device_;
    Clock::time_point lastPresent_{};
    Clock::duration refresh_;  // one refresh of the display
    bool finerSleep_ = false;  // the system timer ticks every millisecond while the device lives
    // Once a frame has been read, each frame is copied out before present: after present the
    // discarded back buffer holds nothing defined (Wine hands back an older frame).
    bool keepFrames_ = false, presented_ = false;
    Ref<IDirect3DSurface9> lastFrame_;
    // A lost device renders nothing while its calls succeed (Present alone fails). Wine's
    // still renders every frame, unseen and unpresented, and the process grew by 100-180 MB a
    // lost spell: while lost, clears and draws stop here.
    bool lost_ = false;
    std::vector<DeviceChild*> children_;
};

}  // namespace d3d9r
