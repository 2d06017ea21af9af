// Reading another process's main window as a user sees it: list rows and
// control texts, and driving its open-file dialog.
#ifndef ZUNTA_TESTS_REMOTE_WINDOW_H
#define ZUNTA_TESTS_REMOTE_WINDOW_H

#include <windows.h>

#include <string>
#include <vector>

// Text of a cell of the list view of another process (same architecture).
std::string RemoteCell(HWND list, int row, int column);
int RemoteRowCount(HWND list);
std::vector<std::string> RemoteColumn(HWND list, int column);
std::string RemoteControlText(HWND window, int id);
// A row's bounds in screen coordinates.
RECT RemoteRowRect(HWND list, int row);

// Finds a visible dialog of process processId titled title, waiting up to timeoutMs.
HWND WaitForProcessDialog(DWORD processId, const char *title, DWORD timeoutMs = 20000);
// Fills the file name box of an open-file dialog and presses its Open button.
bool TypeIntoOpenDialog(HWND dialog, const std::string &text);

#endif
