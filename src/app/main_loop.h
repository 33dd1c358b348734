#pragma once
// The program after the platform services are installed.
#include <functional>

#include "platform/window_system.h"

// What the window procedure does: a close request destroys the window, which posts the quit.
void handleWindowEvent(WindowSystem& windows, WindowHandle window, const WindowEvent& event);

// One waiting event or, when none waits, one frame per pass, until the quit is taken.
// A frame that returns false destroys the window; no frame runs after that.
void runEventLoop(WindowSystem& windows, WindowHandle window, const std::function<bool()>& frame);

// Window, Application, start-up and the loop. The exit status, always 0.
int runProgram(WindowSystem& windows);
