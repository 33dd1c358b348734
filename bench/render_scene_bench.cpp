// renderScene on the recording device for a scene the size of the game's match:
// 90 renderables (40 models, 50 sprites), 2 lights, most sprites hidden.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "graphics/graphics_device.h"
#include "graphics/mesh_registry.h"
#include "graphics/texture_registry.h"
#include "graphics/model_instance.h"
#include "graphics/scene.h"
#include "graphics/sprite.h"
#include "platform/fake/recording_device.h"

namespace {

std::string bmp8x8(uint32_t colour) {
    std::string b(54 + 8 * 8 * 3, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, uint32_t(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 8);
    put32(22, 8);
    b[26] = 1;
    b[28] = 24;
    for (size_t i = 54; i + 2 < b.size(); i += 3) {
        b[i] = char(colour & 0xFF);
        b[i + 1] = char((colour >> 8) & 0xFF);
        b[i + 2] = char((colour >> 16) & 0xFF);
    }
    return b;
}

const char* kMesh =
    "xof 0303txt 0032\nMesh m { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;; 1; 4;0,1,2,3;;\n"
    " MeshNormals { 1; 0;0;-1;; 1; 4;0,0,0,0;; } MeshTextureCoords { 4; 0;0;, 1;0;, 1;1;, 0;1;; } }\n";

struct World {
    Recorder recorder;
    Scene scene;
    std::unique_ptr<GraphicsDevice> device;
    std::vector<std::unique_ptr<ModelInstance>> models;
    std::vector<std::unique_ptr<Sprite>> sprites;
    PointLight main;
    SpotLight selection;
};

World& world() {
    static World* w = [] {
        auto* w = new World;
        char tmpl[] = "/tmp/frostel-bench-XXXXXX";
        if (!mkdtemp(tmpl)) std::abort();
        std::filesystem::current_path(tmpl);
        std::filesystem::create_directories("gfx");
        for (int i = 0; i < 8; ++i)
            std::ofstream("gfx/t" + std::to_string(i) + ".bmp", std::ios::binary) << bmp8x8(0x102030u * uint32_t(i + 1));
        for (int i = 0; i < 7; ++i) std::ofstream("m" + std::to_string(i) + ".x") << kMesh;

        installRecordingSystem(&w->recorder);
        w->device = std::make_unique<GraphicsDevice>(&w->scene, &TextureRegistry::instance(), &MeshRegistry::instance());
        if (!w->device->init(nullptr, 1024, 768)) std::abort();

        for (int i = 0; i < 40; ++i) {
            auto m = std::make_unique<ModelInstance>();
            std::string tex = "gfx\\t" + std::to_string(i % 4) + ".bmp";
            std::string mesh = "m" + std::to_string(i % 7) + ".x";
            if (!m->load(1, tex.c_str(), mesh.c_str())) std::abort();
            m->visible = i < 20;  // low- or high-detail figures, one set shown
            m->position = {float(i), 0, float(-i)};
            m->rotation = {0, 0.1f * float(i), 0};
            w->scene.addRenderable(m.get());
            w->models.push_back(std::move(m));
        }
        for (int i = 0; i < 50; ++i) {
            auto s = std::make_unique<Sprite>();
            std::string tex = "gfx\\t" + std::to_string(4 + i % 4) + ".bmp";
            if (i < 25) {
                if (!s->loadCells(3, tex.c_str(), 14, 16, 0.09091f, 0.12f)) std::abort();
            } else if (!s->loadKeyed(1 + i % 4, tex.c_str(), i % 2 == 0, 32, 32)) {
                std::abort();
            }
            s->visible = i >= 47;  // the score panel and its markers
            w->scene.addRenderable(s.get());
            w->sprites.push_back(std::move(s));
        }
        w->main.setPosition(0, 50, 0);
        w->selection.setPosition(0, 30, 0);
        w->selection.setSortKey(1);
        w->scene.addLight(&w->main);
        w->scene.addLight(&w->selection);
        w->scene.camera().setMode(0);
        w->scene.camera().setEye(0, 80, -120);
        w->recorder.keepLog = false;
        return w;
    }();
    return *w;
}

void BM_RenderScene(benchmark::State& state) {
    World& w = world();
    size_t before = w.recorder.callCount;
    int64_t frames = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(w.device->renderScene());
        ++frames;
    }
    state.counters["deviceCalls/frame"] = double(w.recorder.callCount - before) / double(frames);
}
BENCHMARK(BM_RenderScene)->Repetitions(15)->ReportAggregatesOnly(true);

}  // namespace
