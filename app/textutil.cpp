// Small text helpers shared by the program.
#include "app/textutil.h"

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
    for (size_t i = 0; i < n; i++) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
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
    for (; *text; text++)
        *text = AsciiLower(*text);
}

void AsciiUpperText(char *text)
{
    for (; *text; text++)
        if (*text >= 'a' && *text <= 'z')
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

const char *PathFileName(const char *path)
{
    const char *slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
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
    size_t server = 2;
    while (path[server] != '\0' && !IsPathSeparator(path[server]))
        server++;
    if (server == 2)
        return 0;
    if (path[server] == '\0')
        return server;
    size_t share = server + 1;
    while (path[share] != '\0' && !IsPathSeparator(path[share]))
        share++;
    return share == server + 1 ? server : share;
}
