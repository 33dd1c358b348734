#pragma once
// The SDL side of the program shell: window and events, message box, clock, input.
#include <string>

#include "platform/clock.h"
#include "platform/input_system.h"
#include "platform/window_system.h"

// Starts SDL's video. Null when there is no display to show a window on; `reason` then
// says why.
WindowSystem* createSdlWindowSystem(std::string* reason);

// A modal box with an OK button and no owner window.
void sdlErrorBox(const char* caption, const char* text);

// SDL's monotonic performance counter and its millisecond ticks.
Clock* sdlClock();

// Keyboard and mouse of the SDL window. Needs the SDL window system to be running.
InputSystem* createSdlInputSystem();
