#include "graphics/graphics_device.h"

#include "app/layout.h"
#include "app/show_error.h"
#include "graphics/device_holder.h"
#include "graphics/matrix.h"
#include "graphics/mesh_registry.h"
#include "graphics/scene.h"
#include "graphics/texture_registry.h"

namespace {

constexpr int kMaxLights = 6;

// What the device was last told, so that runs of equal keys cost no device calls.
// The initial values match the device right after init.
struct StateCaches {
    int texture = -2;
    int mesh = -2;
    bool lit = true;
    bool alphaBlend = false;
    bool alphaTest = false;
    bool materialColour = false;
    bool screenSpace = false;
    int lightCount = 0;
};

StateCaches g_caches;

// The 1024x768 build takes the caller's size; the 640x480 build is fixed to its layout.
void backBufferSize(int width, int height, uint32_t* w, uint32_t* h) {
    if (layout().windowIsScreenSized) {
        *w = static_cast<uint32_t>(width);
        *h = static_cast<uint32_t>(height);
    } else {
        *w = static_cast<uint32_t>(layout().width);
        *h = static_cast<uint32_t>(layout().height);
    }
}

}  // namespace

void GraphicsDevice::resetStateCaches() { g_caches = StateCaches{}; }

GraphicsDevice::GraphicsDevice()
    : GraphicsDevice(&Scene::instance(), &TextureRegistry::instance(), &MeshRegistry::instance()) {}

GraphicsDevice::GraphicsDevice(Scene* scene, TextureRegistry* textures, MeshRegistry* meshes)
    : scene_(scene), deviceHolder_(&DeviceHolder::instance()), textures_(textures), meshes_(meshes) {
    projection_ = matrixIdentity();
    view_ = matrixIdentity();
    identity_ = matrixIdentity();
    screenProjection_ = matrixOrthoOffCenterLH(0.0f, static_cast<float>(layout().width),
                                               static_cast<float>(layout().height), 0.0f, 0.0f, 1.0f);
}

GraphicsDevice::~GraphicsDevice() {
    if (device_) {
        // the holder must not keep pointing at a device that no longer exists
        if (deviceHolder_->device == device_) deviceHolder_->device = nullptr;
        delete device_;
    }
    delete system_;
}

