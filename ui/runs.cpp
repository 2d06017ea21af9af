// Processing runs. The worker never touches a control itself: every read
// and write of the list, the texts and the bar is a message sent to the
// window's thread. Result fields of an entry are written under the entry
// lock, never while a message is being sent.
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

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

RunRequest CurrentRun;

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

// The result box of a row a run has just recorded, made whole by the
// worker and set by the window's thread when that row is the selected one
// there: a click between two messages never mixes two rows' lines.
struct RunResultShown {
    int Row;
    const char *Text;           // the box's whole text; null leaves it
    const char *DurationText;   // null leaves the status text
};

void ShowRunResult(HWND window, const void *message)
{
    const RunResultShown *shown = (const RunResultShown *)message;
    if (!RowIsSelected(GetDlgItem(window, IDC_FILE_LIST), shown->Row))
        return;
    if (shown->DurationText != nullptr)
        SetDlgItemTextA(window, IDC_STATUS_TEXT, shown->DurationText);
    if (shown->Text != nullptr)
        SetDlgItemTextA(window, IDC_RESULT, shown->Text);
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
    char durationText[DURATION_TEXT_SIZE];
    if (duration) {
        LockEntryResults();
        float seconds = entry->Duration;
        UnlockEntryResults();
        FormatDurationText(seconds, durationText, sizeof durationText);
    }
    char *lines = EntryExtraLines(index);
    char *text = MakeResultText(entry->Path, crcText, md5Text, lines);
    free(lines);
    RunResultShown shown = { row, text, duration ? durationText : nullptr };
    SendMessageA(window, MSG_RUN_RESULT, 0, (LPARAM)&shown);
    free(text);
}

// Records a row's results: the entry, its column, its judgement against the
// history, the result box, and the log when a checksum changed. A run that
// only adds digests (addOnly: a save, a copy, a comparison) leaves the
// entry's duration, the lines kept for it and its judgement as they were.
static void RecordRowResult(HWND window, HWND list, int row, FileEntry *entry, int32_t index, int fullMask,
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
        changed = !AsciiEqualNoCase(md5Text, entry->Md5Text);
        memcpy(entry->Md5Text, md5Text, sizeof entry->Md5Text);
        UnlockEntryResults();
    }

    char oldColumn[CRC_COLUMN_READ_SIZE];
    GetRowText(list, row, 2, oldColumn, sizeof oldColumn);
    if (mask & MASK_CRC32) {
        FormatCrc32Text(outcome->Crc32, shown.DisplayCRC32Lower, crcText);
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
    entry->Size = size;
    UnlockEntryResults();
    if (AppendSessionRecord(entry->Path, size, FileStampSeconds(stamp.LastWrite), crcDone, md5Done) == 0)
        AddRecordToHistory(entry->Path, index, &stamp, crcDone, md5Done);
    char grouped[SIZE_TEXT_SIZE], unit[SIZE_TEXT_SIZE];
    FormatGroupedSize(grouped, sizeof grouped, size);
    SetRowText(list, row, 4, grouped);
    memcpy(unit, grouped, sizeof unit);
    if (FormatUnitSize(unit, sizeof unit, shown.LanguageId) >= 0)
        SetRowText(list, row, 3, unit);
}

// The helpers of a run over many rows: they hash the files of the rows
// after the worker's, and the worker takes their results in its turn. The
// worker alone offers them work, reading the rows as it reads its own.
struct Ahead {
    bool On;                // helpers run and take more work
    HWND Window, List;
    int Limit;              // offers not taken at most
    int Current;            // the row the worker is at
    int NextRow;            // Process All: the next row to offer
    int Mask;
    VerifyPlan *Plan;       // a verification offers its planned rows
    int32_t NextPlanned;
    unsigned char *Block;   // the worker's read block, kept from file to file
};

static bool RunCancelled(void)
{
    return ReadRunState() == RUN_CANCEL_REQUESTED;
}

static bool RowIsReady(HWND list, int row);
static FileEntry *RowEntryAt(HWND list, int row, int32_t *index);

// Ends the helpers of a run: none outlives it.
static void StopAhead(Ahead *ahead)
{
    HashAheadStop();
    free(ahead->Block);
    ahead->Block = nullptr;
}

