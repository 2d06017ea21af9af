// Comparing a file's checksum with one copied to the clipboard. The answer
// is a message box whose first line cannot be misread: MATCH or DOES NOT
// MATCH, then the checksums.
#include "ui/compare.h"

#include "app/lang_more.h"
#include "app/settings.h"
#include "app/textutil.h"
#include "checksum/checksum_text.h"
#include "core/checksumfile.h"
#include "core/filelist.h"
#include "resources/resource.h"
#include "ui/listmenu.h"
#include "ui/listview.h"
#include "ui/result.h"
#include "ui/runs.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { ANSWER_SIZE = 1024 };

// What the clipboard held, while a run computes the row's checksum.
static ExpectedChecksum Expected;

static void AppendLine(char *text, size_t size, const char *format, const char *label, const char *value)
{
    char line[128];
    snprintf(line, sizeof line, format, label, value);
    AppendText(text, size, line);
}

// The answer for entry, whose checksums of Expected.Kinds are known.
static void ShowComparison(HWND window, const FileEntry *entry)
{
    char crc[CRC32_TEXT_SIZE], md5[MD5_TEXT_SIZE];
    EntryChecksumTexts(entry, crc, md5);
    const struct {
        int Kind;
        const char *Name, *Found, *Wanted;
    } kinds[] = {
        { CHECKSUM_CRC32, "CRC32", crc, Expected.Crc32 },
        { CHECKSUM_MD5, "MD5", md5, Expected.Md5 },
    };
    bool match = true;
    for (const auto &kind : kinds)
        if ((Expected.Kinds & kind.Kind) && !AsciiEqualNoCase(kind.Found, kind.Wanted))
            match = false;

    char text[ANSWER_SIZE];
    snprintf(text, sizeof text, "%s\r\n\r\n%s\r\n", MoreText(match ? MORE_COMPARE_MATCH : MORE_COMPARE_NO_MATCH),
             PathFileName(entry->Path));
    for (const auto &kind : kinds) {
        if (!(Expected.Kinds & kind.Kind))
            continue;
        if (AsciiEqualNoCase(kind.Found, kind.Wanted)) {
            AppendLine(text, sizeof text, "%s : %s\r\n", kind.Name, kind.Found);
            continue;
        }
        // Both in the case the file's checksum is shown in.
        char wanted[MD5_TEXT_SIZE];
        CopyText(wanted, sizeof wanted, kind.Wanted);
        bool lower = kind.Kind == CHECKSUM_CRC32 ? Settings.DisplayCRC32Lower == 1 : Settings.DisplayMD5Lower == 1;
        lower ? AsciiLowerText(wanted) : AsciiUpperText(wanted);
        char label[64];
        snprintf(label, sizeof label, "%s %s", MoreText(MORE_COMPARE_EXPECTED), kind.Name);
        AppendLine(text, sizeof text, "%s : %s\r\n", label, wanted);
        snprintf(label, sizeof label, "%s %s", MoreText(MORE_COMPARE_COMPUTED), kind.Name);
        AppendLine(text, sizeof text, "%s : %s\r\n", label, kind.Found);
    }
    MessageBoxA(window, text, MoreText(MORE_COMPARE_TITLE), MB_OK | (match ? MB_ICONINFORMATION : MB_ICONWARNING));
}

void CompareWithClipboard(HWND window)
{
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    int32_t index;
    int row = SelectedFileRow(list, &index);
    FileEntry *entry = row < 0 ? nullptr : FileListEntry(&Files, index);
    if (entry == nullptr)
        return;
    char *text = TakeClipboardText(window);
    int parsed = text != nullptr ? ParseChecksumText(text, &Expected) : -1;
    free(text);
    // Only CRC32 and MD5 are computed: a SHA checksum alone is no checksum here.
    Expected.Kinds &= CHECKSUM_CRC32 | CHECKSUM_MD5;
    if (parsed != 0 || Expected.Kinds == 0) {
        MessageBoxA(window, MoreText(MORE_COMPARE_NO_CHECKSUM), MoreText(MORE_COMPARE_TITLE), MB_OK | MB_ICONWARNING);
        return;
    }
    LockEntryResults();
    int missing = Expected.Kinds & ~entry->Flags;
    UnlockEntryResults();
    if (missing == 0) {
        ShowComparison(window, entry);
        return;
    }
    // Computed first, as a run of that row with those checksums: progress,
    // cancel, results and log records as in any run.
    CurrentRun = RunRequest();
    CurrentRun.Kind = RUN_KIND_COMPARE;
    CurrentRun.Mask = missing;
    CurrentRun.Row = row;
    CurrentRun.EntryIndex = index;
    StartRun(window, IDC_PROCESS);
}

void ShowComparisonAfterRun(HWND window)
{
    FileEntry *entry = FileListEntry(&Files, CurrentRun.EntryIndex);
    if (entry == nullptr)
        return;
    if (CurrentRun.JobResult == 0) {
        ShowComparison(window, entry);
        return;
    }
    char text[ANSWER_SIZE];
    if (CurrentRun.Cancelled)
        snprintf(text, sizeof text, "%s", MoreText(MORE_COMPARE_CANCELLED));
    else
        snprintf(text, sizeof text, "%s\r\n%s", MoreText(MORE_COMPARE_UNREADABLE), entry->Path);
    MessageBoxA(window, text, MoreText(MORE_COMPARE_TITLE), MB_OK | MB_ICONWARNING);
}
