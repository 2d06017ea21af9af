// Lines of a comma-separated table.
#include "core/csvtable.h"

#include <stdlib.h>
#include <string.h>

static bool NeedsQuotes(const char *field)
{
    size_t length = strlen(field);
    return strpbrk(field, ",\"\r\n") != nullptr ||
           (length > 0 && (field[0] == ' ' || field[0] == '\t' || field[length - 1] == ' ' ||
                           field[length - 1] == '\t'));
}

char *FormatCsvLine(const char *const *fields, int count)
{
    // A field takes at most twice its length and its two quotes, and a comma.
    size_t size = 3;
    for (int i = 0; i < count; i++)
        size += strlen(fields[i]) * 2 + 3;
    char *line = (char *)malloc(size);
    if (line == nullptr)
        return nullptr;
    char *at = line;
    for (int i = 0; i < count; i++) {
        if (i > 0)
            *at++ = ',';
        bool quoted = NeedsQuotes(fields[i]);
        if (quoted)
            *at++ = '"';
        for (const char *c = fields[i]; *c != '\0'; c++) {
            if (*c == '"')
                *at++ = '"';
            *at++ = *c;
        }
        if (quoted)
            *at++ = '"';
    }
    memcpy(at, "\r\n", 3);
    return line;
}
