#pragma once
// A render system and device that draw nothing: every call is logged with its
// arguments, in order, and chosen calls can be made to fail. Device loss is simulated.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/render_device.h"

struct RecordedCall {
    std::string name;            // e.g. "setRenderState", "vertexBuffer.lock"
    std::vector<double> args;    // numeric arguments in order
    std::string object;          // resource argument, e.g. "tex#2", "vb#1", "null"
    Matrix matrix;               // setTransform only
    Material material;           // setMaterial only
    LightParams light;           // setLight only
    std::string text() const;    // "setRenderState(26,1)", "setTexture(0,tex#2)"
};

// Shared by the system, its devices and their resources: the log, the failure
// rules and the simulated device state.
class Recorder {
public:
    std::vector<RecordedCall> calls;
    bool keepLog = true;  // off: calls are counted, not stored (benchmarks)
    size_t callCount = 0;

    // Fails the occurrence-th call (1-based, counted from now) of that name; 0: every call.
    void failCall(const std::string& name, int occurrence = 0);
    // Fails every call whose text() is exactly this.
    void failText(const std::string& text);
    void clearFailures();

    // The device is lost: beginScene and present fail; testCooperativeLevel reports
    // NotReset when resettable, else Lost. A reset makes it usable again.
    void loseDevice(bool resettable);
    void restoreDevice() { status = DeviceStatus::Ok; }
    DeviceStatus status = DeviceStatus::Ok;

    uint32_t displayFormat = 22;  // what adapterDisplayFormat reports

    void clear() { calls.clear(); }
    std::vector<std::string> texts() const;
    std::vector<std::string> namesOnly() const;
    size_t countOf(const std::string& name) const;

    // Logs a call; true when it is to fail.
    bool record(RecordedCall call);
    // With no log kept and no failures set, a call is only counted: true then.
    bool countOnly() {
        if (keepLog || !rules_.empty()) return false;
        ++callCount;
        return true;
    }

    int nextSerial(const char* kind);

private:
    struct Rule {
        std::string name;
        std::string text;
        int occurrence;
        int seen;
    };
    std::vector<Rule> rules_;
    int textures_ = 0, vertexBuffers_ = 0, indexBuffers_ = 0;
};

class RecordingDevice : public RenderDevice {
public:
    explicit RecordingDevice(Recorder& recorder) : r_(recorder) {}

    DeviceStatus testCooperativeLevel() override;
    bool reset(const PresentParams& params) override;
    bool clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) override;
    bool beginScene() override;
    bool endScene() override;
    bool present() override;
    bool setViewport(const Viewport& viewport) override;
    bool setRenderState(uint32_t state, uint32_t value) override;
    bool setTransform(uint32_t slot, const Matrix& matrix) override;
    bool setMaterial(const Material& material) override;
    bool setLight(uint32_t index, const LightParams& light) override;
    bool lightEnable(uint32_t index, bool enable) override;
    bool setTexture(uint32_t stage, Texture* texture) override;
    bool setTextureStageState(uint32_t stage, uint32_t type, uint32_t value) override;
    bool setStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset, uint32_t stride) override;
    bool setFVF(uint32_t vertexFormat) override;
    bool setIndices(IndexBuffer* buffer) override;
    bool drawIndexedPrimitive(uint32_t primitiveType, int baseVertex, uint32_t minIndex, uint32_t numVertices,
                              uint32_t startIndex, uint32_t primitiveCount) override;
    VertexBuffer* createVertexBuffer(uint32_t length, uint32_t usage, uint32_t vertexFormat, uint32_t pool) override;
    IndexBuffer* createIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool) override;
    Texture* createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                           uint32_t pool) override;
    uint32_t adapterDisplayFormat() override;

    Recorder& recorder() { return r_; }

private:
    Recorder& r_;
};

class RecordingSystem : public RenderSystem {
public:
    explicit RecordingSystem(Recorder& recorder) : r_(recorder) {}
    bool checkDeviceType(uint32_t adapterFormat, uint32_t backBufferFormat, bool windowed) override;
    bool checkDepthStencilFormat(uint32_t adapterFormat, uint32_t depthFormat) override;
    RenderDevice* createDevice(WindowHandle window, uint32_t behaviourFlags, PresentParams* params) override;

private:
    Recorder& r_;
};

// Memory-backed resources, so that what the game writes can be read back. Base is
// VertexBuffer or IndexBuffer.
template <typename Base>
class RecordingBuffer : public Base {
public:
    RecordingBuffer(Recorder& r, uint32_t length);
    bool lock(uint32_t offset, uint32_t size, void** data) override;
    void unlock() override;
    std::vector<uint8_t> bytes;
    std::string label;

private:
    Recorder& r_;
};
using RecordingVertexBuffer = RecordingBuffer<VertexBuffer>;
using RecordingIndexBuffer = RecordingBuffer<IndexBuffer>;

class RecordingTexture : public Texture {
public:
    RecordingTexture(Recorder& r, uint32_t width, uint32_t height, uint32_t levels, uint32_t format);
    uint32_t levelCount() const override { return uint32_t(levels.size()); }
    uint32_t format() const override { return format_; }
    bool levelSize(uint32_t level, uint32_t* width, uint32_t* height) const override;
    bool lockRect(uint32_t level, LockedRect* out) override;
    void unlockRect(uint32_t level) override;

    // Texels in the format's own layout, rows top first, no padding.
    struct Level {
        uint32_t width, height;
        std::vector<uint8_t> bytes;
    };
    // The texel at (x, y) of a level as stored (16 or 32 bits), and as 0xAARRGGBB.
    uint32_t texel(uint32_t level, uint32_t x, uint32_t y) const;
    uint32_t argb(uint32_t level, uint32_t x, uint32_t y) const;
    std::vector<Level> levels;
    std::string label;

private:
    Recorder& r_;
    uint32_t format_;
};

// Makes createRenderSystem() hand out recording systems on this recorder
// (null: hand out nothing, as when the graphics system is missing).
void installRecordingSystem(Recorder* recorder);
