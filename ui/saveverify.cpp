// Saving and verifying checksum files (.sfv and .md5), and exporting the
// list as a table. A file is written
// whole beside its destination first and then put in its place, so nothing
// half-written is ever left; a verification is a run that reads the file
// (ui/verifyrun.cpp), and the window gives the files it lists their rows.
#include "ui/saveverify.h"

#include "base/program.h"
#include "base/texts.h"
#include "base/textutil.h"
#include "checksum/checksum_text.h"
#include "checksum/hashjob.h"
#include "core/checksumfile.h"
#include "core/csvtable.h"
#include "core/entrytexts.h"
#include "core/fileinfo.h"
#include "core/filelist.h"
#include "core/sessionlog.h"
#include "core/verifyplan.h"
#include "platform/codepage.h"
#include "resources/resource.h"
#include "ui/addfiles.h"
#include "ui/dialogs.h"
#include "ui/listview.h"
#include "ui/mainwnd.h"
#include "ui/progress.h"
#include "ui/result.h"
#include "ui/runs.h"
#include "ui/taskbar.h"

#include <commdlg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>


enum {
    LINE_SPARE = 256,   // a line's room beside its name: the digits, the marks, the line end
    LINE_SIZE = PATH_SIZE + 64,
    MESSAGE_SIZE = PATH_SIZE + 256,
};

static const DWORD SaveFlags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
static const DWORD OpenFlags =
    OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;

static void Report(HWND window, int text, const char *path, const char *title, UINT icon)
{
    char message[MESSAGE_SIZE];
    snprintf(message, sizeof message, LanguageStrings[text], path);
    MessageBoxA(window, message, title, MB_OK | icon);
}

void FolderOf(const char *path, char *folder, size_t size)
{
    CopyText(folder, size, path);
    size_t name = (size_t)(PathFileName(folder) - folder);
    if (name > 0)
        folder[name - 1] = '\0';
}

// A text that grows by lines.
struct LineBuffer {
    char *Text;
    size_t Used, Size;
};

static bool AddLine(LineBuffer *buffer, const char *line)
{
    size_t length = strlen(line);
    if (buffer->Used + length + 1 > buffer->Size) {
        size_t size = buffer->Size * 2 + length + 4096;
        char *larger = (char *)realloc(buffer->Text, size);
        if (larger == nullptr)
            return false;
        buffer->Text = larger;
        buffer->Size = size;
    }
    memcpy(buffer->Text + buffer->Used, line, length + 1);
    buffer->Used += length;
    return true;
}

// The lines of every row that has the checksum of format, in row order.
// Returns false when memory ran out.
static bool CollectLines(HWND list, int format, const char *folder, LineBuffer *lines, int32_t *written,
                         int32_t *leftOut)
{
    int kind = KindOfMask(SavedFormatKind(format));
    bool stored = kind >= KIND_FIRST_STORED;
    int rows = MainWnd.NoFileRows ? 0 : (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < rows; row++) {
        int32_t index = RowIndex(list, row);
        FileEntry *entry = index < 0 ? nullptr : FileListEntry(&Files, index);
        if (entry == nullptr)
            continue;
        LockEntryResults();
        uint8_t flags = entry->Flags;
        uint32_t crc = entry->Crc32;
        char md5[MD5_TEXT_SIZE];
        memcpy(md5, entry->Md5Text, sizeof md5);
        UnlockEntryResults();
        md5[MD5_TEXT_SIZE - 1] = '\0';
        char *digest = stored ? DuplicateEntryText(index, DigestText(kind)) : nullptr;
        if (stored ? digest == nullptr : !(flags & (1 << kind))) {
            (*leftOut)++;
            continue;
        }
        const char *name = ListedNameOf(folder, entry->Path);
        size_t size = strlen(name) * 2 + LINE_SPARE;     // md5sum's escapes double a name at most
        char *line = (char *)malloc(size);
        int made = line == nullptr       ? -1
                   : stored              ? FormatDigestLine(line, size, name, digest, 1 << kind)
                   : kind == KIND_CRC32  ? FormatSfvLine(line, size, name, crc)
                                         : FormatMd5Line(line, size, name, md5);
        free(digest);
        bool added = made == 0 && AddLine(lines, line);
        free(line);
        if (!added)
            return false;
        (*written)++;
    }
    return true;
}

