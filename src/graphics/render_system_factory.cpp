#include "platform/render_device.h"

namespace {
RenderSystemFactory g_factory = nullptr;
}

void setRenderSystemFactory(RenderSystemFactory factory) { g_factory = factory; }

RenderSystem* createRenderSystem() { return g_factory ? g_factory() : nullptr; }
