// The main window's dialog procedure.
#include "ui/mainwnd.h"

MainWindowState MainWnd;

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        MainWnd.Window = window;
        break;
    case WM_CLOSE:
        EndDialog(window, 0);
        break;
    }
    return FALSE;
}
