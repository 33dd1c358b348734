// The OpenGL render device: Direct3D 9 fixed-function state kept on the side and turned into
// GL 1.x state at each draw. Here the device's life, back buffer, frames and read-back; the
// state it keeps is in gl_device_state.cpp, the draws in gl_device_draw.cpp.
#include <algorithm>
#include <cmath>
#include <thread>

#include "platform/gl_render_system.h"
#include "platform/sdl/gl_device.h"

namespace glr {

void argbToFloats(uint32_t argb, float out[4]) {
    const ColourValue c = colourFromArgb(argb);
    out[0] = c.r;
    out[1] = c.g;
    out[2] = c.b;
    out[3] = c.a;
}

namespace {

bool g_pacing = true;

}  // namespace

GlDevice::GlDevice(std::shared_ptr<GlContext> context, const PresentParams& params)
    : context_(std::move(context)), params_(params) {
    context_->device = this;
}

GlDevice::~GlDevice() {
    if (context_->makeCurrent()) {
        destroyFramebuffer(context_->procs, &backBuffer_);
        SDL_GL_MakeCurrent(context_->window, nullptr);
    }
    SDL_GL_DeleteContext(context_->context);
    context_->context = nullptr;
    context_->device = nullptr;
}

bool GlDevice::validParams(const PresentParams& p) const {
    ColourFormat cf;
    DepthFormat df;
    if (p.backBufferWidth == 0 || p.backBufferHeight == 0) return false;
    int limit = context_->maxTextureSize > 0 ? std::min(context_->maxTextureSize, 8192) : 8192;
    if (p.backBufferWidth > uint32_t(limit) || p.backBufferHeight > uint32_t(limit)) return false;
    if (!colourFormat(p.backBufferFormat, context_->procs, &cf)) return false;
    if (p.enableAutoDepthStencil && !depthFormat(p.autoDepthStencilFormat, &df)) return false;
    return true;
}

bool GlDevice::init() {
    if (!context_->makeCurrent()) return false;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &context_->maxTextureSize);
    if (!validParams(params_) || !buildBackBuffer()) return false;
    // Present waits for the retrace where the driver can; elsewhere pace() does.
    vsync_ = SDL_GL_SetSwapInterval(1) == 0;
    applyWindowMode();
    measureRefresh();
    lastPresent_ = Clock::now();

    // What stays fixed for the device's life.
    glFrontFace(GL_CW);  // Direct3D's front faces are clockwise on screen
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    setDefaults();
    return true;
}

bool GlDevice::buildBackBuffer() {
    Framebuffer fb;
    if (!createFramebuffer(context_->procs, int(params_.backBufferWidth), int(params_.backBufferHeight),
                           params_.backBufferFormat, params_.enableAutoDepthStencil ? params_.autoDepthStencilFormat : 0,
                           &fb))
        return false;
    destroyFramebuffer(context_->procs, &backBuffer_);
    backBuffer_ = fb;
    context_->procs.bindFramebuffer(GL_FRAMEBUFFER, backBuffer_.fbo);
    return true;
}

// Full screen is a borderless window over the whole display (see the window system); a
// window that already covers it is left alone, as every change waits on the X server.
void GlDevice::applyWindowMode() {
    SDL_Window* w = context_->window;
    Uint32 flags = SDL_GetWindowFlags(w);
    if (params_.windowed || (flags & SDL_WINDOW_FULLSCREEN)) return;
    SDL_Rect b;
    int display = SDL_GetWindowDisplayIndex(w);
    if (display < 0 || SDL_GetDisplayBounds(display, &b) != 0) return;
    if (!(flags & SDL_WINDOW_BORDERLESS)) SDL_SetWindowBordered(w, SDL_FALSE);
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(w, &x, &y);
    SDL_GetWindowSize(w, &width, &height);
    if (x != b.x || y != b.y) SDL_SetWindowPosition(w, b.x, b.y);
    if (width != b.w || height != b.h) SDL_SetWindowSize(w, b.w, b.h);
}

void GlDevice::measureRefresh() {
    SDL_DisplayMode mode;
    int hz = 60;
    int display = SDL_GetWindowDisplayIndex(context_->window);
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate >= 24 &&
        mode.refresh_rate <= 500)
        hz = mode.refresh_rate;
    refresh_ = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / hz));
}

