// frostel_first_present.exe: frostel.exe as shipped (its entry, game and Direct3D 9 device),
// linked with --wrap=createD3d9RenderSystem so that the render system the entry installs comes
// from here. It is the real one, whose devices are handed out inside a wrapper that stamps the
// first Present (first_present_stamp.h); every call goes straight through.
#include <memory>

#include "first_present_stamp.h"
#include "platform/render_device.h"

extern "C" RenderSystem* __real__Z22createD3d9RenderSystemv();

namespace {

class StampingDevice final : public RenderDevice {
public:
    explicit StampingDevice(RenderDevice* real) : d_(real) {}

    DeviceStatus testCooperativeLevel() override { return d_->testCooperativeLevel(); }
    bool reset(const PresentParams& p) override { return d_->reset(p); }
    bool clear(uint32_t f, uint32_t c, float z, uint32_t s) override { return d_->clear(f, c, z, s); }
    bool beginScene() override { return d_->beginScene(); }
    bool endScene() override { return d_->endScene(); }
    bool present() override {
        const bool ok = d_->present();
        stampFirstPresent();
        return ok;
    }
    bool setViewport(const Viewport& v) override { return d_->setViewport(v); }
    bool setRenderState(uint32_t s, uint32_t v) override { return d_->setRenderState(s, v); }
    bool setTransform(uint32_t s, const Matrix& m) override { return d_->setTransform(s, m); }
    bool setMaterial(const Material& m) override { return d_->setMaterial(m); }
    bool setLight(uint32_t i, const LightParams& l) override { return d_->setLight(i, l); }
    bool lightEnable(uint32_t i, bool e) override { return d_->lightEnable(i, e); }
    bool setTexture(uint32_t s, Texture* t) override { return d_->setTexture(s, t); }
    bool setTextureStageState(uint32_t s, uint32_t t, uint32_t v) override { return d_->setTextureStageState(s, t, v); }
    bool setStreamSource(uint32_t s, VertexBuffer* b, uint32_t o, uint32_t st) override {
        return d_->setStreamSource(s, b, o, st);
    }
    bool setFVF(uint32_t f) override { return d_->setFVF(f); }
    bool setIndices(IndexBuffer* b) override { return d_->setIndices(b); }
    bool drawIndexedPrimitive(uint32_t t, int bv, uint32_t mi, uint32_t nv, uint32_t si, uint32_t pc) override {
        return d_->drawIndexedPrimitive(t, bv, mi, nv, si, pc);
    }
    VertexBuffer* createVertexBuffer(uint32_t l, uint32_t u, uint32_t f, uint32_t p) override {
        return d_->createVertexBuffer(l, u, f, p);
    }
    IndexBuffer* createIndexBuffer(uint32_t l, uint32_t u, uint32_t f, uint32_t p) override {
        return d_->createIndexBuffer(l, u, f, p);
    }
    Texture* createTexture(uint32_t w, uint32_t h, uint32_t l, uint32_t u, uint32_t f, uint32_t p) override {
        return d_->createTexture(w, h, l, u, f, p);
    }
    uint32_t adapterDisplayFormat() override { return d_->adapterDisplayFormat(); }

private:
    std::unique_ptr<RenderDevice> d_;
};

class StampingSystem final : public RenderSystem {
public:
    explicit StampingSystem(RenderSystem* real) : s_(real) {}
    bool checkDeviceType(uint32_t a, uint32_t b, bool w) override { return s_->checkDeviceType(a, b, w); }
    bool checkDepthStencilFormat(uint32_t a, uint32_t d) override { return s_->checkDepthStencilFormat(a, d); }
    RenderDevice* createDevice(WindowHandle w, uint32_t f, PresentParams* p) override {
        RenderDevice* d = s_->createDevice(w, f, p);
        return d ? new StampingDevice(d) : nullptr;
    }

private:
    std::unique_ptr<RenderSystem> s_;
};

}  // namespace

extern "C" RenderSystem* __wrap__Z22createD3d9RenderSystemv() {
    RenderSystem* real = __real__Z22createD3d9RenderSystemv();
    return real ? new StampingSystem(real) : nullptr;
}
