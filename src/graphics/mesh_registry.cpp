#include "graphics/mesh_registry.h"

#include <cstring>
#include <string>
#include <vector>

#include "app/show_error.h"
#include "graphics/device_holder.h"
#include "graphics/xfile_reader.h"
#include "platform/render_device.h"

struct MeshRegistry::Entry {
    int id;
    std::string name;
    MeshBuffers* buffers;
    Entry* next;
};

MeshRegistry& MeshRegistry::instance() {
    static MeshRegistry* registry = new MeshRegistry;
    return *registry;
}

MeshRegistry::MeshRegistry() : devices_(&DeviceHolder::instance()) {}

MeshRegistry::~MeshRegistry() {
    while (head_) {
        Entry* next = head_->next;
        delete head_->buffers->vertexBuffer;
        delete head_->buffers->indexBuffer;
        delete head_->buffers;
        delete head_;
        head_ = next;
    }
}

int MeshRegistry::findMeshByName(const char* name) const {
    if (!name) return -1;
    for (Entry* e = head_; e; e = e->next)
        if (e->name == name) return e->id;
    return -1;
}

MeshBuffers* MeshRegistry::meshById(int id) const {
    if (id < 0) return nullptr;
    for (Entry* e = head_; e; e = e->next)
        if (e->id == id) return e->buffers;
    return nullptr;
}

int MeshRegistry::loadMesh(const char* fileName, uint32_t vertexFormat, uint32_t stride) {
    if (!fileName) return -1;
    int found = findMeshByName(fileName);
    if (found >= 0) return found;

    int id = nextId_++;
    Entry* entry = new Entry{id, fileName, new MeshBuffers, head_};
    head_ = entry;
    if (loadMeshFile(fileName, vertexFormat, stride, entry->buffers)) return id;

    // the id stays used; only the name is given up
    head_ = entry->next;
    delete entry->buffers;
    delete entry;
    showError(std::string("Can't open file: ") + fileName);
    return -1;
}

bool MeshRegistry::loadMeshFile(const char* fileName, uint32_t vertexFormat, uint32_t stride, MeshBuffers* record) {
    RenderDevice* device = devices_->device;
    if (!device) return showError("I can't load meshes, Direct3DDevice is not ready");

    XMeshData mesh;
    if (!readXFile(fileName, &mesh)) return showError("Can not load mesh");

    std::vector<uint8_t> vertices;
    std::vector<uint16_t> indices;
    // the copy is laid out by the format; a stride that disagrees would copy the wrong bytes
    if (vertexFormatSize(vertexFormat) != stride || !convertXMesh(mesh, vertexFormat, &vertices, &indices))
        return showError("Can not copy mesh");

    const uint32_t n = mesh.vertexCount();
    const uint32_t f = mesh.faceCount();

    VertexBuffer* vb = device->createVertexBuffer(n * stride, 0, vertexFormat, kPoolManaged);
    if (!vb) return showError("Can not create vertex buffer");
    IndexBuffer* ib = device->createIndexBuffer(f * 6, 0, fmt::Index16, kPoolManaged);
    if (!ib) {
        delete vb;
        return showError("Can not create index buffer");
    }

    void* data = nullptr;
    if (!vb->lock(0, n * stride, &data) || !data) {
        delete vb;
        delete ib;
        return showError("Can not lock vertex buffer");
    }
    std::memcpy(data, vertices.data(), size_t(n) * stride);
    vb->unlock();

    data = nullptr;
    if (!ib->lock(0, f * 6, &data) || !data) {
        delete vb;
        delete ib;
        return showError("Can not lock index buffer");
    }
    std::memcpy(data, indices.data(), size_t(f) * 6);
    ib->unlock();

    record->vertexBuffer = vb;
    record->indexBuffer = ib;
    record->vertexCount = record->drawVertexCount = n;
    record->vertexFormat = vertexFormat;
    record->faceCount = record->primitiveCount = f;
    record->stride = stride;
    record->primitiveType = kTriangleList;
    return true;
}

int MeshRegistry::createQuad(const char* name) {
    if (!name) return -1;
    int found = findMeshByName(name);
    if (found >= 0) return found;

    int id = nextId_++;
    MeshBuffers* record = new MeshBuffers;
    head_ = new Entry{id, name, record, head_};
    record->vertexFormat = fvf::Quad;
    record->faceCount = record->primitiveCount = 2;
    record->drawVertexCount = record->vertexCount = 4;
    record->stride = 20;
    record->primitiveType = kTriangleList;

    RenderDevice* device = devices_->device;
    if (!device) {
        showError(
            "Stupid programmer, Direct3DDevice is not ready, do something to your motherfucking singleton "
            "initializations");
        return -1;
    }
    record->vertexBuffer = device->createVertexBuffer(80, 0, fvf::Quad, kPoolManaged);
    if (!record->vertexBuffer) {
        showError("Can not create vertex buffer");
        return -1;
    }
    record->indexBuffer = device->createIndexBuffer(12, 0, fmt::Index16, kPoolManaged);
    if (!record->indexBuffer) {
        showError("Can not create index buffer");
        return -1;
    }

    static const float quad[4][5] = {
        {-0.5f, -0.5f, 0.5f, 0.0f, 0.0f},
        {0.5f, -0.5f, 0.5f, 1.0f, 0.0f},
        {-0.5f, 0.5f, 0.5f, 0.0f, 1.0f},
        {0.5f, 0.5f, 0.5f, 1.0f, 1.0f},
    };
    static const uint16_t quadIndices[6] = {0, 1, 2, 2, 1, 3};

    void* data = nullptr;
    if (!record->vertexBuffer->lock(0, 80, &data) || !data) {
        showError("Can not lock vertex buffer");
        return -1;
    }
    std::memcpy(data, quad, 80);
    record->vertexBuffer->unlock();

    data = nullptr;
    if (!record->indexBuffer->lock(0, 12, &data) || !data) {
        showError("Can not lock index buffer");
        return -1;
    }
    std::memcpy(data, quadIndices, 12);
    record->indexBuffer->unlock();
    return id;
}

bool MeshRegistry::scaleMesh(int id, float factor) {
    MeshBuffers* mesh = meshById(id);
    if (!mesh) return false;
    // a quad whose buffers could not be made has nothing to scale
    if (!mesh->vertexBuffer) return false;
    void* data = nullptr;
    if (!mesh->vertexBuffer->lock(0, mesh->vertexCount * mesh->stride, &data) || !data)
        return showError("Can not lock vertex buffer");
    uint8_t* bytes = static_cast<uint8_t*>(data);
    for (uint32_t i = 0; i < mesh->vertexCount; ++i) {
        float pos[3];
        std::memcpy(pos, bytes + size_t(i) * mesh->stride, sizeof pos);
        for (float& p : pos) p *= factor;
        std::memcpy(bytes + size_t(i) * mesh->stride, pos, sizeof pos);
    }
    mesh->vertexBuffer->unlock();
    return true;
}

bool MeshRegistry::scaleMeshByName(const char* fileName, float factor) {
    int id = findMeshByName(fileName);
    if (id < 0) return false;
    return scaleMesh(id, factor);
}
