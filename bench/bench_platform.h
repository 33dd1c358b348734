#pragma once
// The platform under a benchmark program, chosen when it is built: one source per platform
// (bench_platform_sdl.cpp, bench_platform_win32.cpp) composes the backends as that platform's
// program entry does, with the refresh pacing off. The benchmark programs themselves are shared.
#include <string>

#include "platform/window_system.h"

// Starts the window system and installs the clock, the render system and the audio. Null when
// there is no display; `reason` then says why.
WindowSystem* startBenchPlatform(std::string* reason);
// Uninstalls the audio and ends the window system.
void stopBenchPlatform(WindowSystem* windows);

// Every triangle culled after set-up, so a frame costs all but rasterising and shading. False
// where the device has no such switch (Direct3D 9).
bool benchCullEverything(bool on);

// Which device the figures are of, for the printed lines.
const char* benchDeviceName();
