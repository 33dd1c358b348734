// The Windows program: Win32 window, Direct3D 9 rendering, DirectInput 8, DirectSound.
// A backend whose folder is not part of the build yet is left out: the game then reports
// the missing device in its own words (or stays silent, for sound).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/audio_system.h"
#include "platform/input_system.h"
#include "platform/program_entry.h"
#include "platform/render_device.h"
#include "platform/win32_shell.h"

#if __has_include("platform/d3d9_render_system.h")
#include "platform/d3d9_render_system.h"
#define FROSTEL_HAS_D3D9 1
#endif
#if __has_include("platform/dinput_input_system.h")
#include "platform/dinput_input_system.h"
#define FROSTEL_HAS_DINPUT 1
#endif
#if __has_include("platform/dsound_audio.h")
#include "platform/dsound_audio.h"
#define FROSTEL_HAS_DSOUND 1
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    installClock(win32Clock());
#ifdef FROSTEL_HAS_D3D9
    setRenderSystemFactory(createD3d9RenderSystem);
#endif
#ifdef FROSTEL_HAS_DINPUT
    setInputSystemFactory(createDirectInputSystem);
#endif
    AudioSystem* audio = nullptr;
#ifdef FROSTEL_HAS_DSOUND
    audio = createDirectSoundAudioSystem();
    installAudioSystem(audio);
#endif
    WindowSystem* windows = createWin32WindowSystem(instance);

    PlatformShell shell;
    shell.windows = windows;
    shell.errorBox = win32ErrorBox;
    runGame(shell);

    installAudioSystem(nullptr);
    delete audio;
    delete windows;
    return 0;
}
