/* Brings a full-screen game under Wine back after another program had the focus, as a
 * player does from the taskbar: a full-screen Direct3D device minimizes its window when the
 * window loses the focus, and a minimized window takes no focus from X (xdotool). Restores
 * the window titled TITLE and makes it the foreground window; it then holds the X focus.
 * Usage: restore_window.exe [TITLE]   (default "Frostel")
 * Status: 0 done (restored and in the foreground), 1 no such window, 2 not back within 5 s. */
#include <windows.h>
#include <stdio.h>

int main(int argc, char** argv)
{
    const char* title = argc > 1 ? argv[1] : "Frostel";
    HWND window = FindWindowA(NULL, title);
    if (!window) {
        fprintf(stderr, "restore_window: no window titled \"%s\"\n", title);
        return 1;
    }
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    /* the game's thread restores and activates it: wait for that, up to 5 s */
    for (int i = 0; i < 100; i++) {
        if (!IsIconic(window) && GetForegroundWindow() == window) return 0;
        Sleep(50);
    }
    fprintf(stderr, "restore_window: \"%s\" is not back after 5 s\n", title);
    return 2;
}
