// The benchmarks on Windows: Win32 window and clock, Direct3D 9, DirectSound (silent where it
// does not open, as in the program).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "bench_platform.h"
#include "platform/audio_system.h"
#include "platform/d3d9_render_system.h"
#include "platform/dsound_audio.h"
#include "platform/render_device.h"
#include "platform/win32_shell.h"

namespace {
AudioSystem* g_audio = nullptr;
}

WindowSystem* startBenchPlatform(std::string*) {
    installClock(win32Clock());
    setRenderSystemFactory(createD3d9RenderSystem);
    setD3d9PresentPacing(false);
    g_audio = createDirectSoundAudioSystem();
    installAudioSystem(g_audio);
    return createWin32WindowSystem(GetModuleHandleA(nullptr));
}

void stopBenchPlatform(WindowSystem* windows) {
    installAudioSystem(nullptr);
    delete g_audio;
    g_audio = nullptr;
    delete windows;
}

bool benchCullEverything(bool) { return false; }

const char* benchDeviceName() { return "Direct3D 9"; }