// Starts the helpers of a run, as many as the processors allow, and the
// worker's read block.
static void StartAhead(Ahead *ahead, HWND window, HWND list, int mask, VerifyPlan *plan)
{
    *ahead = Ahead();
    ahead->Window = window;
    ahead->List = list;
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
            if (ahead->NextRow >= (int)SendMessageA(ahead->List, LVM_GETITEMCOUNT, 0, 0))
                return;
            int row = ahead->NextRow++;
            if (RowIsReady(ahead->List, row))
                entry = RowEntryAt(ahead->List, row, &index);
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
    int answer = ReportProgress(ahead->Window, percentage);
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
        HashFileWith(entry->Path, entry->Size, mask, ReportProgress, window, nullptr, 0, outcome);
        return;
    }
    if (ahead == nullptr) {
        HashFile(entry->Path, entry->Size, mask, ReportProgress, window, outcome);
        return;
    }
    size_t blockSize = ahead->Block ? HASH_READ_BLOCK_SIZE : 0;
    if (!ahead->On) {
        HashFileWith(entry->Path, entry->Size, mask, ReportProgress, window, ahead->Block, blockSize, outcome);
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
        if (HashAheadTake(index, ReportProgress, window, OfferWhileWaiting, ahead, outcome, stamp))
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
static int32_t HashRow(HWND window, HWND list, Ahead *ahead, int row, FileEntry *entry, int32_t index, int mask,
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
        RecordRowResult(window, list, row, entry, index, mask, outcome, stamp, addOnly);
    return outcome->Result;
}

// Adds the checksums of mask to a row for a command that needs them (a
// save, a copy, a comparison): the row shows ">>" while it is read, then
// its status again; its other results and lines stay as they were.
static int32_t AddRowDigests(HWND window, HWND list, int row, FileEntry *entry, int32_t index, int mask)
{
    char status[STATUS_TEXT_SIZE];
    GetRowText(list, row, 0, status, sizeof status);
    SetRowText(list, row, 0, ProcessingStatus);
    HashOutcome outcome;
    int32_t result = HashRow(window, list, nullptr, row, entry, index, mask, &outcome, true);
    SetRowText(list, row, 0, status);
    return result;
}

// Hashes the file of a row marked ">>" and leaves the row "Done" or "Ready".
static int32_t ProcessRow(HWND window, HWND list, Ahead *ahead, int row, FileEntry *entry, int32_t index, int mask)
{
    HashOutcome outcome;
    int32_t result = HashRow(window, list, ahead, row, entry, index, mask, &outcome);
    SetRowText(list, row, 0, LanguageStrings[result == 0 && mask != 0 ? TEXT_DONE : TEXT_READY]);
    return result;
}

// The entry a row carries and its index; null for none.
static FileEntry *RowEntryAt(HWND list, int row, int32_t *index)
{
    *index = RowIndex(list, row);
    return *index < 0 ? nullptr : FileListEntry(&Files, *index);
}

static void EndRun(HWND window)
{
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
    SetDlgItemTextA(window, IDC_PROGRESS_TEXT, CounterClearText);
    EndRun(window);
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
        int32_t index = -1;
        FileEntry *entry = strcmp(status, HintStatus) ? RowEntryAt(list, row, &index) : nullptr;
        if (entry != nullptr) {
            SetRowText(list, row, 0, ProcessingStatus);
            ProcessRow(window, list, nullptr, row, entry, index, mask);
        }
    }
    EndRun(window);
    return 0;
}

static void SetCounter(HWND window, int taken, int total)
{
    char counter[COUNTER_TEXT_SIZE];
    snprintf(counter, sizeof counter, "%d/%d    ", taken, total);
    SetDlgItemTextA(window, IDC_PROGRESS_TEXT, counter);
}

static bool RowIsReady(HWND list, int row)
{
    char status[STATUS_TEXT_SIZE];
    GetRowText(list, row, 0, status, sizeof status);
    return strcmp(status, LanguageStrings[TEXT_READY]) == 0;
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

    Ahead ahead;
    StartAhead(&ahead, window, list, mask, nullptr);
    for (int row = 0; row < rows; row++) {
        int32_t index = -1;
        FileEntry *entry = RowIsReady(list, row) ? RowEntryAt(list, row, &index) : nullptr;
        if (entry != nullptr) {
            taken++;
            SetRowText(list, row, 0, ProcessingStatus);
            SetCounter(window, taken, total);
            ProcessRow(window, list, &ahead, row, entry, index, mask);
        }
        // Rows added during the run are processed too.
        if (row == rows - 1)
            rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    }
    EndRowsRun(window, &ahead);
    return 0;
}

