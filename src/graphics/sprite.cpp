#include "graphics/sprite.h"

#include "graphics/matrix.h"
#include "graphics/mesh_registry.h"
#include "graphics/texture_registry.h"
#include "platform/render_device.h"

namespace {
const char* const kQuadName = "SPRITE";
}

void Sprite::render(RenderDevice& device) {
    Material material;
    material.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    device.setMaterial(material);

    Matrix world = matrixMultiply(matrixScaling(width, height, position.z),
                                  matrixTranslation(position.x + width / 2.0f, position.y + height / 2.0f, position.z));
    device.setTransform(ts::World, world);

    const MeshBuffers* quad = MeshRegistry::instance().meshById(key_.mesh);
    auto draw = [&] {
        // a quad whose buffers could not be made draws nothing
        if (quad && quad->vertexBuffer && quad->indexBuffer)
            device.drawIndexedPrimitive(quad->primitiveType, 0, 0, quad->vertexCount, 0, quad->primitiveCount);
    };

    if (!cellMode) {
        draw();
        return;
    }
    device.setTextureStageState(0, tss::TextureTransformFlags, tss::TtffCount2);
    Matrix window = matrixIdentity();
    window.m[0][0] = cellSize.u;
    window.m[1][1] = cellSize.v;
    window.m[2][0] = cellOffset.u;
    window.m[2][1] = cellOffset.v;
    device.setTransform(ts::Texture0, window);
    draw();
    device.setTextureStageState(0, tss::TextureTransformFlags, tss::TtffDisable);
}

namespace {

// The steps every load shares once the texture id is known.
bool finishLoad(DrawKey& key, int texture) {
    if (texture < 0) return false;
    key.setTexture(texture);
    return true;
}

bool attachQuad(DrawKey& key) {
    int quad = MeshRegistry::instance().createQuad(kQuadName);
    if (quad < 0) return false;
    key.setMesh(quad);
    key.setFlag(keyflag::MaterialColour, true);
    key.setFlag(keyflag::ScreenSpace, true);
    key.setFlag(keyflag::Lit, false);
    return true;
}

}  // namespace

bool Sprite::loadPicture(int layer, const char* fileName, bool colorKeyed, bool quiet, float w, float h) {
    width = w;
    height = h;
    key_.setLayer(layer);
    if (!finishLoad(key_, TextureRegistry::instance().loadTexture(fileName, colorKeyed, quiet))) return false;
    key_.setFlag(keyflag::AlphaBlend, colorKeyed);
    key_.setFlag(keyflag::AlphaTest, colorKeyed);
    return attachQuad(key_);
}

bool Sprite::loadKeyed(int layer, const char* fileName, bool colorKeyed, float w, float h) {
    return loadPicture(layer, fileName, colorKeyed, false, w, h);
}

bool Sprite::loadOptional(int layer, const char* fileName, float w, float h) {
    return loadPicture(layer, fileName, true, true, w, h);
}

bool Sprite::loadCells(int layer, const char* fileName, float w, float h, float cellWidth, float cellHeight) {
    width = w;
    height = h;
    cellSize = {cellWidth, cellHeight};
    cellMode = true;
    key_.setLayer(layer);
    if (!finishLoad(key_, TextureRegistry::instance().loadTexture(fileName))) return false;
    return attachQuad(key_);
}

bool Sprite::loadPlain(int layer, const char* fileName, float w, float h) {
    width = w;
    height = h;
    key_.setLayer(layer);
    if (!finishLoad(key_, TextureRegistry::instance().loadTexture(fileName))) return false;
    return attachQuad(key_);
}
