// The window class, the one top-level window and its message queue.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/win32_shell.h"

namespace {

constexpr const char* kClassName = "Frostel";
constexpr UINT kQuitCode = 18;  // the exit code posted on WM_DESTROY
constexpr WORD kIconResource = 32512;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(kQuitCode);
    return DefWindowProcA(window, message, wParam, lParam);
}

class Win32WindowSystem final : public WindowSystem {
public:
    explicit Win32WindowSystem(HINSTANCE instance) : instance_(instance) {
        WNDCLASSA wc{};
        wc.style = 0;
        wc.lpfnWndProc = windowProc;
        wc.cbClsExtra = 0;
        wc.cbWndExtra = 0;
        wc.hInstance = instance;
        wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszMenuName = nullptr;
        wc.lpszClassName = kClassName;
        RegisterClassA(&wc);  // a failure shows as a failed CreateWindowExA
    }

    WindowHandle createWindow(const char* title, int width, int height, bool screenSized) override {
        if (screenSized) {
            width = GetSystemMetrics(SM_CXSCREEN);
            height = GetSystemMetrics(SM_CYSCREEN);
        }
        HWND window = CreateWindowExA(0, kClassName, title, WS_POPUP | WS_CAPTION, 0, 0, width, height,
                                      nullptr, nullptr, instance_, nullptr);
        if (window) window_ = window;
        return window;
    }

    void showWindow(WindowHandle window) override {
        if (!window || window != window_) return;
        ShowWindow(window_, SW_SHOWNORMAL);
        UpdateWindow(window_);
    }

    // WM_DESTROY posts the quit; the system may also have destroyed the window already.
    void destroyWindow(WindowHandle window) override {
        if (!window || window != window_) return;
        if (IsWindow(window_)) DestroyWindow(window_);
        window_ = nullptr;
    }

    bool takeEvent(WindowEvent* event) override {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        // Closing goes through DefWindowProcA to DestroyWindow; the program sees only the quit.
        event->kind = msg.message == WM_QUIT ? WindowEvent::Quit : WindowEvent::Other;
        return true;
    }

    void hideCursor() override { ShowCursor(FALSE); }

private:
    HINSTANCE instance_;
    HWND window_ = nullptr;
};

}  // namespace

WindowSystem* createWin32WindowSystem(void* instance) {
    return new Win32WindowSystem(static_cast<HINSTANCE>(instance));
}

void win32ErrorBox(const char* caption, const char* text) { MessageBoxA(nullptr, text, caption, MB_OK); }
