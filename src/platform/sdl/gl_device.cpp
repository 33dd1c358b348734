// The OpenGL render device: Direct3D 9 fixed-function state kept on the side and turned into
// GL 1.x state at each draw.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

#include "platform/gl_render_system.h"
#include "platform/sdl/gl_device.h"

namespace glr {

namespace {

constexpr uint32_t kMaxLightIndex = 4096;

void argbToFloats(uint32_t argb, float out[4]) {
    const ColourValue c = colourFromArgb(argb);
    out[0] = c.r;
    out[1] = c.g;
    out[2] = c.b;
    out[3] = c.a;
}

GLenum blendFactor(uint32_t b, bool source) {
    switch (b) {
    case rs::BlendZero: return GL_ZERO;
    case rs::BlendOne: return GL_ONE;
    case rs::BlendSrcColor: return GL_SRC_COLOR;
    case rs::BlendInvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
    case rs::BlendSrcAlpha: return GL_SRC_ALPHA;
    case rs::BlendInvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case rs::BlendDestAlpha: return GL_DST_ALPHA;
    case rs::BlendInvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
    case rs::BlendDestColor: return GL_DST_COLOR;
    case rs::BlendInvDestColor: return GL_ONE_MINUS_DST_COLOR;
    case rs::BlendSrcAlphaSat: return GL_SRC_ALPHA_SATURATE;
    case rs::BlendBothSrcAlpha: return source ? GL_SRC_ALPHA : GL_ONE_MINUS_SRC_ALPHA;
    case rs::BlendBothInvSrcAlpha: return source ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
    default: return source ? GL_ONE : GL_ZERO;
    }
}

GLenum compareFunc(uint32_t f) {
    switch (f) {
    case rs::CmpNever: return GL_NEVER;
    case rs::CmpLess: return GL_LESS;
    case rs::CmpEqual: return GL_EQUAL;
    case rs::CmpLessEqual: return GL_LEQUAL;
    case rs::CmpGreater: return GL_GREATER;
    case rs::CmpNotEqual: return GL_NOTEQUAL;
    case rs::CmpGreaterEqual: return GL_GEQUAL;
    default: return GL_ALWAYS;
    }
}

GLenum combinerSource(uint32_t arg) {
    // Stage 0's "current" is the diffuse colour.
    return (arg & tss::ArgSelectMask) == tss::ArgTexture ? GL_TEXTURE : GL_PRIMARY_COLOR;
}

// Direct3D's camera looks down +z, GL's eye space down -z. The modelview gets a z flip (F)
// and the projection takes it back (F P), so that GL's eye-space rules (fog distance, the
// viewer direction of lighting) hold while the clip coordinates stay Direct3D's.
Matrix flipZ(const Matrix& m) {
    Matrix r = m;
    for (int i = 0; i < 4; ++i) r.m[i][2] = -m.m[i][2];
    return r;
}

// Then the projection's depth goes from Direct3D's 0..w to GL's -w..w: z' = 2z - w.
Matrix glProjection(const Matrix& p) {
    Matrix f = p;
    for (int j = 0; j < 4; ++j) f.m[2][j] = -p.m[2][j];
    Matrix r = f;
    for (int i = 0; i < 4; ++i) r.m[i][2] = 2 * f.m[i][2] - f.m[i][3];
    return r;
}

// Direct3D extends 2D texture coordinates to (s, t, 1) for the texture matrix, so row 2 is
// the translation; GL extends them to (s, t, 0, 1) and takes it from row 3.
Matrix glTextureMatrix(const Matrix& t) {
    Matrix r;
    r.m[0][0] = t.m[0][0];
    r.m[0][1] = t.m[0][1];
    r.m[1][0] = t.m[1][0];
    r.m[1][1] = t.m[1][1];
    r.m[2][2] = 1;
    r.m[3][0] = t.m[2][0];
    r.m[3][1] = t.m[2][1];
    r.m[3][3] = 1;
    return r;
}

bool g_pacing = true;
bool g_cullEverything = false;

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

bool GlDevice::setRenderState(uint32_t state, uint32_t value) {
    if (state >= kStateCount) return false;
    if (states_[state] != value) {
        states_[state] = value;
        statesDirty_ = true;
    }
    return true;
}

bool GlDevice::setTransform(uint32_t slot, const Matrix& m) {
    switch (slot) {
    case ts::World: world_ = m; return true;
    case ts::View:
        view_ = m;
        lightsDirty_ = true;  // GL lights are placed through the view matrix
        return true;
    case ts::Projection:
        projection_ = m;
        projectionDirty_ = true;
        return true;
    case ts::Texture0: textureMatrix_ = m; return true;
    default:
        // the other texture stages and world matrices exist but are never drawn with
        return (slot > ts::Texture0 && slot < ts::Texture0 + 8) || (slot > ts::World && slot < ts::World + 256);
    }
}

bool GlDevice::setMaterial(const Material& material) {
    material_ = material;
    return true;
}

bool GlDevice::setLight(uint32_t index, const LightParams& l) {
    if (index >= kMaxLightIndex) return false;
    if (l.type < lt::Point || l.type > lt::Directional) return false;
    if (!(l.range >= 0.0f && l.range <= 1.8446743e19f)) return false;  // 0 .. sqrt(FLT_MAX)
    if (!(l.attenuation0 >= 0 && l.attenuation1 >= 0 && l.attenuation2 >= 0)) return false;
    if (l.type == lt::Spot && !(l.phi >= 0 && l.phi <= 3.1415927f && l.theta >= 0 && l.theta <= l.phi))
        return false;
    if (l.type != lt::Point && l.direction.x == 0 && l.direction.y == 0 && l.direction.z == 0) return false;
    if (index >= lights_.size()) lights_.resize(index + 1);
    lights_[index].params = l;
    lightsDirty_ = true;
    return true;
}

bool GlDevice::lightEnable(uint32_t index, bool enable) {
    if (index >= kMaxLightIndex) return false;
    if (index >= lights_.size()) {
        if (!enable) return true;
        lights_.resize(index + 1);
    }
    LightSlot& slot = lights_[index];
    if (slot.params.type == 0) {
        // Enabling a light never set gives Direct3D's default: white, directional, along +z.
        slot.params = LightParams{};
        slot.params.type = lt::Directional;
        slot.params.diffuse = {1, 1, 1, 0};
        slot.params.direction = {0, 0, 1};
    }
    if (enable && !slot.enabled) {
        int on = 0;
        for (const LightSlot& s : lights_) on += s.enabled ? 1 : 0;
        if (on >= kGlLights) return false;
    }
    if (slot.enabled != enable) {
        slot.enabled = enable;
        lightsDirty_ = true;
    }
    return true;
}

bool GlDevice::setTexture(uint32_t stage, Texture* texture) {
    if (stage >= 8) return false;
    GlTexture* t = nullptr;
    if (texture) {
        t = dynamic_cast<GlTexture*>(texture);
        if (!t || t->owner() != context_.get()) return false;  // GL names are per context
    }
    if (stage == 0) texture_ = t;  // only stage 0 is drawn with
    return true;
}

bool GlDevice::setTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
    if (stage >= 8) return false;
    if (stage != 0) return true;
    switch (type) {
    case tss::AlphaOp: alphaOp_ = value; break;
    case tss::AlphaArg1: alphaArg1_ = value; break;
    case tss::AlphaArg2: alphaArg2_ = value; break;
    case tss::TextureTransformFlags: textureFlags_ = value; break;
    default: break;
    }
    return true;
}

bool GlDevice::setStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset, uint32_t stride) {
    if (stream != 0) return false;
    GlVertexBuffer* b = nullptr;
    if (buffer) {
        b = dynamic_cast<GlVertexBuffer*>(buffer);
        if (!b) return false;
    }
    stream_ = b;
    streamOffset_ = offset;
    streamStride_ = stride;
    return true;
}

