// The main window: a modal dialog shown again for as long as the user
// switches the language.
#ifndef ZUNTA_MAINWND_H
#define ZUNTA_MAINWND_H

#include <windows.h>

struct MainWindowState {
    HINSTANCE Instance;     // the program's module, for templates and icons
    HWND Window;            // the main window, or null between two showings
    bool NoFileRows;        // the list holds no file row
};

extern MainWindowState MainWnd;

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
