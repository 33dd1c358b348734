// The Win32 shell on a real (Wine) desktop: window class and window, the message loop's
// end on the quit code 18, and the clock.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/main_loop.h"
#include "platform/win32_shell.h"

namespace {

HINSTANCE self() { return GetModuleHandleA(nullptr); }

// Takes events until the quit; false if it never comes.
bool takeUntilQuit(WindowSystem& windows) {
    WindowEvent event;
    for (int i = 0; i < 10000; ++i)
        if (windows.takeEvent(&event) && event.kind == WindowEvent::Quit) return true;
    return false;
}

TEST(Win32Shell, WindowClassAndWindowAsTheProgramMakesThem) {
    std::unique_ptr<WindowSystem> windows(createWin32WindowSystem(self()));
    WNDCLASSA wc{};
    ASSERT_TRUE(GetClassInfoA(self(), "Frostel", &wc));
    EXPECT_EQ(wc.style, 0u);
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, 0);
    EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(wc.hbrBackground, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    HWND window = static_cast<HWND>(windows->createWindow("Frostel", 640, 480, false));
    ASSERT_NE(window, nullptr);
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 640);
    EXPECT_EQ(r.bottom - r.top, 480);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION), WS_POPUP | WS_CAPTION);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);  // the caption adds the edge
    char title[32] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Frostel");
    EXPECT_FALSE(IsWindowVisible(window));
    windows->showWindow(window);
    EXPECT_TRUE(IsWindowVisible(window));
    windows->destroyWindow(window);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(takeUntilQuit(*windows));

    // The 1024x768 program's window covers the screen, whatever size it asks for.
    HWND screen = static_cast<HWND>(windows->createWindow("Frostel", 1024, 768, true));
    ASSERT_NE(screen, nullptr);
    GetWindowRect(screen, &r);
    EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN));
    windows->destroyWindow(screen);
    EXPECT_TRUE(takeUntilQuit(*windows));
}

TEST(Win32Shell, DestroyingTheWindowPostsQuitCode18AndNoFrameFollows) {
    std::unique_ptr<WindowSystem> windows(createWin32WindowSystem(self()));
    WindowHandle window = windows->createWindow("Frostel", 640, 480, false);
    ASSERT_NE(window, nullptr);
    windows->showWindow(window);
    int frames = 0;
    runEventLoop(*windows, window, [&] { return ++frames < 3; });
    EXPECT_EQ(frames, 3);
    EXPECT_FALSE(IsWindow(static_cast<HWND>(window)));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));  // the loop took it

    // The quit's code, seen without the loop.
    window = windows->createWindow("Frostel", 640, 480, false);
    windows->destroyWindow(window);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 18u);
    EXPECT_TRUE(takeUntilQuit(*windows));
}

TEST(Win32Shell, ClosingTheWindowEndsTheLoop) {
    std::unique_ptr<WindowSystem> windows(createWin32WindowSystem(self()));
    WindowHandle window = windows->createWindow("Frostel", 640, 480, false);
    ASSERT_NE(window, nullptr);
    windows->showWindow(window);
    int frames = 0;
    runEventLoop(*windows, window, [&] {
        if (++frames == 2) PostMessageA(static_cast<HWND>(window), WM_CLOSE, 0, 0);  // as Alt+F4 does
        return true;
    });
    EXPECT_EQ(frames, 2);
    EXPECT_FALSE(IsWindow(static_cast<HWND>(window)));
}

TEST(Win32Clock, PerformanceCounterAndMillisecondsAdvance) {
    Clock* clock = win32Clock();
    int64_t frequency = 0;
    ASSERT_TRUE(clock->counterFrequency(&frequency));
    EXPECT_GT(frequency, 0);
    const int64_t c0 = clock->counter();
    const uint32_t m0 = clock->milliseconds();
    Sleep(30);
    const double seconds = double(clock->counter() - c0) / double(frequency);
    EXPECT_GE(seconds, 0.02);
    EXPECT_LT(seconds, 5.0);
    EXPECT_GE(clock->milliseconds() - m0, 20u);
}

}  // namespace
