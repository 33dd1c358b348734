// Framebuffers, formats, buffers and textures of the OpenGL render device.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/pixel_format.h"
#include "platform/sdl/gl_device.h"

namespace glr {

namespace {

template <typename T>
bool fetch(T* out, const char* name, const char* extName = nullptr) {
    *out = reinterpret_cast<T>(SDL_GL_GetProcAddress(name));
    if (!*out && extName) *out = reinterpret_cast<T>(SDL_GL_GetProcAddress(extName));
    return *out != nullptr;
}

bool versionAtLeast(int major, int minor) {
    const char* v = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int ma = 0, mi = 0;
    if (!v || std::sscanf(v, "%d.%d", &ma, &mi) != 2) return false;
    return ma > major || (ma == major && mi >= minor);
}

constexpr uint32_t kFvfPositionMask = 0x400E;  // D3DFVF_POSITION_MASK
constexpr uint32_t kFvfSpecular = 0x80;
constexpr uint32_t kFvfPsize = 0x20;
constexpr uint32_t kFvfTexCountMask = 0xF00;

}  // namespace

bool loadProcs(GlProcs* p) {
    bool fbo = SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object") || versionAtLeast(3, 0);
    bool ok = true;
    if (fbo) {
        ok &= fetch(&p->genFramebuffers, "glGenFramebuffers");
        ok &= fetch(&p->deleteFramebuffers, "glDeleteFramebuffers");
        ok &= fetch(&p->bindFramebuffer, "glBindFramebuffer");
        ok &= fetch(&p->framebufferRenderbuffer, "glFramebufferRenderbuffer");
        ok &= fetch(&p->checkFramebufferStatus, "glCheckFramebufferStatus");
        ok &= fetch(&p->genRenderbuffers, "glGenRenderbuffers");
        ok &= fetch(&p->deleteRenderbuffers, "glDeleteRenderbuffers");
        ok &= fetch(&p->bindRenderbuffer, "glBindRenderbuffer");
        ok &= fetch(&p->renderbufferStorage, "glRenderbufferStorage");
        ok &= fetch(&p->getRenderbufferParameteriv, "glGetRenderbufferParameteriv");
        ok &= fetch(&p->blitFramebuffer, "glBlitFramebuffer");
    } else {
        // Older drivers: the EXT framebuffer objects have the same enums and signatures.
        if (!SDL_GL_ExtensionSupported("GL_EXT_framebuffer_object") ||
            !SDL_GL_ExtensionSupported("GL_EXT_framebuffer_blit"))
            return false;
        ok &= fetch(&p->genFramebuffers, "glGenFramebuffersEXT");
        ok &= fetch(&p->deleteFramebuffers, "glDeleteFramebuffersEXT");
        ok &= fetch(&p->bindFramebuffer, "glBindFramebufferEXT");
        ok &= fetch(&p->framebufferRenderbuffer, "glFramebufferRenderbufferEXT");
        ok &= fetch(&p->checkFramebufferStatus, "glCheckFramebufferStatusEXT");
        ok &= fetch(&p->genRenderbuffers, "glGenRenderbuffersEXT");
        ok &= fetch(&p->deleteRenderbuffers, "glDeleteRenderbuffersEXT");
        ok &= fetch(&p->bindRenderbuffer, "glBindRenderbufferEXT");
        ok &= fetch(&p->renderbufferStorage, "glRenderbufferStorageEXT");
        ok &= fetch(&p->getRenderbufferParameteriv, "glGetRenderbufferParameterivEXT");
        ok &= fetch(&p->blitFramebuffer, "glBlitFramebufferEXT");
    }
    // Colour sum and combiners (GL 1.3 and 1.4) carry the specular term and the alpha operations.
    if (!versionAtLeast(1, 4)) return false;
    ok &= fetch(&p->secondaryColorPointer, "glSecondaryColorPointer", "glSecondaryColorPointerEXT");
    p->bgraVertexColours = versionAtLeast(3, 2) || SDL_GL_ExtensionSupported("GL_ARB_vertex_array_bgra") ||
                           SDL_GL_ExtensionSupported("GL_EXT_vertex_array_bgra");
    p->rgb565 = versionAtLeast(4, 1) || SDL_GL_ExtensionSupported("GL_ARB_ES2_compatibility");
    return ok;
}

bool colourFormat(uint32_t format, const GlProcs& procs, ColourFormat* out) {
    switch (format) {
    case fmt::X8R8G8B8: *out = {GL_RGB8, 8, 8, 8}; return true;
    case fmt::R5G6B5: *out = {procs.rgb565 ? GLenum(GL_RGB565) : GLenum(GL_RGB8), 5, 6, 5}; return true;
    case fmt::X1R5G5B5: *out = {GL_RGB5, 5, 5, 5}; return true;
    default: return false;
    }
}

bool depthFormat(uint32_t format, DepthFormat* out) {
    switch (format) {
    case fmt::D16:
    case fmt::D16Lockable: *out = {GL_DEPTH_COMPONENT16, 16, 0}; return true;
    case fmt::D32: *out = {GL_DEPTH_COMPONENT32, 32, 0}; return true;
    case fmt::D24S8: *out = {GL_DEPTH24_STENCIL8, 24, 8}; return true;
    case fmt::D15S1: *out = {GL_DEPTH24_STENCIL8, 15, 1}; return true;  // GL has no 15+1
    default: return false;
    }
}

bool createFramebuffer(const GlProcs& p, int width, int height, uint32_t colour, uint32_t depth, Framebuffer* out) {
    ColourFormat cf;
    DepthFormat df;
    if (!colourFormat(colour, p, &cf)) return false;
    if (depth != 0 && !depthFormat(depth, &df)) return false;
    while (glGetError() != GL_NO_ERROR) {
    }

    Framebuffer fb;
    fb.width = width;
    fb.height = height;
    p.genFramebuffers(1, &fb.fbo);
    p.bindFramebuffer(GL_FRAMEBUFFER, fb.fbo);
    p.genRenderbuffers(1, &fb.colour);
    p.bindRenderbuffer(GL_RENDERBUFFER, fb.colour);
    p.renderbufferStorage(GL_RENDERBUFFER, cf.internal, width, height);
    GLint r = 0, g = 0, b = 0;
    p.getRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_RED_SIZE, &r);
    p.getRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_GREEN_SIZE, &g);
    p.getRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_BLUE_SIZE, &b);
    bool ok = r >= cf.red && g >= cf.green && b >= cf.blue;
    p.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, fb.colour);
    if (depth != 0) {
        p.genRenderbuffers(1, &fb.depth);
        p.bindRenderbuffer(GL_RENDERBUFFER, fb.depth);
        p.renderbufferStorage(GL_RENDERBUFFER, df.internal, width, height);
        GLint d = 0, s = 0;
        p.getRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_DEPTH_SIZE, &d);
        p.getRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_STENCIL_SIZE, &s);
        ok = ok && d >= df.depth && s >= df.stencil;
        p.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, fb.depth);
        if (df.stencil > 0)
            p.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, fb.depth);
        fb.hasDepth = true;
        fb.hasStencil = df.stencil > 0;
    }
    p.bindRenderbuffer(GL_RENDERBUFFER, 0);
    ok = ok && p.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    ok = ok && glGetError() == GL_NO_ERROR;
    if (!ok) {
        destroyFramebuffer(p, &fb);
        return false;
    }
    *out = fb;
    return true;
}

