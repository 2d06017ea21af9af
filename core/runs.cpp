// Processing runs. The worker never touches a control itself: every read
// and write of the list, the texts and the bar is a message sent to the
// window's thread. Result fields of an entry are written under the entry
// lock, never while a message is being sent.
#include "core/runs.h"

#include "app/lang.h"
#include "app/settings.h"
#include "app/textutil.h"
#include "checksum/checksum_text.h"
#include "checksum/hashjob.h"
#include "core/fileinfo.h"
#include "core/filelist.h"
#include "core/run.h"
#include "core/sessionlog.h"
#include "resources/resource.h"
#include "ui/listview.h"
#include "ui/mainwnd.h"
#include "ui/progress.h"
#include "ui/result.h"
#include "ui/sizetext.h"

#include <stdio.h>
#include <string.h>

HANDLE(WINAPI *CreateRunThread)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD,
                                LPDWORD) = CreateThread;

static const char CounterClearText[] = "          ";
static const char HintStatus[] = " ";
enum { CRC_COLUMN_READ_SIZE = 30, COUNTER_TEXT_SIZE = 32 };

static int ReadChecksumMask(HWND window)
{
    int mask = 0;
    if (IsDlgButtonChecked(window, IDC_CALC_CRC32) == BST_CHECKED)
        mask |= MASK_CRC32;
    if (IsDlgButtonChecked(window, IDC_CALC_MD5) == BST_CHECKED)
        mask |= MASK_MD5;
    return mask;
}

// The user's selection is asked afresh each time, so a row selected during
// a run gets its texts as soon as they are written.
static bool RowIsSelected(HWND list, int row)
{
    return SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) > 0 &&
           (int)SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0) == row;
}

static void RecordRowResult(HWND window, HWND list, int row, FileEntry *entry, int mask,
                            const HashOutcome *outcome)
{
    bool changed = false;
    char crcText[CRC32_TEXT_SIZE] = "";
    char md5Text[MD5_TEXT_SIZE] = "";
    float duration = DurationSeconds(outcome->Seconds, outcome->Milliseconds);

    LockEntryResults();
    if (mask & MASK_CRC32) {
        entry->Crc32 = outcome->Crc32;
        entry->Flags |= HAS_CRC32;
    }
    entry->Duration = duration;
    UnlockEntryResults();
    if (RowIsSelected(list, row)) {
        char text[DURATION_TEXT_SIZE];
        FormatDurationText(duration, text, sizeof text);
        SetDlgItemTextA(window, IDC_STATUS_TEXT, text);
    }

    if (mask & MASK_MD5) {
        FormatMd5Text(outcome->Md5, Settings.DisplayMD5Lower, md5Text);
        LockEntryResults();
        entry->Flags |= HAS_MD5;
        changed = !AsciiEqualNoCase(md5Text, entry->Md5Text);
        memcpy(entry->Md5Text, md5Text, sizeof entry->Md5Text);
        UnlockEntryResults();
        if (mask == MASK_MD5 && RowIsSelected(list, row))
            SetResultText(window, entry->Path, nullptr, md5Text);
    }

    char oldColumn[CRC_COLUMN_READ_SIZE];
    GetRowText(list, row, 2, oldColumn, sizeof oldColumn);
    if (mask & MASK_CRC32) {
        FormatCrc32Text(outcome->Crc32, Settings.DisplayCRC32Lower, crcText);
        if (RowIsSelected(list, row))
            SetResultText(window, entry->Path, crcText, (mask & MASK_MD5) ? md5Text : nullptr);
        if (!AsciiEqualNoCaseN(oldColumn, crcText, 8))
            changed = true;
    }

    LockEntryResults();
    uint8_t flags = entry->Flags;
    UnlockEntryResults();
    char column[CRC_COLUMN_SIZE] = "";
    if (flags & HAS_CRC32) {
        if (mask & MASK_CRC32)
            CopyText(column, sizeof column, crcText);
        else if (strlen(oldColumn) >= 8)
            snprintf(column, sizeof column, "%.8s", oldColumn);
    } else {
        PadToCrcWidth(list, column, sizeof column, MAX_RUN_PADDING);
    }
    if (flags & HAS_MD5)
        AppendText(column, sizeof column, " *");
    if (column[0] != '\0')
        SetRowText(list, row, 2, column);

    uint64_t size;
    int64_t lastWrite;
    if (!changed || QueryFileInfo(entry->Path, &size, &lastWrite) != 0)
        return;
    LockEntryResults();
    entry->Size = size;
    UnlockEntryResults();
    AppendSessionRecord(entry->Path, size, lastWrite, (mask & MASK_CRC32) ? crcText : nullptr,
                        (mask & MASK_MD5) ? md5Text : nullptr);
    char grouped[SIZE_TEXT_SIZE], unit[SIZE_TEXT_SIZE];
    FormatGroupedSize(grouped, sizeof grouped, size);
    SetRowText(list, row, 4, grouped);
    memcpy(unit, grouped, sizeof unit);
    if (FormatUnitSize(unit, sizeof unit, Settings.LanguageId) >= 0)
        SetRowText(list, row, 3, unit);
}

// Hashes the file of a row marked ">>" and leaves the row "Done" or "Ready".
static void ProcessRow(HWND window, HWND list, int row, FileEntry *entry, int mask)
{
    HashOutcome outcome;
    HashFile(entry->Path, entry->Size, mask, ReportProgress, window, &outcome);
    LockEntryResults();
    entry->Duration = -1.0f;
    UnlockEntryResults();
    if (outcome.Result != 0) {
        SetRowText(list, row, 0, LanguageStrings[STR_READY]);
        return;
    }
    RecordRowResult(window, list, row, entry, mask, &outcome);
    SetRowText(list, row, 0, LanguageStrings[mask != 0 ? STR_DONE : STR_READY]);
}

