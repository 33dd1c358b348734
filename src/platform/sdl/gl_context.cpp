// What the OpenGL render device needs of its context: the entry points beyond GL 1.1, the
// back buffer's pixel formats and the framebuffer it draws into.
#include <cstdio>

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

}  // namespace glr
