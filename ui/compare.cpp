// Comparing a file's checksum with one copied to the clipboard. The answer
// is a message box whose first line cannot be misread: MATCH or DOES NOT
// MATCH, then the checksums.
#include "ui/compare.h"

#include "base/settings.h"
#include "base/texts.h"
#include "base/textutil.h"
#include "checksum/checksum_text.h"
#include "core/checksumfile.h"
#include "core/entrytexts.h"
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
    char line[256];
    snprintf(line, sizeof line, format, label, value);
    AppendText(text, size, line);
}

// The SHA digests kept for the entry of FileList index index, by kind.
struct KeptDigests {
    char *Sha1, *Sha256, *Sha512;
};

static KeptDigests KeepDigestsOf(int32_t index)
{
    return KeptDigests{ DuplicateShownDigest(index, EXTRA_SHA1), DuplicateShownDigest(index, EXTRA_SHA256),
                        DuplicateShownDigest(index, EXTRA_SHA512) };
}

static void FreeDigests(KeptDigests *kept)
{
    free(kept->Sha1);
    free(kept->Sha256);
    free(kept->Sha512);
}

// The kinds of mask that the entry of FileList index index has no value of.
static int MissingKinds(const FileEntry *entry, int32_t index, int mask)
{
    LockEntryResults();
    int missing = mask & (CHECKSUM_CRC32 | CHECKSUM_MD5) & ~entry->Flags;
    UnlockEntryResults();
    KeptDigests kept = KeepDigestsOf(index);
    if (kept.Sha1 == nullptr)
        missing |= mask & CHECKSUM_SHA1;
    if (kept.Sha256 == nullptr)
        missing |= mask & CHECKSUM_SHA256;
    if (kept.Sha512 == nullptr)
        missing |= mask & CHECKSUM_SHA512;
    FreeDigests(&kept);
    return missing;
}

// The answer for entry (FileList index index), whose checksums of
// Expected.Kinds are known.
static void ShowComparison(HWND window, const FileEntry *entry, int32_t index)
{
    char crc[CRC32_TEXT_SIZE], md5[MD5_TEXT_SIZE];
    EntryChecksumTexts(entry, crc, md5);
    KeptDigests kept = KeepDigestsOf(index);
    const struct {
        int Kind;
        const char *Name, *Found, *Wanted;
    } kinds[] = {
        { CHECKSUM_CRC32, LanguageStrings[TEXT_NAME_CRC32], crc, Expected.Crc32 },
        { CHECKSUM_MD5, LanguageStrings[TEXT_NAME_MD5], md5, Expected.Md5 },
        { CHECKSUM_SHA1, LanguageStrings[TEXT_NAME_SHA1], kept.Sha1 ? kept.Sha1 : "", Expected.Sha1 },
        { CHECKSUM_SHA256, LanguageStrings[TEXT_NAME_SHA256], kept.Sha256 ? kept.Sha256 : "", Expected.Sha256 },
        { CHECKSUM_SHA512, LanguageStrings[TEXT_NAME_SHA512], kept.Sha512 ? kept.Sha512 : "", Expected.Sha512 },
    };
    bool match = true;
    for (const auto &kind : kinds)
        if ((Expected.Kinds & kind.Kind) && !AsciiEqualNoCase(kind.Found, kind.Wanted))
            match = false;

    char text[ANSWER_SIZE];
    snprintf(text, sizeof text, "%s\r\n\r\n%s\r\n",
             LanguageStrings[match ? TEXT_COMPARE_MATCH : TEXT_COMPARE_NO_MATCH],
             PathFileName(entry->Path));
    for (const auto &kind : kinds) {
        if (!(Expected.Kinds & kind.Kind))
            continue;
        if (AsciiEqualNoCase(kind.Found, kind.Wanted)) {
            AppendLine(text, sizeof text, "%s : %s\r\n", kind.Name, kind.Found);
            continue;
        }
        // Both in the case the file's checksum is shown in.
        char wanted[SHA512_TEXT_SIZE];
        CopyText(wanted, sizeof wanted, kind.Wanted);
        bool lower = kind.Kind == CHECKSUM_CRC32 ? Settings.DisplayCRC32Lower == 1 : Settings.DisplayMD5Lower == 1;
        lower ? AsciiLowerText(wanted) : AsciiUpperText(wanted);
        char label[64];
        snprintf(label, sizeof label, "%s %s", LanguageStrings[TEXT_COMPARE_EXPECTED], kind.Name);
        AppendLine(text, sizeof text, "%s : %s\r\n", label, wanted);
        snprintf(label, sizeof label, "%s %s", LanguageStrings[TEXT_COMPARE_COMPUTED], kind.Name);
        AppendLine(text, sizeof text, "%s : %s\r\n", label, kind.Found);
    }
    FreeDigests(&kept);
    MessageBoxA(window, text, LanguageStrings[TEXT_COMPARE_TITLE],
                MB_OK | (match ? MB_ICONINFORMATION : MB_ICONWARNING));
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
    if (parsed != 0 || Expected.Kinds == 0) {
        MessageBoxA(window, LanguageStrings[TEXT_COMPARE_NO_CHECKSUM], LanguageStrings[TEXT_COMPARE_TITLE],
                    MB_OK | MB_ICONWARNING);
        return;
    }
    int missing = MissingKinds(entry, index, Expected.Kinds);
    if (missing == 0) {
        ShowComparison(window, entry, index);
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
        ShowComparison(window, entry, CurrentRun.EntryIndex);
        return;
    }
    char text[ANSWER_SIZE];
    if (CurrentRun.Cancelled)
        snprintf(text, sizeof text, "%s", LanguageStrings[TEXT_COMPARE_CANCELLED]);
    else
        snprintf(text, sizeof text, "%s\r\n%s", LanguageStrings[TEXT_COMPARE_UNREADABLE], entry->Path);
    MessageBoxA(window, text, LanguageStrings[TEXT_COMPARE_TITLE], MB_OK | MB_ICONWARNING);
}
