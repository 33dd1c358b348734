// Picture loading as the texture registry does it: decode, colour key (or opaque),
// scale to powers of two and fill the mip chain. Input: a flag byte (bit 0: colour
// keyed, as the sprites; else plain, as the model skins), then the file.
#include <string>

#include "fuzz_support.h"
#include "quiet_device.h"
#include "graphics/picture.h"
#include "graphics/texture_registry.h"
#include "platform/fake/recording_device.h"
#include "platform/image_decode.h"
#include "platform/pixel_format.h"
#include "platform/render_types.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const InScratchFolder scratch;
    useQuietRecordingDevice();

    const bool keyed = data[0] & 1;
    const uint8_t* file = data + 1;
    const size_t fileSize = size - 1;

    DecodedImage decoded;
    const bool decodes = decodeImageMemory(file, fileSize, &decoded);
    if (decodes) {
        fuzzCheck(decoded.width > 0 && decoded.height > 0, "a decoded picture has an area");
        fuzzCheck(decoded.pixels.size() == size_t(decoded.width) * size_t(decoded.height), "one pixel per cell");
    }

    writeScratchFile("fuzz.pic", file, fileSize);
    TextureRegistry registry;
    const int id = registry.loadTexture("fuzz.pic", keyed);
    fuzzCheck((id >= 0) == decodes, "the registry loads exactly what decodes", id);
    if (id < 0) return 0;

    const auto* t = static_cast<const RecordingTexture*>(registry.textureById(id));
    fuzzCheck(t != nullptr && t->levelCount() > 0, "a texture with levels");
    fuzzCheck(!keyed || t->format() == fmt::A1R5G5B5, "keyed pictures get one alpha bit", t->format());
    const uint32_t w = t->levels[0].width, h = t->levels[0].height;
    fuzzCheck(w == uint32_t(nextPowerOfTwo(decoded.width)) && h == uint32_t(nextPowerOfTwo(decoded.height)),
              "scaled to the next powers of two", w, h);
    for (uint32_t l = 0; l < t->levels.size(); ++l) {
        const auto& level = t->levels[l];
        fuzzCheck((level.width & (level.width - 1)) == 0 && (level.height & (level.height - 1)) == 0,
                  "every level a power of two", level.width, level.height);
        fuzzCheck(level.bytes.size() >= size_t(level.width) * level.height * pixel::bytesPerPixel(t->format()),
                  "level storage");
        for (uint32_t y = 0; y < level.height; ++y)
            for (uint32_t x = 0; x < level.width; ++x) {
                const uint32_t alpha = t->argb(l, x, y) >> 24;
                if (keyed)
                    fuzzCheck(alpha == 0 || alpha == 0xFF, "keyed texels transparent or opaque", alpha);
                else
                    fuzzCheck(alpha == 0xFF, "plain texels opaque", alpha);
            }
    }
    return 0;
}
