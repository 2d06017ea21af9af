// The file list's context menu and the keyboard shortcuts of its commands:
// copying checksums, paths and results, comparing with the clipboard,
// saving and verifying checksum files, and showing a file in its folder.
#ifndef ZUNTA_LISTMENU_H
#define ZUNTA_LISTMENU_H

#include <windows.h>

// WM_CONTEXTMENU of the list: the menu at screen point (x, y), or below the
// selected row when both are -1 (the menu key, Shift+F10). A right click on
// a file row selects that row first.
void ShowListMenu(HWND window, int x, int y);
// The context menu with each item enabled when it can act now; the caller
// destroys it.
HMENU BuildListMenu(HWND window);
// True when the command (an IDM_ id) can act now.
bool ListCommandEnabled(HWND window, int id);
// Carries out an IDM_ command, when it can act.
void OnListCommand(HWND window, int id);

// The shortcuts of the commands work in the main window, not while another
// window of the program is up. The main window is a modal dialog, so they
// are taken from its message loop by a message filter: installed when the
// window is made, removed when it goes.
void InstallListShortcuts(void);
void RemoveListShortcuts(void);

// Text on the clipboard, owned by window. Returns 0, or -1.
int PutClipboardText(HWND window, const char *text);
// The clipboard's text as a heap copy, or null when it holds none.
char *TakeClipboardText(HWND window);

// How the shell is asked to show a file in its folder (tests replace it).
extern HINSTANCE(WINAPI *ShellOpen)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

// After a run of given rows: what the command that started it does next
// (the SHA-256 copied, or the checksum file written).
void FinishRowsRun(HWND window);

#endif