// The state a fresh (or reset) Direct3D device starts with.
void GlDevice::setDefaults() {
    std::fill(std::begin(states_), std::end(states_), 0u);
    states_[rs::ZEnable] = params_.enableAutoDepthStencil ? 1 : 0;
    states_[rs::FillMode] = rs::FillSolid;
    states_[rs::ShadeMode] = rs::ShadeGouraud;
    states_[rs::ZWriteEnable] = 1;
    states_[rs::SrcBlend] = rs::BlendOne;
    states_[rs::DestBlend] = rs::BlendZero;
    states_[rs::CullMode] = rs::CullCounterClockwise;
    states_[rs::ZFunc] = rs::CmpLessEqual;
    states_[rs::AlphaFunc] = rs::CmpAlways;
    states_[rs::FogEnd] = floatBits(1.0f);
    states_[rs::FogDensity] = floatBits(1.0f);
    states_[rs::Lighting] = 1;
    states_[rs::ColorVertex] = 1;
    states_[rs::LocalViewer] = 1;
    states_[rs::DiffuseMaterialSource] = rs::McsColor1;
    states_[rs::SpecularMaterialSource] = rs::McsColor2;

    Matrix identity;
    for (int i = 0; i < 4; ++i) identity.m[i][i] = 1;
    world_ = view_ = projection_ = textureMatrix_ = identity;
    material_ = Material{};
    lights_.clear();
    texture_ = nullptr;
    alphaOp_ = tss::OpSelectArg1;
    alphaArg1_ = tss::ArgTexture;
    alphaArg2_ = tss::ArgCurrent;
    textureFlags_ = tss::TtffDisable;
    stream_ = nullptr;
    streamOffset_ = streamStride_ = 0;
    fvf_ = 0;
    indices_ = nullptr;
    viewport_ = Viewport{};
    viewport_.width = params_.backBufferWidth;
    viewport_.height = params_.backBufferHeight;
    inScene_ = false;
    statesDirty_ = projectionDirty_ = lightsDirty_ = true;
    applyViewport();
}

bool GlDevice::reset(const PresentParams& params) {
    if (!context_->makeCurrent() || !validParams(params)) return false;
    PresentParams old = params_;
    params_ = params;
    if (!buildBackBuffer()) {
        params_ = old;
        return false;
    }
    applyWindowMode();
    measureRefresh();
    setDefaults();
    return true;
}

void GlDevice::applyViewport() {
    GLint y = GLint(backBuffer_.height) - GLint(viewport_.y + viewport_.height);
    glViewport(GLint(viewport_.x), y, GLsizei(viewport_.width), GLsizei(viewport_.height));
    glDepthRange(viewport_.minZ, viewport_.maxZ);
}

bool GlDevice::setViewport(const Viewport& v) {
    if (v.width == 0 || v.height == 0) return false;
    if (uint64_t(v.x) + v.width > params_.backBufferWidth || uint64_t(v.y) + v.height > params_.backBufferHeight)
        return false;
    if (!(v.minZ >= 0.0f && v.maxZ <= 1.0f && v.minZ <= v.maxZ)) return false;
    if (!context_->makeCurrent()) return false;
    viewport_ = v;
    applyViewport();
    return true;
}

