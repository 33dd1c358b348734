#pragma once
#include <cstdint>

#include "graphics/light.h"
#include "graphics/renderable.h"

struct ColourRGB {
    float r = 0, g = 0, b = 0;
};

// 0x01RRGGBB, each component * 255 truncated and masked to 8 bits.
uint32_t packColour(const ColourRGB& c);

class Camera {
public:
    void setEye(float x, float y, float z) { eye = {x, y, z}; }
    void setTarget(float x, float y, float z) { target = {x, y, z}; }
    void setProjection(float fov, float nearP, float farP) {
        fieldOfView = fov;
        nearPlane = nearP;
        farPlane = farP;
    }
    void setMode(int m) { mode = m; }
    Vec3 lookAtPoint() const;

    int mode = 1;
    Vec3 eye{0, 0, 0};
    Vec3 target{0, 0, 1};
    float yaw = 0, pitch = 0;
    float fieldOfView = 0.7f, nearPlane = 1.0f, farPlane = 100.0f;
};

struct Fog {
    bool enabled = false;
    float start = 1.0f, end = 10.0f;
    ColourRGB colour;
};

class Environment {
public:
    void setClearColour(float r, float g, float b) { clearColour = {r, g, b}; }
    void setAmbientColour(float r, float g, float b) { ambientColour = {r, g, b}; }

    ColourRGB clearColour;
    ColourRGB ambientColour;
    Fog fog;
};

// Process-wide description of what is drawn. Holds pointers only; nothing is removed.
class Scene {
public:
    struct RenderableNode {
        Renderable* renderable;
        RenderableNode* next;
    };
    struct LightNode {
        Light* light;
        LightNode* next;
    };

    static Scene& instance();

    void addRenderable(Renderable* renderable);  // placed by its key now; later key changes don't move it
    void addLight(Light* light);                 // by sortKey, ties in insertion order
    int copyLights(Light** out, int n) const;

    Camera& camera() { return camera_; }
    Environment& environment() { return environment_; }
    RenderableNode* drawList() const { return drawList_; }
    LightNode* lightList() const { return lightList_; }

    Scene() = default;  // tests may build their own
    ~Scene();           // the singleton is never destroyed; others free their list nodes
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

private:
    Camera camera_;
    Environment environment_;
    RenderableNode* drawList_ = nullptr;
    LightNode* lightList_ = nullptr;
};
