// The progress bar of the main window: the hashing job's reports, and the
// taskbar button kept in step with the bar on the window's thread.
#include "ui/progress.h"

#include "checksum/hashjob.h"
#include "platform/runlock.h"
#include "resources/resource.h"
#include "ui/runs.h"
#include "ui/taskbar.h"

#include <commctrl.h>

int ReportProgress(void *mainWindow, int32_t percentage)
{
    bool cancelled = ReadRunState() == RUN_CANCEL_REQUESTED;
    if (percentage == PROGRESS_CHECK_ONLY && !cancelled)
        return 0;
    // Sent, not posted: the worker waits until the window's thread has applied
    // it, after what the run did before.
    ShowRunBacklog((HWND)mainWindow);
    SendDlgItemMessageA((HWND)mainWindow, IDC_PROGRESS, PBM_SETPOS, cancelled ? 0 : percentage, 0);
    return cancelled ? -1 : 0;
}

// A run goes: the button follows the bar.
static bool RunShown;

static LRESULT CALLBACK RunBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(bar, RunBarProc, 0);
    LRESULT result = DefSubclassProc(bar, message, wParam, lParam);
    if (message != PBM_SETPOS || !RunShown)
        return result;
    // The button gets what the bar shows, within its range. A worker that
    // sent the position waits: the run's positions come in batches that
    // the window shows in order, and an early answer would let the worker
    // run ahead of the rest of its batch.
    TaskbarShow(GetParent(bar), TASKBAR_NORMAL, (int)DefSubclassProc(bar, PBM_GETPOS, 0, 0));
    return result;
}

void WatchRunBar(HWND window)
{
    SetWindowSubclass(GetDlgItem(window, IDC_PROGRESS), RunBarProc, 0, 0);
}

void RunBarBegin(HWND window)
{
    RunShown = true;
    TaskbarShow(window, TASKBAR_NORMAL, 0);
}

void RunBarEnd(HWND window)
{
    RunShown = false;
    TaskbarShow(window, TASKBAR_NONE, -1);
}

int RunMessageBox(HWND window, const char *text, const char *title, UINT type, int state)
{
    if (state != TASKBAR_PAUSED && state != TASKBAR_ERROR)
        return MessageBoxA(window, text, title, type);
    HWND bar = GetDlgItem(window, IDC_PROGRESS);
    SendMessageA(bar, PBM_SETSTATE, state == TASKBAR_ERROR ? PBST_ERROR : PBST_PAUSED, 0);
    // The failures of an ended run on a full button; a pause where the run is.
    TaskbarShow(window, state, state == TASKBAR_ERROR ? 100 : -1);
    int answer = MessageBoxA(window, text, title, type);
    SendMessageA(bar, PBM_SETSTATE, PBST_NORMAL, 0);
    TaskbarShow(window, RunShown ? TASKBAR_NORMAL : TASKBAR_NONE, -1);
    return answer;
}
