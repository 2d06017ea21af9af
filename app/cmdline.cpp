// Splitting the command line's argument text into paths.
#include "app/cmdline.h"

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
            usable = TakePath(path, text + 1, (size_t)(close - text - 1));
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
            char written[COMMAND_PATH_SIZE];
            usable = TakePath(written, text, length);
            if (usable) {
                unsigned converted = actions->LongPath(written, path, sizeof path);
                if (converted == 0 || converted >= sizeof path)
                    memcpy(path, written, sizeof path);
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
