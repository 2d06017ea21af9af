// Small text helpers shared by the program. The code page record is written
// once at start-up, before the worker threads exist, and only read after.
#include "base/textutil.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

int AsciiEqualNoCaseN(const char *a, const char *b, size_t n)
{
    bool secondA = false, secondB = false;
    for (size_t i = 0; i < n; i++) {
        if (PathFoldAt(&a[i], false, &secondA) != PathFoldAt(&b[i], false, &secondB))
            return 0;
        if (a[i] == '\0')
            return 1;
    }
    return 1;
}

int AsciiEqualNoCase(const char *a, const char *b)
{
    return AsciiEqualNoCaseN(a, b, (size_t)-1);
}

void AsciiLowerText(char *text)
{
    bool second = false;
    for (; *text; text++)
        *text = PathFoldAt(text, false, &second);
}

void AsciiUpperText(char *text)
{
    bool second = false;
    for (; *text; text++)
        if (!TextInPair(&second, text) && *text >= 'a' && *text <= 'z')
            *text = (char)(*text - 'a' + 'A');
}

int CopyText(char *dst, size_t size, const char *src)
{
    size_t length = strlen(src);
    if (size == 0 || length >= size)
        return -1;
    memcpy(dst, src, length + 1);
    return 0;
}

int AppendText(char *dst, size_t size, const char *src)
{
    size_t used = strnlen(dst, size);
    if (used >= size)
        return -1;
    return CopyText(dst + used, size - used, src);
}

int FormatText(char *dst, size_t size, const char *format, ...)
{
    if (size == 0)
        return -1;
    va_list args;
    va_start(args, format);
    int written = vsnprintf(dst, size, format, args);
    va_end(args);
    if (written < 0 || (size_t)written >= size) {
        dst[0] = '\0';
        return -1;
    }
    return 0;
}

char *DuplicateText(const char *text)
{
    size_t size = strlen(text) + 1;
    char *copy = (char *)malloc(size);
    if (copy != nullptr)
        memcpy(copy, text, size);
    return copy;
}

char *JoinTexts(const char *first, const char *second, const char *third)
{
    const char *parts[] = { first, second, third };
    size_t lengths[3], total = 1;
    for (int i = 0; i < 3; i++)
        total += lengths[i] = parts[i] != nullptr ? strlen(parts[i]) : 0;
    char *text = (char *)malloc(total);
    if (text == nullptr)
        return nullptr;
    char *end = text;
    for (int i = 0; i < 3; i++) {
        memcpy(end, parts[i], lengths[i]);
        end += lengths[i];
    }
    *end = '\0';
    return text;
}

const char *PathFileName(const char *path)
{
    const char *name = path;
    bool second = false;
    for (const char *at = path; *at != '\0'; at++)
        if (!TextInPair(&second, at) && *at == '\\')
            name = at + 1;
    return name;
}

const char *PathInFolder(const char *folder, const char *path)
{
    size_t length = PathTrimSeparators(folder, strlen(folder));
    if (length == 0)
        return nullptr;
    bool second = false, folderSecond = false;
    for (size_t i = 0; i < length; i++) {
        if (path[i] == '\0')
            return nullptr;
        if (PathFoldAt(&path[i], true, &second) != PathFoldAt(&folder[i], true, &folderSecond))
            return nullptr;
    }
    if (TextInPair(&second, &path[length]) || !IsPathSeparator(path[length]) || path[length + 1] == '\0')
        return nullptr;
    return path + length + 1;
}

size_t PathTrimSeparators(const char *path, size_t length)
{
    size_t kept = 0;
    bool second = false;
    for (size_t i = 0; i < length; i++)
        if (TextInPair(&second, &path[i]) || !IsPathSeparator(path[i]))
            kept = i + 1;
    return kept;
}

bool IsPathSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

size_t PathRootLength(const char *path)
{
    if (IsDriveLetter(path[0]) && path[1] == ':')
        return 2;
    if (!IsPathSeparator(path[0]) || !IsPathSeparator(path[1]))
        return 0;
    bool second = false;
    size_t server = 2;
    while (path[server] != '\0' && (TextInPair(&second, &path[server]) || !IsPathSeparator(path[server])))
        server++;
    if (server == 2)
        return 0;
    if (path[server] == '\0')
        return server;
    size_t share = server + 1;
    while (path[share] != '\0' && (TextInPair(&second, &path[share]) || !IsPathSeparator(path[share])))
        share++;
    return share == server + 1 ? server : share;
}

