// The Windows counterpart of bare_window.cpp, the baseline of the start-up and memory figures
// under Wine: the least a program can do to show a frame, a Win32 window at the screen's
// corner with a Direct3D 9 device that clears and presents, presenting immediately. The device
// is of the game's kind, full-screen and with hardware vertex processing (software if that
// fails), so that the figures compare the game with the same device doing nothing. It stands
// apart from the game on purpose and talks to Win32 and Direct3D directly. The first Present
// is stamped for startup_bench (first_present_stamp.h).
//
// Usage: bare_window_d3d9.exe [SECONDS to keep presenting, default 0: one frame] [WIDTH HEIGHT]
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <d3d9.h>

#include <cstdio>
#include <cstdlib>

#include "first_present_stamp.h"

namespace {
LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    return DefWindowProcA(window, message, w, l);
}
}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 0.0;
    const int width = argc > 3 ? std::atoi(argv[2]) : 1024;
    const int height = argc > 3 ? std::atoi(argv[3]) : 768;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "bare";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("bare", "bare", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                                instance, nullptr);
    IDirect3D9* d3d = window ? Direct3DCreate9(31) : nullptr;  // mingw's D3D_SDK_VERSION says 32
    if (!d3d) {
        std::fprintf(stderr, "bare_window_d3d9: no window or no Direct3D 9\n");
        return 1;
    }
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = width;
    p.BackBufferHeight = height;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.hDeviceWindow = window;
    p.Windowed = FALSE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D16;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    IDirect3DDevice9* device = nullptr;
    if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p,
                                 &device)) &&
        FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p,
                                 &device))) {
        std::fprintf(stderr, "bare_window_d3d9: CreateDevice failed\n");
        return 1;
    }
    const ULONGLONG end = GetTickCount64() + ULONGLONG(seconds * 1000.0);
    do {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
        device->BeginScene();
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        stampFirstPresent();
    } while (GetTickCount64() < end);
    device->Release();
    d3d->Release();
    DestroyWindow(window);
    return 0;
}
