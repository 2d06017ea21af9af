// Process All and Verify over a folder of many small files, timed with the
// main window on the screen as a user would wait for them, with the
// messages the workers sent to the window's thread counted and the
// window's time showing what they did.
//   zunta_runbench FOLDER SUMS [TURNS]   prints a line for Process All (CRC32 and MD5) of
//                                the folder's files and one for the verification
//                                of the checksum file SUMS, the best of TURNS turns (3)
#include "base/lang.h"
#include "base/program.h"
#include "base/settings.h"
#include "core/filelist.h"
#include "platform/runlock.h"
#include "resources/resource.h"
#include "ui/addfiles.h"
#include "ui/historyrun.h"
#include "ui/listview.h"
#include "ui/mainwnd.h"
#include "ui/runs.h"
#include "ui/saveverify.h"

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// The window and its controls, each with the procedure it had, and the
// messages they were sent from another thread.
enum { WATCHED_MAX = 64 };
static HWND Watched[WATCHED_MAX];
static WNDPROC WatchedProcs[WATCHED_MAX];
static int WatchedCount;
static long CrossThreadSends;
static int Depth;   // messages being handled: only the outermost is counted
static double ShowingSeconds;   // the window's time showing what the run did

static double Now(void)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

static LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Depth == 0 && (InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_REPLIED)) == ISMEX_SEND)
        CrossThreadSends++;
    LRESULT result = 0;
    for (int i = 0; i < WatchedCount; i++)
        if (Watched[i] == window) {
            bool showing = Depth == 0 && (message == MSG_RUN_SHOW || message == MSG_RUN_FINISHED);
            double start = showing ? Now() : 0;
            Depth++;
            result = CallWindowProcA(WatchedProcs[i], window, message, wParam, lParam);
            Depth--;
            if (showing)
                ShowingSeconds += Now() - start;
            return result;
        }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void Watch(HWND window)
{
    if (WatchedCount == WATCHED_MAX)
        return;
    Watched[WatchedCount] = window;
    WatchedProcs[WatchedCount++] = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)CountingProc);
}

static BOOL CALLBACK WatchChild(HWND child, LPARAM)
{
    Watch(child);
    return TRUE;
}

// Carries out the window's messages; what a run found is not shown (no
// box waits for an answer), and counts as taken.
static void Pump(void)
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == MSG_RUN_FOLLOW_UP) {
            RunFollowUpTaken();
            DiscardVerification();
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

static void WaitForTheRun(void)
{
    Pump();
    while (MainWnd.RunThread != nullptr) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        Pump();
    }
    Pump();
}

// One turn: the folder's rows afresh, then the run. Returns its seconds.
static double Turn(HWND window, const char *folder, const char *sums, long *sends, double *showing)
{
    if (!MainWnd.NoFileRows)
        ClearAllRows(window);
    ResetHistory();
    DeleteFileA(Program.LastSessionLogPath);
    Pump();
    if (sums == nullptr)
        AddFolder(folder);
    Pump();
    CrossThreadSends = 0;
    ShowingSeconds = 0;
    auto start = std::chrono::steady_clock::now();
    if (sums == nullptr)
        SendMessageA(window, WM_COMMAND, IDC_PROCESS_ALL, 0);
    else
        VerifyChecksumFileAt(window, sums);
    WaitForTheRun();
    *sends = CrossThreadSends;
    *showing = ShowingSeconds;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int main(int argc, char **argv)
{
    if (argc != 3 && argc != 4) {
        fprintf(stderr, "usage: zunta_runbench FOLDER SUMS [TURNS]\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_WIN95_CLASSES };
    InitCommonControlsEx(&controls);
    MainWnd.Instance = GetModuleHandleA(nullptr);
    if (FileListInit(&Files, 32) == nullptr)
        return 1;
    memset(Files.Items, 0, 32 * sizeof Files.Items[0]);
    InitializeCriticalSection(&RunLock);
    Settings.LanguageId = LANGUAGE_ID_ENGLISH;
    SettingsSetDefaults(&Settings);
    Settings.CalcCRC32 = Settings.CalcMD5 = 1;
    SelectLanguageTable(Settings.LanguageId);
    // The logs go beside the checksum file, not into the user's folders.
    char logs[MAX_PATH];
    snprintf(logs, sizeof logs, "%s", argv[2]);
    char *slash = strrchr(logs, '\\');
    if (slash != nullptr)
        *slash = '\0';
    snprintf(Program.LastSessionLogPath, sizeof Program.LastSessionLogPath, "%s\\bench-LastSession.log", logs);
    snprintf(Program.AllSessionsLogPath, sizeof Program.AllSessionsLogPath, "%s\\bench-AllSessions.log", logs);
    snprintf(Program.HistoryStorePath, sizeof Program.HistoryStorePath, "%s\\bench-History.log", logs);
    HWND window = CreateDialogIndirectParamA(MainWnd.Instance, PrepareMainWindow(), nullptr, MainDialogProc, 0);
    if (window == nullptr)
        return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    Pump();
    Watch(window);
    EnumChildWindows(window, WatchChild, 0);

    for (int verify = 0; verify < 2; verify++) {
        double best = 0, showing = 0;
        long sends = 0;
        int turns = argc == 4 ? atoi(argv[3]) : 3;
        for (int turn = 0; turn < turns; turn++) {
            long turnSends;
            double turnShowing;
            double seconds = Turn(window, argv[1], verify ? argv[2] : nullptr, &turnSends, &turnShowing);
            if (turn == 0 || seconds < best) {
                best = seconds;
                sends = turnSends;
                showing = turnShowing;
            }
        }
        int files = (int)SendMessageA(GetDlgItem(window, IDC_FILE_LIST), LVM_GETITEMCOUNT, 0, 0);
        printf("%s, %d files: %.2f s, %.3f ms a file, %.2f sends a file, the window showing the run %.3f ms a "
               "file\n", verify ? "Verify" : "Process All", files, best, files > 0 ? best * 1000 / files : 0.0,
               files > 0 ? (double)sends / files : 0.0, files > 0 ? showing * 1000 / files : 0.0);
        fflush(stdout);
    }
    DestroyWindow(window);
    return 0;
}