void destroyFramebuffer(const GlProcs& p, Framebuffer* fb) {
    if (fb->fbo) {
        p.bindFramebuffer(GL_FRAMEBUFFER, 0);
        p.deleteFramebuffers(1, &fb->fbo);
    }
    if (fb->colour) p.deleteRenderbuffers(1, &fb->colour);
    if (fb->depth) p.deleteRenderbuffers(1, &fb->depth);
    *fb = Framebuffer{};
}

bool GlContext::makeCurrent() const {
    if (!context) return false;
    if (SDL_GL_GetCurrentContext() == context) return true;
    return SDL_GL_MakeCurrent(window, context) == 0;
}

FvfLayout parseFvf(uint32_t fvf) {
    FvfLayout l;
    // Untransformed positions only; no point size, specular colour or non-2D texture coordinates.
    if ((fvf & kFvfPositionMask) != fvf::Xyz) return l;
    if (fvf & (kFvfSpecular | kFvfPsize)) return l;
    if (fvf >> 16) return l;
    uint32_t offset = 12;
    if (fvf & fvf::Normal) {
        l.normal = true;
        l.normalOffset = offset;
        offset += 12;
    }
    if (fvf & fvf::Diffuse) {
        l.diffuse = true;
        l.diffuseOffset = offset;
        offset += 4;
    }
    uint32_t sets = (fvf & kFvfTexCountMask) >> 8;
    if (sets > 8) return l;
    if (sets > 0) {
        l.texture = true;
        l.textureOffset = offset;
    }
    offset += sets * 8;
    l.size = offset;
    l.valid = true;
    return l;
}

// ---- buffers ----

namespace {
// A lock range inside a buffer of `length` bytes; size 0 locks to the end, as Direct3D does.
bool lockRange(uint32_t length, uint32_t offset, uint32_t size, uint32_t* end) {
    if (offset > length) return false;
    uint64_t stop = size == 0 ? length : uint64_t(offset) + size;
    if (stop > length) return false;
    *end = static_cast<uint32_t>(stop);
    return true;
}
}  // namespace

