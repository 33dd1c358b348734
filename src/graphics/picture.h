#pragma once
// Picture preparation for textures: colour key, power-of-two scaling, mip levels.
#include <cstdint>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top first
};

// Smallest power of two >= n (n >= 1).
int nextPowerOfTwo(int n);

// Pure black (0, 0, 0) becomes fully transparent, everything else opaque.
void applyBlackColourKey(Picture* picture);

// The whole picture stretched over width x height by area averaging; colour is
// weighted by alpha so transparent pixels do not darken their neighbours.
Picture resamplePicture(const Picture& source, int width, int height);