// Checksum files hold their names in UTF-8, as a UTF-8 system writes them
// and as Verify reads them: an older system's lines are converted, once
// whole (the lines are made where the separators of their code page are
// known). Returns false when memory ran out or a byte is not of that code
// page (nothing is then written).
static bool LinesInUtf8(LineBuffer *lines)
{
    UINT codePage = LegacyCodePage();
    if (codePage == 0 || lines->Text == nullptr)
        return true;
    int length = ConvertText(codePage, CP_UTF8, lines->Text, nullptr, 0, true);
    char *converted = length < 0 ? nullptr : (char *)malloc((size_t)length + 1);
    if (converted == nullptr || ConvertText(codePage, CP_UTF8, lines->Text, converted, (size_t)length + 1, true) < 0) {
        free(converted);
        return false;
    }
    free(lines->Text);
    lines->Text = converted;
    lines->Used = lines->Size = (size_t)length;
    return true;
}


// Writes the checksum file of format at path from the rows' checksums, and
// says what it wrote.
static void WriteChecksumFile(HWND window, const char *path, int format)
{
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    const char *title = LanguageStrings[TEXT_SAVE_TITLE];
    char *folder = DuplicateText(path);
    if (folder == nullptr) {
        Report(window, TEXT_SAVE_NOT_WRITTEN, path, title, MB_ICONWARNING);
        return;
    }
    FolderOf(path, folder, strlen(path) + 1);
    LineBuffer lines = {};
    int32_t written = 0, leftOut = 0;
    bool collected = true;
    if (format == CHECKSUM_FORMAT_SFV) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        char header[LINE_SIZE];
        FormatSfvHeader(header, sizeof header, now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                        now.wSecond);
        collected = AddLine(&lines, header);
    }
    collected = collected && CollectLines(list, format, folder, &lines, &written, &leftOut);
    free(folder);
    collected = collected && LinesInUtf8(&lines);
    if (collected && written > 0 && ReplaceFileWhole(path, lines.Text, lines.Used) != REPLACE_DONE)
        collected = false;
    free(lines.Text);
    if (!collected) {
        Report(window, TEXT_SAVE_NOT_WRITTEN, path, title, MB_ICONWARNING);
        return;
    }
    char *summary = FormatSaveSummary(format, PathFileName(path), written, leftOut);
    if (summary != nullptr)
        MessageBoxA(window, summary, title, MB_OK | (written > 0 ? MB_ICONINFORMATION : MB_ICONWARNING));
    free(summary);
}


// The file a save writes once the digests it needs are computed, and its format.
static char PendingSavePath[PATH_SIZE];
static int PendingSaveFormat;

