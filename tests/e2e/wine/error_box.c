/* Answers one message box titled "Error" of a program under Wine, as a player would: waits
 * for the box, prints its text on a line of its own and presses OK, then waits until it has
 * gone, so that a second call sees only a later box.
 * Usage: error_box.exe [WAIT_MS]   (default 10000)
 * Status: 0 answered, 1 no box within WAIT_MS, 2 the box stayed after OK. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

/* The dialog class of MessageBox and the id of its text control. */
#define DIALOG_CLASS "#32770"
#define TEXT_ID 0xFFFF

static HWND find_box(void)
{
    HWND box = FindWindowA(DIALOG_CLASS, "Error");
    return box && IsWindowVisible(box) ? box : NULL;
}

int main(int argc, char** argv)
{
    DWORD wait = argc > 1 ? (DWORD)strtoul(argv[1], NULL, 10) : 10000;
    DWORD start = GetTickCount();
    HWND box;
    char text[1024];

    while (!(box = find_box())) {
        if (GetTickCount() - start >= wait) return 1;
        Sleep(50);
    }
    text[0] = '\0';
    GetDlgItemTextA(box, TEXT_ID, text, sizeof text);
    printf("%s\n", text);
    fflush(stdout);

    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(box, IDOK));
    start = GetTickCount();
    while (IsWindow(box)) {
        if (GetTickCount() - start >= 10000) return 2;
        Sleep(20);
    }
    return 0;
}
