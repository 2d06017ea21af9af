// Saving and verifying checksum files (.sfv and .md5). A file is written
// whole beside its destination first and then put in its place, so nothing
// half-written is ever left; a verification reads the whole file, adds the
// files it lists, and hands the rows to a run.
#include "ui/sumfile.h"

#include "app/lang_more.h"
#include "app/program.h"
#include "app/textutil.h"
#include "app/textutil_win.h"
#include "checksum/checksum_text.h"
#include "checksum/hashjob.h"
#include "core/checksumfile.h"
#include "core/extras.h"
#include "core/fileaccess.h"
#include "core/fileinfo.h"
#include "core/filelist.h"
#include "core/verifyplan.h"
#include "resources/resource.h"
#include "ui/addfiles.h"
#include "ui/dialogs.h"
#include "ui/listview.h"
#include "ui/mainwnd.h"
#include "ui/pathorder.h"
#include "ui/result.h"
#include "ui/runs.h"

#include <commdlg.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>


enum {
    LINE_SIZE = PATH_SIZE + 64,
    MESSAGE_SIZE = PATH_SIZE + 256,
};

static const DWORD SaveFlags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
static const DWORD OpenFlags =
    OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;

static void Report(HWND window, int text, const char *path, const char *title, UINT icon)
{
    char message[MESSAGE_SIZE];
    snprintf(message, sizeof message, MoreText(text), path);
    MessageBoxA(window, message, title, MB_OK | icon);
}

// The folder part of path, without its last backslash.
static void FolderOf(const char *path, char *folder, size_t size)
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
    int needed = format == CHECKSUM_FORMAT_SFV ? HAS_CRC32 : HAS_MD5;
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
        char *sha256 = format == CHECKSUM_FORMAT_SHA256 ? DuplicateEntryText(index, EXTRA_SHA256) : nullptr;
        if (format == CHECKSUM_FORMAT_SHA256 ? sha256 == nullptr : !(flags & needed)) {
            (*leftOut)++;
            continue;
        }
        char line[LINE_SIZE];
        const char *name = ListedNameOf(folder, entry->Path);
        int made = format == CHECKSUM_FORMAT_SFV      ? FormatSfvLine(line, sizeof line, name, crc)
                   : format == CHECKSUM_FORMAT_SHA256 ? FormatSha256Line(line, sizeof line, name, sha256)
                                                      : FormatMd5Line(line, sizeof line, name, md5);
        free(sha256);
        if (made != 0)
            continue;
        if (!AddLine(lines, line))
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
    const char *title = MoreText(MORE_SAVE_TITLE);
    char folder[PATH_SIZE];
    FolderOf(path, folder, sizeof folder);
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
    collected = collected && LinesInUtf8(&lines);
    if (collected && written > 0 && ReplaceFileWhole(path, lines.Text, lines.Used) != 0)
        collected = false;
    free(lines.Text);
    if (!collected) {
        Report(window, MORE_SAVE_NOT_WRITTEN, path, title, MB_ICONWARNING);
        return;
    }
    char *summary = FormatSaveSummary(format, written, leftOut);
    if (summary != nullptr)
        MessageBoxA(window, summary, title, MB_OK | (written > 0 ? MB_ICONINFORMATION : MB_ICONWARNING));
    free(summary);
}


// The file a save writes once the SHA-256 it needs are computed.
static char PendingSavePath[PATH_SIZE];