bool GlDevice::setFVF(uint32_t vertexFormat) {
    fvf_ = vertexFormat;
    return true;
}

bool GlDevice::setIndices(IndexBuffer* buffer) {
    GlIndexBuffer* b = nullptr;
    if (buffer) {
        b = dynamic_cast<GlIndexBuffer*>(buffer);
        if (!b) return false;
    }
    indices_ = b;
    return true;
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

// ---- drawing ----

void GlDevice::applyCulling() {
    if (g_cullEverything) {
        glEnable(GL_CULL_FACE);
        glCullFace(GL_FRONT_AND_BACK);
        return;
    }
    switch (states_[rs::CullMode]) {
    case rs::CullNone: glDisable(GL_CULL_FACE); break;
    case rs::CullClockwise: glEnable(GL_CULL_FACE); glCullFace(GL_FRONT); break;
    default: glEnable(GL_CULL_FACE); glCullFace(GL_BACK); break;  // cull counter-clockwise
    }
}

void GlDevice::applyRenderStates() {
    const uint32_t* s = states_;
    if (backBuffer_.hasDepth && s[rs::ZEnable])
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
    glDepthMask(s[rs::ZWriteEnable] ? GL_TRUE : GL_FALSE);
    glDepthFunc(compareFunc(s[rs::ZFunc]));

    applyCulling();
    const uint32_t fill = s[rs::FillMode];
    glPolygonMode(GL_FRONT_AND_BACK, fill == rs::FillPoint ? GL_POINT : (fill == rs::FillWireframe ? GL_LINE : GL_FILL));
    glShadeModel(s[rs::ShadeMode] == rs::ShadeFlat ? GL_FLAT : GL_SMOOTH);

    if (s[rs::AlphaBlendEnable])
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
    glBlendFunc(blendFactor(s[rs::SrcBlend], true), blendFactor(s[rs::DestBlend], false));
    if (s[rs::AlphaTestEnable])
        glEnable(GL_ALPHA_TEST);
    else
        glDisable(GL_ALPHA_TEST);
    glAlphaFunc(compareFunc(s[rs::AlphaFunc]), (s[rs::AlphaRef] & 0xFF) / 255.0f);
    if (s[rs::DitherEnable])
        glEnable(GL_DITHER);
    else
        glDisable(GL_DITHER);

    uint32_t fogMode = s[rs::FogVertexMode] ? s[rs::FogVertexMode] : s[rs::FogTableMode];
    if (s[rs::FogEnable] && fogMode >= rs::FogExp && fogMode <= rs::FogLinear) {
        glEnable(GL_FOG);
        glFogi(GL_FOG_MODE, fogMode == rs::FogExp ? GL_EXP : (fogMode == rs::FogExp2 ? GL_EXP2 : GL_LINEAR));
        glFogf(GL_FOG_START, bitsFloat(s[rs::FogStart]));
        glFogf(GL_FOG_END, bitsFloat(s[rs::FogEnd]));
        glFogf(GL_FOG_DENSITY, bitsFloat(s[rs::FogDensity]));
        float c[4];
        argbToFloats(s[rs::FogColor], c);
        glFogfv(GL_FOG_COLOR, c);
    } else {
        glDisable(GL_FOG);
    }

    // Only the ambient render state lights the scene as a whole (GL's default is 0.2).
    float ambient[4];
    argbToFloats(s[rs::Ambient], ambient);
    ambient[3] = 1;
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, s[rs::LocalViewer] ? GL_TRUE : GL_FALSE);
    if (s[rs::NormalizeNormals])
        glEnable(GL_NORMALIZE);
    else
        glDisable(GL_NORMALIZE);
    statesDirty_ = false;
}

