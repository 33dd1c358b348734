// Direct3D's per-vertex lighting on the CPU, for the draws that GL's fixed-function lighting
// cannot reproduce: GL lights have no range, and Direct3D gives a vertex beyond a light's
// range nothing from that light.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "platform/sdl/gl_device.h"

namespace glr {

namespace {

struct V3 {
    float x = 0, y = 0, z = 0;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator*(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float length(V3 a) { return std::sqrt(dot(a, a)); }
V3 normalise(V3 a) {
    float l = length(a);
    return l > 0 ? a * (1.0f / l) : a;
}
V3 v3(const Vec3& v) { return {v.x, v.y, v.z}; }

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Per light, what stays the same for every vertex.
struct Prepared {
    const LightParams* light;
    V3 position, direction;  // direction normalised
    float cosHalfTheta = 1, cosHalfPhi = 1;
};

float attenuation(const LightParams& l, float d) {
    float denom = l.attenuation0 + l.attenuation1 * d + l.attenuation2 * d * d;
    return denom > 0 ? 1.0f / denom : FLT_MAX;
}

float spotFactor(const Prepared& p, V3 toVertex) {
    float rho = dot(normalise(toVertex), p.direction);
    if (rho > p.cosHalfTheta) return 1.0f;
    if (rho <= p.cosHalfPhi) return 0.0f;
    float f = (rho - p.cosHalfPhi) / (p.cosHalfTheta - p.cosHalfPhi);
    return p.light->falloff == 1.0f ? f : std::pow(f, p.light->falloff);
}

}  // namespace

void lightVertices(const LightingInputs& in, const Matrix& world, const uint8_t* vertices, uint32_t stride,
                   const FvfLayout& layout, uint32_t first, uint32_t last, std::vector<float>* primary,
                   std::vector<float>* secondary) {
    primary->assign(size_t(last + 1) * 4, 0.0f);
    secondary->assign(size_t(last + 1) * 3, 0.0f);

    // A singular world matrix leaves no direction to light by: only ambient and emissive remain.
    Matrix normals;
    normalMatrix(world, &normals);
    std::vector<Prepared> lights;
    for (const LightParams* l : in.lights) {
        Prepared p;
        p.light = l;
        p.position = v3(l->position);
        p.direction = normalise(v3(l->direction));
        p.cosHalfTheta = std::cos(l->theta / 2);
        p.cosHalfPhi = std::cos(l->phi / 2);
        lights.push_back(p);
    }
    const ColourValue &matDiffuse = in.material.diffuse, &matAmbient = in.material.ambient,
                      &matSpecular = in.material.specular, &matEmissive = in.material.emissive;
    V3 eye = v3(in.eye), towardViewer = normalise(v3(in.forward)) * -1.0f;

    for (uint32_t i = first; i <= last; ++i) {
        const uint8_t* v = vertices + size_t(i) * stride;
        float p[3], n[3] = {0, 0, 0};
        std::memcpy(p, v, sizeof p);
        if (layout.normal) std::memcpy(n, v + layout.normalOffset, sizeof n);
        V3 pos = v3(transformPoint({p[0], p[1], p[2]}, world));
        V3 normal = v3(transformDirection({n[0], n[1], n[2]}, normals));
        if (in.normalize) normal = normalise(normal);

        ColourValue vertexColour{1, 1, 1, 1};
        if (layout.diffuse) {
            uint32_t c;
            std::memcpy(&c, v + layout.diffuseOffset, 4);
            vertexColour = colourFromArgb(c);
        }
        const ColourValue& md = in.diffuseFromVertex ? vertexColour : matDiffuse;
        const ColourValue& ma = in.ambientFromVertex ? vertexColour : matAmbient;
        const ColourValue& ms = in.specularFromVertex ? vertexColour : matSpecular;
        const ColourValue& me = in.emissiveFromVertex ? vertexColour : matEmissive;

        V3 ambient = {in.ambient.r, in.ambient.g, in.ambient.b}, diffuse, specular;
        V3 view = in.localViewer ? normalise(eye - pos) : towardViewer;
        for (const Prepared& l : lights) {
            V3 toLight;
            float factor = 1.0f;
            if (l.light->type == lt::Directional) {
                toLight = l.direction * -1.0f;
            } else {
                V3 d = l.position - pos;
                float dist = length(d);
                if (dist > l.light->range) continue;
                toLight = dist > 0 ? d * (1.0f / dist) : V3{};
                factor = attenuation(*l.light, dist);
                if (l.light->type == lt::Spot) factor *= spotFactor(l, pos - l.position);
                if (factor == 0.0f) continue;
            }
            const LightParams& lp = *l.light;
            ambient = ambient + V3{lp.ambient.r, lp.ambient.g, lp.ambient.b} * factor;
            float nl = dot(normal, toLight);
            if (nl <= 0) continue;
            diffuse = diffuse + V3{lp.diffuse.r, lp.diffuse.g, lp.diffuse.b} * (nl * factor);
            if (in.specular) {
                float nh = dot(normal, normalise(view + toLight));
                if (nh > 0) {
                    float s = std::pow(nh, in.material.power) * factor;
                    specular = specular + V3{lp.specular.r, lp.specular.g, lp.specular.b} * s;
                }
            }
        }
        float* out = primary->data() + size_t(i) * 4;
        out[0] = clamp01(me.r + ma.r * ambient.x + md.r * diffuse.x);
        out[1] = clamp01(me.g + ma.g * ambient.y + md.g * diffuse.y);
        out[2] = clamp01(me.b + ma.b * ambient.z + md.b * diffuse.z);
        out[3] = clamp01(md.a);
        float* highlight = secondary->data() + size_t(i) * 3;
        highlight[0] = clamp01(ms.r * specular.x);
        highlight[1] = clamp01(ms.g * specular.y);
        highlight[2] = clamp01(ms.b * specular.z);
    }
}

RangeCover rangeCover(const LightParams& light, const Matrix& world, GlVertexBuffer& buffer, uint32_t offset,
                      uint32_t stride, uint32_t first, uint32_t last) {
    if (light.type != lt::Point && light.type != lt::Spot) return RangeCover::All;
    V3 centre = v3(light.position);
    float range = light.range;

    // The bounding sphere settles most draws without looking at every vertex.
    GlVertexBuffer::Sphere s = buffer.bounds(offset, stride, first, last);
    V3 c = v3(transformPoint({s.x, s.y, s.z}, world));
    float scale = 0;
    for (int r = 0; r < 3; ++r)
        scale = std::max(scale, std::sqrt(world.m[r][0] * world.m[r][0] + world.m[r][1] * world.m[r][1] +
                                          world.m[r][2] * world.m[r][2]));
    float radius = s.radius * scale, dist = length(c - centre);
    // A little slack keeps rounding from deciding borderline cases; those get the exact test.
    float slack = 1e-3f * (radius + range + dist);
    if (dist + radius < range - slack) return RangeCover::All;
    if (dist - radius > range + slack) return RangeCover::None;

    bool in = false, out = false;
    const uint8_t* base = buffer.bytes().data() + offset;
    for (uint32_t i = first; i <= last && !(in && out); ++i) {
        float p[3];
        std::memcpy(p, base + size_t(i) * stride, sizeof p);
        V3 w = v3(transformPoint({p[0], p[1], p[2]}, world));
        if (length(w - centre) > range)
            out = true;
        else
            in = true;
    }
    return in && out ? RangeCover::Part : (in ? RangeCover::All : RangeCover::None);
}

}  // namespace glr