// Direct3D clears the viewport's rectangle, not the whole target.
bool GlDevice::clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) {
    if (flags == 0 || (flags & ~(kClearTarget | kClearZBuffer | kClearStencil))) return false;
    if ((flags & kClearZBuffer) && !backBuffer_.hasDepth) return false;
    if ((flags & kClearStencil) && !backBuffer_.hasStencil) return false;
    if (!(z >= 0.0f && z <= 1.0f)) return false;
    if (!context_->makeCurrent()) return false;
    GLbitfield mask = 0;
    if (flags & kClearTarget) {
        float c[4];
        argbToFloats(colour, c);
        glClearColor(c[0], c[1], c[2], c[3]);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & kClearZBuffer) {
        glClearDepth(z);
        glDepthMask(GL_TRUE);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (flags & kClearStencil) {
        glClearStencil(GLint(stencil));
        glStencilMask(~0u);
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    GLint y = GLint(backBuffer_.height) - GLint(viewport_.y + viewport_.height);
    glScissor(GLint(viewport_.x), y, GLsizei(viewport_.width), GLsizei(viewport_.height));
    glEnable(GL_SCISSOR_TEST);
    glClear(mask);
    glDisable(GL_SCISSOR_TEST);
    glDepthMask(states_[rs::ZWriteEnable] ? GL_TRUE : GL_FALSE);
    return true;
}

bool GlDevice::beginScene() {
    if (inScene_) return false;
    inScene_ = true;
    return true;
}

bool GlDevice::endScene() {
    if (!inScene_) return false;
    inScene_ = false;
    return true;
}

// The back buffer, scaled with its aspect kept and centred in the drawable; the bars are black.
void GlDevice::blitToWindow() {
    const GlProcs& p = context_->procs;
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(context_->window, &dw, &dh);
    p.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    p.bindFramebuffer(GL_READ_FRAMEBUFFER, backBuffer_.fbo);
    glDrawBuffer(GL_BACK);
    if (dw > 0 && dh > 0) {
        glViewport(0, 0, dw, dh);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        int bw = backBuffer_.width, bh = backBuffer_.height;
        double scale = std::min(double(dw) / bw, double(dh) / bh);
        int w = std::max(1, int(std::lround(bw * scale))), h = std::max(1, int(std::lround(bh * scale)));
        int x = (dw - w) / 2, y = (dh - h) / 2;
        bool whole = w % bw == 0 && h % bh == 0 && w / bw == h / bh;
        p.blitFramebuffer(0, 0, bw, bh, x, y, x + w, y + h, GL_COLOR_BUFFER_BIT, whole ? GL_NEAREST : GL_LINEAR);
    }
}

bool GlDevice::present() {
    if (inScene_ || !context_->makeCurrent()) return false;
    blitToWindow();
    SDL_GL_SwapWindow(context_->window);
    context_->procs.bindFramebuffer(GL_FRAMEBUFFER, backBuffer_.fbo);
    applyViewport();
    pace();
    return true;
}

void GlDevice::pace() {
    if (g_pacing) {
        // With vsync on, swaps are already about one refresh apart; leave the driver its jitter.
        Clock::duration gap = vsync_ ? refresh_ * 9 / 10 : refresh_;
        Clock::time_point due = lastPresent_ + gap;
        if (Clock::now() < due) std::this_thread::sleep_until(due);
    }
    lastPresent_ = Clock::now();
}

void GlDevice::released(const void* resource) {
    if (resource == texture_) texture_ = nullptr;
    if (resource == stream_) stream_ = nullptr;
    if (resource == indices_) indices_ = nullptr;
}

VertexBuffer* GlDevice::createVertexBuffer(uint32_t length, uint32_t, uint32_t, uint32_t) {
    if (length == 0 || length > (256u << 20)) return nullptr;
    return new GlVertexBuffer(context_, length);
}

IndexBuffer* GlDevice::createIndexBuffer(uint32_t length, uint32_t, uint32_t format, uint32_t) {
    uint32_t size = format == fmt::Index16 ? 2 : (format == fmt::Index32 ? 4 : 0);
    if (size == 0 || length < size || length > (256u << 20)) return nullptr;
    return new GlIndexBuffer(context_, length, size);
}

Texture* GlDevice::createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                                 uint32_t) {
    if (usage & kUsageDepthStencil) return nullptr;  // no depth textures
    return GlTexture::create(context_, width, height, levels, format);
}

uint32_t GlDevice::adapterDisplayFormat() {
    SDL_DisplayMode mode;
    int display = SDL_GetWindowDisplayIndex(context_->window);
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0) {
        int bits = SDL_BITSPERPIXEL(mode.format);
        if (bits == 16) return fmt::R5G6B5;
        if (bits == 15) return fmt::X1R5G5B5;
    }
    return fmt::X8R8G8B8;
}

// ---- read-back ----

namespace {
void readRows(int width, int height, std::vector<uint32_t>* pixels) {
    std::vector<uint32_t> raw(size_t(width) * height);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, raw.data());
    pixels->resize(raw.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            (*pixels)[size_t(y) * width + x] = raw[size_t(height - 1 - y) * width + x] | 0xFF000000u;
}
}  // namespace

bool GlDevice::readBackBuffer(int* width, int* height, std::vector<uint32_t>* pixels) {
    if (!context_->makeCurrent()) return false;
    context_->procs.bindFramebuffer(GL_FRAMEBUFFER, backBuffer_.fbo);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    *width = backBuffer_.width;
    *height = backBuffer_.height;
    readRows(*width, *height, pixels);
    return true;
}

bool GlDevice::readWindow(int* width, int* height, std::vector<uint32_t>* pixels) {
    if (!context_->makeCurrent()) return false;
    blitToWindow();
    context_->procs.bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    SDL_GL_GetDrawableSize(context_->window, width, height);
    readRows(*width, *height, pixels);
    context_->procs.bindFramebuffer(GL_FRAMEBUFFER, backBuffer_.fbo);
    applyViewport();
    return true;
}

}  // namespace glr

void setPresentPacing(bool on) { glr::g_pacing = on; }

bool readGlBackBuffer(RenderDevice* device, int* width, int* height, std::vector<uint32_t>* pixels) {
    auto* d = dynamic_cast<glr::GlDevice*>(device);
    return d && width && height && pixels && d->readBackBuffer(width, height, pixels);
}

bool readGlWindow(RenderDevice* device, int* width, int* height, std::vector<uint32_t>* pixels) {
    auto* d = dynamic_cast<glr::GlDevice*>(device);
    return d && width && height && pixels && d->readWindow(width, height, pixels);
}