// GL lights take their position through the modelview matrix at the time they are set, so
// they are placed with the view matrix alone: Direct3D's lights are in world space.
void GlDevice::applyLights() {
    activeLights_.clear();
    for (size_t i = 0; i < lights_.size() && activeLights_.size() < size_t(kGlLights); ++i)
        if (lights_[i].enabled) activeLights_.push_back(int(i));
    Matrix view = flipZ(view_);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&view.m[0][0]);
    for (size_t k = 0; k < activeLights_.size(); ++k) {
        const LightParams& l = lights_[size_t(activeLights_[k])].params;
        GLenum id = GL_LIGHT0 + GLenum(k);
        float ambient[4] = {l.ambient.r, l.ambient.g, l.ambient.b, l.ambient.a};
        float diffuse[4] = {l.diffuse.r, l.diffuse.g, l.diffuse.b, l.diffuse.a};
        float specular[4] = {l.specular.r, l.specular.g, l.specular.b, l.specular.a};
        glLightfv(id, GL_AMBIENT, ambient);
        glLightfv(id, GL_DIFFUSE, diffuse);
        glLightfv(id, GL_SPECULAR, specular);
        if (l.type == lt::Directional) {
            float towardLight[4] = {-l.direction.x, -l.direction.y, -l.direction.z, 0};
            glLightfv(id, GL_POSITION, towardLight);
            glLightf(id, GL_CONSTANT_ATTENUATION, 1);
            glLightf(id, GL_LINEAR_ATTENUATION, 0);
            glLightf(id, GL_QUADRATIC_ATTENUATION, 0);
        } else {
            float position[4] = {l.position.x, l.position.y, l.position.z, 1};
            glLightfv(id, GL_POSITION, position);
            glLightf(id, GL_CONSTANT_ATTENUATION, l.attenuation0);
            glLightf(id, GL_LINEAR_ATTENUATION, l.attenuation1);
            glLightf(id, GL_QUADRATIC_ATTENUATION, l.attenuation2);
        }
        if (l.type == lt::Spot) {
            // Inside the outer cone at full strength: exact for theta = phi or falloff 0;
            // any other cone is lit on the CPU.
            float direction[3] = {l.direction.x, l.direction.y, l.direction.z};
            glLightfv(id, GL_SPOT_DIRECTION, direction);
            glLightf(id, GL_SPOT_CUTOFF, std::min(90.0f, l.phi / 2 * 57.29578f));
            glLightf(id, GL_SPOT_EXPONENT, 0);
        } else {
            glLightf(id, GL_SPOT_CUTOFF, 180);
        }
    }
    lightsDirty_ = false;
}