GlVertexBuffer::GlVertexBuffer(std::shared_ptr<GlContext> context, uint32_t length)
    : context_(std::move(context)), bytes_(length, 0) {}

GlVertexBuffer::~GlVertexBuffer() {
    if (context_->device) context_->device->released(this);
}

bool GlVertexBuffer::lock(uint32_t offset, uint32_t size, void** data) {
    uint32_t end;
    if (!data || !lockRange(static_cast<uint32_t>(bytes_.size()), offset, size, &end)) return false;
    ++version_;  // bounds are recomputed once it has been written
    *data = bytes_.data() + offset;
    return true;
}

void GlVertexBuffer::unlock() { ++version_; }

GlVertexBuffer::Sphere GlVertexBuffer::bounds(uint32_t offset, uint32_t stride, uint32_t first, uint32_t last) {
    if (cache_.valid && cache_.version == version_ && cache_.offset == offset && cache_.stride == stride &&
        cache_.first == first && cache_.last == last)
        return cache_.sphere;
    float lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
    for (uint32_t i = first; i <= last; ++i) {
        float p[3];
        std::memcpy(p, bytes_.data() + offset + size_t(i) * stride, sizeof p);
        for (int k = 0; k < 3; ++k) {
            if (i == first || p[k] < lo[k]) lo[k] = p[k];
            if (i == first || p[k] > hi[k]) hi[k] = p[k];
        }
    }
    Sphere s;
    s.x = (lo[0] + hi[0]) / 2;
    s.y = (lo[1] + hi[1]) / 2;
    s.z = (lo[2] + hi[2]) / 2;
    float dx = hi[0] - s.x, dy = hi[1] - s.y, dz = hi[2] - s.z;
    s.radius = std::sqrt(dx * dx + dy * dy + dz * dz);
    cache_.valid = true;
    cache_.version = version_;
    cache_.offset = offset;
    cache_.stride = stride;
    cache_.first = first;
    cache_.last = last;
    cache_.sphere = s;
    return s;
}

GlIndexBuffer::GlIndexBuffer(std::shared_ptr<GlContext> context, uint32_t length, uint32_t indexSize)
    : context_(std::move(context)), bytes_(length, 0), indexSize_(indexSize) {}

GlIndexBuffer::~GlIndexBuffer() {
    if (context_->device) context_->device->released(this);
}

bool GlIndexBuffer::lock(uint32_t offset, uint32_t size, void** data) {
    uint32_t end;
    if (!data || !lockRange(static_cast<uint32_t>(bytes_.size()), offset, size, &end)) return false;
    locked_ = true;
    *data = bytes_.data() + offset;
    return true;
}

