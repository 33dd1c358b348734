// The benchmarks on Linux: SDL window and clock, OpenGL, SDL2_mixer.
#include "bench_platform.h"

#include "platform/audio_system.h"
#include "platform/gl_render_system.h"
#include "platform/mixer_audio.h"
#include "platform/render_device.h"
#include "platform/sdl_shell.h"

namespace {
AudioSystem* g_audio = nullptr;
}

WindowSystem* startBenchPlatform(std::string* reason) {
    WindowSystem* windows = createSdlWindowSystem(reason);
    if (!windows) return nullptr;
    installClock(sdlClock());
    setRenderSystemFactory(createGlRenderSystem);
    g_audio = createMixerAudioSystem();
    installAudioSystem(g_audio);
    setPresentPacing(false);
    return windows;
}

void stopBenchPlatform(WindowSystem* windows) {
    installAudioSystem(nullptr);
    delete g_audio;
    g_audio = nullptr;
    delete windows;
}

bool benchCullEverything(bool on) {
    setCullEverything(on);
    return true;
}

const char* benchDeviceName() { return "OpenGL"; }
