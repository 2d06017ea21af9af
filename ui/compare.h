// Comparing a file's checksum with one copied to the clipboard.
#ifndef ZUNTA_COMPARE_H
#define ZUNTA_COMPARE_H

#include <windows.h>

// Compares the selected row's checksum with the clipboard's; when the row
// does not have that checksum yet, a run of that row computes it first.
void CompareWithClipboard(HWND window);
// After that run: the answer, or why there is none.
void ShowComparisonAfterRun(HWND window);

#endif
