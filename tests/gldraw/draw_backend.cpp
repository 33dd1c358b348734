#include "gldraw/draw_backend.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include "platform/d3d9_render_system.h"
#include "platform/win32_shell.h"

namespace {
// No instance: the class gets the system's default icon, which is all a test window needs.
WindowSystem* startWin32(std::string*) { return createWin32WindowSystem(nullptr); }

// Under Wine the working set is the Linux process's resident size, the renderer's memory included.
size_t residentBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? counters.WorkingSetSize : 0;
}

int threadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int n = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++n;
    CloseHandle(snapshot);
    return n;
}
}  // namespace

const DrawBackend& drawBackend() {
    static const DrawBackend backend{"Direct3D 9",      startWin32,         createD3d9RenderSystem,
                                     setD3d9PresentPacing, readD3d9BackBuffer, nullptr,
                                     switchD3d9Focus,    residentBytes,      threadCount};
    return backend;
}
#else
#include "platform/gl_render_system.h"
#include "platform/sdl_shell.h"

const DrawBackend& drawBackend() {
    static const DrawBackend backend{"OpenGL", createSdlWindowSystem, createGlRenderSystem, setPresentPacing,
                                     readGlBackBuffer, readGlWindow, nullptr, nullptr, nullptr};
    return backend;
}
#endif
