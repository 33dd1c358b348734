// The .x mesh reader against any file: what it accepts must be a consistent indexed
// triangle list, and the mesh registry must load it into buffers (or refuse it) cleanly.
#include <string>

#include "fuzz_support.h"
#include "quiet_device.h"
#include "graphics/mesh_registry.h"
#include "graphics/xfile_reader.h"
#include "platform/fake/recording_device.h"
#include "platform/render_types.h"

namespace {

void checkMesh(const XMeshData& mesh) {
    const size_t n = mesh.positions.size();
    fuzzCheck(n > 0 && !mesh.indices.empty(), "an accepted mesh has triangles");
    fuzzCheck(mesh.indices.size() % 3 == 0, "whole triangles", double(mesh.indices.size()));
    fuzzCheck(mesh.normals.size() == n, "one normal per position", double(mesh.normals.size()), double(n));
    fuzzCheck(mesh.texCoords.size() == 2 * n, "one texture pair per position", double(mesh.texCoords.size()), double(n));
    for (uint32_t i : mesh.indices) fuzzCheck(i < n, "index within the positions", i, double(n));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const InScratchFolder scratch;
    useQuietRecordingDevice();

    const std::string bytes(reinterpret_cast<const char*>(data), size);
    XMeshData mesh;
    const bool parsed = parseXFile(bytes, &mesh);
    if (parsed) {
        checkMesh(mesh);
        std::vector<uint8_t> vertices;
        std::vector<uint16_t> indices;
        for (uint32_t format : {fvf::Model, fvf::Quad}) {
            if (convertXMesh(mesh, format, &vertices, &indices)) {
                fuzzCheck(vertices.size() == size_t(mesh.vertexCount()) * vertexFormatSize(format), "vertex bytes");
                fuzzCheck(indices.size() == mesh.indices.size(), "index count");
            } else {
                fuzzCheck(mesh.vertexCount() > 65535, "only oversized meshes are refused", mesh.vertexCount());
            }
        }
    }

    // The same bytes as a file through the registry, as the game loads its meshes.
    writeScratchFile("fuzz.x", data, size);
    MeshRegistry registry;
    const int id = registry.loadMesh("fuzz.x", fvf::Model, 32);
    fuzzCheck((id >= 0) == (parsed && mesh.vertexCount() <= 65535), "registry agrees with the reader", id);
    if (id >= 0) {
        const MeshBuffers* b = registry.meshById(id);
        fuzzCheck(b && b->vertexBuffer && b->indexBuffer, "buffers made");
        fuzzCheck(b->vertexCount == mesh.vertexCount() && b->faceCount == mesh.faceCount(), "counts kept");
        const auto* ib = static_cast<const RecordingIndexBuffer*>(b->indexBuffer);
        for (size_t i = 0; i + 1 < ib->bytes.size(); i += 2) {
            const uint32_t index = ib->bytes[i] | uint32_t(ib->bytes[i + 1]) << 8;
            fuzzCheck(index < b->vertexCount, "buffered index within the vertices", index, b->vertexCount);
        }
        fuzzCheck(registry.scaleMesh(id, 0.8f), "an accepted mesh scales");
    }
    return 0;
}
