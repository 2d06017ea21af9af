// Processing runs. The worker never touches a control and never reads the
// list: it takes its rows from those the window handed over at the start
// (and added since), and its states and results from the entries. What it
// changes reaches the window as events, which the window shows in order, in
// batches: every RunShowEvery ms while the worker goes on, and, the worker
// waiting until they are shown, before a file that takes long to read (and
// at its bar's first step), when the rows run out and when the run ends. Result fields of an entry are
// written under the entry lock, never while a message is being sent.
#include "ui/runs.h"

#include "base/texts.h"
#include "base/settings.h"
#include "base/sizetext.h"
#include "base/textutil.h"
#include "checksum/checksum_text.h"
#include "checksum/hashjob.h"
#include "core/entrytexts.h"
#include "core/fileinfo.h"
#include "core/filelist.h"
#include "core/hashahead.h"
#include "core/runview.h"
#include "core/sessionlog.h"
#include "core/verifyplan.h"
#include "platform/drives.h"
#include "platform/runlock.h"
#include "resources/resource.h"
#include "ui/historyrun.h"
#include "ui/listview.h"
#include "ui/mainwnd.h"
#include "ui/progress.h"
#include "ui/result.h"
#include "ui/verifyrun.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>

RunRequest CurrentRun;

HANDLE(WINAPI *CreateRunThread)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD,
                                LPDWORD) = CreateThread;

static const char CounterClearText[] = "          ";
enum {
    COUNTER_TEXT_SIZE = 32,
    SHOWN_BEFORE_SIZE = 1 << 20,    // a file from this size on is shown before it is read
    COUNTERS_READ = 16,             // counters a batch shows one after the other
};

DWORD RunShowEvery = 30;

// The rows of the list as the run going takes them, kept in step while it
// goes (TakingRows, window's thread), and what its worker did that the
// window is still to show.
static RunRows TakenRows;
static bool TakingRows;
static RunEvents Pending;
// Worker: when the window last showed what the run did, and whether the
// file being read takes long enough to show the bar's first step at once.
static DWORD LastShown;
static bool FirstStepPending;
// The bar's position the worker last gave, -1 when the bar may show another.
static int32_t LastPosition = -1;
static std::atomic<bool> ShowPosted;

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

// The digests of an outcome kept outside the entry, lower case, kept for the
// result box; the box is written anew when the row is shown.
static void KeepStoredDigests(int32_t index, int mask, const HashOutcome *outcome)
{
    for (int kind = KIND_FIRST_STORED; kind < KIND_COUNT; kind++) {
        char text[KIND_TEXT_SIZE];
        if ((mask & outcome->Mask & (1 << kind)) &&
            FormatDigestText(outcome->Digests[kind], ChecksumKinds[kind].DigestSize, 1, text, sizeof text) == 0)
            SetEntryText(index, DigestText(kind), text);
    }
}

// Has the window show what the run did, and returns once it has.
static void ShowNow(HWND window)
{
    if (RunEventsWaiting(&Pending))
        SendMessageA(window, MSG_RUN_SHOW, 0, 0);
    LastShown = GetTickCount();
}

// Has the window show what the run did when it gets to it, RunShowEvery ms
// after it last did; the worker goes on meanwhile (with 0, at once, the
// worker waiting). One such message at a time is on its way: the window
// takes every event there is when it comes.
static void ShowSoon(HWND window)
{
    DWORD now = GetTickCount();
    if (RunShowEvery == 0) {
        ShowNow(window);
        return;
    }
    if (now - LastShown < RunShowEvery)
        return;
    LastShown = now;
    if (RunEventsWaiting(&Pending) && !ShowPosted.exchange(true) && !PostMessageA(window, MSG_RUN_SHOW, 0, 0))
        ShowPosted = false;
}

// Adds an event for the window. Out of memory, the window first shows
// (and lets go of) what waits; an event that still finds no room is not
// shown (its row shows the entry once drawn again).
static void Show(HWND window, RunEvent event)
{
    if (RunEventsAdd(&Pending, &event) >= 0)
        return;
    ShowNow(window);
    if (RunEventsAdd(&Pending, &event) < 0)
        free(event.Text);
}

static void ShowRowChanged(HWND window, int row)
{
    RunEvent event = {};
    event.Kind = RUN_EVENT_ROW;
    event.Row = row;
    Show(window, event);
}

static void ShowState(HWND window, int row, FileEntry *entry, int state)
{
    SetEntryState(entry, state);
    ShowRowChanged(window, row);
}