// Starts a run over the rows whose SHA-256 is not known, for a save to path.
// Returns 0 when it started, -1 when there is nothing to compute or it
// cannot start (the file is then written with what is known).
static int ComputeMissingSha256(HWND window, const char *path)
{
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    int rows = MainWnd.NoFileRows ? 0 : (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    int32_t *missing = (int32_t *)malloc(((size_t)rows + 1) * sizeof *missing);
    int32_t *indexes = (int32_t *)malloc(((size_t)rows + 1) * sizeof *indexes);
    int32_t count = 0;
    for (int row = 0; missing != nullptr && indexes != nullptr && row < rows; row++) {
        int32_t index = RowIndex(list, row);
        char *known = index < 0 ? nullptr : DuplicateEntryText(index, EXTRA_SHA256);
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
    return StartRowsRun(window, missing, indexes, count, MASK_SHA256, ROWS_FOR_SAVE);
}

void FinishSaveAfterRun(HWND window)
{
    if (CurrentRun.Cancelled)
        Report(window, MORE_SAVE_CANCELLED, PendingSavePath, MoreText(MORE_SAVE_TITLE), MB_ICONWARNING);
    else
        WriteChecksumFile(window, PendingSavePath, CHECKSUM_FORMAT_SHA256);
}

void SaveChecksumFile(HWND window)
{
    char typed[PATH_SIZE] = "";
    OPENFILENAMEA dialog;
    PrepareFileDialog(&dialog, window, MoreText(MORE_SAVE_FILTER_SHA256), CHECKSUM_FORMAT_MD5, typed, sizeof typed,
                      MoreText(MORE_SAVE_TITLE), SaveFlags);
    if (!GetSaveFileNameA(&dialog))
        return;

    const char *title = MoreText(MORE_SAVE_TITLE);
    char path[PATH_SIZE];
    int format = ChooseSaveName(typed, (int)dialog.nFilterIndex, path, sizeof path);
    int found = format < 0 ? -1 : QueryFileInfo(path, nullptr, nullptr);
    if (format < 0 || found == -2) {
        Report(window, MORE_SAVE_NOT_WRITTEN, format < 0 ? typed : path, title, MB_ICONWARNING);
        return;
    }
    // Also when the extension was added here, after the dialog.
    if (found == 0) {
        char question[MESSAGE_SIZE];
        snprintf(question, sizeof question, MoreText(MORE_SAVE_REPLACE), path);
        if (MessageBoxA(window, question, title, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return;
    }

    if (format == CHECKSUM_FORMAT_SHA256 && ComputeMissingSha256(window, path) == 0)
        return;     // written once the run has computed them
    WriteChecksumFile(window, path, format);
}

// The whole file at path, NUL-ended, or null when it cannot be read.
static char *ReadWholeFile(const char *path, size_t *length)
{
    // Where its size was looked up (a 32-bit build reaches System32 as Sysnative).
    char reached[FILE_ACCESS_PATH_SIZE];
    FILE *file = fopen(FileAccessPath(path, reached), "rb");
    if (file == nullptr)
        return nullptr;
    size_t size = 65536, used = 0;
    char *text = (char *)malloc(size);
    while (text != nullptr) {
        used += fread(text + used, 1, size - used - 1, file);
        if (used < size - 1 || ferror(file))
            break;
        char *larger = size <= VERIFY_MAX_FILE_SIZE ? (char *)realloc(text, size * 2) : nullptr;
        if (larger == nullptr) {
            free(text);
            text = nullptr;
            break;
        }
        text = larger;
        size *= 2;
    }
    bool failed = ferror(file) != 0;
    fclose(file);
    if (text == nullptr || failed) {
        free(text);
        return nullptr;
    }
    text[used] = '\0';
    *length = used;
    return text;
}

// The plan of the verification going, until its summary is shown.
static VerifyPlan *Plan;

void DiscardVerification(void)
{
    if (Plan == nullptr)
        return;
    VerifyPlanFree(Plan);
    free(Plan);
    Plan = nullptr;
}

// A row of the list by its file's path.
struct PathRow {
    const char *Path;
    int Row;
};

// Paths compared as the plan keys them: A-Z as a-z, '/' as '\'.
static int ComparePathRows(const void *a, const void *b)
{
    return ComparePathsFolded(((const PathRow *)a)->Path, ((const PathRow *)b)->Path, true);
}

// The list's rows by path, sorted for halving; null with count 0 for an
// empty list. *failed when memory ran out.
static PathRow *SortedRows(HWND list, int *count, bool *failed)
{
    *count = 0;
    *failed = false;
    int rows = MainWnd.NoFileRows ? 0 : (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (rows == 0)
        return nullptr;
    PathRow *sorted = (PathRow *)malloc((size_t)rows * sizeof *sorted);
    if (sorted == nullptr) {
        *failed = true;
        return nullptr;
    }
    for (int row = 0; row < rows; row++) {
        FileEntry *entry = RowEntry(list, row);
        if (entry != nullptr)
            sorted[(*count)++] = PathRow{ entry->Path, row };
    }
    qsort(sorted, (size_t)*count, sizeof *sorted, ComparePathRows);
    return sorted;
}

static int FindRow(const PathRow *sorted, int count, const char *path)
{
    PathRow key = { path, -1 };
    const PathRow *found = (const PathRow *)bsearch(&key, sorted, (size_t)count, sizeof key, ComparePathRows);
    return found != nullptr ? found->Row : -1;
}

// For each found file of the plan, the first found file of the same path
// (itself when none comes before): a file listed by its relative name and
// by its full path is one file, given one row. Null when memory ran out.
static int32_t *FirstOfEachPath(const VerifyPlan *plan)
{
    int32_t *first = (int32_t *)malloc(((size_t)plan->FileCount + 1) * sizeof *first);
    PathRow *byPath = (PathRow *)malloc(((size_t)plan->FileCount + 1) * sizeof *byPath);
    if (first == nullptr || byPath == nullptr) {
        free(first);
        free(byPath);
        return nullptr;
    }
    int count = 0;
    for (int32_t i = 0; i < plan->FileCount; i++) {
        first[i] = i;
        if (plan->Files[i].State == VERIFY_FILE_FOUND)
            byPath[count++] = PathRow{ plan->Files[i].Path, i };
    }
    qsort(byPath, (size_t)count, sizeof *byPath, ComparePathRows);
    for (int start = 0, end; start < count; start = end) {
        int32_t least = byPath[start].Row;
        for (end = start + 1; end < count && ComparePathRows(&byPath[start], &byPath[end]) == 0; end++)
            least = byPath[end].Row < least ? byPath[end].Row : least;
        for (int k = start; k < end; k++)
            first[byPath[k].Row] = least;
    }
    free(byPath);
    return first;
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

int GiveVerifiedFilesRows(HWND window, VerifyPlan *plan, const uint64_t *sizes)
{
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    bool hadNoRows = MainWnd.NoFileRows;
    int firstAdded = hadNoRows ? 0 : (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    int count;
    bool failed;
    PathRow *sorted = SortedRows(list, &count, &failed);
    int32_t *first = failed ? nullptr : FirstOfEachPath(plan);
    failed = failed || first == nullptr;
    SuspendListRedraw(list);
    for (int32_t i = 0; !failed && i < plan->FileCount; i++) {
        const VerifyFile *file = &plan->Files[i];
        if (file->State != VERIFY_FILE_FOUND)
            continue;
        int row = first[i] < i ? plan->Files[first[i]].Row : FindRow(sorted, count, file->Path);
        if (row < 0) {
            // Found on the run's thread: admitted as found, not looked up again.
            failed = AddFoundFile(file->Path, sizes[i], -1) == ADD_OUT_OF_MEMORY;
            if (failed)
                break;
            row = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) - 1;
        }
        VerifyPlanSetRow(plan, i, row, RowIndex(list, row));
    }
    free(first);
    free(sorted);
    failed = failed || VerifyPlanGroup(plan) != 0;
    if (failed)
        RemoveRowsFrom(list, firstAdded, hadNoRows);
    ResumeListRedraw(list);
    return failed ? -1 : 0;
}

// The whole file at path, NUL-ended, or null when it cannot be read (*tooLarge
// set when it is larger than a checksum file may be).
static char *ReadChecksumFile(const char *path, size_t *length, bool *tooLarge)
{
    uint64_t size = 0;
    *tooLarge = false;
    if (QueryFileInfo(path, &size, nullptr) == 0 && size > VERIFY_MAX_FILE_SIZE) {
        *tooLarge = true;
        return nullptr;
    }
    return ReadWholeFile(path, length);
}

void VerifyChecksumFile(HWND window)
{
    char path[PATH_SIZE] = "";
    OPENFILENAMEA dialog;
    PrepareFileDialog(&dialog, window, MoreText(MORE_VERIFY_FILTER_SHA), 1, path, sizeof path, MoreText(MORE_VERIFY_TITLE),
                      OpenFlags);
    if (!GetOpenFileNameA(&dialog))
        return;

    const char *title = MoreText(MORE_VERIFY_SUMMARY_TITLE);
    size_t length = 0;
    bool tooLarge;
    char *text = ReadChecksumFile(path, &length, &tooLarge);
    if (text == nullptr) {
        Report(window, tooLarge ? MORE_VERIFY_TOO_LARGE : MORE_VERIFY_UNREADABLE, path, title, MB_ICONWARNING);
        return;
    }
    DiscardVerification();
    Plan = (VerifyPlan *)malloc(sizeof *Plan);
    int read = -1;
    if (Plan != nullptr) {
        char folder[PATH_SIZE];
        FolderOf(path, folder, sizeof folder);
        VerifyPlanInit(Plan);
        read = VerifyPlanRead(Plan, folder, text, length, ChecksumFormatOfName(path), nullptr, nullptr);
    }
    free(text);
    if (read != 0) {
        DiscardVerification();
        Report(window, read == -2 ? MORE_VERIFY_TOO_LARGE : MORE_VERIFY_NO_MEMORY, path, title, MB_ICONWARNING);
        return;
    }
    if (Plan->AbsoluteCount > 0) {
        char question[MESSAGE_SIZE];
        snprintf(question, sizeof question, MoreCountText(MORE_VERIFY_ABSOLUTE_ONE, Plan->AbsoluteCount),
                 Plan->AbsoluteCount);
        if (MessageBoxA(window, question, title, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            VerifyPlanRefuseAbsolute(Plan);
    }
    // The files are looked up, given rows and hashed on the run's thread.
    CurrentRun = RunRequest();
    CurrentRun.Kind = RUN_KIND_VERIFY;
    CurrentRun.Plan = Plan;
    if (StartRun(window, IDC_PROCESS_ALL) != 0) {
        DiscardVerification();
        CurrentRun.Plan = nullptr;
    }
}

void ShowVerificationAfterRun(HWND window)
{
    if (Plan == nullptr)
        return;
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    if (CurrentRun.OutOfMemory) {
        DiscardVerification();
        CurrentRun.Plan = nullptr;
        Report(window, MORE_VERIFY_NO_MEMORY, "", MoreText(MORE_VERIFY_SUMMARY_TITLE), MB_ICONWARNING);
        return;
    }
    Plan->Summary.Cancelled = CurrentRun.Cancelled && (!CurrentRun.RowsGiven || Plan->RowsDone < Plan->RowCount);
    if (Plan->FirstFailedRow >= 0) {
        SelectRow(list, Plan->FirstFailedRow);
        SendMessageA(list, LVM_ENSUREVISIBLE, Plan->FirstFailedRow, FALSE);
        ShowRowResult(list, Plan->FirstFailedRow);
    }
    bool clean = Plan->Summary.Failed.Count == 0 && Plan->Summary.Missing.Count == 0 &&
                 Plan->Summary.NotUnderstood == 0 && !Plan->Summary.Cancelled;
    char *summary = FormatVerifySummary(&Plan->Summary);
    DiscardVerification();
    CurrentRun.Plan = nullptr;
    if (summary != nullptr)
        MessageBoxA(window, summary, MoreText(MORE_VERIFY_SUMMARY_TITLE),
                    MB_OK | (clean ? MB_ICONINFORMATION : MB_ICONWARNING));
    free(summary);
}
