// The history of checksums during runs. The indexes are read and written on
// the runs' threads only, one run at a time; the warning lines are shared
// with the window's thread under the entry lock.
#include "ui/historyrun.h"

#include "base/lang.h"
#include "base/program.h"
#include "base/texts.h"
#include "base/textutil.h"
#include "checksum/hashjob.h"
#include "core/entrytexts.h"
#include "core/fileinfo.h"
#include "core/history.h"
#include "core/result_text.h"
#include "core/historystore.h"
#include "core/sessionlog.h"
#include "platform/runlock.h"
#include "resources/resource.h"
#include "ui/mainwnd.h"
#include "ui/progress.h"
#include "ui/runs.h"
#include "ui/taskbar.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { HISTORY_NOT_LOADED, HISTORY_LOADED, HISTORY_OFF };
enum { LISTED_NAMES = 20, WARNING_LINE_SIZE = 256, SUMMARY_SPARE = 1024 };

// The logs' records by name, and the store's by path: the records the logs
// alone hold answer only Check against history.
static HistoryIndex Logs, Store;
static int IndexState = HISTORY_NOT_LOADED;


// The names of the files a run found changed without a write: the first
// LISTED_NAMES, each followed by CR LF, and how many there were.
static char *WarnedText;
static size_t WarnedUsed, WarnedSize;
static int32_t WarnedCount;

// What Check against history found.
static int32_t Considered, Unchanged, Changed, NotInHistory, Unreadable;
static int LastVerdict;


static uint64_t LogSize(const char *path)
{
    FileStamp stamp;
    return ReadFileStamp(path, &stamp) == 0 ? stamp.Size : 0;
}

struct LoadProgress {
    HWND Window;
    uint64_t Before;    // bytes of the logs before this one
    uint64_t Total;
};

static int ReportLoad(void *context, uint64_t done, uint64_t total)
{
    const LoadProgress *load = (const LoadProgress *)context;
    uint64_t whole = load->Total > 0 ? load->Total : 1;
    uint64_t at = load->Before + done;
    return ReportProgress(load->Window, (int32_t)((at < whole ? at : whole) * 100 / whole));
}

// Adds a log, or the store, to its index. Returns HistoryIndexAddText's result.
static int LoadFile(const char *path, bool store, LoadProgress *load)
{
    if (ReadRunState() == RUN_CANCEL_REQUESTED)
        return HISTORY_CANCELLED;
    char *text;
    size_t length;
    int read = ReadWholeFile(path, SIZE_MAX - 1, nullptr, nullptr, &text, &length);
    if (read == WHOLE_NO_MEMORY || read == WHOLE_TOO_LARGE)
        return HISTORY_NO_MEMORY;
    // A log that is not there or cannot be read adds nothing.
    if (read != WHOLE_READ)
        return HISTORY_ADDED;
    int result = store ? HistoryIndexAddStoreText(&Store, &Logs, text, length, ReportLoad, load)
                       : HistoryIndexAddText(&Logs, text, length, ReportLoad, load);
    free(text);
    load->Before += length;
    return result;
}

static void LoadHistoryOnce(HWND window)
{
    if (IndexState != HISTORY_NOT_LOADED || ReadRunState() == RUN_CANCEL_REQUESTED)
        return;
    LoadProgress load = { window, 0,
                          LogSize(Program.AllSessionsLogPath) + LogSize(Program.LastSessionLogPath) +
                              LogSize(Program.HistoryStorePath) };
    HistoryIndexInit(&Logs);
    HistoryIndexInitByPath(&Store);
    // The store first: the logs then leave out the records it stands for.
    int result = LoadFile(Program.HistoryStorePath, true, &load);
    if (result == 0)
        result = LoadFile(Program.AllSessionsLogPath, false, &load);
    if (result == 0)
        result = LoadFile(Program.LastSessionLogPath, false, &load);
    if (load.Total > 0)
        ReportProgress(window, 0);
    if (result == 0) {
        IndexState = HISTORY_LOADED;
        return;
    }
    HistoryIndexFree(&Logs);
    HistoryIndexFree(&Store);
    if (result == HISTORY_NO_MEMORY)
        IndexState = HISTORY_OFF;
}

void BeginHistoryRun(HWND window)
{
    WarnedUsed = 0;
    WarnedCount = 0;
    Considered = Unchanged = Changed = NotInHistory = Unreadable = 0;
    LoadHistoryOnce(window);
}

