// The Linux program: SDL window and input, OpenGL rendering, SDL2_mixer audio.
#include <cstdio>
#include <string>

#include "platform/audio_system.h"
#include "platform/gl_render_system.h"
#include "platform/mixer_audio.h"
#include "platform/program_entry.h"
#include "platform/render_device.h"
#include "platform/sdl_shell.h"

int main() {
    std::string reason;
    WindowSystem* windows = createSdlWindowSystem(&reason);
    if (!windows) {
        std::fprintf(stderr,
                     "Frostel needs a graphical display, and none could be opened (%s).\n"
                     "Start it from a desktop session, or set DISPLAY.\n",
                     reason.c_str());
        return 0;
    }
    installClock(sdlClock());
    setInputSystemFactory(createSdlInputSystem);
    setRenderSystemFactory(createGlRenderSystem);
    AudioSystem* audio = createMixerAudioSystem();
    installAudioSystem(audio);

    PlatformShell shell;
    shell.windows = windows;
    shell.errorBox = sdlErrorBox;
    const int status = runGame(shell);

    // The game has stopped the audio; the window system goes last, it shuts SDL down.
    installAudioSystem(nullptr);
    delete audio;
    delete windows;
    return status;
}
