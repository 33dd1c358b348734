// The Windows program: Win32 window, Direct3D 9 rendering, DirectInput 8, DirectSound.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/audio_system.h"
#include "platform/d3d9_render_system.h"
#include "platform/dinput_input_system.h"
#include "platform/dsound_audio.h"
#include "platform/input_system.h"
#include "platform/program_entry.h"
#include "platform/render_device.h"
#include "platform/win32_shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    installClock(win32Clock());
    setRenderSystemFactory(createD3d9RenderSystem);
    setInputSystemFactory(createDirectInputSystem);
    AudioSystem* audio = createDirectSoundAudioSystem();
    installAudioSystem(audio);
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