// Names one more file changed without a write; past LISTED_NAMES, or
// without the memory for it, the name is only counted.
static void AddWarnedName(const char *name)
{
    if (WarnedCount++ >= LISTED_NAMES)
        return;
    size_t need = WarnedUsed + strlen(name) + 3;
    if (need > WarnedSize) {
        size_t size = need * 2;
        char *grown = (char *)realloc(WarnedText, size);
        if (grown == nullptr)
            return;
        WarnedText = grown;
        WarnedSize = size;
    }
    WarnedUsed += (size_t)snprintf(WarnedText + WarnedUsed, WarnedSize - WarnedUsed, "%s\r\n", name);
}

// Keeps the warning line of index with the entry's other result lines;
// without the memory for it, the row's line is not kept (the box at the
// run's end still names the file).
static void SetWarning(int32_t index, const char *timeText)
{
    char line[WARNING_LINE_SIZE];
    snprintf(line, sizeof line, LanguageStrings[TEXT_HISTORY_WARNING_LINE], timeText);
    SetEntryText(index, EXTRA_WARNING, line);
}

// The log record's time field of a last-write time.
static void LogTimeText(const FileStamp *stamp, char text[HISTORY_TIME_SIZE])
{
    FormatLogTime(FileStampSeconds(stamp->LastWrite), text, HISTORY_TIME_SIZE);
}

// Judges a file by the store's records of its path, size and last-write
// time; with logsToo, when the store has none, by the records the logs
// alone hold of its name, size and time to the second.
static int JudgeFile(const char *path, const FileStamp *stamp, const char *crcText, const char *md5Text,
                     bool logsToo, HistoryJudgement *judgement)
{
    HistoryJudgeStamped(&Store, path, strlen(path), stamp, crcText, md5Text, judgement);
    if (judgement->Kinds != 0 || !logsToo)
        return judgement->Verdict;
    const char *name = PathFileName(path);
    char timeText[HISTORY_TIME_SIZE];
    LogTimeText(stamp, timeText);
    return HistoryJudge(&Logs, name, strlen(name), stamp->Size, timeText, crcText, md5Text, judgement);
}

int JudgeRowHistory(const FileEntry *entry, int32_t index, const FileStamp *stamp, const char *crcText,
                    const char *md5Text)
{
    LastVerdict = HISTORY_UNKNOWN;
    if (IndexState != HISTORY_LOADED)
        return LastVerdict;
    HistoryJudgement judgement;
    LastVerdict = JudgeFile(entry->Path, stamp, crcText, md5Text, CurrentRun.Kind == RUN_KIND_HISTORY, &judgement);
    if (LastVerdict == HISTORY_CHANGED) {
        SetWarning(index, judgement.TimeText);
        AddWarnedName(PathFileName(entry->Path));
    }
    return LastVerdict;
}

void AddRecordToHistory(const char *path, int32_t index, const FileStamp *stamp, const char *crcText,
                        const char *md5Text)
{
    // Every digest known, in the kinds' order: the record's, then the later kinds'.
    char *kept[KIND_COUNT] = {};
    const char *digests[KIND_COUNT] = { crcText, md5Text };
    for (int kind = KIND_FIRST_STORED; kind < KIND_COUNT; kind++)
        digests[kind] = kept[kind] = DuplicateEntryText(index, DigestText(kind));
    int stored = AppendStoreRecord(path, stamp, digests, digests + STORE_DIGEST_KINDS);
    for (char *text : kept)
        free(text);
    if (IndexState != HISTORY_LOADED)
        return;     // a load to come reads the record from the files
    // Out of memory: this record alone is missing; the files still have it.
    if (stored == 0) {
        HistoryIndexAddStamped(&Store, path, strlen(path), stamp, crcText, md5Text);
        return;
    }
    // Not in the store: the log alone holds it, as a load would find.
    const char *name = PathFileName(path);
    char timeText[HISTORY_TIME_SIZE];
    LogTimeText(stamp, timeText);
    HistoryIndexAddRecord(&Logs, name, strlen(name), stamp->Size, timeText, crcText, md5Text);
}

int HistoryCheckMask(const FileEntry *entry)
{
    Considered++;
    LastVerdict = HISTORY_UNKNOWN;
    FileStamp stamp;
    int mask = 0;
    if (IndexState == HISTORY_LOADED && ReadFileStamp(entry->Path, &stamp) == 0) {
        HistoryJudgement judgement;
        JudgeFile(entry->Path, &stamp, nullptr, nullptr, true, &judgement);
        mask = ((judgement.Kinds & HISTORY_CRC32) ? MASK_CRC32 : 0) | ((judgement.Kinds & HISTORY_MD5) ? MASK_MD5 : 0);
    }
    if (mask == 0)
        NotInHistory++;
    return mask;
}