// One row with the checksums a comparison needs, whatever the check boxes say.
static DWORD WINAPI CompareWorker(LPVOID)
{
    HWND window = MainWnd.Window;
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    int32_t index = -1;
    FileEntry *entry = RowEntryAt(list, CurrentRun.Row, &index);
    CurrentRun.JobResult = -1;
    if (entry != nullptr && index == CurrentRun.EntryIndex)
        CurrentRun.JobResult = AddRowDigests(window, list, CurrentRun.Row, entry, index, CurrentRun.Mask);
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
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    VerifyPlan *plan = CurrentRun.Plan;
    if (PrepareVerification(window, plan) != 0) {
        EndRun(window);
        return 0;
    }
    Ahead ahead;
    StartAhead(&ahead, window, list, 0, plan);
    for (int32_t i = 0; i < plan->RowCount; i++) {
        if (ReadRunState() == RUN_CANCEL_REQUESTED)
            break;
        const VerifyRow *planned = &plan->Rows[i];
        int32_t index = -1;
        FileEntry *entry = RowEntryAt(list, planned->Row, &index);
        if (entry == nullptr || index != planned->EntryIndex)
            continue;   // cannot happen: rows neither move nor go during a run
        SetRowText(list, planned->Row, 0, ProcessingStatus);
        SetCounter(window, i + 1, plan->RowCount);
        HashOutcome outcome;
        int32_t result = HashRow(window, list, &ahead, planned->Row, entry, index, planned->Mask, &outcome);
        if (result != 0 && ReadRunState() == RUN_CANCEL_REQUESTED) {
            SetRowText(list, planned->Row, 0, LanguageStrings[TEXT_READY]);
            break;
        }
        VerifiedTexts texts;
        VerifyComputed found = VerifiedChecksums(planned->Mask, &outcome, &texts);
        int failed = VerifyPlanJudge(plan, i, result == 0, &found);
        plan->RowsDone = i + 1;
        if (failed > 0 && SetEntryText(index, EXTRA_EXPECTED, plan->ExpectedText) == 0)
            ShowRowResult(window, planned->Row, entry, index, nullptr, nullptr, true, true);
        SetRowText(list, planned->Row, 0, LanguageStrings[failed > 0 ? TEXT_ERROR : TEXT_DONE]);
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
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    for (int32_t i = 0; i < CurrentRun.RowCount && ReadRunState() != RUN_CANCEL_REQUESTED; i++) {
        int row = CurrentRun.Rows[i];
        int32_t index = -1;
        FileEntry *entry = RowEntryAt(list, row, &index);
        if (entry == nullptr || index != CurrentRun.Indexes[i])
            continue;   // cannot happen: rows neither move nor go during a run
        SetCounter(window, i + 1, CurrentRun.RowCount);
        AddRowDigests(window, list, row, entry, index, CurrentRun.Mask);
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
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < rows && !RunCancelled(); row++) {
        int32_t index = -1;
        FileEntry *entry = RowEntryAt(list, row, &index);
        int mask = entry != nullptr ? HistoryCheckMask(entry) : 0;
        if (mask == 0)
            continue;
        SetRowText(list, row, 0, ProcessingStatus);
        SetCounter(window, row + 1, rows);
        HashOutcome outcome;
        int32_t result = HashRow(window, list, nullptr, row, entry, index, mask, &outcome);
        SetRowText(list, row, 0, HistoryCheckStatus(result, RunCancelled()));
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
    SetListEditing(false);
    EnableWindow(GetDlgItem(window, buttonId == IDC_PROCESS ? IDC_PROCESS_ALL : IDC_PROCESS), FALSE);
    SetDlgItemTextA(window, buttonId, LanguageStrings[TEXT_CANCEL]);
    RunState = RUN_RUNNING;
    LeaveCriticalSection(&RunLock);

    CurrentRun.Cancelled = false;
    MainWnd.RunThread = CreateRunThread(nullptr, 0, RunThreadStart, nullptr, 0, nullptr);
    if (MainWnd.RunThread == nullptr) {
        // No worker to end the run: the window ends it at once.
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
    StartRun(window, id);
}

void OnRunFinished(HWND window)
{
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
