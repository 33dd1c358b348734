// Vertex and index buffers of the OpenGL render device, and the vertex layouts it draws.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/sdl/gl_device.h"

namespace glr {

namespace {

constexpr uint32_t kFvfPositionMask = 0x400E;  // D3DFVF_POSITION_MASK
constexpr uint32_t kFvfSpecular = 0x80;
constexpr uint32_t kFvfPsize = 0x20;
constexpr uint32_t kFvfTexCountMask = 0xF00;

}  // namespace

FvfLayout parseFvf(uint32_t fvf) {
    FvfLayout l;
    // Untransformed positions only; no point size, specular colour or non-2D texture coordinates.
    if ((fvf & kFvfPositionMask) != fvf::Xyz) return l;
    if (fvf & (kFvfSpecular | kFvfPsize)) return l;
    if (fvf >> 16) return l;
    uint32_t offset = 12;
    if (fvf & fvf::Normal) {
        l.normal = true;
        l.normalOffset = offset;
        offset += 12;
    }
    if (fvf & fvf::Diffuse) {
        l.diffuse = true;
        l.diffuseOffset = offset;
        offset += 4;
    }
    uint32_t sets = (fvf & kFvfTexCountMask) >> 8;
    if (sets > 8) return l;
    if (sets > 0) {
        l.texture = true;
        l.textureOffset = offset;
    }
    offset += sets * 8;
    l.size = offset;
    l.valid = true;
    return l;
}

namespace {
// A lock range inside a buffer of `length` bytes; size 0 locks to the end, as Direct3D does.
bool lockRange(uint32_t length, uint32_t offset, uint32_t size, uint32_t* end) {
    if (offset > length) return false;
    uint64_t stop = size == 0 ? length : uint64_t(offset) + size;
    if (stop > length) return false;
    *end = static_cast<uint32_t>(stop);
    return true;
}
}  // namespace

GlVertexBuffer::GlVertexBuffer(std::shared_ptr<GlContext> context, uint32_t length)
    : context_(std::move(context)), bytes_(length, 0) {}

GlVertexBuffer::~GlVertexBuffer() {
    if (context_->device) context_->device->released(this);
}

bool GlVertexBuffer::lock(uint32_t offset, uint32_t size, void** data) {
    uint32_t end;
    if (!data || !lockRange(static_cast<uint32_t>(bytes_.size()), offset, size, &end)) return false;
    ++version_;  // bounds are recomputed once it has been written
    *data = bytes_.data() + offset;
    return true;
}

void GlVertexBuffer::unlock() { ++version_; }

GlVertexBuffer::Sphere GlVertexBuffer::bounds(uint32_t offset, uint32_t stride, uint32_t first, uint32_t last) {
    if (cache_.valid && cache_.version == version_ && cache_.offset == offset && cache_.stride == stride &&
        cache_.first == first && cache_.last == last)
        return cache_.sphere;
    float lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
    for (uint32_t i = first; i <= last; ++i) {
        float p[3];
        std::memcpy(p, bytes_.data() + offset + size_t(i) * stride, sizeof p);
        for (int k = 0; k < 3; ++k) {
            if (i == first || p[k] < lo[k]) lo[k] = p[k];
            if (i == first || p[k] > hi[k]) hi[k] = p[k];
        }
    }
    Sphere s;
    s.x = (lo[0] + hi[0]) / 2;
    s.y = (lo[1] + hi[1]) / 2;
    s.z = (lo[2] + hi[2]) / 2;
    float dx = hi[0] - s.x, dy = hi[1] - s.y, dz = hi[2] - s.z;
    s.radius = std::sqrt(dx * dx + dy * dy + dz * dz);
    cache_.valid = true;
    cache_.version = version_;
    cache_.offset = offset;
    cache_.stride = stride;
    cache_.first = first;
    cache_.last = last;
    cache_.sphere = s;
    return s;
}

GlIndexBuffer::GlIndexBuffer(std::shared_ptr<GlContext> context, uint32_t length, uint32_t indexSize)
    : context_(std::move(context)), bytes_(length, 0), indexSize_(indexSize) {}

GlIndexBuffer::~GlIndexBuffer() {
    if (context_->device) context_->device->released(this);
}

bool GlIndexBuffer::lock(uint32_t offset, uint32_t size, void** data) {
    uint32_t end;
    if (!data || !lockRange(static_cast<uint32_t>(bytes_.size()), offset, size, &end)) return false;
    locked_ = true;
    *data = bytes_.data() + offset;
    return true;
}

void GlIndexBuffer::range(uint32_t start, uint32_t count, uint32_t* lowest, uint32_t* highest) {
    if (locked_ || !(cache_.valid && cache_.version == version_ && cache_.start == start && cache_.count == count)) {
        uint32_t lo = UINT32_MAX, hi = 0;
        for (uint32_t i = start; i < start + count; ++i) {
            uint32_t v = index(i);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        cache_ = {true, version_, start, count, lo, hi};
    }
    *lowest = cache_.lowest;
    *highest = cache_.highest;
}

uint32_t GlIndexBuffer::index(uint32_t i) const {
    if (indexSize_ == 2) {
        uint16_t v;
        std::memcpy(&v, bytes_.data() + size_t(i) * 2, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, bytes_.data() + size_t(i) * 4, 4);
    return v;
}

}  // namespace glr
