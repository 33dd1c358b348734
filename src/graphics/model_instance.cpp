#include "graphics/model_instance.h"

#include "graphics/matrix.h"
#include "graphics/mesh_registry.h"
#include "graphics/texture_registry.h"
#include "platform/render_device.h"

void ModelInstance::render(RenderDevice& device) {
    Material material;
    material.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    material.specular = {0.7f, 0.7f, 0.7f, 1.0f};
    material.emissive = {0.0f, 0.0f, 0.0f, 0.0f};
    material.power = 8.0f;
    device.setMaterial(material);

    Matrix world = matrixMultiply(matrixRotationYawPitchRoll(rotation.y, rotation.x, rotation.z),
                                  matrixTranslation(position.x, position.y, position.z));
    device.setTransform(ts::World, world);

    const MeshBuffers* mesh = MeshRegistry::instance().meshById(key_.mesh);
    if (!mesh || !mesh->vertexBuffer || !mesh->indexBuffer) return;
    device.drawIndexedPrimitive(mesh->primitiveType, 0, 0, mesh->drawVertexCount, 0, mesh->primitiveCount);
}

bool ModelInstance::loadUntextured(int layer, const char* meshFile) {
    key_.setLayer(layer);
    key_.setTexture(-1);
    int mesh = MeshRegistry::instance().loadMesh(meshFile, fvf::Model, 32);
    if (mesh < 0) return false;
    key_.setMesh(mesh);
    key_.setFlag(keyflag::MaterialColour, true);
    return true;
}

bool ModelInstance::loadKeyed(int layer, const char* textureFile, bool colorKeyed, const char* meshFile) {
    key_.setLayer(layer);
    int texture = TextureRegistry::instance().loadTexture(textureFile, colorKeyed);
    if (texture < 0) return false;
    key_.setTexture(texture);
    key_.setFlag(keyflag::AlphaBlend, colorKeyed);
    key_.setFlag(keyflag::AlphaTest, colorKeyed);
    int mesh = MeshRegistry::instance().loadMesh(meshFile, fvf::Model, 32);
    if (mesh < 0) return false;
    key_.setMesh(mesh);
    key_.setFlag(keyflag::MaterialColour, true);
    return true;
}

bool ModelInstance::load(int layer, const char* textureFile, const char* meshFile) {
    return loadKeyed(layer, textureFile, false, meshFile);
}
