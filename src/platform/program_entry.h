#pragma once
// Between a platform's program entry (its composition point: sdl/sdl_platform.cpp,
// win32/win32_platform.cpp) and the game. The entry installs the clock, input, render and
// audio backends, then hands the game the window system and the error box.
#include "platform/window_system.h"

struct PlatformShell {
    WindowSystem* windows = nullptr;
    // A modal box with an OK button and no owner window.
    void (*errorBox)(const char* caption, const char* text) = nullptr;
};

// The game from window creation to the end of the message loop; the program defines it
// (src/app/main.cpp). Returns the exit status.
int runGame(const PlatformShell& shell);
