// The result box and the status text below the list.
#include "ui/result.h"

#include "base/settings.h"
#include "base/texts.h"
#include "base/textutil.h"
#include "checksum/checksum_text.h"
#include "checksum/hashjob.h"
#include "core/entrytexts.h"
#include "core/result_text.h"
#include "resources/resource.h"
#include "ui/historyrun.h"
#include "ui/mainwnd.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

void RebuildResultBox(HWND window)
{
    HWND old = GetDlgItem(window, IDC_RESULT);
    RECT place;
    GetWindowRect(old, &place);
    MapWindowPoints(nullptr, window, (POINT *)&place, 2);
    // Long lines wrap: a SHA-512 or a long path shows whole, the lines
    // below it a scroll away.
    DWORD style = ((DWORD)GetWindowLongA(old, GWL_STYLE) & ~(DWORD)ES_AUTOHSCROLL) | ES_AUTOVSCROLL | WS_VSCROLL;
    HWND box = CreateWindowExA((DWORD)GetWindowLongA(old, GWL_EXSTYLE), "Edit", "", style, place.left, place.top,
                               place.right - place.left, place.bottom - place.top, window, (HMENU)IDC_RESULT,
                               (HINSTANCE)GetWindowLongPtrA(window, GWLP_HINSTANCE), nullptr);
    if (box == nullptr)
        return;
    // In the old box's place in the tab order, with its font.
    SetWindowPos(box, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(box, WM_SETFONT, SendMessageA(old, WM_GETFONT, 0, 0), FALSE);
    DestroyWindow(old);
}

char *MakeResultText(const char *path, const char *crcText, const char *md5Text, const char *extraLines)
{
    const char *lines = extraLines != nullptr ? extraLines : "";
    size_t size = FormatResultText(nullptr, 0, path, crcText, md5Text) + strlen(lines) + 1;
    char *whole = (char *)malloc(size);
    if (whole == nullptr)
        return nullptr;
    FormatResultText(whole, size, path, crcText, md5Text);
    AppendText(whole, size, lines);
    return whole;
}

void SetResultText(HWND window, const char *path, const char *crcText, const char *md5Text,
                   const char *extraLines)
{
    char *whole = MakeResultText(path, crcText, md5Text, extraLines);
    if (whole != nullptr) {
        SetDlgItemTextA(window, IDC_RESULT, whole);
        free(whole);
        return;
    }
    // Without the memory for the whole text, as much as a buffer holds.
    char text[RESULT_TEXT_SIZE];
    FormatResultText(text, sizeof text, path, crcText, md5Text);
    SetDlgItemTextA(window, IDC_RESULT, text);
}

// Appends "\r\n<label><text>" to the heap text *lines (grown as needed).
// Returns false when memory ran out.
static bool AppendLine(char **lines, size_t *length, const char *label, const char *text)
{
    size_t more = 2 + strlen(label) + strlen(text);
    char *grown = (char *)realloc(*lines, *length + more + 1);
    if (grown == nullptr)
        return false;
    snprintf(grown + *length, more + 1, "\r\n%s%s", label, text);
    *lines = grown;
    *length += more;
    return true;
}

char *DuplicateShownDigest(int32_t index, int kind)
{
    char *digest = DuplicateEntryText(index, DigestText(kind));
    if (digest != nullptr && Settings.DisplayMD5Lower != 1)
        AsciiUpperText(digest);
    return digest;
}

// Appends the line of one kept text (none when text is null) and frees it.
static bool AppendKept(char **lines, size_t *length, const char *label, char *text)
{
    if (text == nullptr)
        return true;
    bool added = AppendLine(lines, length, label, text);
    free(text);
    return added;
}

char *EntryExtraLines(int32_t index)
{
    // The expected value, the digests in the kinds' order, the warning.
    char *lines = nullptr;
    size_t length = 0;
    bool added = AppendKept(&lines, &length, LanguageStrings[TEXT_RESULT_EXPECTED],
                            DuplicateEntryText(index, EXTRA_EXPECTED));
    for (int kind = KIND_FIRST_STORED; kind < KIND_COUNT && added; kind++) {
        char label[32];
        snprintf(label, sizeof label, "%s : ", ChecksumKinds[kind].Name);
        added = AppendKept(&lines, &length, label, DuplicateShownDigest(index, kind));
    }
    if (added)
        AppendKept(&lines, &length, "", DuplicateEntryText(index, EXTRA_WARNING));
    return lines;
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

    char *lines = EntryExtraLines(index);
    SetResultText(MainWnd.Window, entry->Path, (flags & HAS_CRC32) ? crc : nullptr,
                  (flags & HAS_MD5) ? md5 : nullptr, lines);
    free(lines);
    char durationText[DURATION_TEXT_SIZE];
    FormatDurationText(duration, durationText, sizeof durationText);
    SetDlgItemTextA(MainWnd.Window, IDC_STATUS_TEXT, durationText);
}