void GlDevice::applyTextureStage() {
    if (texture_) {
        glEnable(GL_TEXTURE_2D);
        if (context_->boundTexture != texture_->name()) {
            glBindTexture(GL_TEXTURE_2D, texture_->name());
            context_->boundTexture = texture_->name();
        }
        texture_->settleBeforeDraw();
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    // Colour: texture times diffuse (Direct3D's default); alpha as the stage states say.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PRIMARY_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    GLenum op = GL_MODULATE;
    GLenum a0 = combinerSource(alphaArg1_), a1 = combinerSource(alphaArg2_);
    if (alphaOp_ == tss::OpSelectArg1) {
        op = GL_REPLACE;
    } else if (alphaOp_ == tss::OpSelectArg2) {
        op = GL_REPLACE;
        a0 = a1;
    } else if (alphaOp_ != tss::OpModulate) {
        a0 = GL_TEXTURE;
        a1 = GL_PRIMARY_COLOR;
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GLint(op));
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GLint(a0));
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_ALPHA, GLint(a1));
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_ALPHA, GL_SRC_ALPHA);

    glMatrixMode(GL_TEXTURE);
    if ((textureFlags_ & tss::TtffCountMask) == tss::TtffCount2) {
        Matrix t = glTextureMatrix(textureMatrix_);
        glLoadMatrixf(&t.m[0][0]);
    } else {
        glLoadIdentity();
    }
    glMatrixMode(GL_MODELVIEW);
}

// Whether GL's own lighting reproduces this draw; if not, cpu is set. colourMaterial is the
// GL colour-material mode, 0 for none.
bool GlDevice::lightingWanted(const FvfLayout& layout, bool* cpu, GLenum* colourMaterial) const {
    *cpu = false;
    *colourMaterial = 0;
    bool vertexColour = layout.diffuse && states_[rs::ColorVertex];
    // A source asking for a colour the vertex lacks falls back to the material.
    bool d = vertexColour && states_[rs::DiffuseMaterialSource] == rs::McsColor1;
    bool a = vertexColour && states_[rs::AmbientMaterialSource] == rs::McsColor1;
    bool s = vertexColour && states_[rs::SpecularMaterialSource] == rs::McsColor1;
    bool e = vertexColour && states_[rs::EmissiveMaterialSource] == rs::McsColor1;
    int n = int(d) + int(a) + int(s) + int(e);
    if (n == 2 && d && a)
        *colourMaterial = GL_AMBIENT_AND_DIFFUSE;
    else if (n == 1)
        *colourMaterial = d ? GL_DIFFUSE : (a ? GL_AMBIENT : (s ? GL_SPECULAR : GL_EMISSION));
    else if (n != 0)
        *cpu = true;
    if (*colourMaterial && !context_->procs.bgraVertexColours) *cpu = true;
    if (material_.power > 128.0f || material_.power < 0.0f) *cpu = true;
    for (int index : activeLights_) {
        const LightParams& l = lights_[size_t(index)].params;
        if (l.type == lt::Spot && l.theta < l.phi && l.falloff != 0.0f) *cpu = true;
    }
    return true;
}

