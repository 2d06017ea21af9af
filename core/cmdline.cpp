// Splitting the command line's argument text into paths.
#include "core/cmdline.h"

#include "base/textutil.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

// What making one form of a path gave.
enum { MADE = 0, NOT_MADE = -1, NO_MEMORY = -2 };

// The form make (a FullPath or LongPath action) gives of path, into a heap
// text that grows to the size it asks for (*out, for the caller to free).
static int MakeForm(unsigned (*make)(const char *, char *, unsigned), const char *path, char **out)
{
    *out = nullptr;
    size_t length = strlen(path);
    if (length > UINT32_MAX / 2)
        return NOT_MADE;
    unsigned size = (unsigned)length + COMMAND_PATH_SIZE;
    // The size asked for is tried once: a form that keeps growing is none.
    for (int tries = 0; tries < 2; tries++) {
        char *form = (char *)malloc(size);
        if (form == nullptr)
            return NO_MEMORY;
        unsigned made = make(path, form, size);
        if (made > 0 && made < size) {
            *out = form;
            return MADE;
        }
        free(form);
        if (made == 0)
            return NOT_MADE;
        size = made;
    }
    return NOT_MADE;
}

// The path a written argument stands for (*path, for the caller to free; null
// for an empty one): its full form, and unquoted, the long form of that.
static int ArgumentPath(const CommandLineActions *actions, const char *text, size_t length, bool quoted, char **path)
{
    *path = nullptr;
    if (length == 0)
        return MADE;
    char *written = (char *)malloc(length + 1);
    if (written == nullptr)
        return NO_MEMORY;
    memcpy(written, text, length);
    written[length] = '\0';
    char *full;
    int made = MakeForm(actions->FullPath, written, &full);
    free(written);
    if (made != MADE || quoted) {
        *path = full;
        return made;
    }
    char *longForm;
    made = MakeForm(actions->LongPath, full, &longForm);
    if (made == NO_MEMORY) {
        free(full);
        return NO_MEMORY;
    }
    if (made == MADE) {
        free(full);
        full = longForm;
    }
    *path = full;
    return MADE;
}

int ParseCommandLineText(const char **cursor, int mode, const CommandLineActions *actions)
{
    if (*cursor == nullptr)
        return 0;
    if (mode != ADD_LOCALLY && mode != SEND_TO_INSTANCE)
        return -1;

    const char *text = *cursor;
    for (;;) {
        if (*text == '\0')
            break;
        const char *pathStart = text;
        const char *written;
        size_t length;
        const char *next;
        bool last = false, quoted = *text == '"';

        if (quoted) {
            const char *close = strchr(text + 1, '"');
            if (close == nullptr)
                break;  // an unterminated quote: the rest is ignored
            written = text + 1;
            length = (size_t)(close - text - 1);
            next = close + 1;
            if (*next == ' ')
                next++;
        } else {
            if (*text == ' ')
                text++;
            pathStart = text;
            size_t rest = strlen(text);
            const char *colon = rest > 3 ? strchr(text + 3, ':') : nullptr;
            if (colon != nullptr) {
                // The next path starts with a drive letter: this one ends at
                // the separator before it (before its quote, if quoted).
                size_t at = (size_t)(colon - text);
                length = text[at - 2] == '"' ? at - 3 : at - 2;
                next = text + length + 1;
            } else {
                length = rest;
                next = text + rest;
                last = true;
            }
            written = text;
        }

        char *path;
        int made = ArgumentPath(actions, written, length, quoted, &path);
        if (made == NO_MEMORY || (path != nullptr && actions->HandlePath(actions->Context, path) != 0)) {
            free(path);
            *cursor = pathStart;
            return -1;
        }
        free(path);
        if (last)
            break;
        text = next;
    }
    *cursor = nullptr;
    return 1;
}

int ParseVerifyRequest(const char *text, const CommandLineActions *actions, char **path)
{
    static const char Switch[] = "/verify";
    const size_t switchLength = sizeof Switch - 1;
    *path = nullptr;
    while (*text == ' ' || *text == '\t')
        text++;
    for (size_t i = 0; i < switchLength; i++)
        if (AsciiLower(text[i]) != Switch[i])
            return 0;
    text += switchLength;
    if (*text != ' ' && *text != '\t')
        return 0;
    while (*text == ' ' || *text == '\t')
        text++;
    bool quoted = *text == '"';
    const char *close = quoted ? strchr(text + 1, '"') : nullptr;
    size_t length = quoted ? (close != nullptr ? (size_t)(close - text - 1) : 0) : strlen(text);
    if (quoted)
        text++;
    while (!quoted && length > 0 && (text[length - 1] == ' ' || text[length - 1] == '\t'))
        length--;
    if (length == 0)
        return 0;
    int made = ArgumentPath(actions, text, length, quoted, path);
    if (made == NO_MEMORY)
        return -1;
    return *path != nullptr ? 1 : 0;
}

static int CopyOut(char *out, size_t size, const char *text, int result)
{
    size_t length = strlen(text);
    if (size == 0 || length >= size)
        return -1;
    memcpy(out, text, length + 1);
    return result;
}

int MakeArgumentAbsolute(const char *folder, const char *path, char *out, size_t size)
{
    bool hasDrive = IsDriveLetter(path[0]) && path[1] == ':';
    bool unc = IsPathSeparator(path[0]) && IsPathSeparator(path[1]);
    if (hasDrive || unc || folder == nullptr || folder[0] == '\0')
        return CopyOut(out, size, path, 0);

    size_t prefix;
    const char *separator = "";
    if (IsPathSeparator(path[0])) {
        prefix = PathRootLength(folder);
        if (prefix == 0)
            return CopyOut(out, size, path, 0);
    } else {
        prefix = strlen(folder);
        if (PathTrimSeparators(folder, prefix) == prefix)
            separator = "\\";
    }
    size_t length = prefix + strlen(separator) + strlen(path);
    if (length >= size)
        return -1;
    memcpy(out, folder, prefix);
    out[prefix] = '\0';
    strcat(out, separator);
    strcat(out, path);
    return 1;
}
