#pragma once
// Reading the generated asset files back for the tests.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// The build's run folder, where the generator wrote the assets.
std::string assetPath(const std::string& gameName);  // "gfx\\x.jpg" -> <run>/gfx/x.jpg
std::string readBytes(const std::string& path);

struct Picture {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;  // 3 bytes a pixel, rows top to bottom
    const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * w + x) * 3]; }
    int luminance(int x, int y) const {
        const uint8_t* p = at(x, y);
        return (p[0] * 299 + p[1] * 587 + p[2] * 114) / 1000;
    }
    int maxChannel(int x, int y) const {
        const uint8_t* p = at(x, y);
        return std::max({p[0], p[1], p[2]});
    }
    bool black(int x, int y) const {
        const uint8_t* p = at(x, y);
        return p[0] == 0 && p[1] == 0 && p[2] == 0;
    }
};

// Decodes a JPEG or BMP through stb_image; false when it does not decode.
bool loadPicture(const std::string& gameName, Picture* out);

// Every file the game loads, by its game name.
const std::vector<std::string>& allAssetNames();
