// Drawing on the OpenGL device: transforms, lights, the texture stage and the vertex arrays
// set up for each draw, lit by GL or, where GL cannot match Direct3D, on the CPU.
#include <algorithm>
#include <cstring>

#include "platform/sdl/gl_device.h"

namespace glr {

namespace {

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

}  // namespace

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

}  // namespace glr