void GlDevice::setArrays(const FvfLayout& layout, const uint8_t* base, bool vertexColours) {
    GLsizei stride = GLsizei(streamStride_);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, base);
    if (layout.normal) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, stride, base + layout.normalOffset);
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
        glNormal3f(0, 0, 0);  // no normal: only ambient and emissive light reach it
    }
    if (layout.texture) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, base + layout.textureOffset);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoord2f(0, 0);
    }
    if (vertexColours && layout.diffuse && context_->procs.bgraVertexColours) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, stride, base + layout.diffuseOffset);
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1, 1, 1, 1);  // a vertex without a colour is opaque white
    }
    glDisableClientState(GL_SECONDARY_COLOR_ARRAY);
}

bool GlDevice::drawIndexedPrimitive(uint32_t primitiveType, int baseVertex, uint32_t, uint32_t, uint32_t startIndex,
                                    uint32_t primitiveCount) {
    // The minimum index and vertex count are only hints in Direct3D; the indices are checked here.
    if (!inScene_ || !stream_ || !indices_ || primitiveCount == 0 || baseVertex < 0) return false;
    GLenum mode;
    uint64_t count = primitiveCount;
    switch (primitiveType) {
    case kPointList: mode = GL_POINTS; break;
    case kLineList: mode = GL_LINES; count *= 2; break;
    case kLineStrip: mode = GL_LINE_STRIP; count += 1; break;
    case kTriangleList: mode = GL_TRIANGLES; count *= 3; break;
    case kTriangleStrip: mode = GL_TRIANGLE_STRIP; count += 2; break;
    case kTriangleFan: mode = GL_TRIANGLE_FAN; count += 2; break;
    default: return false;
    }
    FvfLayout layout = parseFvf(fvf_);
    if (!layout.valid || streamStride_ < layout.size) return false;
    if (uint64_t(startIndex) + count > indices_->count()) return false;
    uint32_t first, last;
    indices_->range(startIndex, uint32_t(count), &first, &last);
    size_t bytes = stream_->bytes().size();
    uint64_t start = uint64_t(streamOffset_) + uint64_t(baseVertex) * streamStride_;
    if (start + uint64_t(last) * streamStride_ + layout.size > bytes) return false;
    if (!context_->makeCurrent()) return false;

    const uint8_t* base = stream_->bytes().data() + start;
    if (statesDirty_) applyRenderStates();
    if (projectionDirty_) {
        Matrix p = glProjection(projection_);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(&p.m[0][0]);
        glMatrixMode(GL_MODELVIEW);
        projectionDirty_ = false;
    }
    bool lit = states_[rs::Lighting] != 0;
    if (lit && lightsDirty_) applyLights();
    Matrix worldView = flipZ(matrixMultiply(world_, view_));
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&worldView.m[0][0]);
    applyTextureStage();

    bool cpu = false;
    if (lit) {
        GLenum colourMaterial = 0;
        lightingWanted(layout, &cpu, &colourMaterial);
        // GL lights have no range: a light that misses the whole draw is switched off for it,
        // and a draw it only partly reaches is lit on the CPU.
        bool want[kGlLights] = {};
        for (size_t k = 0; k < activeLights_.size(); ++k) {
            const LightParams& l = lights_[size_t(activeLights_[k])].params;
            RangeCover c = rangeCover(l, world_, *stream_, uint32_t(start), streamStride_, first, last);
            want[k] = c != RangeCover::None;
            if (c == RangeCover::Part) cpu = true;
        }
        if (cpu) {
            drawLit(layout, base, first, last);
        } else {
            glEnable(GL_LIGHTING);
            for (int k = 0; k < kGlLights; ++k) {
                if (want[k] == glLightOn_[k]) continue;
                if (want[k])
                    glEnable(GL_LIGHT0 + GLenum(k));
                else
                    glDisable(GL_LIGHT0 + GLenum(k));
                glLightOn_[k] = want[k];
            }
            glDisable(GL_COLOR_SUM);
            glDisable(GL_COLOR_MATERIAL);
            const Material& m = material_;
            float ambient[4] = {m.ambient.r, m.ambient.g, m.ambient.b, m.ambient.a};
            float diffuse[4] = {m.diffuse.r, m.diffuse.g, m.diffuse.b, m.diffuse.a};
            float specular[4] = {m.specular.r, m.specular.g, m.specular.b, m.specular.a};
            float emissive[4] = {m.emissive.r, m.emissive.g, m.emissive.b, m.emissive.a};
            if (!states_[rs::SpecularEnable]) specular[0] = specular[1] = specular[2] = 0;
            glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
            glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
            glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
            glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emissive);
            glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m.power);
            bool colours = colourMaterial != 0 && context_->procs.bgraVertexColours;
            setArrays(layout, base, colours);
            if (colours) {
                glColorMaterial(GL_FRONT_AND_BACK, colourMaterial);
                glEnable(GL_COLOR_MATERIAL);
            }
        }
    } else {
        glDisable(GL_LIGHTING);
        glDisable(GL_COLOR_SUM);
        glDisable(GL_COLOR_MATERIAL);
        setArrays(layout, base, true);
        if (layout.diffuse && !context_->procs.bgraVertexColours) {
            // No BGRA colour arrays: hand GL the vertex colours as floats.
            primary_.assign(size_t(last + 1) * 4, 1.0f);
            for (uint32_t i = first; i <= last; ++i) {
                uint32_t c;
                std::memcpy(&c, base + size_t(i) * streamStride_ + layout.diffuseOffset, 4);
                argbToFloats(c, &primary_[size_t(i) * 4]);
            }
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(4, GL_FLOAT, 0, primary_.data());
        }
    }
    const uint8_t* idx = indices_->data() + size_t(startIndex) * indices_->indexSize();
    glDrawElements(mode, GLsizei(count), indices_->indexSize() == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT, idx);
    return true;
}

