// The OpenGL render system: format checks on probe contexts, and device creation on the
// main window.
#include "platform/gl_render_system.h"

#include <map>
#include <memory>
#include <tuple>

#include "platform/sdl/gl_device.h"

namespace glr {
namespace {

// A hidden window with a context, for trying out what the driver offers. SDL picks a window's
// visual when the window is made, so each colour size and acceleration needs a window of its own.
// Making one costs several milliseconds, so the render system keeps them for repeated checks.
// A probe is current only while it is being made or used; the context current before is current
// again afterwards.
class Probe {
public:
    Probe(int red, int green, int blue, int accelerated) {
        CurrentContextGuard keep;
        SDL_GL_ResetAttributes();
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, red);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, green);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, blue);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, accelerated);
        window_ = SDL_CreateWindow("probe", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window_) context_ = SDL_GL_CreateContext(window_);
        ok_ = context_ && SDL_GL_MakeCurrent(window_, context_) == 0 && loadProcs(&procs_);
        SDL_GL_ResetAttributes();
    }
    ~Probe() {
        CurrentContextGuard keep;
        if (context_) SDL_GL_DeleteContext(context_);
        if (window_) SDL_DestroyWindow(window_);
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    bool ok() const { return ok_; }
    // Whether a back buffer of these formats can be built (depth 0: none).
    bool framebuffer(uint32_t colour, uint32_t depth) {
        if (!ok_) return false;
        CurrentContextGuard keep;
        if (SDL_GL_MakeCurrent(window_, context_) != 0) return false;
        Framebuffer fb;
        if (!createFramebuffer(procs_, 64, 64, colour, depth, &fb)) return false;
        destroyFramebuffer(procs_, &fb);
        return true;
    }

private:
    // Puts back whichever context was current when it was made (or none).
    struct CurrentContextGuard {
        SDL_Window* window = SDL_GL_GetCurrentWindow();
        SDL_GLContext context = SDL_GL_GetCurrentContext();
        CurrentContextGuard() = default;
        CurrentContextGuard(const CurrentContextGuard&) = delete;
        CurrentContextGuard& operator=(const CurrentContextGuard&) = delete;
        ~CurrentContextGuard() {
            if (SDL_GL_GetCurrentContext() == context && SDL_GL_GetCurrentWindow() == window) return;
            if (context) SDL_GL_MakeCurrent(window, context);
            else SDL_GL_MakeCurrent(nullptr, nullptr);
        }
    };

    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    GlProcs procs_;
    bool ok_ = false;
};

// Channel sizes that a visual must have at least for a format; 0 when unknown.
bool channelBits(uint32_t format, int* r, int* g, int* b) {
    switch (format) {
    case fmt::X8R8G8B8: *r = *g = *b = 8; return true;
    case fmt::R5G6B5: *r = 5, *g = 6, *b = 5; return true;
    case fmt::X1R5G5B5: *r = *g = *b = 5; return true;
    default: return false;
    }
}

class GlRenderSystem final : public RenderSystem {
public:
    ~GlRenderSystem() override {
        probes_.clear();
        SDL_GL_UnloadLibrary();
    }

    bool checkDeviceType(uint32_t adapterFormat, uint32_t backBufferFormat, bool windowed) override {
        int r, g, b;
        if (!channelBits(backBufferFormat, &r, &g, &b)) return false;
        // Full-screen, the back buffer takes the display mode's format.
        if (!windowed && adapterFormat != backBufferFormat) return false;
        return probe(r, g, b, -1).framebuffer(backBufferFormat, 0);
    }

    bool checkDepthStencilFormat(uint32_t adapterFormat, uint32_t depthFormat) override {
        int r, g, b;
        DepthFormat df;
        if (!channelBits(adapterFormat, &r, &g, &b) || !glr::depthFormat(depthFormat, &df)) return false;
        return probe(r, g, b, -1).framebuffer(adapterFormat, depthFormat);
    }

    RenderDevice* createDevice(WindowHandle window, uint32_t behaviourFlags, PresentParams* params) override {
        auto* sdlWindow = static_cast<SDL_Window*>(window);
        if (!sdlWindow || !params) return nullptr;
        if (!(SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_OPENGL)) return nullptr;
        bool hardware = behaviourFlags & kCreateHardwareVertexProcessing;
        bool software = behaviourFlags & kCreateSoftwareVertexProcessing;
        if (hardware == software) return nullptr;
        int r, g, b;
        if (!channelBits(params->backBufferFormat, &r, &g, &b)) return nullptr;
        bool accepted = !hardware || probe(r, g, b, 1).ok();
        // Checks are over once a device is made; the probes' windows and contexts go first.
        probes_.clear();
        if (!accepted) return nullptr;

        // The context takes the main window's visual; the back buffer's formats live in the
        // framebuffer object, so the visual only has to show it.
        SDL_GL_ResetAttributes();
        auto context = std::make_shared<GlContext>();
        context->window = sdlWindow;
        context->context = SDL_GL_CreateContext(sdlWindow);
        if (!context->context) return nullptr;
        if (SDL_GL_MakeCurrent(sdlWindow, context->context) != 0 || !loadProcs(&context->procs)) {
            SDL_GL_DeleteContext(context->context);
            return nullptr;
        }
        auto* device = new GlDevice(context, *params);
        if (!device->init()) {
            delete device;
            return nullptr;
        }
        return device;
    }

private:
    using ProbeKey = std::tuple<int, int, int, int>;

    Probe& probe(int red, int green, int blue, int accelerated) {
        auto& slot = probes_[ProbeKey{red, green, blue, accelerated}];
        if (!slot) slot = std::make_unique<Probe>(red, green, blue, accelerated);
        return *slot;
    }

    std::map<ProbeKey, std::unique_ptr<Probe>> probes_;
};

}  // namespace
}  // namespace glr

RenderSystem* createGlRenderSystem() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return nullptr;
    if (SDL_GL_LoadLibrary(nullptr) != 0) return nullptr;
    return new glr::GlRenderSystem();
}
