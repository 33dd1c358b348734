#pragma once
// The Win32 side of the program shell: window and message queue, message box, clock.
// The window handle handed out is the HWND.
#include "platform/clock.h"
#include "platform/window_system.h"

// Registers the window class "Frostel" of the program instance (an HINSTANCE). The icon is
// the instance's resource 32512.
WindowSystem* createWin32WindowSystem(void* instance);

// MessageBoxA with no owner window and an OK button.
void win32ErrorBox(const char* caption, const char* text);

// QueryPerformanceCounter, and timeGetTime for the millisecond fallback.
Clock* win32Clock();
