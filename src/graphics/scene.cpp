#include "graphics/scene.h"

#include <cmath>

#include "graphics/draw_key.h"

void DrawKey::setFlag(int32_t mask, bool on) {
    if (hasFlag(mask) == on) return;
    if (on)
        flags |= mask;
    else
        flags &= ~mask;
}

bool DrawKey::operator<(const DrawKey& o) const {
    if (layer != o.layer) return layer < o.layer;
    if (texture != o.texture) return texture < o.texture;
    if (mesh != o.mesh) return mesh < o.mesh;
    return flags < o.flags;
}

namespace {
uint32_t packComponent(float v) {
    // truncation toward zero, then the low byte; out-of-range floats must not be UB
    float scaled = v * 255.0f;
    if (!(scaled > -2147483648.0f && scaled < 2147483648.0f)) return 0;
    return static_cast<uint32_t>(static_cast<int32_t>(scaled)) & 0xFFu;
}
}  // namespace

uint32_t packColour(const ColourRGB& c) {
    return 0x01000000u | (packComponent(c.r) << 16) | (packComponent(c.g) << 8) | packComponent(c.b);
}

Vec3 Camera::lookAtPoint() const {
    if (mode != 1) return target;
    return {std::cos(yaw) * std::cos(pitch) + eye.x, std::sin(pitch) + eye.y,
            std::sin(yaw) * std::cos(pitch) + eye.z};
}

void Light::setColour(float r, float g, float b, float a) {
    params.diffuse = {r, g, b, a};
    params.specular = {r, g, b, a};
}

void Light::setPosition(float x, float y, float z) { params.position = {x, y, z}; }
void Light::setRange(float range) { params.range = range; }

void Light::setAttenuation(float linear, float quadratic) {
    params.attenuation0 = 0.0f;
    params.attenuation1 = linear;
    params.attenuation2 = quadratic;
}

void Light::setDirection(float x, float y, float z) { params.direction = {x, y, z}; }

void Light::setCone(float theta, float phi) {
    params.theta = theta;
    params.phi = phi;
}

Scene& Scene::instance() {
    static Scene* scene = new Scene;
    return *scene;
}

Scene::~Scene() {
    while (drawList_) {
        RenderableNode* next = drawList_->next;
        delete drawList_;
        drawList_ = next;
    }
    while (lightList_) {
        LightNode* next = lightList_->next;
        delete lightList_;
        lightList_ = next;
    }
}

void Scene::addRenderable(Renderable* renderable) {
    const DrawKey& key = renderable->key();
    RenderableNode** link = &drawList_;
    while (*link && !(key < (*link)->renderable->key())) link = &(*link)->next;
    *link = new RenderableNode{renderable, *link};
}

void Scene::addLight(Light* light) {
    LightNode** link = &lightList_;
    while (*link && !(light->sortKey < (*link)->light->sortKey)) link = &(*link)->next;
    *link = new LightNode{light, *link};
}

int Scene::copyLights(Light** out, int n) const {
    if (n < 1) return 0;
    int count = 0;
    for (LightNode* node = lightList_; node && count < n; node = node->next) out[count++] = node->light;
    return count;
}
