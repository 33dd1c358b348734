#pragma once
#include <cstdint>

class VertexBuffer;
class IndexBuffer;
class DeviceHolder;

struct MeshBuffers {
    VertexBuffer* vertexBuffer = nullptr;
    IndexBuffer* indexBuffer = nullptr;
    uint32_t primitiveType = 4;
    uint32_t vertexCount = 0;
    uint32_t faceCount = 0;
    uint32_t drawVertexCount = 0;
    uint32_t primitiveCount = 0;
    uint32_t stride = 0;
    uint32_t vertexFormat = 0;
};

// Process-wide store of meshes, one per file name; ids from one counter, never reused.
class MeshRegistry {
public:
    static MeshRegistry& instance();

    int findMeshByName(const char* name) const;
    MeshBuffers* meshById(int id) const;
    int loadMesh(const char* fileName, uint32_t vertexFormat, uint32_t stride);
    int createQuad(const char* name);
    bool scaleMesh(int id, float factor);
    bool scaleMeshByName(const char* fileName, float factor);

    MeshRegistry();  // tests may build their own
    ~MeshRegistry();  // the singleton is never destroyed; others free what they made
    MeshRegistry(const MeshRegistry&) = delete;
    MeshRegistry& operator=(const MeshRegistry&) = delete;

private:
    struct Entry;
    bool loadMeshFile(const char* fileName, uint32_t vertexFormat, uint32_t stride, MeshBuffers* record);
    DeviceHolder* devices_;
    Entry* head_ = nullptr;
    int nextId_ = 0;
};
