// Textures of the OpenGL render device: GL keeps the texels, a lock hands out a copy.
#include <algorithm>

#include "platform/pixel_format.h"
#include "platform/sdl/gl_device.h"

namespace glr {

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