static void ShowCounter(HWND window, int taken, int total)
{
    RunEvent event = {};
    event.Kind = RUN_EVENT_COUNTER;
    event.Value = taken;
    event.Total = total;
    Show(window, event);
}

// Before the worker reads a row's file: a long read shows where the run is
// first, and the bar's first step as soon as it is taken.
static void ShowBeforeReading(HWND window, const FileEntry *entry)
{
    FirstStepPending = entry->Size >= SHOWN_BEFORE_SIZE;
    if (FirstStepPending)
        ShowNow(window);
    else
        ShowSoon(window);
}

// The progress of a run's hashing job: as ReportProgress, the bar's
// positions then shown in their turn.
static int ReportRunProgress(void *window, int32_t percentage)
{
    bool cancelled = ReadRunState() == RUN_CANCEL_REQUESTED;
    int32_t position = cancelled ? 0 : percentage;
    // Many small files end at 100 one after the other: the bar is moved
    // when it moves, but every position is given once a cancel came.
    if ((percentage != PROGRESS_CHECK_ONLY && position != LastPosition) || cancelled) {
        LastPosition = position;
        RunEvent event = {};
        event.Kind = RUN_EVENT_POSITION;
        event.Value = position;
        Show((HWND)window, event);
    }
    if (FirstStepPending && percentage > 0) {
        FirstStepPending = false;
        ShowNow((HWND)window);
    }
    ShowSoon((HWND)window);
    return cancelled ? -1 : 0;
}

void ShowRunBacklog(HWND window)
{
    LastPosition = -1;
    if (RunEventsWaiting(&Pending))
        ShowNow(window);
}

// The result box of a row the worker has recorded, when that row is the
// selected one now: a click between two batches never mixes two rows' lines.
static void ShowResultEvent(HWND window, HWND list, const RunEvent *event)
{
    if (!RowIsSelected(list, event->Row))
        return;
    if (event->Flags & RUN_DURATION) {
        char duration[DURATION_TEXT_SIZE];
        FormatDurationText(event->Seconds, duration, sizeof duration);
        SetDlgItemTextA(window, IDC_STATUS_TEXT, duration);
    }
    if (event->Text != nullptr)
        SetDlgItemTextA(window, IDC_RESULT, event->Text);
}

// The controls a batch changes, drawn once when it has been shown.
static const int BatchControls[] = { IDC_PROGRESS_TEXT, IDC_PROGRESS, IDC_STATUS_TEXT, IDC_RESULT };

