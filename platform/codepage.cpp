// The Windows half of the text helpers.
#include "platform/codepage.h"

#include "base/textutil.h"
#include "core/checksumfile.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

enum { CODE_PAGE_1252 = 1252 };

void TextUseProcessCodePage(void)
{
    UINT codePage = GetACP();
    CPINFO info;
    if (!GetCPInfo(codePage, &info)) {
        TextSetCodePage(codePage, 1, nullptr);
        return;
    }
    TextSetCodePage(codePage, info.MaxCharSize, info.LeadByte);
}

// The flags of the conversion out of UTF-16 that make it refuse a character
// the code page lacks, and whether the default-character answer tells of one
// (the UTF code pages take no such answer).
static DWORD ExactFlags(UINT codePage, bool *askDefault)
{
    *askDefault = false;
    if (codePage == CP_UTF8)
        return WC_ERR_INVALID_CHARS;
    if (codePage == CP_UTF7)
        return 0;
    *askDefault = true;
    return WC_NO_BEST_FIT_CHARS;
}

int ConvertText(UINT fromCodePage, UINT toCodePage, const char *in, char *out, size_t size, bool exact)
{
    if (size > 0 && out != nullptr)
        out[0] = '\0';
    if (in == nullptr || (size > 0 && out == nullptr) || size > INT_MAX)
        return -1;
    DWORD inFlags = exact ? MB_ERR_INVALID_CHARS : 0;
    int wideSize = MultiByteToWideChar(fromCodePage, inFlags, in, -1, nullptr, 0);
    if (wideSize <= 0)
        return -1;
    WCHAR *wide = (WCHAR *)malloc((size_t)wideSize * sizeof *wide);
    if (wide == nullptr)
        return -1;
    int result = -1;
    if (MultiByteToWideChar(fromCodePage, inFlags, in, -1, wide, wideSize) == wideSize)
        result = WideToCodePage(wide, toCodePage, out, size, exact);
    free(wide);
    if (result < 0 && size > 0)
        out[0] = '\0';
    return result;
}

int WideToCodePage(const WCHAR *in, UINT codePage, char *out, size_t size, bool exact)
{
    if (size > 0 && out != nullptr)
        out[0] = '\0';
    if (in == nullptr || (size > 0 && out == nullptr) || size > INT_MAX)
        return -1;
    if (codePage == CP_ACP)
        codePage = GetACP();
    bool askDefault = false;
    DWORD flags = exact ? ExactFlags(codePage, &askDefault) : 0;
    BOOL usedDefault = FALSE;
    int written = WideCharToMultiByte(codePage, flags, in, -1, size > 0 ? out : nullptr, (int)size, nullptr,
                                      askDefault ? &usedDefault : nullptr);
    if (written > 0 && !usedDefault)
        return written - 1;
    if (size > 0)
        out[0] = '\0';
    return -1;
}

void FoldWidePath(WCHAR *path, size_t length)
{
    // Unit by unit, as the file system's table of upper cases folds names.
    for (size_t done = 0; done < length;) {
        DWORD piece = length - done > 65536 ? 65536 : (DWORD)(length - done);
        CharUpperBuffW(path + done, piece);
        done += piece;
    }
    for (size_t i = 0; i < length; i++)
        if (path[i] == L'/')
            path[i] = L'\\';
}

size_t DropExtendedPrefix(WCHAR *path, size_t length)
{
    static const WCHAR Long[] = L"\\\\?\\", LongShare[] = L"\\\\?\\UNC\\";
    size_t skip = 0;
    if (length >= ARRAY_SIZE(LongShare) - 1 && wcsncmp(path, LongShare, ARRAY_SIZE(LongShare) - 1) == 0) {
        skip = ARRAY_SIZE(LongShare) - 1 - 2;
        path[skip] = path[skip + 1] = L'\\';
    } else if (length >= ARRAY_SIZE(Long) - 1 && wcsncmp(path, Long, ARRAY_SIZE(Long) - 1) == 0) {
        skip = ARRAY_SIZE(Long) - 1;
    }
    memmove(path, path + skip, (length - skip + 1) * sizeof *path);
    return length - skip;
}

WCHAR *WideText(const char *text)
{
    int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    WCHAR *wide = size > 0 ? (WCHAR *)malloc((size_t)size * sizeof *wide) : nullptr;
    if (wide == nullptr || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, wide, size) != size) {
        free(wide);
        return nullptr;
    }
    return wide;
}

char *NarrowText(const WCHAR *text)
{
    int length = WideToCodePage(text, CP_ACP, nullptr, 0, true);
    char *narrow = length >= 0 ? (char *)malloc((size_t)length + 1) : nullptr;
    if (narrow != nullptr && WideToCodePage(text, CP_ACP, narrow, (size_t)length + 1, true) != length) {
        free(narrow);
        return nullptr;
    }
    return narrow;
}

WCHAR *FoldedWidePath(const char *path)
{
    WCHAR *wide = WideText(path);
    if (wide != nullptr)
        FoldWidePath(wide, wcslen(wide));
    return wide;
}

static UINT ProcessLegacyCodePage(void)
{
    UINT codePage = GetACP();
    return codePage == CP_UTF8 ? 0 : codePage;
}

UINT (*LegacyCodePage)(void) = ProcessLegacyCodePage;

int ListedNameToProcessCodePage(const char *name, bool utf8, char *out, size_t size)
{
    UINT codePage = LegacyCodePage();
    if (codePage == 0) {
        if (utf8)
            return 0;
        return Cp1252ToUtf8(name, strlen(name), out, size) == 0 ? 1 : -1;
    }
    // Under an older system's code page a line that is not UTF-8 is taken
    // as written in that code page, as its other programs write them.
    return ConvertText(utf8 ? CP_UTF8 : codePage, codePage, name, out, size, true) >= 0 ? 1 : -1;
}

int ConvertProgramText(const char *in, char *out, size_t size, void *)
{
    return ConvertText(CODE_PAGE_1252, CP_ACP, in, out, size, true);
}
