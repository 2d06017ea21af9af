// The result box and the status text below the list.
#include "ui/result.h"

#include "app/settings.h"
#include "app/textutil.h"
#include "checksum/checksum_text.h"
#include "checksum/hashjob.h"
#include "resources/resource.h"
#include "ui/mainwnd.h"
#include "ui/result_text.h"

#include <stdlib.h>
#include <string.h>

void SetResultText(HWND window, const char *path, const char *crcText, const char *md5Text)
{
    char text[RESULT_TEXT_SIZE];
    size_t length = FormatResultText(text, sizeof text, path, crcText, md5Text);
    if (length < sizeof text) {
        SetDlgItemTextA(window, IDC_RESULT, text);
        return;
    }
    // A long path: the whole text in a buffer of its own size.
    char *whole = (char *)malloc(length + 1);
    if (whole == nullptr) {
        SetDlgItemTextA(window, IDC_RESULT, text);
        return;
    }
    FormatResultText(whole, length + 1, path, crcText, md5Text);
    SetDlgItemTextA(window, IDC_RESULT, whole);
    free(whole);
}

void ShowEntryResult(const FileEntry *entry)
{
    char crc[CRC32_TEXT_SIZE];
    char md5[MD5_TEXT_SIZE];
    LockEntryResults();
    uint8_t flags = entry->Flags;
    float duration = entry->Duration;
    FormatCrc32Text(entry->Crc32, Settings.DisplayCRC32Lower, crc);
    memcpy(md5, entry->Md5Text, sizeof md5);
    UnlockEntryResults();
    md5[MD5_TEXT_SIZE - 1] = '\0';
    if (Settings.DisplayMD5Lower == 1)
        AsciiLowerText(md5);

    SetResultText(MainWnd.Window, entry->Path, (flags & HAS_CRC32) ? crc : nullptr,
                  (flags & HAS_MD5) ? md5 : nullptr);
    char durationText[DURATION_TEXT_SIZE];
    FormatDurationText(duration, durationText, sizeof durationText);
    SetDlgItemTextA(MainWnd.Window, IDC_STATUS_TEXT, durationText);
}
