// The progress bar of the main window as the hashing job sees it.
#include "ui/progress.h"

#include "checksum/hashjob.h"
#include "platform/runlock.h"
#include "resources/resource.h"

#include <commctrl.h>

int ReportProgress(void *mainWindow, int32_t percentage)
{
    bool cancelled = ReadRunState() == RUN_CANCEL_REQUESTED;
    if (percentage == PROGRESS_CHECK_ONLY && !cancelled)
        return 0;
    // Sent, not posted: the worker waits until the window's thread has applied it.
    SendDlgItemMessageA((HWND)mainWindow, IDC_PROGRESS, PBM_SETPOS, cancelled ? 0 : percentage, 0);
    return cancelled ? -1 : 0;
}
