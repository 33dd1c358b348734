#pragma once
// Shared by the graphics tests: a device on a recorder, a marker renderable, tiny BMPs.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graphics/device_holder.h"
#include "graphics/graphics_device.h"
#include "graphics/renderable.h"
#include "platform/fake/recording_device.h"

// Lives for the whole test program: the process-wide registries keep resources made on it.
inline Recorder& sharedRecorder() {
    static Recorder* r = new Recorder;
    return *r;
}

// Draws nothing; its render leaves a marker call (render state 9000 + id) in the log.
class MarkerRenderable : public Renderable {
public:
    explicit MarkerRenderable(int id, int layer = 0, int texture = -1, int mesh = -1) : id(id) {
        key_.layer = layer;
        key_.texture = texture;
        key_.mesh = mesh;
    }
    void render(RenderDevice& device) override {
        device.setRenderState(9000 + uint32_t(id), 0);
        if (onRender) onRender();
    }
    int id;
    std::function<void()> onRender;
};

// The render-state markers left in the log, in order.
inline std::vector<int> markers(const Recorder& r) {
    std::vector<int> out;
    for (const auto& c : r.calls)
        if (c.name == "setRenderState" && c.args[0] >= 9000) out.push_back(int(c.args[0]) - 9000);
    return out;
}

// Texts of the calls from the first one named `from` on (inclusive).
inline std::vector<std::string> textsFrom(const Recorder& r, const std::string& from) {
    std::vector<std::string> out;
    bool on = false;
    for (const auto& c : r.calls) {
        on = on || c.name == from;
        if (on) out.push_back(c.text());
    }
    return out;
}

// A 24-bit bottom-up BMP; pixels 0xRRGGBB, rows top first.
inline std::string makeBmp(int w, int h, const std::vector<uint32_t>& px) {
    const int rowBytes = (w * 3 + 3) & ~3;
    const uint32_t size = 54 + uint32_t(rowBytes * h);
    std::string b(size, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t p = px[size_t((h - 1 - y) * w + x)];
            size_t at = 54 + size_t(y * rowBytes + x * 3);
            b[at] = char(p & 0xFF);
            b[at + 1] = char((p >> 8) & 0xFF);
            b[at + 2] = char((p >> 16) & 0xFF);
        }
    return b;
}
