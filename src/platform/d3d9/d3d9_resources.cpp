// Vertex and index buffers and textures of the Direct3D 9 device, and the read-back of frames.
#include <algorithm>

#include "platform/d3d9/d3d9_device.h"
#include "platform/pixel_format.h"

namespace d3d9r {

namespace {

// Pictures are scaled to powers of two; a hostile file must not ask for more than this.
constexpr uint32_t kMaxTextureSize = 4096;

}  // namespace

bool D3d9Texture::levelSize(uint32_t level, uint32_t* width, uint32_t* height) const {
    D3DSURFACE_DESC desc;
    if (level >= levelCount() || FAILED(texture_->GetLevelDesc(level, &desc))) return false;
    if (width) *width = desc.Width;
    if (height) *height = desc.Height;
    return true;
}

bool D3d9Texture::lockRect(uint32_t level, LockedRect* out) {
    D3DLOCKED_RECT rect;
    if (!out || level >= levelCount() || FAILED(texture_->LockRect(level, &rect, nullptr, 0)))
        return false;
    out->pitch = rect.Pitch;
    out->bits = rect.pBits;
    return true;
}

VertexBuffer* D3d9Device::createVertexBuffer(uint32_t length, uint32_t usage, uint32_t vertexFormat, uint32_t pool) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (FAILED(device_->CreateVertexBuffer(length, usage, vertexFormat, static_cast<D3DPOOL>(pool), &buffer,
                                           nullptr)))
        return nullptr;
    return new D3d9VertexBuffer(this, buffer, length);
}

IndexBuffer* D3d9Device::createIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool) {
    IDirect3DIndexBuffer9* buffer = nullptr;
    if (FAILED(device_->CreateIndexBuffer(length, usage, static_cast<D3DFORMAT>(format), static_cast<D3DPOOL>(pool),
                                          &buffer, nullptr)))
        return nullptr;
    return new D3d9IndexBuffer(this, buffer, length);
}

Texture* D3d9Device::createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                                   uint32_t pool) {
    if (width == 0 || height == 0 || width > kMaxTextureSize || height > kMaxTextureSize) return nullptr;
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(device_->CreateTexture(width, height, levels, usage, static_cast<D3DFORMAT>(format),
                                      static_cast<D3DPOOL>(pool), &texture, nullptr)))
        return nullptr;
    return new D3d9Texture(this, texture, format);
}

// ---- read-back ----

namespace {

// A locked surface of `format` into rows of 0xFFRRGGBB.
bool readSurface(IDirect3DSurface9* surface, D3DFORMAT format, int width, int height, std::vector<uint32_t>* pixels) {
    const uint32_t bytes = pixel::bytesPerPixel(format);
    if (bytes == 0) return false;
    D3DLOCKED_RECT rect;
    if (FAILED(surface->LockRect(&rect, nullptr, D3DLOCK_READONLY))) return false;
    pixels->resize(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = static_cast<const uint8_t*>(rect.pBits) + size_t(y) * size_t(rect.Pitch);
        for (int x = 0; x < width; ++x)
            (*pixels)[size_t(y) * width + x] =
                pixel::unpackPixel(format, pixel::loadTexel(format, row + size_t(x) * bytes)) | 0xFF000000u;
    }
    surface->UnlockRect();
    return true;
}

}  // namespace

bool D3d9Device::copyBackBuffer(Ref<IDirect3DSurface9>* copy, D3DSURFACE_DESC* desc) {
    Ref<IDirect3DSurface9> back;
    if (FAILED(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, back.out())) || FAILED(back->GetDesc(desc)))
        return false;
    D3DSURFACE_DESC kept;
    // a system-memory surface survives a reset; one of another size or format is replaced
    if (!*copy || FAILED((*copy)->GetDesc(&kept)) || kept.Width != desc->Width || kept.Height != desc->Height ||
        kept.Format != desc->Format) {
        if (FAILED(device_->CreateOffscreenPlainSurface(desc->Width, desc->Height, desc->Format, D3DPOOL_SYSTEMMEM,
                                                        copy->out(), nullptr)))
            return false;
    }
    return SUCCEEDED(device_->GetRenderTargetData(back.get(), copy->get()));
}

bool D3d9Device::readBackBuffer(int* width, int* height, std::vector<uint32_t>* pixels) {
    keepFrames_ = true;
    Ref<IDirect3DSurface9> now;
    IDirect3DSurface9* source = lastFrame_.get();
    D3DSURFACE_DESC desc;
    if (!presented_ || !lastFrame_ || FAILED(lastFrame_->GetDesc(&desc))) {
        if (!copyBackBuffer(&now, &desc)) return false;
        source = now.get();
    }
    *width = int(desc.Width);
    *height = int(desc.Height);
    return readSurface(source, desc.Format, *width, *height, pixels);
}

}  // namespace d3d9r

bool readD3d9BackBuffer(RenderDevice* device, int* width, int* height, std::vector<uint32_t>* pixels) {
    auto* d = dynamic_cast<d3d9r::D3d9Device*>(device);
    return d && width && height && pixels && d->readBackBuffer(width, height, pixels);
}