bool GraphicsDevice::init(WindowHandle window, int width, int height) {
    system_ = createRenderSystem();
    if (!system_)
        return showError("I can't initialize Direct3D. Please check DirectX 9 (or newer) is properly installed.");

    presentParams_ = PresentParams{};
    presentParams_.windowed = false;
    presentParams_.swapEffect = kSwapDiscard;

    static const uint32_t backFormats[] = {fmt::X8R8G8B8, fmt::R5G6B5, fmt::X1R5G5B5};
    bool found = false;
    for (uint32_t f : backFormats) {
        if (system_->checkDeviceType(f, f, false)) {
            presentParams_.backBufferFormat = f;
            found = true;
            break;
        }
    }
    if (!found) return showError("I can't find a suitable graphics format. :( Go buy a new video card or deltree me.");

    uint32_t w, h;
    backBufferSize(width, height, &w, &h);
    presentParams_.backBufferWidth = w;
    presentParams_.backBufferHeight = h;
    presentParams_.backBufferCount = 1;
    presentParams_.enableAutoDepthStencil = true;

    static const uint32_t depthFormats[] = {fmt::D16, fmt::D15S1, fmt::D32, fmt::D24S8, fmt::D16Lockable};
    found = false;
    for (uint32_t f : depthFormats) {
        if (system_->checkDepthStencilFormat(presentParams_.backBufferFormat, f)) {
            presentParams_.autoDepthStencilFormat = f;
            found = true;
            break;
        }
    }
    if (!found) return showError("I can't find a suitable depth buffer format :(");

    device_ = system_->createDevice(window, kCreateHardwareVertexProcessing, &presentParams_);
    if (!device_) device_ = system_->createDevice(window, kCreateSoftwareVertexProcessing, &presentParams_);
    if (!device_)
        return showError(
            "I can't initialize the Direct3DDevice interface. Your video card is probably incompatible.");

    deviceHolder_->device = device_;

    Viewport viewport;
    viewport.width = w;
    viewport.height = h;
    viewport.minZ = 0.0f;
    viewport.maxZ = 1.0f;
    device_->setViewport(viewport);
    applyStartupStates();
    screenProjection_ =
        matrixOrthoOffCenterLH(0.0f, static_cast<float>(w), static_cast<float>(h), 0.0f, 0.0f, 1.0f);
    device_->clear(kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
    device_->present();
    return true;
}

void GraphicsDevice::applyStartupStates() {
    device_->setRenderState(rs::DitherEnable, 1);
    device_->setRenderState(rs::ColorVertex, 1);
    device_->setRenderState(rs::SrcBlend, rs::BlendSrcAlpha);
    device_->setRenderState(rs::DestBlend, rs::BlendInvSrcAlpha);
    device_->setRenderState(rs::SpecularEnable, 1);
    device_->setRenderState(rs::DiffuseMaterialSource, rs::McsColor1);
    device_->setRenderState(rs::AmbientMaterialSource, rs::McsColor1);
    device_->setMaterial(Material{});
}

bool GraphicsDevice::renderScene() {
    if (!device_) return false;
    updateCamera();
    updateEnvironment();
    updateLights();
    device_->clear(kClearTarget | kClearZBuffer, packColour(scene_->environment().clearColour), 1.0f, 0);
    if (!device_->beginScene()) return lostDeviceCheck();
    device_->setTransform(ts::World, identity_);
    for (Scene::RenderableNode* node = scene_->drawList(); node; node = node->next) {
        Renderable* r = node->renderable;
        if (!r->visible) continue;
        applyDrawKey(r->key());
        r->render(*device_);
    }
    device_->endScene();
    if (!device_->present()) return lostDeviceCheck();
    return false;
}

bool GraphicsDevice::lostDeviceCheck() {
    if (device_->testCooperativeLevel() != DeviceStatus::NotReset) return false;
    resetDevice();
    return true;
}

void GraphicsDevice::resetDevice() {
    device_->reset(presentParams_);
    device_->clear(kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
    device_->present();
    Viewport viewport;
    viewport.width = static_cast<uint32_t>(layout().width);
    viewport.height = static_cast<uint32_t>(layout().height);
    viewport.minZ = 0.0f;
    viewport.maxZ = 1.0f;
    device_->setViewport(viewport);
    applyStartupStates();
    Light* lights[kMaxLights];
    int n = scene_->copyLights(lights, kMaxLights);
    for (int i = 0; i < n; ++i) device_->setLight(static_cast<uint32_t>(i), lights[i]->params);
    for (int i = 0; i < n; ++i) device_->lightEnable(static_cast<uint32_t>(i), true);
    // A reset device is back at its defaults plus the states above: no texture, no buffers.
    // Caches that still named what was bound before would keep a scene of one texture and
    // mesh from ever binding them again.
    g_caches = StateCaches{};
    g_caches.lightCount = n;
}

void GraphicsDevice::updateCamera() {
    const Camera& camera = scene_->camera();
    projection_ = matrixPerspectiveFovLH(camera.fieldOfView, 1.0f, camera.nearPlane, camera.farPlane);
    device_->setTransform(ts::Projection, projection_);
    view_ = matrixLookAtLH(camera.eye, camera.lookAtPoint(), Vec3{0.0f, 1.0f, 0.0f});
    device_->setTransform(ts::View, view_);
    g_caches.screenSpace = false;
}

void GraphicsDevice::updateEnvironment() {
    const Environment& env = scene_->environment();
    device_->setRenderState(rs::Ambient, packColour(env.ambientColour));
    if (!env.fog.enabled) {
        device_->setRenderState(rs::FogEnable, 0);
        return;
    }
    device_->setRenderState(rs::FogEnable, 1);
    device_->setRenderState(rs::FogVertexMode, rs::FogLinear);
    device_->setRenderState(rs::FogColor, packColour(env.fog.colour));
    device_->setRenderState(rs::FogStart, floatBits(env.fog.start));
    device_->setRenderState(rs::FogEnd, floatBits(env.fog.end));
}

void GraphicsDevice::updateLights() {
    Light* lights[kMaxLights];
    int n = scene_->copyLights(lights, kMaxLights);
    for (int i = 0; i < n; ++i) device_->setLight(static_cast<uint32_t>(i), lights[i]->params);
    int c = g_caches.lightCount;
    for (int i = c; i < n; ++i) device_->lightEnable(static_cast<uint32_t>(i), true);
    for (int i = n; i < c; ++i) device_->lightEnable(static_cast<uint32_t>(i), false);
    g_caches.lightCount = n;
}

void GraphicsDevice::applyDrawKey(const DrawKey& key) {
    if (key.texture != g_caches.texture) {
        device_->setTexture(0, textures_->textureById(key.texture));
        g_caches.texture = key.texture;
    }

    if (key.mesh != g_caches.mesh) {
        if (const MeshBuffers* mesh = meshes_->meshById(key.mesh)) {
            if (mesh->vertexBuffer) {
                device_->setStreamSource(0, mesh->vertexBuffer, 0, mesh->stride);
                device_->setFVF(mesh->vertexFormat);
            }
            if (mesh->indexBuffer && mesh->primitiveType == kTriangleList) device_->setIndices(mesh->indexBuffer);
        }
        g_caches.mesh = key.mesh;
    }

    bool lit = key.hasFlag(keyflag::Lit);
    if (lit != g_caches.lit) {
        device_->setRenderState(rs::Lighting, lit ? 1 : 0);
        g_caches.lit = lit;
    }

    bool blend = key.hasFlag(keyflag::AlphaBlend);
    bool test = key.hasFlag(keyflag::AlphaTest);
    if (blend != g_caches.alphaBlend || test != g_caches.alphaTest) {
        if (blend && test) {
            // The loaders set both or neither; a half-set pair draws unblended.
            if (!(g_caches.alphaBlend && g_caches.alphaTest)) device_->setRenderState(rs::AlphaBlendEnable, 1);
            device_->setTextureStageState(0, tss::AlphaOp, tss::OpModulate);
            device_->setTextureStageState(0, tss::AlphaArg1, tss::ArgTexture);
            device_->setTextureStageState(0, tss::AlphaArg2, tss::ArgDiffuse);
        } else {
            device_->setRenderState(rs::AlphaBlendEnable, 0);
            device_->setRenderState(rs::AlphaTestEnable, 0);
        }
        g_caches.alphaBlend = blend;
        g_caches.alphaTest = test;
    }

    bool material = key.hasFlag(keyflag::MaterialColour);
    if (material != g_caches.materialColour) {
        if (material) {
            device_->setRenderState(rs::DiffuseMaterialSource, rs::McsMaterial);
            device_->setRenderState(rs::AmbientMaterialSource, rs::McsMaterial);
        } else {
            device_->setRenderState(rs::DiffuseMaterialSource, rs::McsColor1);
            device_->setRenderState(rs::AmbientMaterialSource, rs::McsColor1);
            device_->setMaterial(Material{});
        }
        g_caches.materialColour = material;
    }

    bool screen = key.hasFlag(keyflag::ScreenSpace);
    if (screen != g_caches.screenSpace) {
        if (screen) {
            device_->setTransform(ts::Projection, screenProjection_);
            device_->setTransform(ts::View, identity_);
        } else {
            device_->setTransform(ts::Projection, projection_);
            device_->setTransform(ts::View, view_);
        }
        g_caches.screenSpace = screen;
    }
}
