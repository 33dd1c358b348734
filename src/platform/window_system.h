#pragma once
// The window and its event queue as the program shell uses them.
// The SDL implementation hands out the SDL_Window* as the handle; the window is made
// for OpenGL so the render device can draw into it.
#include "platform/window_handle.h"

struct WindowEvent {
    enum Kind {
        None,          // nothing taken yet
        Other,         // anything the program leaves to the system
        CloseRequest,  // the system asks the window to close (window close button, Alt+F4, SIGTERM)
        Quit,          // posted by destroyWindow; ends the loop
    };
    Kind kind = None;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // A hidden window titled `title`: `width` x `height`, or as large as the screen when
    // `screenSized`; it takes the display full-screen when shown. Null on failure.
    virtual WindowHandle createWindow(const char* title, int width, int height, bool screenSized) = 0;
    virtual void showWindow(WindowHandle window) = 0;
    // Destroys the window and posts the quit: the next takeEvent returns Quit.
    // A second call for the same window does nothing.
    virtual void destroyWindow(WindowHandle window) = 0;
    // Removes one waiting event from the queue into `event`; false when none waits.
    virtual bool takeEvent(WindowEvent* event) = 0;
    // Hides the system cursor for the rest of the run.
    virtual void hideCursor() = 0;
};
