// The render device's calls, one Direct3D 9 call each. Our constants are Direct3D's numbers
// and our Matrix has D3DMATRIX's layout, so most arguments pass through unchanged.
#include <cstring>
#include <thread>

#include "platform/d3d9/d3d9_device.h"

#include <mmsystem.h>  // after windows.h
#include "platform/d3d9_render_system.h"

namespace d3d9r {

namespace {

bool g_pacing = true;

D3DCOLORVALUE colour(const ColourValue& c) { return {c.r, c.g, c.b, c.a}; }
D3DVECTOR vector(const Vec3& v) { return {v.x, v.y, v.z}; }

}  // namespace

bool presentPacing() { return g_pacing; }

D3DPRESENT_PARAMETERS toD3d(const PresentParams& p, bool paced) {
    D3DPRESENT_PARAMETERS d{};
    d.BackBufferWidth = p.backBufferWidth;
    d.BackBufferHeight = p.backBufferHeight;
    d.BackBufferFormat = static_cast<D3DFORMAT>(p.backBufferFormat);
    d.BackBufferCount = p.backBufferCount;
    d.MultiSampleType = D3DMULTISAMPLE_NONE;
    d.SwapEffect = static_cast<D3DSWAPEFFECT>(p.swapEffect);
    d.hDeviceWindow = nullptr;  // the focus window
    d.Windowed = p.windowed ? TRUE : FALSE;
    d.EnableAutoDepthStencil = p.enableAutoDepthStencil ? TRUE : FALSE;
    d.AutoDepthStencilFormat = static_cast<D3DFORMAT>(p.autoDepthStencilFormat);
    d.Flags = 0;
    d.FullScreen_RefreshRateInHz = 0;
    d.PresentationInterval = paced ? p.presentationInterval : D3DPRESENT_INTERVAL_IMMEDIATE;
    return d;
}

D3d9Device::D3d9Device(IDirect3DDevice9* device) : device_(device) {
    D3DDISPLAYMODE mode{};
    const UINT hz = SUCCEEDED(device_->GetDisplayMode(0, &mode)) && mode.RefreshRate > 0 ? mode.RefreshRate : 60;
    refresh_ = std::chrono::duration_cast<Clock::duration>(std::chrono::microseconds(1000000 / hz));
    finerSleep_ = timeBeginPeriod(1) == TIMERR_NOERROR;
}

// What it made goes first: the device itself is destroyed with the last reference.
D3d9Device::~D3d9Device() {
    for (DeviceChild* child : children_) child->orphan();
    children_.clear();
    lastFrame_.reset();
    device_.reset();
    if (finerSleep_) timeEndPeriod(1);
}

DeviceChild::DeviceChild(D3d9Device* owner) : owner_(owner) { owner_->adopt(this); }

DeviceChild::~DeviceChild() {
    if (owner_) owner_->forget(this);
}

void D3d9Device::forget(DeviceChild* child) {
    for (size_t i = 0; i < children_.size(); ++i) {
        if (children_[i] != child) continue;
        children_[i] = children_.back();
        children_.pop_back();
        return;
    }
}

DeviceStatus D3d9Device::testCooperativeLevel() {
    switch (device_->TestCooperativeLevel()) {
    case D3D_OK: lost_ = false; return DeviceStatus::Ok;
    case D3DERR_DEVICELOST: lost_ = true; return DeviceStatus::Lost;
    case D3DERR_DEVICENOTRESET: lost_ = true; return DeviceStatus::NotReset;
    default: return DeviceStatus::Failed;
    }
}

// A failed reset leaves the device lost.
bool D3d9Device::reset(const PresentParams& params) {
    D3DPRESENT_PARAMETERS d = toD3d(params, g_pacing);
    lost_ = FAILED(device_->Reset(&d));
    return !lost_;
}

bool D3d9Device::clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) {
    presented_ = false;
    if (lost_) return true;
    return SUCCEEDED(device_->Clear(0, nullptr, flags, colour, z, stencil));
}

bool D3d9Device::present() {
    if (keepFrames_ && !lost_) {
        D3DSURFACE_DESC desc;
        if (!copyBackBuffer(&lastFrame_, &desc)) lastFrame_.reset();
    }
    const HRESULT result = device_->Present(nullptr, nullptr, nullptr, nullptr);
    const bool ok = SUCCEEDED(result);
    if (ok || result == D3DERR_DEVICELOST) lost_ = !ok;
    presented_ = true;
    pace();
    return ok;
}

// Where Present did not wait for the retrace, the rest of one refresh interval is slept.
// Where it did, what is left is jitter, not worth a sleep that may overshoot by a tick.
void D3d9Device::pace() {
    if (!g_pacing) return;
    const Clock::time_point now = Clock::now();
    const Clock::duration left = refresh_ - (now - lastPresent_);
    if (lastPresent_ != Clock::time_point{} && left > std::chrono::milliseconds(2)) {
        std::this_thread::sleep_for(left);
        lastPresent_ = Clock::now();
    } else {
        lastPresent_ = now;
    }
}

