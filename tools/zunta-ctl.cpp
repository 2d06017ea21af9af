// Small helper for the development scripts: waits for Zunta's main window or
// closes it the way the title bar's close button does.
//   zunta-ctl wait [SECONDS]   exit 0 once the main window is shown
//   zunta-ctl close            post WM_CLOSE to the main window
//   zunta-ctl desktop          return once Wine's desktop process is up
//   zunta-ctl hold             keep the desktop up until the Wine server ends
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HWND FindMainWindow(void)
{
    HWND window = FindWindowA("#32770", "Zunta Calculator");
    return window && IsWindowVisible(window) ? window : nullptr;
}

int main(int argc, char **argv)
{
    if (argc >= 2 && strcmp(argv[1], "wait") == 0) {
        int seconds = argc >= 3 ? atoi(argv[2]) : 30;
        for (int i = 0; i < seconds * 20; i++) {
            if (FindMainWindow())
                return 0;
            Sleep(50);
        }
        fprintf(stderr, "zunta-ctl: no main window after %d s\n", seconds);
        return 1;
    }
    if (argc >= 2 && strcmp(argv[1], "close") == 0) {
        HWND window = FindMainWindow();
        if (window == nullptr)
            return 1;
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (argc >= 2 && strcmp(argv[1], "desktop") == 0) {
        // Returns when the desktop window exists, that is once Wine has
        // started the process that owns it.
        return GetDesktopWindow() != nullptr ? 0 : 1;
    }
    if (argc >= 2 && strcmp(argv[1], "hold") == 0) {
        // Wine starts its desktop process for the first program that needs
        // it; holding it here keeps it from starting inside a test.
        GetDesktopWindow();
        Sleep(INFINITE);
        return 0;
    }
    fprintf(stderr, "usage: zunta-ctl wait [SECONDS] | close | desktop | hold\n");
    return 2;
}