static void ShowBatch(HWND window, const RunEvent *events, int32_t count)
{
    if (count == 0)
        return;
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    // The rows that changed are drawn again once, from their entries. Of
    // more counters than anyone reads in a batch, only the last is shown.
    int first = INT_MAX, last = -1;
    int32_t counters = 0, lastCounter = -1;
    for (int32_t i = 0; i < count; i++)
        if (events[i].Kind == RUN_EVENT_COUNTER) {
            counters++;
            lastCounter = i;
        }
    for (int id : BatchControls)
        SendDlgItemMessageA(window, id, WM_SETREDRAW, FALSE, 0);
    for (int32_t i = 0; i < count; i++) {
        const RunEvent *event = &events[i];
        switch (event->Kind) {
        case RUN_EVENT_ROW:
            first = event->Row < first ? event->Row : first;
            last = event->Row > last ? event->Row : last;
            break;
        case RUN_EVENT_COUNTER: {
            if (counters > COUNTERS_READ && i != lastCounter)
                break;
            char counter[COUNTER_TEXT_SIZE];
            snprintf(counter, sizeof counter, "%d/%d    ", event->Value, event->Total);
            SetDlgItemTextA(window, IDC_PROGRESS_TEXT, event->Total < 0 ? CounterClearText : counter);
            break;
        }
        case RUN_EVENT_POSITION:
            SendDlgItemMessageA(window, IDC_PROGRESS, PBM_SETPOS, event->Value, 0);
            break;
        case RUN_EVENT_RESULT:
            ShowResultEvent(window, list, event);
            break;
        }
    }
    for (int id : BatchControls) {
        HWND control = GetDlgItem(window, id);
        SendMessageA(control, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(control, nullptr, TRUE);
    }
    if (last >= 0)
        SendMessageA(list, LVM_REDRAWITEMS, first, last);
}

// A batch is being shown. What comes meanwhile (a message carried out while
// a control is told, as a hook on it may do) is shown after it, in order.
static bool ShowingBatch, ShowAfterBatch;

void ShowRunEvents(HWND window)
{
    if (ShowingBatch) {
        ShowAfterBatch = true;
        return;
    }
    ShowingBatch = true;
    do {
        ShowAfterBatch = false;
        ShowPosted = false;
        RunEvent *events;
        int32_t count = RunEventsTake(&Pending, &events);
        ShowBatch(window, events, count);
        RunEventsFreeTaken(events, count);
    } while (ShowAfterBatch);
    ShowingBatch = false;
}

void RunRowInserted(int row, int32_t index)
{
    if (TakingRows)
        RunRowsInsert(&TakenRows, row, index);
}

// The rows of the list, handed to the run about to start. Returns 0, or -1
// when memory ran out.
static int TakeRows(HWND list)
{
    int count = MainWnd.NoFileRows ? 0 : (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (RunRowsReset(&TakenRows, count) != 0)
        return -1;
    for (int row = 0; row < count; row++)
        RunRowsInsert(&TakenRows, row, RowIndex(list, row));
    return 0;
}

// The entry a row carries and its index; null for none.
static FileEntry *TakenEntry(int row, int32_t *index)
{
    *index = RunRowsIndex(&TakenRows, row);
    return *index < 0 ? nullptr : FileListEntry(&Files, *index);
}

static FileEntry *ReadyEntry(int row, int32_t *index)
{
    FileEntry *entry = TakenEntry(row, index);
    return entry != nullptr && EntryStateOf(entry) == ENTRY_READY ? entry : nullptr;
}

// Shows in the result box, when its row is selected, the checksums just
// computed (null when not), or with whole every checksum the entry knows;
// then the lines kept for the entry; with duration, its duration too.
static void ShowRowResult(HWND window, int row, const FileEntry *entry, int32_t index, const char *crcText,
                          const char *md5Text, bool whole, bool duration)
{
    char crc[CRC32_TEXT_SIZE], md5[MD5_TEXT_SIZE];
    if (whole) {
        uint8_t flags = EntryChecksumTexts(entry, crc, md5);
        crcText = (flags & HAS_CRC32) ? crc : nullptr;
        md5Text = (flags & HAS_MD5) ? md5 : nullptr;
    }
    RunEvent event = {};
    event.Kind = RUN_EVENT_RESULT;
    event.Row = row;
    if (duration) {
        LockEntryResults();
        event.Seconds = entry->Duration;
        UnlockEntryResults();
        event.Flags = RUN_DURATION;
    }
    char *lines = EntryExtraLines(index);
    event.Text = MakeResultText(entry->Path, crcText, md5Text, lines);
    free(lines);
    Show(window, event);
}

// Records a row's results: the entry, its column, its judgement against the
// history, the result box, and the log when a checksum changed. A run that
// only adds digests (addOnly: a save, a copy, a comparison) leaves the
// entry's duration, the lines kept for it and its judgement as they were.
static void RecordRowResult(HWND window, int row, FileEntry *entry, int32_t index, int fullMask,
                            const HashOutcome *outcome, const FileStamp &stamp, bool addOnly)
{
    // The columns, the result box's checksum lines and the log are those of
    // CRC32 and MD5; the SHA digests only join the box.
    int mask = fullMask & (MASK_CRC32 | MASK_MD5);
    ShownSettings shown = ReadShownSettings();
    KeepStoredDigests(index, fullMask, outcome);
    bool changed = false;
    char crcText[CRC32_TEXT_SIZE] = "";
    char md5Text[MD5_TEXT_SIZE] = "";

    LockEntryResults();
    if (mask & MASK_CRC32) {
        // The column shows the CRC the entry had: another one, or none, is a change.
        changed = !(entry->Flags & HAS_CRC32) || entry->Crc32 != outcome->Crc32;
        entry->Crc32 = outcome->Crc32;
        entry->Flags |= HAS_CRC32;
    }
    if (!addOnly)
        entry->Duration = DurationSeconds(outcome->Seconds, outcome->Milliseconds);
    UnlockEntryResults();

    if (mask & MASK_MD5) {
        FormatMd5Text(outcome->Md5, shown.DisplayMD5Lower, md5Text);
        LockEntryResults();
        entry->Flags |= HAS_MD5;
        changed = changed || !AsciiEqualNoCase(md5Text, entry->Md5Text);
        memcpy(entry->Md5Text, md5Text, sizeof entry->Md5Text);
        UnlockEntryResults();
    }

    // The column: the CRC computed (in the case of the option), the one it
    // showed, or spaces; and the mark of an MD5.
    if (mask & MASK_CRC32)
        FormatCrc32Text(outcome->Crc32, shown.DisplayCRC32Lower, crcText);
    LockEntryResults();
    uint8_t flags = entry->Flags;
    uint32_t crc = entry->Crc32;
    UnlockEntryResults();
    int lower = (mask & MASK_CRC32) ? (shown.DisplayCRC32Lower ? COLUMN_CRC_LOWER : 0)
                                    : (int)(uint32_t)EntryColumnOf(entry) & COLUMN_CRC_LOWER;
    SetEntryColumn(entry, crc, COLUMN_SHOWN | ((flags & HAS_CRC32) ? COLUMN_CRC | lower : 0) |
                                   ((flags & HAS_MD5) ? COLUMN_MD5 : 0));
    ShowRowChanged(window, row);

    // The file as it was while it was read, the same before and after.
    uint64_t size = stamp.Size;
    const char *crcDone = (mask & MASK_CRC32) ? crcText : nullptr;
    const char *md5Done = (mask & MASK_MD5) ? md5Text : nullptr;
    if (!addOnly)
        JudgeRowHistory(entry, index, &stamp, crcDone, md5Done);

    ShowRowResult(window, row, entry, index, crcDone, md5Done, mask == 0, !addOnly || mask == 0);

    if (!changed)
        return;
    LockEntryResults();
    SetEntrySize(entry, size);
    UnlockEntryResults();
    if (AppendSessionRecord(entry->Path, size, FileStampSeconds(stamp.LastWrite), crcDone, md5Done) == 0)
        AddRecordToHistory(entry->Path, index, &stamp, crcDone, md5Done);
    ShowRowChanged(window, row);
}

// The helpers of a run over many rows: they hash the files of the rows
// after the worker's, and the worker takes their results in its turn. The
// worker alone offers them work, reading the rows as it reads its own.
struct Ahead {
    bool On;                // helpers run and take more work
    HWND Window;
    int Limit;              // offers not taken at most
    int Current;            // the row the worker is at
    int NextRow;            // Process All: the next row to offer
    int Rows;               // Process All: the rows the worker knows of
    int Mask;
    VerifyPlan *Plan;       // a verification offers its planned rows
    int32_t NextPlanned;
    unsigned char *Block;   // the worker's read block, kept from file to file
};

static bool RunCancelled(void)
{
    return ReadRunState() == RUN_CANCEL_REQUESTED;
}

// Ends the helpers of a run: none outlives it.
static void StopAhead(Ahead *ahead)
{
    HashAheadStop();
    free(ahead->Block);
    ahead->Block = nullptr;
}

// Starts the helpers of a run, as many as the processors allow, and the
// worker's read block.
static void StartAhead(Ahead *ahead, HWND window, int rows, int mask, VerifyPlan *plan)
{
    *ahead = Ahead();
    ahead->Window = window;
    ahead->Rows = rows;
    ahead->Mask = mask;
    ahead->Plan = plan;
    ahead->Current = -1;
    ForgetDriveAnswers();
    ahead->Block = (unsigned char *)malloc(HASH_READ_BLOCK_SIZE);
    int helpers = HashAheadStart(RunHelpers(), RunCancelled, ReadFileStamp);
    ahead->On = helpers > 0;
    ahead->Limit = helpers;
}

// Offers the next files after the worker's row, in row order, until there
// are as many offers not taken as helpers. The worker offers when it is to
// hash a file itself: the helpers then hash the files after it while it
// does, and it takes their results when it gets there. Files of a drive
// with a seek penalty are left to the worker: two files read at once there
// take longer than one after the other.
static void OfferAhead(Ahead *ahead)
{
    while (ahead->On && HashAheadPending() < ahead->Limit) {
        int32_t index = -1;
        FileEntry *entry = nullptr;
        int mask = ahead->Mask;
        if (ahead->Plan != nullptr) {
            if (ahead->NextPlanned >= ahead->Plan->RowCount)
                return;
            const VerifyRow *planned = &ahead->Plan->Rows[ahead->NextPlanned++];
            if (planned->Row <= ahead->Current)
                continue;
            index = planned->EntryIndex;
            entry = FileListEntry(&Files, index);
            mask = planned->Mask;
        } else {
            if (ahead->NextRow <= ahead->Current)
                ahead->NextRow = ahead->Current + 1;
            if (ahead->NextRow >= ahead->Rows)
                return;
            entry = ReadyEntry(ahead->NextRow++, &index);
        }
        if (entry != nullptr && !DriveHasSeekPenalty(entry->Path) &&
            HashAheadOffer(index, entry->Path, entry->Size, mask) != 0)
            return;
    }
}

static void OfferWhileWaiting(void *context)
{
    OfferAhead((Ahead *)context);
}

// The progress of the worker's own job, which also keeps the helpers fed.
static int ReportAndOffer(void *context, int32_t percentage)
{
    Ahead *ahead = (Ahead *)context;
    int answer = ReportRunProgress(ahead->Window, percentage);
    if (answer == 0)
        OfferAhead(ahead);
    return answer;
}

// One reading of a row's file by the worker itself. After a cancel each
// later row still reads to its first poll: chunk by chunk then, not a whole
// read block ahead of it.
static void ReadRowFileOnce(HWND window, Ahead *ahead, FileEntry *entry, int mask, HashOutcome *outcome)
{
    if (RunCancelled()) {
        HashFileWith(entry->Path, entry->Size, mask, ReportRunProgress, window, nullptr, 0, outcome);
        return;
    }
    if (ahead == nullptr) {
        HashFile(entry->Path, entry->Size, mask, ReportRunProgress, window, outcome);
        return;
    }
    size_t blockSize = ahead->Block ? HASH_READ_BLOCK_SIZE : 0;
    if (!ahead->On) {
        HashFileWith(entry->Path, entry->Size, mask, ReportRunProgress, window, ahead->Block, blockSize, outcome);
        return;
    }
    OfferAhead(ahead);
    HashFileWith(entry->Path, entry->Size, mask, ReportAndOffer, ahead, ahead->Block, blockSize, outcome);
}

static bool SameStamp(const FileStamp &a, const FileStamp &b)
{
    return a.Size == b.Size && a.LastWrite == b.LastWrite;
}

// The job of a row: taken from a helper when one read the file whole, else
// the worker's own. From a cancel on, nothing hashed ahead is used: each
// job is the worker's, as without helpers. A reading counts only when the
// file's stamp was the same before it was opened and after it was closed:
// checksums of a file written while it was read are of no version of it.
// Such a file is read once more; written again meanwhile, it counts as a
// file that could not be read. Returns the job's result; on 0, *stamp is
// the file's stamp of that reading.
static int32_t HashRowFile(HWND window, Ahead *ahead, int row, FileEntry *entry, int32_t index, int mask,
                           HashOutcome *outcome, FileStamp *stamp)
{
    if (ahead != nullptr && ahead->On && RunCancelled()) {
        HashAheadDiscard();
        ahead->On = false;
    }
    if (ahead != nullptr && ahead->On) {
        ahead->Current = row;
        if (HashAheadTake(index, ReportRunProgress, window, OfferWhileWaiting, ahead, outcome, stamp))
            return outcome->Result;
    }
    for (int reading = 0; reading < 2; reading++) {
        FileStamp before, after;
        bool stamped = ReadFileStamp(entry->Path, &before) == 0;
        ReadRowFileOnce(window, ahead, entry, mask, outcome);
        if (outcome->Result != 0)
            return outcome->Result;
        if (stamped && ReadFileStamp(entry->Path, &after) == 0 && SameStamp(before, after)) {
            *stamp = before;
            return 0;
        }
    }
    outcome->Result = -1;
    return -1;
}

// Hashes the file of a row marked ">>" (entry index in the list) with mask
// and records its results (addOnly: see RecordRowResult). Returns the job's
// result: 0, or -1 when the file could not be read or the run was cancelled.
static int32_t HashRow(HWND window, Ahead *ahead, int row, FileEntry *entry, int32_t index, int mask,
                       HashOutcome *outcome, bool addOnly = false)
{
    if (!addOnly)
        ClearEntryExtras(index);     // processed again
    FileStamp stamp;
    HashRowFile(window, ahead, row, entry, index, mask, outcome, &stamp);
    if (!addOnly) {
        LockEntryResults();
        entry->Duration = -1.0f;
        UnlockEntryResults();
    }
    if (outcome->Result == 0)
        RecordRowResult(window, row, entry, index, mask, outcome, stamp, addOnly);
    return outcome->Result;
}

// Adds the checksums of mask to a row for a command that needs them (a
// save, a copy, a comparison): the row shows ">>" while it is read, then
// its status again; its other results and lines stay as they were.
static int32_t AddRowDigests(HWND window, int row, FileEntry *entry, int32_t index, int mask)
{
    int state = EntryStateOf(entry);
    ShowState(window, row, entry, ENTRY_PROCESSING);
    ShowBeforeReading(window, entry);
    HashOutcome outcome;
    int32_t result = HashRow(window, nullptr, row, entry, index, mask, &outcome, true);
    ShowState(window, row, entry, state);
    ShowSoon(window);
    return result;
}

// Hashes the file of a row marked ">>" and leaves the row "Done" or "Ready".
static int32_t ProcessRow(HWND window, Ahead *ahead, int row, FileEntry *entry, int32_t index, int mask)
{
    ShowBeforeReading(window, entry);
    HashOutcome outcome;
    int32_t result = HashRow(window, ahead, row, entry, index, mask, &outcome);
    ShowState(window, row, entry, result == 0 && mask != 0 ? ENTRY_DONE : ENTRY_READY);
    ShowSoon(window);
    return result;
}

static void EndRun(HWND window)
{
    CloseKeptLogs();
    EnterCriticalSection(&RunLock);
    CurrentRun.Cancelled = RunState == RUN_CANCEL_REQUESTED;
    RunState = RUN_IDLE;
    LeaveCriticalSection(&RunLock);
    SendMessageA(window, MSG_RUN_FINISHED, 0, 0);
}

// The end of a run over many rows: its helpers stopped, the counter
// cleared before the end is told, so that this worker never blanks the
// counter of a run that starts right after.
static void EndRowsRun(HWND window, Ahead *ahead)
{
    if (ahead != nullptr)
        StopAhead(ahead);
    ShowCounter(window, 0, -1);
    EndRun(window);
}

// The selected row, whatever its status, with the check boxes' checksums,
// both as the run found them when it started.
static DWORD WINAPI ProcessSelectedWorker(LPVOID)
{
    HWND window = MainWnd.Window;
    int32_t index = -1;
    FileEntry *entry = TakenEntry(CurrentRun.Row, &index);
    if (entry != nullptr && index == CurrentRun.EntryIndex) {
        ShowState(window, CurrentRun.Row, entry, ENTRY_PROCESSING);
        ProcessRow(window, nullptr, CurrentRun.Row, entry, index, CurrentRun.Mask);
    }
    EndRun(window);
    return 0;
}

static DWORD WINAPI ProcessAllWorker(LPVOID)
{
    HWND window = MainWnd.Window;
    int mask = CurrentRun.Mask;
    int rows = RunRowsCount(&TakenRows);
    int total = 0, taken = 0;
    for (int row = 0; row < rows; row++) {
        int32_t index;
        if (ReadyEntry(row, &index) != nullptr)
            total++;
    }

    Ahead ahead;
    StartAhead(&ahead, window, rows, mask, nullptr);
    for (int row = 0; row < rows; row++) {
        int32_t index = -1;
        FileEntry *entry = ReadyEntry(row, &index);
        if (entry != nullptr) {
            taken++;
            ShowState(window, row, entry, ENTRY_PROCESSING);
            ShowCounter(window, taken, total);
            ProcessRow(window, &ahead, row, entry, index, mask);
        }
        // Rows added during the run are processed too: they are those the
        // window added by the time it has shown all the run did.
        if (row == rows - 1) {
            ShowNow(window);
            rows = ahead.Rows = RunRowsCount(&TakenRows);
        }
    }
    EndRowsRun(window, &ahead);
    return 0;
}

// One row with the checksums a comparison needs, whatever the check boxes say.
static DWORD WINAPI CompareWorker(LPVOID)
{
    HWND window = MainWnd.Window;
    int32_t index = -1;
    FileEntry *entry = TakenEntry(CurrentRun.Row, &index);
    CurrentRun.JobResult = -1;
    if (entry != nullptr && index == CurrentRun.EntryIndex)
        CurrentRun.JobResult = AddRowDigests(window, CurrentRun.Row, entry, index, CurrentRun.Mask);
    EndRun(window);
    return 0;
}

// The text of each checksum of the outcome, as a verification compares it.
struct VerifiedTexts {
    char Text[KIND_COUNT][KIND_TEXT_SIZE];
};

// The checksums of the outcome a verification compares, as text (the CRC32
// in upper case, the others in lower case); the kinds not computed are null.
static VerifyComputed VerifiedChecksums(int mask, const HashOutcome *outcome, VerifiedTexts *texts)
{
    VerifyComputed found = {};
    for (int kind = 0; kind < KIND_COUNT; kind++)
        if ((mask & outcome->Mask & (1 << kind)) &&
            FormatDigestText(outcome->Digests[kind], ChecksumKinds[kind].DigestSize, kind != KIND_CRC32,
                             texts->Text[kind], KIND_TEXT_SIZE) == 0)
            found.Texts[kind] = texts->Text[kind];
    return found;
}

// The rows of a checksum file, each with the checksums the file lists for
// it: "Done" when they match, "Error" when they do not or the file cannot be
// read. A cancel ends the verification where it is.
static DWORD WINAPI VerifyWorker(LPVOID)
{
    HWND window = MainWnd.Window;
    VerifyPlan *plan = CurrentRun.Plan;
    if (PrepareVerification(window, plan) != 0) {
        EndRun(window);
        return 0;
    }
    Ahead ahead;
    StartAhead(&ahead, window, 0, 0, plan);
    for (int32_t i = 0; i < plan->RowCount; i++) {
        if (ReadRunState() == RUN_CANCEL_REQUESTED)
            break;
        const VerifyRow *planned = &plan->Rows[i];
        int32_t index = -1;
        FileEntry *entry = TakenEntry(planned->Row, &index);
        if (entry == nullptr || index != planned->EntryIndex)
            continue;   // cannot happen: rows neither move nor go during a run
        ShowState(window, planned->Row, entry, ENTRY_PROCESSING);
        ShowCounter(window, i + 1, plan->RowCount);
        ShowBeforeReading(window, entry);
        HashOutcome outcome;
        int32_t result = HashRow(window, &ahead, planned->Row, entry, index, planned->Mask, &outcome);
        if (result != 0 && ReadRunState() == RUN_CANCEL_REQUESTED) {
            ShowState(window, planned->Row, entry, ENTRY_READY);
            break;
        }
        VerifiedTexts texts;
        VerifyComputed found = VerifiedChecksums(planned->Mask, &outcome, &texts);
        int failed = VerifyPlanJudge(plan, i, result == 0, &found);
        plan->RowsDone = i + 1;
        if (failed > 0 && SetEntryText(index, EXTRA_EXPECTED, plan->ExpectedText) == 0)
            ShowRowResult(window, planned->Row, entry, index, nullptr, nullptr, true, true);
        ShowState(window, planned->Row, entry, failed > 0 ? ENTRY_ERROR : ENTRY_DONE);
        ShowSoon(window);
    }
    // The helpers stop first: none opens a file once the confinement is gone.
    StopAhead(&ahead);
    EndOpensConfinement();
    EndRowsRun(window, nullptr);
    return 0;
}

// Given rows with the checksums of CurrentRun.Mask, one after the other, for
// a command that needs them (a save, a copy): each row keeps its status.
// A cancel ends it where it is.
static DWORD WINAPI RowsWorker(LPVOID)
{
    HWND window = MainWnd.Window;
    for (int32_t i = 0; i < CurrentRun.RowCount && ReadRunState() != RUN_CANCEL_REQUESTED; i++) {
        int row = CurrentRun.Rows[i];
        int32_t index = -1;
        FileEntry *entry = TakenEntry(row, &index);
        if (entry == nullptr || index != CurrentRun.Indexes[i])
            continue;   // cannot happen: rows neither move nor go during a run
        ShowCounter(window, i + 1, CurrentRun.RowCount);
        AddRowDigests(window, row, entry, index, CurrentRun.Mask);
    }
    EndRowsRun(window, nullptr);
    return 0;
}

// Every file row with a record of its name, size and time in the history,
// hashed with the kinds its records hold: "Done" when it matches them,
// "Error" when it changed without a write or cannot be read.
static DWORD WINAPI HistoryWorker(LPVOID)
{
    HWND window = MainWnd.Window;
    int rows = RunRowsCount(&TakenRows);
    for (int row = 0; row < rows && !RunCancelled(); row++) {
        int32_t index = -1;
        FileEntry *entry = TakenEntry(row, &index);
        int mask = entry != nullptr ? HistoryCheckMask(entry) : 0;
        if (mask == 0)
            continue;
        ShowState(window, row, entry, ENTRY_PROCESSING);
        ShowCounter(window, row + 1, rows);
        ShowBeforeReading(window, entry);
        HashOutcome outcome;
        int32_t result = HashRow(window, nullptr, row, entry, index, mask, &outcome);
        ShowState(window, row, entry, HistoryCheckState(result, RunCancelled()));
        ShowSoon(window);
    }
    EndRowsRun(window, nullptr);
    return 0;
}

int StartRowsRun(HWND window, int32_t *rows, int32_t *indexes, int32_t count, int mask, int purpose)
{
    CurrentRun = RunRequest();
    CurrentRun.Kind = RUN_KIND_ROWS;
    CurrentRun.Mask = mask;
    CurrentRun.Rows = rows;
    CurrentRun.Indexes = indexes;
    CurrentRun.RowCount = count;
    CurrentRun.Purpose = purpose;
    if (StartRun(window, IDC_PROCESS_ALL) == 0)
        return 0;
    ReleaseRunRows();
    return -1;
}

void ReleaseRunRows(void)
{
    free(CurrentRun.Rows);
    free(CurrentRun.Indexes);
    CurrentRun.Rows = CurrentRun.Indexes = nullptr;
    CurrentRun.RowCount = 0;
}

static void RestoreRunButtons(HWND window)
{
    SetListEditing(true);
    EnableWindow(GetDlgItem(window, IDC_PROCESS_ALL), TRUE);
    EnableWindow(GetDlgItem(window, IDC_PROCESS), TRUE);
    SetDlgItemTextA(window, IDC_PROCESS, LanguageStrings[TEXT_PROCESS]);
    SetDlgItemTextA(window, IDC_PROCESS_ALL, LanguageStrings[TEXT_PROCESS_ALL]);
}

// A compare or verify run has ended and what it found is not shown yet.
static bool FollowUpPending;

void RunFollowUpTaken(void)
{
    FollowUpPending = false;
}

bool RunCanStart(void)
{
    return ReadRunState() == RUN_IDLE && MainWnd.RunThread == nullptr && !FollowUpPending;
}

// Every run's thread: the history first, then the run's own worker.
static DWORD WINAPI RunThreadStart(LPVOID)
{
    static const LPTHREAD_START_ROUTINE workers[] = { ProcessSelectedWorker, ProcessAllWorker, CompareWorker,
                                                      VerifyWorker, RowsWorker, HistoryWorker };
    LastShown = GetTickCount() - RunShowEvery;
    LastPosition = -1;
    KeepLogsOpen();
    BeginHistoryRun(MainWnd.Window);
    return workers[CurrentRun.Kind](nullptr);
}

int StartRun(HWND window, int buttonId)
{
    EnterCriticalSection(&RunLock);
    // A worker that has left its run but whose MSG_RUN_FINISHED is still on
    // its way keeps the run: its end would close a new run's thread handle.
    if (RunState != RUN_IDLE || MainWnd.RunThread != nullptr || FollowUpPending) {
        LeaveCriticalSection(&RunLock);
        return -1;
    }
    if (TakeRows(GetDlgItem(window, IDC_FILE_LIST)) != 0) {
        LeaveCriticalSection(&RunLock);
        return -1;
    }
    TakingRows = true;
    SetListEditing(false);
    EnableWindow(GetDlgItem(window, buttonId == IDC_PROCESS ? IDC_PROCESS_ALL : IDC_PROCESS), FALSE);
    SetDlgItemTextA(window, buttonId, LanguageStrings[TEXT_CANCEL]);
    RunState = RUN_RUNNING;
    LeaveCriticalSection(&RunLock);

    CurrentRun.Cancelled = false;
    MainWnd.RunThread = CreateRunThread(nullptr, 0, RunThreadStart, nullptr, 0, nullptr);
    if (MainWnd.RunThread == nullptr) {
        // No worker to end the run: the window ends it at once.
        TakingRows = false;
        RestoreRunButtons(window);
        EnterCriticalSection(&RunLock);
        RunState = RUN_IDLE;
        LeaveCriticalSection(&RunLock);
        return -1;
    }
    RunBarBegin(window);
    return 0;
}

void OnRunButton(HWND window, int id)
{
    EnterCriticalSection(&RunLock);
    bool idle = RunState == RUN_IDLE;
    if (RunState == RUN_RUNNING)
        RunState = RUN_CANCEL_REQUESTED;
    LeaveCriticalSection(&RunLock);
    if (!idle || MainWnd.RunThread != nullptr || FollowUpPending)
        return;
    CurrentRun = RunRequest();
    CurrentRun.Kind = id == IDC_PROCESS ? RUN_KIND_PROCESS : RUN_KIND_PROCESS_ALL;
    CurrentRun.Mask = ReadChecksumMask(window);
    CurrentRun.Row = SelectedFileRow(GetDlgItem(window, IDC_FILE_LIST), &CurrentRun.EntryIndex);
    StartRun(window, id);
}

void OnRunFinished(HWND window)
{
    ShowRunEvents(window);
    TakingRows = false;
    RestoreRunButtons(window);
    if (MainWnd.RunThread != nullptr)
        CloseHandle(MainWnd.RunThread);
    MainWnd.RunThread = nullptr;
    ReplyMessage(60);
    RunBarEnd(window);
    if (CurrentRun.Kind == RUN_KIND_COMPARE || CurrentRun.Kind == RUN_KIND_VERIFY || CurrentRun.Kind == RUN_KIND_ROWS ||
        HistoryFollowUpWanted(CurrentRun.Kind))
        FollowUpPending = PostMessageA(window, MSG_RUN_FOLLOW_UP, 0, 0) != 0;
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