// Lit on the CPU: GL gets finished primary and specular colours and does no lighting.
void GlDevice::drawLit(const FvfLayout& layout, const uint8_t* base, uint32_t first, uint32_t last) {
    LightingInputs in;
    in.material = material_;
    in.ambient = colourFromArgb(states_[rs::Ambient]);
    in.ambient.a = 1;
    in.specular = states_[rs::SpecularEnable] != 0;
    in.localViewer = states_[rs::LocalViewer] != 0;
    in.normalize = states_[rs::NormalizeNormals] != 0;
    bool vertexColour = layout.diffuse && states_[rs::ColorVertex];
    in.diffuseFromVertex = vertexColour && states_[rs::DiffuseMaterialSource] == rs::McsColor1;
    in.ambientFromVertex = vertexColour && states_[rs::AmbientMaterialSource] == rs::McsColor1;
    in.specularFromVertex = vertexColour && states_[rs::SpecularMaterialSource] == rs::McsColor1;
    in.emissiveFromVertex = vertexColour && states_[rs::EmissiveMaterialSource] == rs::McsColor1;
    Matrix viewInverse;
    if (matrixInvert(view_, &viewInverse)) {
        in.eye = {viewInverse.m[3][0], viewInverse.m[3][1], viewInverse.m[3][2]};
        in.forward = {viewInverse.m[2][0], viewInverse.m[2][1], viewInverse.m[2][2]};
    }
    for (int index : activeLights_) in.lights.push_back(&lights_[size_t(index)].params);
    lightVertices(in, world_, base, streamStride_, layout, first, last, &primary_, &secondary_);

    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    setArrays(layout, base, false);
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, 0, primary_.data());
    glEnable(GL_COLOR_SUM);
    glEnableClientState(GL_SECONDARY_COLOR_ARRAY);
    context_->procs.secondaryColorPointer(3, GL_FLOAT, 0, secondary_.data());
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
void setCullEverything(bool on) { glr::g_cullEverything = on; }

bool readGlBackBuffer(RenderDevice* device, int* width, int* height, std::vector<uint32_t>* pixels) {
    auto* d = dynamic_cast<glr::GlDevice*>(device);
    return d && width && height && pixels && d->readBackBuffer(width, height, pixels);
}

bool readGlWindow(RenderDevice* device, int* width, int* height, std::vector<uint32_t>* pixels) {
    auto* d = dynamic_cast<glr::GlDevice*>(device);
    return d && width && height && pixels && d->readWindow(width, height, pixels);
}
