// The Direct3D 9 object: format checks on the default adapter's hardware device, and device
// creation on the main window.
#include "platform/d3d9/d3d9_device.h"
#include "platform/d3d9_render_system.h"

namespace d3d9r {
namespace {

// The SDK version the programs were built against; mingw's headers say 32.
constexpr UINT kSdkVersion = 31;

class D3d9RenderSystem final : public RenderSystem {
public:
    explicit D3d9RenderSystem(IDirect3D9* d3d) : d3d_(d3d) {}

    bool checkDeviceType(uint32_t adapterFormat, uint32_t backBufferFormat, bool windowed) override {
        return d3d_->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, static_cast<D3DFORMAT>(adapterFormat),
                                     static_cast<D3DFORMAT>(backBufferFormat), windowed ? TRUE : FALSE) == D3D_OK;
    }

    bool checkDepthStencilFormat(uint32_t adapterFormat, uint32_t depthFormat) override {
        return d3d_->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, static_cast<D3DFORMAT>(adapterFormat),
                                       D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                       static_cast<D3DFORMAT>(depthFormat)) == D3D_OK;
    }

    RenderDevice* createDevice(WindowHandle window, uint32_t behaviourFlags, PresentParams* params) override {
        if (!window || !params) return nullptr;
        D3DPRESENT_PARAMETERS d = toD3d(*params, presentPacing());
        IDirect3DDevice9* device = nullptr;
        if (FAILED(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, static_cast<HWND>(window), behaviourFlags,
                                      &d, &device)) ||
            !device)
            return nullptr;
        // Direct3D fills in what was left to it.
        params->backBufferWidth = d.BackBufferWidth;
        params->backBufferHeight = d.BackBufferHeight;
        params->backBufferCount = d.BackBufferCount;
        return new D3d9Device(device);
    }

private:
    Ref<IDirect3D9> d3d_;
};

}  // namespace
}  // namespace d3d9r

RenderSystem* createD3d9RenderSystem() {
    IDirect3D9* d3d = Direct3DCreate9(d3d9r::kSdkVersion);
    if (!d3d) return nullptr;
    return new d3d9r::D3d9RenderSystem(d3d);
}

void switchD3d9Focus(WindowHandle window, bool active) {
    SendMessageA(static_cast<HWND>(window), WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
}
