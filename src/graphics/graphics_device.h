#pragma once
#include "platform/render_device.h"
#include "platform/window_handle.h"

class Scene;
class DeviceHolder;
class TextureRegistry;
class MeshRegistry;

class GraphicsDevice {
public:
    GraphicsDevice();
    // Tests draw their own scene through their own registries.
    GraphicsDevice(Scene* scene, TextureRegistry* textures, MeshRegistry* meshes);
    ~GraphicsDevice();
    GraphicsDevice(const GraphicsDevice&) = delete;
    GraphicsDevice& operator=(const GraphicsDevice&) = delete;

    bool init(WindowHandle window, int width, int height);
    // True only in a frame that reset a lost device.
    bool renderScene();

    RenderDevice* device() const { return device_; }
    const PresentParams& presentParams() const { return presentParams_; }
    const Matrix& screenProjection() const { return screenProjection_; }

    // The draw-state caches live for the whole process; tests start from the initial values.
    static void resetStateCaches();

private:
    void updateCamera();
    void updateEnvironment();
    void updateLights();
    void applyDrawKey(const class DrawKey& key);
    bool lostDeviceCheck();
    void resetDevice();
    void applyStartupStates();

    PresentParams presentParams_;
    RenderSystem* system_ = nullptr;
    RenderDevice* device_ = nullptr;
    Scene* scene_;
    DeviceHolder* deviceHolder_;
    TextureRegistry* textures_;
    MeshRegistry* meshes_;
    Matrix projection_, view_, identity_, screenProjection_;
};
