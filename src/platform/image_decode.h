#pragma once
// Picture decoding (JPEG, BMP, PNG) into 32-bit 0xAARRGGBB pixels, rows top first.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// False when the file cannot be read or is not a picture we can decode.
bool decodeImageFile(const std::string& path, DecodedImage* out);
bool decodeImageMemory(const uint8_t* data, size_t size, DecodedImage* out);