void GlIndexBuffer::range(uint32_t start, uint32_t count, uint32_t* lowest, uint32_t* highest) {
    if (locked_ || !(cache_.valid && cache_.version == version_ && cache_.start == start && cache_.count == count)) {
        uint32_t lo = UINT32_MAX, hi = 0;
        for (uint32_t i = start; i < start + count; ++i) {
            uint32_t v = index(i);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        cache_ = {true, version_, start, count, lo, hi};
    }
    *lowest = cache_.lowest;
    *highest = cache_.highest;
}

uint32_t GlIndexBuffer::index(uint32_t i) const {
    if (indexSize_ == 2) {
        uint16_t v;
        std::memcpy(&v, bytes_.data() + size_t(i) * 2, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, bytes_.data() + size_t(i) * 4, 4);
    return v;
}

// ---- textures ----

GlTexture* GlTexture::create(std::shared_ptr<GlContext> context, uint32_t width, uint32_t height, uint32_t levels,
                             uint32_t format) {
    if (format != fmt::X8R8G8B8 && format != fmt::A8R8G8B8 && format != fmt::A1R5G5B5 &&
        format != fmt::X1R5G5B5 && format != fmt::R5G6B5)
        return nullptr;
    // Pictures are scaled to powers of two; cap the size so a hostile file cannot exhaust memory.
    uint32_t maxSize = static_cast<uint32_t>(std::min(context->maxTextureSize, 4096));
    if (width == 0 || height == 0 || width > maxSize || height > maxSize) return nullptr;
    uint32_t chain = 1;
    while ((std::max(width, height) >> chain) > 0) ++chain;
    if (levels == 0) levels = chain;
    if (levels > chain) return nullptr;
    if (!context->makeCurrent()) return nullptr;

    GlTexture* t = new GlTexture(context, format);
    t->levels_.resize(levels);
    for (uint32_t i = 0; i < levels; ++i) {
        Level& l = t->levels_[i];
        l.width = std::max(1u, width >> i);
        l.height = std::max(1u, height >> i);
    }
    glGenTextures(1, &t->name_);
    glBindTexture(GL_TEXTURE_2D, t->name_);
    // The sampler state Direct3D starts with: point sampling, no mip filter, wrap.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
    while (glGetError() != GL_NO_ERROR) {
    }
    // Storage only: the texels come with the first unlock of each level.
    for (uint32_t i = 0; i < levels; ++i)
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), t->internalFormat(), static_cast<GLsizei>(t->levels_[i].width),
                     static_cast<GLsizei>(t->levels_[i].height), 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    bool ok = glGetError() == GL_NO_ERROR;
    glBindTexture(GL_TEXTURE_2D, context->boundTexture);
    if (!ok) {
        delete t;
        return nullptr;
    }
    return t;
}

GlTexture::~GlTexture() {
    if (context_->device) {
        context_->device->released(this);
        if (name_ && context_->makeCurrent()) {
            if (context_->boundTexture == name_) context_->boundTexture = 0;
            glDeleteTextures(1, &name_);
        }
    }
}

bool GlTexture::levelSize(uint32_t level, uint32_t* width, uint32_t* height) const {
    if (level >= levels_.size()) return false;
    if (width) *width = levels_[level].width;
    if (height) *height = levels_[level].height;
    return true;
}

bool GlTexture::lockRect(uint32_t level, LockedRect* out) {
    if (level >= levels_.size() || !out) return false;
    Level& l = levels_[level];
    const uint32_t bytes = pixel::bytesPerPixel(format_);
    if (l.bytes.empty()) {
        l.bytes.assign(size_t(l.width) * l.height * bytes, 0u);
        // A level locked again gets back what it holds.
        if (l.uploaded && context_->device && context_->makeCurrent()) {
            GLenum format, type;
            transferFormat(&format, &type);
            glBindTexture(GL_TEXTURE_2D, name_);
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glGetTexImage(GL_TEXTURE_2D, static_cast<GLint>(level), format, type, l.bytes.data());
            glBindTexture(GL_TEXTURE_2D, context_->boundTexture);
        }
    }
    l.locked = true;
    out->pitch = static_cast<int>(l.width * bytes);
    out->bits = l.bytes.data();
    return true;
}

void GlTexture::unlockRect(uint32_t level) {
    if (level >= levels_.size() || levels_[level].bytes.empty() || !context_->device || !context_->makeCurrent())
        return;
    glBindTexture(GL_TEXTURE_2D, name_);
    upload(level);
    glBindTexture(GL_TEXTURE_2D, context_->boundTexture);
    levels_[level].uploaded = true;
    levels_[level].locked = false;
    std::vector<uint8_t>().swap(levels_[level].bytes);
}

void GlTexture::settle() {
    for (uint32_t i = 0; i < levels_.size(); ++i) {
        Level& l = levels_[i];
        if (l.uploaded) continue;
        if (l.bytes.empty()) l.bytes.assign(size_t(l.width) * l.height * pixel::bytesPerPixel(format_), 0u);
        upload(i);
        l.uploaded = true;
        if (!l.locked) std::vector<uint8_t>().swap(l.bytes);  // a lock still holds them
    }
    unsettled_ = false;
}

GLenum GlTexture::internalFormat() const {
    switch (format_) {
    case fmt::X8R8G8B8: return GL_RGB8;
    case fmt::A8R8G8B8: return GL_RGBA8;
    case fmt::R5G6B5: return context_->procs.rgb565 ? GLenum(GL_RGB565) : GLenum(GL_RGB8);
    case fmt::A1R5G5B5: return GL_RGB5_A1;
    default: return GL_RGB5;
    }
}

void GlTexture::transferFormat(GLenum* format, GLenum* type) const {
    switch (format_) {
    case fmt::R5G6B5: *format = GL_RGB, *type = GL_UNSIGNED_SHORT_5_6_5; break;
    case fmt::X1R5G5B5:
    case fmt::A1R5G5B5: *format = GL_BGRA, *type = GL_UNSIGNED_SHORT_1_5_5_5_REV; break;
    default: *format = GL_BGRA, *type = GL_UNSIGNED_INT_8_8_8_8_REV; break;
    }
}

// Expects the texture bound. Rows go up top first: texture v grows downwards, as in Direct3D.
// The 16-bit formats go up as they are, so GL keeps Direct3D's precision.
void GlTexture::upload(uint32_t level) {
    const Level& l = levels_[level];
    GLenum format, type;
    transferFormat(&format, &type);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), internalFormat(), static_cast<GLsizei>(l.width),
                 static_cast<GLsizei>(l.height), 0, format, type, l.bytes.data());
}

}  // namespace glr
