// The OpenGL device's Direct3D state: what the game sets, checked and kept, and the render
// states turned into GL state when a draw needs them.
#include "platform/gl_render_system.h"
#include "platform/sdl/gl_device.h"

namespace glr {

namespace {

constexpr uint32_t kMaxLightIndex = 4096;

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

bool g_cullEverything = false;

}  // namespace

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

}  // namespace glr

void setCullEverything(bool on) { glr::g_cullEverything = on; }
