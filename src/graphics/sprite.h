#pragma once
#include "graphics/renderable.h"
#include "platform/render_types.h"

struct TexCoord {
    float u = 0, v = 0;
};

// A textured rectangle in back-buffer pixels; optionally one cell of its texture.
class Sprite : public Renderable {
public:
    void render(RenderDevice& device) override;
    virtual bool loadKeyed(int layer, const char* fileName, bool colorKeyed, float width, float height);
    virtual bool loadCells(int layer, const char* fileName, float width, float height, float cellWidth,
                           float cellHeight);
    virtual bool loadPlain(int layer, const char* fileName, float width, float height);
    // A colour-keyed picture the game can do without: a file that fails is not reported.
    bool loadOptional(int layer, const char* fileName, float width, float height);

    void setPosition(float x, float y, float z) { position = {x, y, z}; }

    Vec3 position;  // top-left corner
    float width = 0, height = 0;
    bool cellMode = false;
    TexCoord cellOffset;
    TexCoord cellSize;

private:
    bool loadPicture(int layer, const char* fileName, bool colorKeyed, bool quiet, float width, float height);
};
