// Splitting the command line's argument text into paths.
#include "core/cmdline.h"

#include "base/textutil.h"

#include <string.h>

// Copies length characters of text into path; false when they do not fit.
static bool TakePath(char *path, const char *text, size_t length)
{
    if (length >= COMMAND_PATH_SIZE)
        return false;
    memcpy(path, text, length);
    path[length] = '\0';
    return true;
}

// The full form of written into full; false when it cannot be made.
static bool FullPathOf(const CommandLineActions *actions, const char *written, char *full)
{
    unsigned length = actions->FullPath(written, full, COMMAND_PATH_SIZE);
    return length > 0 && length < COMMAND_PATH_SIZE;
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
        char path[COMMAND_PATH_SIZE] = "";
        bool usable;
        const char *next;
        bool last = false;

        if (*text == '"') {
            const char *close = strchr(text + 1, '"');
            if (close == nullptr)
                break;  // an unterminated quote: the rest is ignored
            char written[COMMAND_PATH_SIZE];
            usable = TakePath(written, text + 1, (size_t)(close - text - 1)) &&
                     (written[0] == '\0' || FullPathOf(actions, written, path));
            next = close + 1;
            if (*next == ' ')
                next++;
        } else {
            if (*text == ' ')
                text++;
            pathStart = text;
            size_t rest = strlen(text);
            const char *colon = rest > 3 ? strchr(text + 3, ':') : nullptr;
            size_t length;
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
            char written[COMMAND_PATH_SIZE], full[COMMAND_PATH_SIZE];
            usable = TakePath(written, text, length) && (written[0] == '\0' || FullPathOf(actions, written, full));
            if (usable && written[0] != '\0') {
                unsigned converted = actions->LongPath(full, path, sizeof path);
                if (converted == 0 || converted >= sizeof path)
                    memcpy(path, full, sizeof path);
            }
        }

        if (usable && path[0] != '\0' && actions->HandlePath(actions->Context, path) != 0) {
            *cursor = pathStart;
            return -1;
        }
        if (last)
            break;
        text = next;
    }
    *cursor = nullptr;
    return 1;
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
