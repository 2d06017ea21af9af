// The result box and the status text below the list.
#include "ui/result.h"

#include "app/lang_more.h"
#include "app/settings.h"
#include "app/textutil.h"
#include "checksum/checksum_text.h"
#include "checksum/hashjob.h"
#include "core/verifyplan.h"
#include "resources/resource.h"
#include "ui/historyrun.h"
#include "ui/mainwnd.h"
#include "ui/result_text.h"

#include <stdlib.h>
#include <string.h>

void SetResultText(HWND window, const char *path, const char *crcText, const char *md5Text,
                   const char *expected)
{
    char text[RESULT_TEXT_SIZE];
    size_t length = FormatResultText(text, sizeof text, path, crcText, md5Text);
    char line[EXPECTED_TEXT_SIZE + 32] = "";
    if (expected != nullptr)
        FormatText(line, sizeof line, "\r\n%s%s", MoreText(MORE_RESULT_EXPECTED), expected);
    if (length < sizeof text && AppendText(text, sizeof text, line) == 0) {
        SetDlgItemTextA(window, IDC_RESULT, text);
        return;
    }
    // A long path: the whole text in a buffer of its own size.
    size_t size = length + strlen(line) + 1;
    char *whole = (char *)malloc(size);
    if (whole == nullptr) {
        SetDlgItemTextA(window, IDC_RESULT, text);
        return;
    }
    FormatResultText(whole, size, path, crcText, md5Text);
    AppendText(whole, size, line);
    SetDlgItemTextA(window, IDC_RESULT, whole);
    free(whole);
}

void ShowEntryResult(const FileEntry *entry)
{
    ShowEntryResultOf(entry, -1);
}

uint8_t EntryChecksumTexts(const FileEntry *entry, char crc[CRC32_TEXT_SIZE], char md5[MD5_TEXT_SIZE])
{
    LockEntryResults();
    uint8_t flags = entry->Flags;
    FormatCrc32Text(entry->Crc32, Settings.DisplayCRC32Lower, crc);
    memcpy(md5, entry->Md5Text, MD5_TEXT_SIZE);
    UnlockEntryResults();
    md5[MD5_TEXT_SIZE - 1] = '\0';
    if (Settings.DisplayMD5Lower == 1)
        AsciiLowerText(md5);
    return flags;
}

void ShowEntryResultOf(const FileEntry *entry, int32_t index)
{
    char crc[CRC32_TEXT_SIZE];
    char md5[MD5_TEXT_SIZE];
    uint8_t flags = EntryChecksumTexts(entry, crc, md5);
    LockEntryResults();
    float duration = entry->Duration;
    UnlockEntryResults();

    char expected[EXPECTED_TEXT_SIZE];
    bool failed = CopyFailedExpectation(index, expected, sizeof expected);
    SetResultText(MainWnd.Window, entry->Path, (flags & HAS_CRC32) ? crc : nullptr,
                  (flags & HAS_MD5) ? md5 : nullptr, failed ? expected : nullptr);
    ShowHistoryWarning(MainWnd.Window, index);
    char durationText[DURATION_TEXT_SIZE];
    FormatDurationText(duration, durationText, sizeof durationText);
    SetDlgItemTextA(MainWnd.Window, IDC_STATUS_TEXT, durationText);
}
