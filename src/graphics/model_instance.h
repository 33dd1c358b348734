#pragma once
#include "graphics/renderable.h"
#include "platform/render_types.h"

// A lit, textured mesh placed by position and rotation (x pitch, y yaw, z roll).
class ModelInstance : public Renderable {
public:
    void render(RenderDevice& device) override;
    virtual bool loadUntextured(int layer, const char* meshFile);
    virtual bool loadKeyed(int layer, const char* textureFile, bool colorKeyed, const char* meshFile);
    virtual bool load(int layer, const char* textureFile, const char* meshFile);

    Vec3 position;
    Vec3 rotation;
};
