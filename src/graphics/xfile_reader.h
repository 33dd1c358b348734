#pragma once
// Reader for text-format DirectX .x mesh files: every Mesh in the file merged into
// one indexed triangle list, placed by its Frame transforms.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/render_types.h"

struct XMeshData {
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;             // one per position (zero where the file gave none)
    std::vector<float> texCoords;          // u, v per position (zero where the file gave none)
    std::vector<uint32_t> indices;         // three per triangle
    uint32_t faceCount() const { return static_cast<uint32_t>(indices.size() / 3); }
    uint32_t vertexCount() const { return static_cast<uint32_t>(positions.size()); }
};

// False for anything but a well-formed text .x file with at least one triangle.
bool parseXFile(const std::string& bytes, XMeshData* out);

// Reads the file (a game name, "gfx\x.x" style) and parses it.
bool readXFile(const char* fileName, XMeshData* out);

// Bytes per vertex of a vertex format the reader can fill (position, normal,
// diffuse, one texture coordinate pair); 0 for any other format.
uint32_t vertexFormatSize(uint32_t vertexFormat);

// The mesh in the given vertex format with 16-bit indices. False when the format
// is not one the reader can fill or the mesh has too many vertices for 16-bit indices.
bool convertXMesh(const XMeshData& mesh, uint32_t vertexFormat, std::vector<uint8_t>* vertices,
                  std::vector<uint16_t>* indices);
