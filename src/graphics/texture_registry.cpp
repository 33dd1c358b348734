#include "graphics/texture_registry.h"

#include <cstring>
#include <string>

#include "app/show_error.h"
#include "graphics/device_holder.h"
#include "graphics/picture.h"
#include "platform/files.h"
#include "platform/image_decode.h"
#include "platform/pixel_format.h"
#include "platform/render_device.h"

struct TextureRegistry::Entry {
    int id;
    std::string name;
    Texture* texture;
    Entry* next;
};

namespace {

// Decodes the file and fills a new texture of the given format, with its mip chain.
Texture* createTextureFromFile(RenderDevice* device, const char* fileName, uint32_t format, bool colorKeyed) {
    DecodedImage decoded;
    if (!decodeImageFile(hostPath(fileName), &decoded)) return nullptr;
    Picture picture{decoded.width, decoded.height, std::move(decoded.pixels)};
    if (colorKeyed) {
        // the key is tested on the decoded pixels, before any scaling or conversion
        applyBlackColourKey(&picture);
    } else {
        for (uint32_t& px : picture.pixels) px |= 0xFF000000u;
    }

    const uint32_t bytes = pixel::bytesPerPixel(format);
    if (bytes == 0) return nullptr;  // a display format no texture can be filled in
    const int width = nextPowerOfTwo(picture.width);
    const int height = nextPowerOfTwo(picture.height);
    Texture* texture = device->createTexture(uint32_t(width), uint32_t(height), 0, 0, format, kPoolManaged);
    if (!texture) return nullptr;

    Picture level = resamplePicture(picture, width, height);
    for (uint32_t i = 0; i < texture->levelCount(); ++i) {
        uint32_t w = 0, h = 0;
        if (!texture->levelSize(i, &w, &h) || w == 0 || h == 0) break;
        if (int(w) != level.width || int(h) != level.height) level = resamplePicture(level, int(w), int(h));
        LockedRect rect;
        if (!texture->lockRect(i, &rect) || !rect.bits) {
            delete texture;
            return nullptr;
        }
        // packing keeps one alpha bit for the keyed format (set from alpha 0x80 up), none for the plain one
        for (uint32_t y = 0; y < h; ++y) {
            uint8_t* row = static_cast<uint8_t*>(rect.bits) + size_t(y) * size_t(rect.pitch);
            const uint32_t* src = &level.pixels[size_t(y) * w];
            for (uint32_t x = 0; x < w; ++x) pixel::storePixel(format, row + size_t(x) * bytes, src[x]);
        }
        texture->unlockRect(i);
    }
    return texture;
}

}  // namespace

TextureRegistry& TextureRegistry::instance() {
    static TextureRegistry* registry = new TextureRegistry;
    return *registry;
}

TextureRegistry::TextureRegistry() : devices_(&DeviceHolder::instance()) {}

TextureRegistry::~TextureRegistry() {
    while (head_) {
        Entry* next = head_->next;
        delete head_->texture;
        delete head_;
        head_ = next;
    }
}

int TextureRegistry::findTextureByName(const char* fileName) const {
    if (!fileName) return -1;
    for (Entry* e = head_; e; e = e->next)
        if (e->name == fileName) return e->id;
    return -1;
}

Texture* TextureRegistry::textureById(int id) const {
    if (id < 0) return nullptr;
    for (Entry* e = head_; e; e = e->next)
        if (e->id == id) return e->texture;
    return nullptr;
}

int TextureRegistry::loadTexture(const char* fileName, bool colorKeyed, bool quiet) {
    if (!fileName) return -1;
    int found = findTextureByName(fileName);
    if (found >= 0) return found;

    RenderDevice* device = devices_->device;
    if (!device) {
        if (!quiet) showError("I can't load textures, Direct3DDevice is not ready");
        return -1;
    }

    Texture* texture = nullptr;
    if (colorKeyed) {
        texture = createTextureFromFile(device, fileName, fmt::A1R5G5B5, true);
        if (!texture) {
            if (!quiet) showError("Texture files missing");
            return -1;
        }
    } else {
        texture = createTextureFromFile(device, fileName, device->adapterDisplayFormat(), false);
        if (!texture) {
            if (!quiet) showError(std::string("Missing file: ") + fileName);
            return -1;
        }
    }

    int id = nextId_++;
    head_ = new Entry{id, fileName, texture, head_};
    return id;
}
