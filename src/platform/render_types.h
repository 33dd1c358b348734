#pragma once
// Value types and constants of the render device. The numbers are those of the
// fixed-function pipeline the game was laid out for, so recorded calls read the same.
#include <cstdint>
#include <cstring>

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

struct ColourValue {
    float r = 0, g = 0, b = 0, a = 0;
};

// A device colour, 0xAARRGGBB, as four values 0..1.
inline ColourValue colourFromArgb(uint32_t c) {
    return {((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f, (c >> 24) / 255.0f};
}

// Render states that hold a float (fog start, end and density) carry its bits.
inline uint32_t floatBits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}
inline float bitsFloat(uint32_t u) {
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}

// Row-major, row vectors (v' = v * M), left-handed: translation lives in row 3.
struct Matrix {
    float m[4][4] = {};
};

struct Material {
    ColourValue diffuse, ambient, specular, emissive;
    float power = 0;
};

struct LightParams {
    uint32_t type = 0;  // lt::Point, Spot or Directional
    ColourValue diffuse, specular, ambient;
    Vec3 position, direction;
    float range = 0, falloff = 0;
    float attenuation0 = 0, attenuation1 = 0, attenuation2 = 0;
    float theta = 0, phi = 0;
};

struct Viewport {
    uint32_t x = 0, y = 0, width = 0, height = 0;
    float minZ = 0, maxZ = 1;
};

struct PresentParams {
    uint32_t backBufferWidth = 0, backBufferHeight = 0;
    uint32_t backBufferFormat = 0, backBufferCount = 0;
    uint32_t swapEffect = 0;
    bool windowed = false;
    bool enableAutoDepthStencil = false;
    uint32_t autoDepthStencilFormat = 0;
    uint32_t presentationInterval = 0;
};

enum class DeviceStatus { Ok, Lost, NotReset, Failed };

namespace lt {  // light types
constexpr uint32_t Point = 1, Spot = 2, Directional = 3;
}

namespace rs {  // render states
constexpr uint32_t ZEnable = 7, FillMode = 8, ShadeMode = 9, ZWriteEnable = 14, AlphaTestEnable = 15,
                   SrcBlend = 19, DestBlend = 20, CullMode = 22, ZFunc = 23, AlphaRef = 24, AlphaFunc = 25,
                   DitherEnable = 26, AlphaBlendEnable = 27, FogEnable = 28, SpecularEnable = 29,
                   FogColor = 34, FogTableMode = 35, FogStart = 36, FogEnd = 37, FogDensity = 38,
                   Lighting = 137, Ambient = 139, FogVertexMode = 140, ColorVertex = 141, LocalViewer = 142,
                   NormalizeNormals = 143, DiffuseMaterialSource = 145, SpecularMaterialSource = 146,
                   AmbientMaterialSource = 147, EmissiveMaterialSource = 148;
// Their values.
constexpr uint32_t FillPoint = 1, FillWireframe = 2, FillSolid = 3;
constexpr uint32_t ShadeFlat = 1, ShadeGouraud = 2;
constexpr uint32_t BlendZero = 1, BlendOne = 2, BlendSrcColor = 3, BlendInvSrcColor = 4, BlendSrcAlpha = 5,
                   BlendInvSrcAlpha = 6, BlendDestAlpha = 7, BlendInvDestAlpha = 8, BlendDestColor = 9,
                   BlendInvDestColor = 10, BlendSrcAlphaSat = 11, BlendBothSrcAlpha = 12,
                   BlendBothInvSrcAlpha = 13;
constexpr uint32_t CullNone = 1, CullClockwise = 2, CullCounterClockwise = 3;
constexpr uint32_t CmpNever = 1, CmpLess = 2, CmpEqual = 3, CmpLessEqual = 4, CmpGreater = 5, CmpNotEqual = 6,
                   CmpGreaterEqual = 7, CmpAlways = 8;
constexpr uint32_t McsMaterial = 0, McsColor1 = 1, McsColor2 = 2;
constexpr uint32_t FogExp = 1, FogExp2 = 2, FogLinear = 3;
}  // namespace rs

namespace ts {  // transform slots
constexpr uint32_t View = 2, Projection = 3, Texture0 = 16, World = 256;
}

namespace tss {  // texture stage states
constexpr uint32_t AlphaOp = 4, AlphaArg1 = 5, AlphaArg2 = 6, TextureTransformFlags = 24;
constexpr uint32_t OpSelectArg1 = 2, OpSelectArg2 = 3, OpModulate = 4;
constexpr uint32_t ArgDiffuse = 0, ArgCurrent = 1, ArgTexture = 2, ArgSelectMask = 0xF;
constexpr uint32_t TtffDisable = 0, TtffCount2 = 2, TtffCountMask = 0xFF;
}  // namespace tss

namespace fvf {
constexpr uint32_t Xyz = 0x2, Normal = 0x10, Diffuse = 0x40, Tex1 = 0x100;
constexpr uint32_t Model = Xyz | Normal | Tex1;  // 0x112, stride 32
constexpr uint32_t Quad = Xyz | Tex1;            // 0x102, stride 20
}  // namespace fvf

namespace fmt {
constexpr uint32_t A8R8G8B8 = 21, X8R8G8B8 = 22, R5G6B5 = 23, X1R5G5B5 = 24, A1R5G5B5 = 25;
constexpr uint32_t D16Lockable = 70, D32 = 71, D15S1 = 73, D24S8 = 75, D16 = 80;
constexpr uint32_t Index16 = 101, Index32 = 102;
}  // namespace fmt

constexpr uint32_t kClearTarget = 1, kClearZBuffer = 2, kClearStencil = 4;
constexpr uint32_t kPointList = 1, kLineList = 2, kLineStrip = 3, kTriangleList = 4, kTriangleStrip = 5,
                   kTriangleFan = 6;
constexpr uint32_t kPoolManaged = 1;
constexpr uint32_t kUsageDepthStencil = 2;
constexpr uint32_t kCreateHardwareVertexProcessing = 0x40, kCreateSoftwareVertexProcessing = 0x20;
constexpr uint32_t kSwapDiscard = 1;
