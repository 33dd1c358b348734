#include "platform/fake/recording_device.h"

#include <cstdio>

#include "platform/pixel_format.h"

namespace {

std::string formatNumber(double v) {
    char buf[40];
    if (v == double(int64_t(v)) && v > -1e15 && v < 1e15)
        std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v));
    else
        std::snprintf(buf, sizeof buf, "%.9g", v);
    return buf;
}

std::string labelOf(const std::string* label) { return label ? *label : "null"; }

RecordedCall call(const char* name, std::initializer_list<double> args, std::string object = {}) {
    RecordedCall c;
    c.name = name;
    c.args = args;
    c.object = std::move(object);
    return c;
}

Recorder* g_recorder = nullptr;

RenderSystem* makeRecordingSystem() {
    if (!g_recorder) return nullptr;
    g_recorder->record(call("createRenderSystem", {}));
    return new RecordingSystem(*g_recorder);
}

}  // namespace

std::string RecordedCall::text() const {
    std::string s = name + "(";
    bool first = true;
    if (!object.empty() && (name == "setTexture" || name == "setStreamSource")) {
        // the resource comes second in these calls, after the stage or stream
        for (size_t i = 0; i < args.size(); ++i) {
            if (!first) s += ",";
            s += formatNumber(args[i]);
            first = false;
            if (i == 0) s += "," + object;
        }
        if (args.empty()) s += object;
    } else {
        if (!object.empty()) {
            s += object;
            first = false;
        }
        for (double a : args) {
            if (!first) s += ",";
            s += formatNumber(a);
            first = false;
        }
    }
    return s + ")";
}

void Recorder::failCall(const std::string& name, int occurrence) { rules_.push_back({name, "", occurrence, 0}); }
void Recorder::failText(const std::string& text) { rules_.push_back({"", text, 0, 0}); }
void Recorder::clearFailures() { rules_.clear(); }

void Recorder::loseDevice(bool resettable) { status = resettable ? DeviceStatus::NotReset : DeviceStatus::Lost; }

std::vector<std::string> Recorder::texts() const {
    std::vector<std::string> out;
    for (const auto& c : calls) out.push_back(c.text());
    return out;
}

std::vector<std::string> Recorder::namesOnly() const {
    std::vector<std::string> out;
    for (const auto& c : calls) out.push_back(c.name);
    return out;
}

size_t Recorder::countOf(const std::string& name) const {
    size_t n = 0;
    for (const auto& c : calls) n += c.name == name;
    return n;
}

bool Recorder::record(RecordedCall c) {
    ++callCount;
    bool fail = false;
    if (!rules_.empty()) {
        const std::string text = c.text();
        for (Rule& rule : rules_) {
            if (!rule.text.empty()) {
                fail = fail || rule.text == text;
            } else if (rule.name == c.name) {
                ++rule.seen;
                fail = fail || rule.occurrence == 0 || rule.occurrence == rule.seen;
            }
        }
    }
    if (keepLog) calls.push_back(std::move(c));
    return fail;
}

int Recorder::nextSerial(const char* kind) {
    std::string k = kind;
    if (k == "tex") return ++textures_;
    if (k == "vb") return ++vertexBuffers_;
    return ++indexBuffers_;
}

// --- device -------------------------------------------------------------------------------

DeviceStatus RecordingDevice::testCooperativeLevel() {
    r_.record(call("testCooperativeLevel", {}));
    return r_.status;
}

bool RecordingDevice::reset(const PresentParams& p) {
    bool fail = r_.record(call("reset", {double(p.backBufferWidth), double(p.backBufferHeight),
                                         double(p.backBufferFormat), double(p.autoDepthStencilFormat)}));
    if (fail || r_.status == DeviceStatus::Lost) return false;
    r_.status = DeviceStatus::Ok;
    return true;
}

bool RecordingDevice::clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) {
    if (r_.countOnly()) return true;
    return !r_.record(call("clear", {double(flags), double(colour), double(z), double(stencil)}));
}

bool RecordingDevice::beginScene() {
    if (r_.countOnly()) return r_.status == DeviceStatus::Ok;
    return !r_.record(call("beginScene", {})) && r_.status == DeviceStatus::Ok;
}

bool RecordingDevice::endScene() {
    if (r_.countOnly()) return true;
    return !r_.record(call("endScene", {}));
}

bool RecordingDevice::present() {
    if (r_.countOnly()) return r_.status == DeviceStatus::Ok;
    return !r_.record(call("present", {})) && r_.status == DeviceStatus::Ok;
}

