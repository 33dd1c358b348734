#include "gldraw/draw_backend.h"

#ifdef _WIN32
#include "platform/d3d9_render_system.h"
#include "platform/win32_shell.h"

namespace {
// No instance: the class gets the system's default icon, which is all a test window needs.
WindowSystem* startWin32(std::string*) { return createWin32WindowSystem(nullptr); }
}  // namespace

const DrawBackend& drawBackend() {
    static const DrawBackend backend{"Direct3D 9", startWin32, createD3d9RenderSystem, setD3d9PresentPacing,
                                     readD3d9BackBuffer, nullptr, switchD3d9Focus};
    return backend;
}
#else
#include "platform/gl_render_system.h"
#include "platform/sdl_shell.h"

const DrawBackend& drawBackend() {
    static const DrawBackend backend{"OpenGL", createSdlWindowSystem, createGlRenderSystem, setPresentPacing,
                                     readGlBackBuffer, readGlWindow, nullptr};
    return backend;
}
#endif
