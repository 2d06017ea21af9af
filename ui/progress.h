// The progress bar of the main window: as the hashing job sees it, and on
// the window's thread in step with the taskbar button.
#ifndef ZUNTA_PROGRESS_H
#define ZUNTA_PROGRESS_H

#include <windows.h>
#include <stdint.h>

// Progress report of a run's hashing job; context is the main window. Reads
// the run state under the run lock, then sets the bar: to 0 with the answer
// -1 when a cancel was requested, else to the percentage with the answer 0.
int ReportProgress(void *mainWindow, int32_t percentage);

// Window's thread. WM_INITDIALOG: while a run goes, the taskbar button
// shows each position the bar takes.
void WatchRunBar(HWND window);
// A run starts: the button shows its progress, from 0.
void RunBarBegin(HWND window);
// The run has ended: the button shows nothing.
void RunBarEnd(HWND window);
// A message box of a run, shown with MessageBoxA's arguments and answer.
// With TASKBAR_PAUSED (a question the going run waits for) or TASKBAR_ERROR
// (what the run found failed), the bar and the button show that state
// while it waits, and go back afterwards.
int RunMessageBox(HWND window, const char *text, const char *title, UINT type, int state);

#endif