bool RecordingDevice::setViewport(const Viewport& v) {
    return !r_.record(call("setViewport", {double(v.x), double(v.y), double(v.width), double(v.height), v.minZ, v.maxZ}));
}

bool RecordingDevice::setRenderState(uint32_t state, uint32_t value) {
    if (r_.countOnly()) return true;
    return !r_.record(call("setRenderState", {double(state), double(value)}));
}

bool RecordingDevice::setTransform(uint32_t slot, const Matrix& matrix) {
    if (r_.countOnly()) return true;
    RecordedCall c = call("setTransform", {double(slot)});
    c.matrix = matrix;
    return !r_.record(std::move(c));
}

bool RecordingDevice::setMaterial(const Material& material) {
    if (r_.countOnly()) return true;
    RecordedCall c = call("setMaterial", {});
    c.material = material;
    return !r_.record(std::move(c));
}

bool RecordingDevice::setLight(uint32_t index, const LightParams& light) {
    if (r_.countOnly()) return true;
    RecordedCall c = call("setLight", {double(index)});
    c.light = light;
    return !r_.record(std::move(c));
}

bool RecordingDevice::lightEnable(uint32_t index, bool enable) {
    if (r_.countOnly()) return true;
    return !r_.record(call("lightEnable", {double(index), enable ? 1.0 : 0.0}));
}

bool RecordingDevice::setTexture(uint32_t stage, Texture* texture) {
    if (r_.countOnly()) return true;
    auto* t = dynamic_cast<RecordingTexture*>(texture);
    return !r_.record(call("setTexture", {double(stage)}, texture ? labelOf(t ? &t->label : nullptr) : "null"));
}

bool RecordingDevice::setTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
    if (r_.countOnly()) return true;
    return !r_.record(call("setTextureStageState", {double(stage), double(type), double(value)}));
}

bool RecordingDevice::setStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset, uint32_t stride) {
    if (r_.countOnly()) return true;
    auto* b = dynamic_cast<RecordingVertexBuffer*>(buffer);
    return !r_.record(call("setStreamSource", {double(stream), double(offset), double(stride)},
                           buffer ? labelOf(b ? &b->label : nullptr) : "null"));
}

bool RecordingDevice::setFVF(uint32_t vertexFormat) {
    if (r_.countOnly()) return true;
    return !r_.record(call("setFVF", {double(vertexFormat)}));
}

bool RecordingDevice::setIndices(IndexBuffer* buffer) {
    if (r_.countOnly()) return true;
    auto* b = dynamic_cast<RecordingIndexBuffer*>(buffer);
    return !r_.record(call("setIndices", {}, buffer ? labelOf(b ? &b->label : nullptr) : "null"));
}

bool RecordingDevice::drawIndexedPrimitive(uint32_t primitiveType, int baseVertex, uint32_t minIndex,
                                           uint32_t numVertices, uint32_t startIndex, uint32_t primitiveCount) {
    if (r_.countOnly()) return true;
    return !r_.record(call("drawIndexedPrimitive", {double(primitiveType), double(baseVertex), double(minIndex),
                                                    double(numVertices), double(startIndex), double(primitiveCount)}));
}

VertexBuffer* RecordingDevice::createVertexBuffer(uint32_t length, uint32_t usage, uint32_t vertexFormat,
                                                  uint32_t pool) {
    if (r_.record(call("createVertexBuffer", {double(length), double(usage), double(vertexFormat), double(pool)})))
        return nullptr;
    return new RecordingVertexBuffer(r_, length);
}

IndexBuffer* RecordingDevice::createIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool) {
    if (r_.record(call("createIndexBuffer", {double(length), double(usage), double(format), double(pool)})))
        return nullptr;
    return new RecordingIndexBuffer(r_, length);
}

Texture* RecordingDevice::createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                        uint32_t format, uint32_t pool) {
    if (r_.record(call("createTexture",
                       {double(width), double(height), double(levels), double(usage), double(format), double(pool)})))
        return nullptr;
    if (width == 0 || height == 0) return nullptr;
    return new RecordingTexture(r_, width, height, levels, format);
}

uint32_t RecordingDevice::adapterDisplayFormat() {
    r_.record(call("adapterDisplayFormat", {}));
    return r_.displayFormat;
}

// --- system -------------------------------------------------------------------------------