int HistoryCheckState(int32_t result, bool cancelled)
{
    if (result != 0 && cancelled) {
        Considered--;   // stopped before it was checked
        return ENTRY_READY;
    }
    if (result != 0) {
        Unreadable++;
        return ENTRY_ERROR;
    }
    if (LastVerdict == HISTORY_CHANGED) {
        Changed++;
        return ENTRY_ERROR;
    }
    if (LastVerdict == HISTORY_SAME)
        Unchanged++;
    else
        NotInHistory++;     // its size or time changed since it was looked up
    return ENTRY_DONE;
}

bool HistoryFollowUpWanted(int runKind)
{
    return runKind == RUN_KIND_HISTORY || WarnedCount > 0;
}

// Appends the names warned about, and how many more there were.
static void AppendWarnedNames(char *text, size_t size)
{
    if (WarnedText != nullptr && WarnedUsed > 0)
        AppendText(text, size, WarnedText);
    int32_t others = WarnedCount - LISTED_NAMES;
    if (others > 0) {
        char more[64];
        snprintf(more, sizeof more, CountText(TEXT_OTHER_NAMES_ONE, others), others);
        AppendText(text, size, more);
    }
}

static void ShowCheckSummary(HWND window)
{
    size_t size = WarnedUsed + SUMMARY_SPARE;
    char *text = (char *)malloc(size);
    if (text == nullptr)
        return;
    FormatHistoryCounts(text, size, Considered, Unchanged, Changed, NotInHistory, Unreadable);
    if (CurrentRun.Cancelled) {
        AppendText(text, size, "\r\n\r\n");
        AppendText(text, size, LanguageStrings[TEXT_HISTORY_CANCELLED]);
    }
    if (IndexState == HISTORY_OFF) {
        AppendText(text, size, "\r\n\r\n");
        AppendText(text, size, LanguageStrings[TEXT_HISTORY_OFF]);
    }
    if (WarnedCount > 0) {
        AppendText(text, size, "\r\n\r\n");
        AppendText(text, size, LanguageStrings[TEXT_HISTORY_CHANGED_HEADING]);
        AppendText(text, size, "\r\n");
        AppendWarnedNames(text, size);
    }
    bool clean = Changed == 0 && Unreadable == 0 && !CurrentRun.Cancelled && IndexState != HISTORY_OFF;
    RunMessageBox(window, text, LanguageStrings[TEXT_HISTORY_CHECK_TITLE],
                  MB_OK | (clean ? MB_ICONINFORMATION : MB_ICONWARNING),
                  Changed > 0 || Unreadable > 0 ? TASKBAR_ERROR : TASKBAR_NONE);
    free(text);
}

static void ShowWarnedFiles(HWND window)
{
    size_t size = WarnedUsed + SUMMARY_SPARE;
    char *text = (char *)malloc(size);
    if (text == nullptr)
        return;
    snprintf(text, size, "%s\r\n\r\n", CountText(TEXT_HISTORY_WARNING_TEXT_ONE, WarnedCount));
    AppendWarnedNames(text, size);
    RunMessageBox(window, text, LanguageStrings[TEXT_HISTORY_WARNING_TITLE], MB_OK | MB_ICONWARNING, TASKBAR_ERROR);
    free(text);
}

void ShowHistoryAfterRun(HWND window, int runKind)
{
    // The check's summary names the files itself.
    if (runKind == RUN_KIND_HISTORY)
        ShowCheckSummary(window);
    else if (WarnedCount > 0)
        ShowWarnedFiles(window);
    WarnedUsed = 0;
    WarnedCount = 0;
}

void CheckAgainstHistory(HWND window)
{
    if (!RunCanStart() || MainWnd.NoFileRows)
        return;
    CurrentRun = RunRequest();
    CurrentRun.Kind = RUN_KIND_HISTORY;
    StartRun(window, IDC_PROCESS_ALL);
}

void ResetHistory(void)
{
    HistoryIndexFree(&Logs);
    HistoryIndexFree(&Store);
    IndexState = HISTORY_NOT_LOADED;
    free(WarnedText);
    WarnedText = nullptr;
    WarnedUsed = WarnedSize = 0;
    WarnedCount = 0;
}
