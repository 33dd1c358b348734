#pragma once
#include "graphics/draw_key.h"

class RenderDevice;

// Everything in the draw list.
class Renderable {
public:
    virtual void render(RenderDevice& device) = 0;
    virtual ~Renderable() = default;

    bool isVisible() const { return visible; }
    void setVisible(bool v) { visible = v; }
    DrawKey& key() { return key_; }
    const DrawKey& key() const { return key_; }

    bool visible = true;

protected:
    DrawKey key_;
};