static void EndRun(HWND window)
{
    EnterCriticalSection(&RunLock);
    RunState = RUN_IDLE;
    LeaveCriticalSection(&RunLock);
    SendMessageA(window, MSG_RUN_FINISHED, 0, 0);
}

static DWORD WINAPI ProcessSelectedWorker(LPVOID)
{
    HWND window = MainWnd.Window;
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    int mask = ReadChecksumMask(window);
    int row = (int)SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0);
    if (row >= 0 && SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) > 0) {
        char status[STATUS_TEXT_SIZE];
        GetRowText(list, row, 0, status, sizeof status);
        FileEntry *entry = strcmp(status, HintStatus) ? RowEntry(list, row) : nullptr;
        if (entry != nullptr) {
            SetRowText(list, row, 0, ProcessingStatus);
            ProcessRow(window, list, row, entry, mask);
        }
    }
    EndRun(window);
    return 0;
}

static bool RowIsReady(HWND list, int row)
{
    char status[STATUS_TEXT_SIZE];
    GetRowText(list, row, 0, status, sizeof status);
    return strcmp(status, LanguageStrings[STR_READY]) == 0;
}

static DWORD WINAPI ProcessAllWorker(LPVOID)
{
    HWND window = MainWnd.Window;
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    int mask = ReadChecksumMask(window);
    int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    int total = 0, taken = 0;
    for (int row = 0; row < rows; row++)
        if (RowIsReady(list, row))
            total++;

    for (int row = 0; row < rows; row++) {
        FileEntry *entry = RowIsReady(list, row) ? RowEntry(list, row) : nullptr;
        if (entry != nullptr) {
            taken++;
            char counter[COUNTER_TEXT_SIZE];
            snprintf(counter, sizeof counter, "%d/%d    ", taken, total);
            SetRowText(list, row, 0, ProcessingStatus);
            SetDlgItemTextA(window, IDC_PROGRESS_TEXT, counter);
            ProcessRow(window, list, row, entry, mask);
        }
        // Rows added during the run are processed too.
        if (row == rows - 1)
            rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    }
    EndRun(window);
    SetDlgItemTextA(window, IDC_PROGRESS_TEXT, CounterClearText);
    return 0;
}

static void RestoreRunButtons(HWND window)
{
    SetListEditing(true);
    EnableWindow(GetDlgItem(window, IDC_PROCESS_ALL), TRUE);
    EnableWindow(GetDlgItem(window, IDC_PROCESS), TRUE);
    SetDlgItemTextA(window, IDC_PROCESS, LanguageStrings[STR_PROCESS]);
    SetDlgItemTextA(window, IDC_PROCESS_ALL, LanguageStrings[STR_PROCESS_ALL]);
}

void OnRunButton(HWND window, int id)
{
    EnterCriticalSection(&RunLock);
    if (RunState == RUN_RUNNING)
        RunState = RUN_CANCEL_REQUESTED;
    // A worker that has left its run but whose MSG_RUN_FINISHED is still on
    // its way keeps the run: its end would close a new run's thread handle.
    if (RunState != RUN_IDLE || MainWnd.RunThread != nullptr) {
        LeaveCriticalSection(&RunLock);
        return;
    }
    SetListEditing(false);
    EnableWindow(GetDlgItem(window, id == IDC_PROCESS ? IDC_PROCESS_ALL : IDC_PROCESS), FALSE);
    SetDlgItemTextA(window, id, LanguageStrings[STR_CANCEL]);
    RunState = RUN_RUNNING;
    LeaveCriticalSection(&RunLock);

    LPTHREAD_START_ROUTINE worker = id == IDC_PROCESS ? ProcessSelectedWorker : ProcessAllWorker;
    MainWnd.RunThread = CreateRunThread(nullptr, 0, worker, nullptr, 0, nullptr);
    if (MainWnd.RunThread == nullptr) {
        // No worker to end the run: the window ends it at once.
        RestoreRunButtons(window);
        EnterCriticalSection(&RunLock);
        RunState = RUN_IDLE;
        LeaveCriticalSection(&RunLock);
    }
}

void OnRunFinished(HWND window)
{
    RestoreRunButtons(window);
    if (MainWnd.RunThread != nullptr)
        CloseHandle(MainWnd.RunThread);
    MainWnd.RunThread = nullptr;
    ReplyMessage(60);
}

void EndRunAndWait(void)
{
    if (MainWnd.RunThread == nullptr)
        return;
    HANDLE worker = nullptr;
    DuplicateHandle(GetCurrentProcess(), MainWnd.RunThread, GetCurrentProcess(), &worker, SYNCHRONIZE,
                    FALSE, 0);
    EnterCriticalSection(&RunLock);
    if (RunState == RUN_RUNNING)
        RunState = RUN_CANCEL_REQUESTED;
    LeaveCriticalSection(&RunLock);
    // Called while handling a message that the worker sent, the worker would
    // wait for this thread as this thread waits for it: answer it first.
    if (InSendMessage())
        ReplyMessage(0);

    // Only the worker's sent messages are carried out; the user's input
    // waits in the queue.
    for (;;) {
        if (worker != nullptr) {
            DWORD woke = MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_SENDMESSAGE);
            if (woke == WAIT_OBJECT_0)
                break;
        } else {
            if (MainWnd.RunThread == nullptr)
                break;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_SENDMESSAGE);
        }
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (worker != nullptr)
        CloseHandle(worker);
}