bool D3d9Device::setViewport(const Viewport& v) {
    D3DVIEWPORT9 d{v.x, v.y, v.width, v.height, v.minZ, v.maxZ};
    if (FAILED(device_->SetViewport(&d))) return false;
    viewportWidth_ = v.width;
    viewportHeight_ = v.height;
    return !hasProjection_ || applyProjection();
}

bool D3d9Device::applyProjection() {
    D3DMATRIX d;
    std::memcpy(&d, &projection_, sizeof d);
    if (viewportWidth_ > 0 && viewportHeight_ > 0) {
        // times a clip-space translation of (-1/width, 1/height): half a pixel left and up
        for (int i = 0; i < 4; ++i) {
            d.m[i][0] -= projection_.m[i][3] / float(viewportWidth_);
            d.m[i][1] += projection_.m[i][3] / float(viewportHeight_);
        }
    }
    return SUCCEEDED(device_->SetTransform(D3DTS_PROJECTION, &d));
}

bool D3d9Device::setRenderState(uint32_t state, uint32_t value) {
    return SUCCEEDED(device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), value));
}

bool D3d9Device::setTransform(uint32_t slot, const Matrix& matrix) {
    static_assert(sizeof(D3DMATRIX) == sizeof(Matrix));
    if (slot == ts::Projection) {
        projection_ = matrix;
        hasProjection_ = true;
        return applyProjection();
    }
    D3DMATRIX d;
    std::memcpy(&d, &matrix, sizeof d);
    return SUCCEEDED(device_->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(slot), &d));
}

bool D3d9Device::setMaterial(const Material& m) {
    D3DMATERIAL9 d;
    d.Diffuse = colour(m.diffuse);
    d.Ambient = colour(m.ambient);
    d.Specular = colour(m.specular);
    d.Emissive = colour(m.emissive);
    d.Power = m.power;
    return SUCCEEDED(device_->SetMaterial(&d));
}

bool D3d9Device::setLight(uint32_t index, const LightParams& l) {
    D3DLIGHT9 d;
    d.Type = static_cast<D3DLIGHTTYPE>(l.type);
    d.Diffuse = colour(l.diffuse);
    d.Specular = colour(l.specular);
    d.Ambient = colour(l.ambient);
    d.Position = vector(l.position);
    d.Direction = vector(l.direction);
    d.Range = l.range;
    d.Falloff = l.falloff;
    d.Attenuation0 = l.attenuation0;
    d.Attenuation1 = l.attenuation1;
    d.Attenuation2 = l.attenuation2;
    d.Theta = l.theta;
    d.Phi = l.phi;
    return SUCCEEDED(device_->SetLight(index, &d));
}

bool D3d9Device::lightEnable(uint32_t index, bool enable) {
    return SUCCEEDED(device_->LightEnable(index, enable ? TRUE : FALSE));
}

bool D3d9Device::setTexture(uint32_t stage, Texture* texture) {
    auto* t = dynamic_cast<D3d9Texture*>(texture);
    if (texture && !t) return false;
    return SUCCEEDED(device_->SetTexture(stage, t ? t->get() : nullptr));
}

bool D3d9Device::setTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
    return SUCCEEDED(device_->SetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type), value));
}

bool D3d9Device::setStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset, uint32_t stride) {
    auto* b = dynamic_cast<D3d9VertexBuffer*>(buffer);
    if (buffer && !b) return false;
    return SUCCEEDED(device_->SetStreamSource(stream, b ? b->get() : nullptr, offset, stride));
}

bool D3d9Device::setIndices(IndexBuffer* buffer) {
    auto* b = dynamic_cast<D3d9IndexBuffer*>(buffer);
    if (buffer && !b) return false;
    return SUCCEEDED(device_->SetIndices(b ? b->get() : nullptr));
}

bool D3d9Device::drawIndexedPrimitive(uint32_t primitiveType, int baseVertex, uint32_t minIndex,
                                      uint32_t numVertices, uint32_t startIndex, uint32_t primitiveCount) {
    if (lost_) return true;
    return SUCCEEDED(device_->DrawIndexedPrimitive(static_cast<D3DPRIMITIVETYPE>(primitiveType), baseVertex, minIndex,
                                                   numVertices, startIndex, primitiveCount));
}

uint32_t D3d9Device::adapterDisplayFormat() {
    Ref<IDirect3D9> d3d;
    D3DDISPLAYMODE mode{};
    if (FAILED(device_->GetDirect3D(d3d.out())) || FAILED(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)))
        return 0;
    return mode.Format;
}

}  // namespace d3d9r

void setD3d9PresentPacing(bool on) { d3d9r::g_pacing = on; }