static struct {
    TextCodePageKind Kind;
    bool Lead[256];
} CodePage = { TEXT_UTF8, {} };

void TextSetCodePage(uint32_t codePage, uint32_t maxCharSize, const uint8_t *leadBytes)
{
    memset(CodePage.Lead, 0, sizeof CodePage.Lead);
    if (codePage == TEXT_CODE_PAGE_UTF8) {
        CodePage.Kind = TEXT_UTF8;
        return;
    }
    CodePage.Kind = TEXT_SINGLE_BYTE;
    if (maxCharSize != 2 || leadBytes == nullptr)
        return;
    for (size_t i = 0; i + 1 < TEXT_LEAD_BYTES_SIZE && (leadBytes[i] != 0 || leadBytes[i + 1] != 0); i += 2)
        for (unsigned byte = leadBytes[i]; byte <= leadBytes[i + 1] && byte < 256; byte++)
            CodePage.Lead[byte] = byte != 0;
    for (bool lead : CodePage.Lead)
        if (lead)
            CodePage.Kind = TEXT_DOUBLE_BYTE;
}

TextCodePageKind TextCodePage(void)
{
    return CodePage.Kind;
}

bool TextInPairWithin(bool *second, const char *at, size_t available)
{
    if (*second) {
        *second = false;
        return true;
    }
    *second = CodePage.Kind == TEXT_DOUBLE_BYTE && TextCharSizeWithin(at, available < 2 ? available : 2) == 2;
    return *second;
}

bool TextInPair(bool *second, const char *at)
{
    return TextInPairWithin(second, at, 2);
}

char PathFoldAt(const char *at, bool slashes, bool *second)
{
    if (TextInPair(second, at))
        return at[0];
    return slashes && at[0] == '/' ? '\\' : AsciiLower(at[0]);
}

size_t Utf8CharSize(const char *bytes, size_t available)
{
    const unsigned char *text = (const unsigned char *)bytes;
    unsigned char first = text[0];
    if (first < 0x80)
        return 1;
    size_t size;
    unsigned char low = 0x80, high = 0xBF;   // range of the second byte
    if (first >= 0xC2 && first <= 0xDF) {
        size = 2;
    } else if (first >= 0xE0 && first <= 0xEF) {
        size = 3;
        if (first == 0xE0)
            low = 0xA0;
        else if (first == 0xED)
            high = 0x9F;
    } else if (first >= 0xF0 && first <= 0xF4) {
        size = 4;
        if (first == 0xF0)
            low = 0x90;
        else if (first == 0xF4)
            high = 0x8F;
    } else {
        return 1;
    }
    if (size > available || text[1] < low || text[1] > high)
        return 1;
    for (size_t i = 2; i < size; i++)
        if (text[i] < 0x80 || text[i] > 0xBF)
            return 1;
    return size;
}

size_t TextCharSizeWithin(const char *text, size_t available)
{
    if (available == 0)
        return 0;
    const unsigned char *bytes = (const unsigned char *)text;
    switch (CodePage.Kind) {
    case TEXT_UTF8:
        return Utf8CharSize(text, available);
    case TEXT_DOUBLE_BYTE:
        return CodePage.Lead[bytes[0]] && available >= 2 && bytes[1] != 0 ? 2 : 1;
    default:
        return 1;
    }
}

size_t TextCharSize(const char *text)
{
    // A terminator ends every sequence early, so the bytes after it are never read.
    return text[0] == '\0' ? 0 : TextCharSizeWithin(text, 4);
}

size_t TextCharCount(const char *text, size_t length)
{
    size_t count = 0;
    for (size_t at = 0; at < length; count++)
        at += TextCharSizeWithin(text + at, length - at);
    return count;
}

size_t TextFitLength(const char *text, size_t maxBytes)
{
    size_t at = 0;
    for (size_t size; (size = TextCharSize(text + at)) != 0 && at + size <= maxBytes;)
        at += size;
    return at;
}

size_t TextPrefixLength(const char *text, size_t maxChars)
{
    size_t at = 0;
    for (size_t size; maxChars > 0 && (size = TextCharSize(text + at)) != 0; maxChars--)
        at += size;
    return at;
}

int CopyTextCut(char *dst, size_t size, const char *src)
{
    if (size == 0)
        return -1;
    size_t length = TextFitLength(src, size - 1);
    memcpy(dst, src, length);
    dst[length] = '\0';
    return src[length] == '\0' ? 0 : 1;
}
