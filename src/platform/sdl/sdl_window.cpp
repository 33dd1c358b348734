#include <SDL.h>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

#include "platform/sdl_shell.h"

namespace {
class SdlWindowSystem final : public WindowSystem {
public:
    ~SdlWindowSystem() override {
#ifdef __SANITIZE_ADDRESS__
        // Closing the display unloads the GL driver, and leaks reported after that have no
        // module name to suppress them by; by now the game itself has freed everything.
        __lsan_do_leak_check();
#endif
        if (window_) SDL_DestroyWindow(window_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    WindowHandle createWindow(const char* title, int width, int height, bool screenSized) override {
        // Both builds take the whole display, so the window is made as large as the screen
        // whatever its own size: without a window manager (Xvfb, a bare X server) nothing
        // else would stretch a 640x480 window over the display. It is a borderless window
        // rather than SDL's full-screen mode, whose switch on X11 waits up to 100 ms for a
        // window manager at every start.
        SDL_Rect bounds{0, 0, width, height};
        if (SDL_GetDisplayBounds(0, &bounds) != 0 && screenSized) return nullptr;
        Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
        SDL_Window* window = SDL_CreateWindow(title, bounds.x, bounds.y, bounds.w, bounds.h, flags);
        if (!window) return nullptr;
        if (window_) SDL_DestroyWindow(window_);
        window_ = window;
        destroyed_ = false;
        quitPosted_ = false;
        return window;
    }

    void showWindow(WindowHandle window) override {
        if (window && window == window_ && !destroyed_) SDL_ShowWindow(window_);
    }

    // The window goes away at once, but the SDL window itself lives on hidden until this
    // object is deleted: the render device, torn down after the loop, still holds its GL
    // context on it.
    void destroyWindow(WindowHandle window) override {
        if (!window || window != window_ || destroyed_) return;
        SDL_HideWindow(window_);
        destroyed_ = true;
        quitPosted_ = true;
    }

    bool takeEvent(WindowEvent* event) override {
        if (quitPosted_) {
            quitPosted_ = false;
            event->kind = WindowEvent::Quit;
            return true;
        }
        SDL_Event e;
        if (!SDL_PollEvent(&e)) return false;
        // SDL_QUIT comes from the last window's close button and from SIGINT/SIGTERM.
        bool close = e.type == SDL_QUIT ||
                     (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE);
        event->kind = close ? WindowEvent::CloseRequest : WindowEvent::Other;
        return true;
    }

    void hideCursor() override { SDL_ShowCursor(SDL_DISABLE); }

private:
    SDL_Window* window_ = nullptr;
    bool destroyed_ = false;
    bool quitPosted_ = false;
};
}  // namespace

WindowSystem* createSdlWindowSystem(std::string* reason) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (reason) *reason = SDL_GetError();
        return nullptr;
    }
    // With no display SDL falls back to drivers that show nothing; a game nobody can
    // see would run on unnoticed.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)) {
        if (reason) *reason = std::string("no display found, only SDL's ") + driver + " video driver";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    return new SdlWindowSystem();
}

void sdlErrorBox(const char* caption, const char* text) {
    // Without a display this fails; the text has gone to stderr already.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr);
}
