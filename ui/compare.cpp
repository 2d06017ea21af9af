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

// The checksum of each kind that the entry of FileList index index has, as
// the result box shows it (heap texts); null for a kind it has no value of.
struct KnownChecksums {
    char *Text[KIND_COUNT];
};

static KnownChecksums KnownChecksumsOf(const FileEntry *entry, int32_t index)
{
    KnownChecksums known = {};
    char crc[CRC32_TEXT_SIZE], md5[MD5_TEXT_SIZE];
    uint8_t flags = EntryChecksumTexts(entry, crc, md5);
    if (flags & HAS_CRC32)
        known.Text[KIND_CRC32] = DuplicateText(crc);
    if (flags & HAS_MD5)
        known.Text[KIND_MD5] = DuplicateText(md5);
    for (int kind = KIND_FIRST_STORED; kind < KIND_COUNT; kind++)
        known.Text[kind] = DuplicateShownDigest(index, kind);
    return known;
}

static void FreeKnown(KnownChecksums *known)
{
    for (char *text : known->Text)
        free(text);
}

// The kinds of mask that the entry of FileList index index has no value of.
static int MissingKinds(const FileEntry *entry, int32_t index, int mask)
{
    KnownChecksums known = KnownChecksumsOf(entry, index);
    int missing = 0;
    for (int kind = 0; kind < KIND_COUNT; kind++)
        if (known.Text[kind] == nullptr)
            missing |= mask & (1 << kind);
    FreeKnown(&known);
    return missing;
}

// The kinds a comparison needs: those found, and the alternative of digits
// that did not say their kind unless the first kind is known and matches.
static int KindsToCompare(const FileEntry *entry, int32_t index)
{
    if (Expected.Alternative == 0)
        return Expected.Kinds;
    KnownChecksums known = KnownChecksumsOf(entry, index);
    bool settled = false;
    size_t digits = ChecksumDigits(Expected.Alternative);
    for (int kind = 0; kind < KIND_COUNT; kind++)
        if ((Expected.Kinds & (1 << kind)) && ChecksumKinds[kind].Digits == digits && known.Text[kind] != nullptr &&
            AsciiEqualNoCase(known.Text[kind], Expected.Digits[kind]))
            settled = true;
    FreeKnown(&known);
    return settled ? Expected.Kinds : Expected.Kinds | Expected.Alternative;
}

// The answer for entry (FileList index index), whose checksums of
// Expected.Kinds are known.
static void ShowComparison(HWND window, const FileEntry *entry, int32_t index)
{
    KnownChecksums known = KnownChecksumsOf(entry, index);
    const auto same = [&](int kind) {
        return known.Text[kind] != nullptr && AsciiEqualNoCase(known.Text[kind], Expected.Digits[kind]);
    };
    // Digits that did not say their kind match as either kind of their
    // count; the answer names the kind that matched, or the first when none.
    int alternative = KindOfMask(Expected.Alternative);
    int shown = Expected.Kinds;
    bool match = true;
    for (int kind = 0; kind < KIND_COUNT; kind++) {
        if (!(Expected.Kinds & (1 << kind)) || same(kind))
            continue;
        bool either = alternative >= 0 && ChecksumKinds[alternative].Digits == ChecksumKinds[kind].Digits;
        if (either && same(alternative)) {
            shown = (shown & ~(1 << kind)) | Expected.Alternative;
            continue;
        }
        match = false;
    }

    char text[ANSWER_SIZE];
    snprintf(text, sizeof text, "%s\r\n\r\n%s\r\n",
             LanguageStrings[match ? TEXT_COMPARE_MATCH : TEXT_COMPARE_NO_MATCH],
             PathFileName(entry->Path));
    for (int kind = 0; kind < KIND_COUNT; kind++) {
        if (!(shown & (1 << kind)))
            continue;
        const char *name = ChecksumKinds[kind].Name;
        const char *found = known.Text[kind] ? known.Text[kind] : "";
        if (AsciiEqualNoCase(found, Expected.Digits[kind])) {
            AppendLine(text, sizeof text, "%s : %s\r\n", name, found);
            continue;
        }
        // Both in the case the file's checksum is shown in.
        char wanted[KIND_TEXT_SIZE];
        CopyText(wanted, sizeof wanted, Expected.Digits[kind]);
        bool lower = kind == KIND_CRC32 ? Settings.DisplayCRC32Lower == 1 : Settings.DisplayMD5Lower == 1;
        lower ? AsciiLowerText(wanted) : AsciiUpperText(wanted);
        char label[64];
        snprintf(label, sizeof label, "%s %s", LanguageStrings[TEXT_COMPARE_EXPECTED], name);
        AppendLine(text, sizeof text, "%s : %s\r\n", label, wanted);
        snprintf(label, sizeof label, "%s %s", LanguageStrings[TEXT_COMPARE_COMPUTED], name);
        AppendLine(text, sizeof text, "%s : %s\r\n", label, found);
    }
    FreeKnown(&known);
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
    int missing = MissingKinds(entry, index, KindsToCompare(entry, index));
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
