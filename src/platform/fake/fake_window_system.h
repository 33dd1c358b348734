#pragma once
// A window system driven by a script of events, logging what the shell asks of it.
#include <deque>
#include <string>
#include <vector>

#include "platform/window_system.h"

class FakeWindowSystem final : public WindowSystem {
public:
    WindowHandle createWindow(const char* title, int width, int height, bool screenSized) override;
    void showWindow(WindowHandle window) override;
    void destroyWindow(WindowHandle window) override;
    bool takeEvent(WindowEvent* event) override;
    void hideCursor() override;

    // Events waiting in the queue; a test may add more at any time, also during a frame.
    std::deque<WindowEvent::Kind> pending;
    // "create Frostel 1024x768 screen", "show", "event close", "event other", "quit",
    // "destroy", "hideCursor"; tests append their own entries (e.g. "frame").
    std::vector<std::string> log;

    bool failCreate = false;
    std::string title;
    int width = 0, height = 0;
    bool screenSized = false;
    bool destroyed = false;
    bool cursorHidden = false;

private:
    int window_ = 0;  // its address is the handle
    bool quitPosted_ = false;
};
