#pragma once
#include <cstdint>

namespace keyflag {
constexpr int32_t Lit = 0x400, AlphaBlend = 0x200, AlphaTest = 0x100, MaterialColour = 0x80,
                  ScreenSpace = 0x20;
}

// Orders the draw list: (layer, texture, mesh, flags) ascending as signed ints.
class DrawKey {
public:
    int32_t layer = 0;
    int32_t texture = -1;
    int32_t mesh = -1;
    int32_t flags = 0x40C;

    void setLayer(int32_t v) { layer = v; }
    void setTexture(int32_t v) { texture = v; }
    void setMesh(int32_t v) { mesh = v; }
    bool hasFlag(int32_t mask) const { return (flags & mask) != 0; }
    void setFlag(int32_t mask, bool on);
    bool operator<(const DrawKey& o) const;
};