// Starts a run over the rows whose digest of the format's kind (one kept
// outside the entry: SHA-256, BLAKE3) is not known, for a save to path.
// Returns 0 when it started, -1 when there is nothing to compute or it
// cannot start (the file is then written with what is known).
static int ComputeMissingDigests(HWND window, const char *path, int format)
{
    int kind = KindOfMask(SavedFormatKind(format));
    if (kind < KIND_FIRST_STORED)
        return -1;
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    int rows = MainWnd.NoFileRows ? 0 : (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    int32_t *missing = (int32_t *)malloc(((size_t)rows + 1) * sizeof *missing);
    int32_t *indexes = (int32_t *)malloc(((size_t)rows + 1) * sizeof *indexes);
    int32_t count = 0;
    for (int row = 0; missing != nullptr && indexes != nullptr && row < rows; row++) {
        int32_t index = RowIndex(list, row);
        char *known = index < 0 ? nullptr : DuplicateEntryText(index, DigestText(kind));
        if (index >= 0 && known == nullptr) {
            missing[count] = row;
            indexes[count++] = index;
        }
        free(known);
    }
    if (count == 0 || CopyText(PendingSavePath, sizeof PendingSavePath, path) != 0) {
        free(missing);
        free(indexes);
        return -1;
    }
    PendingSaveFormat = format;
    return StartRowsRun(window, missing, indexes, count, 1 << kind, ROWS_FOR_SAVE);
}

void FinishSaveAfterRun(HWND window)
{
    if (CurrentRun.Cancelled)
        Report(window, TEXT_SAVE_CANCELLED, PendingSavePath, LanguageStrings[TEXT_SAVE_TITLE], MB_ICONWARNING);
    else
        WriteChecksumFile(window, PendingSavePath, PendingSaveFormat);
}

void SaveChecksumFile(HWND window)
{
    char typed[PATH_SIZE] = "";
    DWORD filterIndex = 2;     // MD5
    if (ChooseFileName(window, true, LanguageStrings[TEXT_SAVE_FILTER_SHA256], &filterIndex,
                       LanguageStrings[TEXT_SAVE_TITLE], SaveFlags, typed, sizeof typed) != 0)
        return;

    const char *title = LanguageStrings[TEXT_SAVE_TITLE];
    char path[PATH_SIZE];
    int format = ChooseSaveName(typed, SavedFormatOfFilter((int)filterIndex), path, sizeof path);
    int found = format < 0 ? QUERY_NOTHING : QueryFileInfo(path, nullptr, nullptr);
    if (format < 0 || found == QUERY_DIRECTORY) {
        Report(window, TEXT_SAVE_NOT_WRITTEN, format < 0 ? typed : path, title, MB_ICONWARNING);
        return;
    }
    // Also when the extension was added here, after the dialog.
    if (found == QUERY_FILE) {
        char question[MESSAGE_SIZE];
        snprintf(question, sizeof question, LanguageStrings[TEXT_SAVE_REPLACE], path);
        if (MessageBoxA(window, question, title, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return;
    }

    if (ComputeMissingDigests(window, path, format) == 0)
        return;     // written once the run has computed them
    WriteChecksumFile(window, path, format);
}

// One row of the exported table: name, folder, size, last-write time,
// status and the checksum of every kind (empty when not known), as the list
// shows them. A heap line, or null when memory ran out.
static char *TableLine(HWND list, int row, int32_t index, const FileEntry *entry)
{
    char *folder = DuplicateText(entry->Path);
    if (folder == nullptr)
        return nullptr;
    FolderOf(entry->Path, folder, strlen(entry->Path) + 1);
    char size[24], time[32] = "", status[STATUS_TEXT_SIZE], crc[CRC32_TEXT_SIZE], md5[MD5_TEXT_SIZE];
    snprintf(size, sizeof size, "%llu", (unsigned long long)entry->Size);
    int64_t written;
    if (QueryFileInfo(entry->Path, nullptr, &written) == QUERY_FILE)
        FormatIsoLocalTime(written, time, sizeof time);
    GetRowText(list, row, 0, status, sizeof status);
    uint8_t flags = EntryChecksumTexts(entry, crc, md5);
    char *digests[KIND_COUNT] = {};
    for (int kind = KIND_FIRST_STORED; kind < KIND_COUNT; kind++)
        digests[kind] = DuplicateShownDigest(index, kind);
    const char *fields[5 + KIND_COUNT] = { PathFileName(entry->Path), folder, size, time, status,
                                           (flags & HAS_CRC32) ? crc : "", (flags & HAS_MD5) ? md5 : "" };
    for (int kind = KIND_FIRST_STORED; kind < KIND_COUNT; kind++)
        fields[5 + kind] = digests[kind] ? digests[kind] : "";
    char *line = FormatCsvLine(fields, (int)ARRAY_SIZE(fields));
    for (char *digest : digests)
        free(digest);
    free(folder);
    return line;
}

int WriteListTable(HWND window, const char *path, int32_t *written)
{
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    int rows = MainWnd.NoFileRows ? 0 : (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    LineBuffer lines = {};
    bool made = AddLine(&lines, LanguageStrings[TEXT_EXPORT_HEADER]) && AddLine(&lines, "\r\n");
    *written = 0;
    for (int row = 0; made && row < rows; row++) {
        int32_t index = RowIndex(list, row);
        FileEntry *entry = index < 0 ? nullptr : FileListEntry(&Files, index);
        if (entry == nullptr)
            continue;
        char *line = TableLine(list, row, index, entry);
        made = line != nullptr && AddLine(&lines, line);
        free(line);
        (*written)++;
    }
    // UTF-8 with its byte-order mark, which spreadsheets read as UTF-8.
    static const char Mark[] = "\xEF\xBB\xBF";
    made = made && LinesInUtf8(&lines);
    char *text = made ? (char *)malloc(sizeof Mark - 1 + lines.Used) : nullptr;
    int result = -1;
    if (text != nullptr) {
        memcpy(text, Mark, sizeof Mark - 1);
        memcpy(text + sizeof Mark - 1, lines.Text, lines.Used);
        result = ReplaceFileWhole(path, text, sizeof Mark - 1 + lines.Used) == REPLACE_DONE ? 0 : -1;
    }
    free(text);
    free(lines.Text);
    return result;
}

void ExportList(HWND window)
{
    char typed[PATH_SIZE] = "";
    DWORD filterIndex = 1;
    const char *title = LanguageStrings[TEXT_EXPORT_TITLE];
    if (ChooseFileName(window, true, LanguageStrings[TEXT_EXPORT_FILTER], &filterIndex, title, SaveFlags, typed,
                       sizeof typed) != 0)
        return;
    // A name typed without an extension gets the table's.
    char *path = strchr(PathFileName(typed), '.') == nullptr ? JoinTexts(typed, ".csv", "") : DuplicateText(typed);
    int found = path != nullptr ? QueryFileInfo(path, nullptr, nullptr) : QUERY_DIRECTORY;
    int32_t written = 0;
    if (found == QUERY_FILE) {
        char question[MESSAGE_SIZE];
        snprintf(question, sizeof question, LanguageStrings[TEXT_SAVE_REPLACE], path);
        if (MessageBoxA(window, question, title, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
            free(path);
            return;
        }
    }
    if (found == QUERY_DIRECTORY || WriteListTable(window, path, &written) != 0) {
        Report(window, TEXT_SAVE_NOT_WRITTEN, path != nullptr ? path : typed, title, MB_ICONWARNING);
    } else {
        char summary[MESSAGE_SIZE];
        snprintf(summary, sizeof summary, CountText(TEXT_EXPORTED_ONE, written), written, PathFileName(path));
        MessageBoxA(window, summary, title, MB_OK | MB_ICONINFORMATION);
    }
    free(path);
}

// The verification going, until its summary is shown: its plan and the
// checksum file.
static VerifyPlan *Plan;
static char *PlanPath;

void DiscardVerification(void)
{
    free(PlanPath);
    PlanPath = nullptr;
    if (Plan == nullptr)
        return;
    VerifyPlanFree(Plan);
    free(Plan);
    Plan = nullptr;
}

// A row of the list by its file's path, folded as the file system compares names.
struct FoldedRow {
    WCHAR *Path;
    int Row;
};

static int CompareFoldedRows(const void *a, const void *b)
{
    return wcscmp(((const FoldedRow *)a)->Path, ((const FoldedRow *)b)->Path);
}

static void FreeRows(FoldedRow *rows, int count)
{
    for (int i = 0; i < count; i++)
        free(rows[i].Path);
    free(rows);
}

// The list's rows by folded path, sorted for halving; null with count 0 for
// an empty list. *failed when memory ran out.
static FoldedRow *SortedRows(HWND list, int *count, bool *failed)
{
    *count = 0;
    *failed = false;
    int rows = MainWnd.NoFileRows ? 0 : (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (rows == 0)
        return nullptr;
    FoldedRow *sorted = (FoldedRow *)malloc((size_t)rows * sizeof *sorted);
    *failed = sorted == nullptr;
    for (int row = 0; !*failed && row < rows; row++) {
        FileEntry *entry = RowEntry(list, row);
        WCHAR *folded = entry != nullptr ? FoldedWidePath(entry->Path) : nullptr;
        if (folded != nullptr)
            sorted[(*count)++] = FoldedRow{ folded, row };
        *failed = entry != nullptr && folded == nullptr;
    }
    if (*failed) {
        FreeRows(sorted, *count);
        *count = 0;
        return nullptr;
    }
    qsort(sorted, (size_t)*count, sizeof *sorted, CompareFoldedRows);
    return sorted;
}

// The row of path among the sorted rows, or -1; *failed when memory ran out.
static int FindRow(const FoldedRow *sorted, int count, const char *path, bool *failed)
{
    FoldedRow key = { FoldedWidePath(path), -1 };
    if (key.Path == nullptr) {
        *failed = true;
        return -1;
    }
    const FoldedRow *found = count == 0 ? nullptr
                                        : (const FoldedRow *)bsearch(&key, sorted, (size_t)count, sizeof key,
                                                                     CompareFoldedRows);
    free(key.Path);
    return found != nullptr ? found->Row : -1;
}

// Takes the rows from firstRow on away again, with their entries; the hint
// rows come back when the list was empty before.
static void RemoveRowsFrom(HWND list, int firstRow, bool hadNoRows)
{
    int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = rows - 1; row >= firstRow; row--) {
        int32_t index = RowIndex(list, row);
        SendMessageA(list, LVM_DELETEITEM, row, 0);
        if (index >= 0)
            FileListRemoveEntry(&Files, index);
    }
    if (hadNoRows)
        InsertHintRows(list);
}

int GiveVerifiedFilesRows(HWND window, VerifyPlan *plan, const VerifyFound *found)
{
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    bool hadNoRows = MainWnd.NoFileRows;
    int firstAdded = hadNoRows ? 0 : (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    int count;
    bool failed;
    FoldedRow *sorted = SortedRows(list, &count, &failed);
    SuspendListRedraw(list);
    for (int32_t i = 0; !failed && i < plan->FileCount; i++) {
        const VerifyFile *file = &plan->Files[i];
        if (file->State != VERIFY_FILE_FOUND)
            continue;
        int32_t same = found[i].Same;
        int row = same < i ? plan->Files[same].Row : FindRow(sorted, count, file->Path, &failed);
        if (row < 0 && !failed) {
            // Found on the run's thread: admitted as found, not looked up again.
            failed = AddFoundFile(file->Path, found[i].Size, -1) == ADD_OUT_OF_MEMORY;
            row = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) - 1;
        }
        if (!failed)
            VerifyPlanSetRow(plan, i, row, RowIndex(list, row));
    }
    FreeRows(sorted, count);
    failed = failed || VerifyPlanGroup(plan) != 0;
    if (failed)
        RemoveRowsFrom(list, firstAdded, hadNoRows);
    ResumeListRedraw(list);
    return failed ? -1 : 0;
}

void VerifyChecksumFile(HWND window)
{
    char path[PATH_SIZE] = "";
    DWORD filterIndex = 1;
    if (ChooseFileName(window, false, LanguageStrings[TEXT_VERIFY_FILTER_SHA], &filterIndex,
                       LanguageStrings[TEXT_VERIFY_TITLE], OpenFlags, path, sizeof path) != 0)
        return;
    VerifyChecksumFileAt(window, path);
}

void VerifyChecksumFileAt(HWND window, const char *path)
{
    // The file is read, its files looked up, given rows and hashed by a run.
    DiscardVerification();
    Plan = (VerifyPlan *)malloc(sizeof *Plan);
    PlanPath = DuplicateText(path);
    if (Plan == nullptr || PlanPath == nullptr) {
        free(Plan);
        Plan = nullptr;
        DiscardVerification();
        Report(window, TEXT_VERIFY_NO_MEMORY, path, LanguageStrings[TEXT_VERIFY_SUMMARY_TITLE], MB_ICONWARNING);
        return;
    }
    VerifyPlanInit(Plan);
    CurrentRun = RunRequest();
    CurrentRun.Kind = RUN_KIND_VERIFY;
    CurrentRun.Plan = Plan;
    CurrentRun.SumsPath = PlanPath;
    if (StartRun(window, IDC_PROCESS_ALL) != 0) {
        DiscardVerification();
        CurrentRun.Plan = nullptr;
        CurrentRun.SumsPath = nullptr;
    }
}

int AskAboutAbsoluteNames(HWND window, int32_t count)
{
    char question[MESSAGE_SIZE];
    snprintf(question, sizeof question, CountText(TEXT_VERIFY_ABSOLUTE_ONE, count), count);
    int answer = RunMessageBox(window, question, LanguageStrings[TEXT_VERIFY_SUMMARY_TITLE],
                               MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, TASKBAR_PAUSED);
    return answer == IDYES ? IDYES : IDNO;
}

void ShowVerificationAfterRun(HWND window)
{
    if (Plan == nullptr)
        return;
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    // Stopped before its files were known, it has nothing to say but why.
    if (CurrentRun.VerifyProblem != 0 || !CurrentRun.Planned) {
        int problem = CurrentRun.VerifyProblem;
        char *path = PlanPath;
        PlanPath = nullptr;
        DiscardVerification();
        CurrentRun.Plan = nullptr;
        CurrentRun.SumsPath = nullptr;
        if (problem != 0)
            Report(window, problem, path, LanguageStrings[TEXT_VERIFY_SUMMARY_TITLE], MB_ICONWARNING);
        free(path);
        return;
    }
    Plan->Summary.Cancelled = CurrentRun.Cancelled && (!CurrentRun.RowsGiven || Plan->RowsDone < Plan->RowCount);
    if (Plan->FirstFailedRow >= 0) {
        SelectRow(list, Plan->FirstFailedRow);
        SendMessageA(list, LVM_ENSUREVISIBLE, Plan->FirstFailedRow, FALSE);
        ShowRowResult(list, Plan->FirstFailedRow);
    }
    bool failed = Plan->Summary.Failed.Count > 0 || Plan->Summary.Missing.Count > 0;
    bool clean = !failed && Plan->Summary.NotUnderstood == 0 && !Plan->Summary.Cancelled;
    char *summary = FormatVerifySummary(&Plan->Summary);
    DiscardVerification();
    CurrentRun.Plan = nullptr;
    CurrentRun.SumsPath = nullptr;
    if (summary != nullptr)
        RunMessageBox(window, summary, LanguageStrings[TEXT_VERIFY_SUMMARY_TITLE],
                      MB_OK | (clean ? MB_ICONINFORMATION : MB_ICONWARNING), failed ? TASKBAR_ERROR : TASKBAR_NONE);
    free(summary);
}
