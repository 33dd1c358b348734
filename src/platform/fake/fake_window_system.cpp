#include "platform/fake/fake_window_system.h"

WindowHandle FakeWindowSystem::createWindow(const char* t, int w, int h, bool s) {
    log.push_back("create " + std::string(t) + " " + std::to_string(w) + "x" + std::to_string(h) +
                  (s ? " screen" : ""));
    if (failCreate) return nullptr;
    title = t;
    width = w;
    height = h;
    screenSized = s;
    return &window_;
}

void FakeWindowSystem::showWindow(WindowHandle window) {
    if (window == &window_) log.push_back("show");
}

void FakeWindowSystem::destroyWindow(WindowHandle window) {
    if (window != &window_ || destroyed) return;
    log.push_back("destroy");
    destroyed = true;
    quitPosted_ = true;
}

bool FakeWindowSystem::takeEvent(WindowEvent* event) {
    if (quitPosted_) {
        quitPosted_ = false;
        log.push_back("quit");
        event->kind = WindowEvent::Quit;
        return true;
    }
    if (pending.empty()) return false;
    event->kind = pending.front();
    pending.pop_front();
    log.push_back(event->kind == WindowEvent::CloseRequest ? "event close" : "event other");
    return true;
}

void FakeWindowSystem::hideCursor() {
    log.push_back("hideCursor");
    cursorHidden = true;
}