bool RecordingSystem::checkDeviceType(uint32_t adapterFormat, uint32_t backBufferFormat, bool windowed) {
    return !r_.record(call("checkDeviceType", {double(adapterFormat), double(backBufferFormat), windowed ? 1.0 : 0.0}));
}

bool RecordingSystem::checkDepthStencilFormat(uint32_t adapterFormat, uint32_t depthFormat) {
    return !r_.record(call("checkDepthStencilFormat", {double(adapterFormat), double(depthFormat)}));
}

RenderDevice* RecordingSystem::createDevice(WindowHandle, uint32_t behaviourFlags, PresentParams* params) {
    if (r_.record(call("createDevice", {double(behaviourFlags), double(params->backBufferWidth),
                                        double(params->backBufferHeight), double(params->backBufferFormat),
                                        double(params->autoDepthStencilFormat)})))
        return nullptr;
    return new RecordingDevice(r_);
}

void installRecordingSystem(Recorder* recorder) {
    g_recorder = recorder;
    setRenderSystemFactory(recorder ? &makeRecordingSystem : nullptr);
}

// --- resources ----------------------------------------------------------------------------

namespace {
// How each kind of buffer is labelled and its calls named in the record.
template <typename Base>
struct BufferNames;
template <>
struct BufferNames<VertexBuffer> {
    static constexpr const char *serial = "vb", *lock = "vertexBuffer.lock", *unlock = "vertexBuffer.unlock";
};
template <>
struct BufferNames<IndexBuffer> {
    static constexpr const char *serial = "ib", *lock = "indexBuffer.lock", *unlock = "indexBuffer.unlock";
};
}  // namespace

template <typename Base>
RecordingBuffer<Base>::RecordingBuffer(Recorder& r, uint32_t length)
    : bytes(length),
      label(std::string(BufferNames<Base>::serial) + "#" + std::to_string(r.nextSerial(BufferNames<Base>::serial))),
      r_(r) {}

template <typename Base>
bool RecordingBuffer<Base>::lock(uint32_t offset, uint32_t size, void** data) {
    *data = nullptr;
    if (r_.record(call(BufferNames<Base>::lock, {double(offset), double(size)}, label))) return false;
    if (uint64_t(offset) + size > bytes.size() || bytes.empty()) return false;
    *data = bytes.data() + offset;
    return true;
}

template <typename Base>
void RecordingBuffer<Base>::unlock() {
    r_.record(call(BufferNames<Base>::unlock, {}, label));
}

template class RecordingBuffer<VertexBuffer>;
template class RecordingBuffer<IndexBuffer>;

RecordingTexture::RecordingTexture(Recorder& r, uint32_t width, uint32_t height, uint32_t levelCount, uint32_t format)
    : label("tex#" + std::to_string(r.nextSerial("tex"))), r_(r), format_(format) {
    // 0 levels: the whole chain down to 1x1
    uint32_t w = width, h = height;
    for (;;) {
        levels.push_back({w, h, std::vector<uint8_t>(size_t(w) * h * pixel::bytesPerPixel(format))});
        if ((levelCount != 0 && levels.size() >= levelCount) || (w == 1 && h == 1)) break;
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
}

bool RecordingTexture::levelSize(uint32_t level, uint32_t* width, uint32_t* height) const {
    if (level >= levels.size()) return false;
    *width = levels[level].width;
    *height = levels[level].height;
    return true;
}

bool RecordingTexture::lockRect(uint32_t level, LockedRect* out) {
    if (r_.record(call("texture.lockRect", {double(level)}, label))) return false;
    if (level >= levels.size()) return false;
    if (levels[level].bytes.empty()) return false;  // a format with no texel layout
    out->pitch = int(levels[level].width * pixel::bytesPerPixel(format_));
    out->bits = levels[level].bytes.data();
    return true;
}

uint32_t RecordingTexture::texel(uint32_t level, uint32_t x, uint32_t y) const {
    const uint32_t bytes = pixel::bytesPerPixel(format_);
    if (level >= levels.size() || x >= levels[level].width || y >= levels[level].height || bytes == 0) return 0;
    return pixel::loadTexel(format_, &levels[level].bytes[(size_t(y) * levels[level].width + x) * bytes]);
}

uint32_t RecordingTexture::argb(uint32_t level, uint32_t x, uint32_t y) const {
    return pixel::unpackPixel(format_, texel(level, x, y));
}

void RecordingTexture::unlockRect(uint32_t level) { r_.record(call("texture.unlockRect", {double(level)}, label)); }
