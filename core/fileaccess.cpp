// The path a file is reached by.
#include "core/fileaccess.h"

#include <stdlib.h>
#include <string.h>

static const char System32[] = "System32";
static const char Sysnative[] = "Sysnative";
static const char16_t Extended[] = u"\\\\?\\";
static const char16_t ExtendedUnc[] = u"\\\\?\\UNC\\";

static bool IsSeparator(char16_t c)
{
    return c == u'\\' || c == u'/';
}

static char16_t *RedirectedFolder;     // null when not redirected
static size_t RedirectedLength;

int SetRedirectedWindowsFolder(const char16_t *windowsFolder, size_t length)
{
    free(RedirectedFolder);
    RedirectedFolder = nullptr;
    RedirectedLength = 0;
    if (windowsFolder == nullptr)
        return 0;
    while (length > 0 && IsSeparator(windowsFolder[length - 1]))
        length--;
    if (length == 0)
        return 0;
    RedirectedFolder = (char16_t *)malloc(length * sizeof(char16_t));
    if (RedirectedFolder == nullptr)
        return -1;
    memcpy(RedirectedFolder, windowsFolder, length * sizeof(char16_t));
    RedirectedLength = length;
    return 0;
}

static char16_t AsciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? (char16_t)(c - u'A' + u'a') : c;
}

// Whether the count units at text are name (ASCII), letters without case.
static bool SameAsciiName(const char16_t *text, const char *name, size_t count)
{
    for (size_t i = 0; i < count; i++)
        if (AsciiLower(text[i]) != AsciiLower((char16_t)name[i]))
            return false;
    return true;
}

// Where "System32" begins in path when it lies right below the redirected
// Windows folder (the name then ends or a separator follows), else 0.
static size_t System32At(const char16_t *path, size_t length)
{
    size_t at = RedirectedLength + 1, name = sizeof System32 - 1;
    if (RedirectedFolder == nullptr || length < at + name || !IsSeparator(path[RedirectedLength]) ||
        (length > at + name && !IsSeparator(path[at + name])))
        return 0;
    for (size_t i = 0; i < RedirectedLength; i++)
        if (IsSeparator(path[i]) ? !IsSeparator(RedirectedFolder[i]) : AsciiLower(path[i]) != AsciiLower(RedirectedFolder[i]))
            return 0;
    return SameAsciiName(path + at, System32, name) ? at : 0;
}

static bool StartsWith(const char16_t *path, size_t length, const char16_t *prefix)
{
    size_t count = 0;
    while (prefix[count] != u'\0')
        count++;
    return length >= count && memcmp(path, prefix, count * sizeof(char16_t)) == 0;
}

char16_t *SystemPathForm(const char16_t *path, size_t length, size_t *outLength)
{
    size_t system32 = System32At(path, length);
    size_t mapped = length + (system32 ? sizeof Sysnative - sizeof System32 : 0);
    bool drive = length >= 3 && path[1] == u':' && IsSeparator(path[2]) &&
                 ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
    bool unc = length >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] != u'?' && path[2] != u'.' &&
               !IsSeparator(path[2]);
    bool extend = mapped >= LONG_PATH_FROM && (drive || unc) && !StartsWith(path, length, Extended);
    // "\\?\" before a drive path; "\\?\UNC\" in place of a UNC path's "\\".
    const char16_t *prefix = !extend ? u"" : drive ? Extended : ExtendedUnc;
    size_t prefixLength = !extend ? 0 : drive ? 4 : 8, skip = extend && unc ? 2 : 0;
    char16_t *out = (char16_t *)malloc((prefixLength + mapped - skip + 1) * sizeof(char16_t));
    if (out == nullptr)
        return nullptr;
    size_t used = 0;
    memcpy(out, prefix, prefixLength * sizeof(char16_t));
    used += prefixLength;
    for (size_t i = skip; i < length; i++) {
        if (system32 && i == system32) {
            for (size_t k = 0; k < sizeof Sysnative - 1; k++)
                out[used++] = (char16_t)Sysnative[k];
            i += sizeof System32 - 2;
            continue;
        }
        // The extended form takes no '/' as a separator.
        out[used++] = extend && path[i] == u'/' ? u'\\' : path[i];
    }
    out[used] = u'\0';
    *outLength = used;
    return out;
}
