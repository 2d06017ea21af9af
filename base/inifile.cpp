// Settings files read and updated in memory, byte for byte.
#include "base/inifile.h"

#include "base/textutil.h"

#include <stdlib.h>
#include <string.h>

static const char Utf8Mark[] = "\xEF\xBB\xBF";

// One line: its content without the blanks around it, and where it ends.
struct IniLine {
    size_t Start, End;      // trimmed content
    size_t Break;           // first byte of the line end (or of the text's end)
    size_t Next;            // first byte of the next line
    bool Section;
    size_t NameStart, NameEnd;  // section name, or key
    size_t ValueStart, ValueEnd;
    bool HasValue;
};

// Blanks as the profile functions take them, with the end-of-file mark.
static bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n' || c == '\x1A';
}

static void ReadLine(const char *text, size_t length, size_t at, IniLine *line)
{
    size_t start = at;
    if (at == 0 && length >= 3 && memcmp(text, Utf8Mark, 3) == 0)
        start = 3;
    size_t end = start;
    while (end < length && text[end] != '\r' && text[end] != '\n')
        end++;
    line->Break = end;
    line->Next = end;
    if (line->Next < length && text[line->Next] == '\r')
        line->Next++;
    if (line->Next < length && text[line->Next] == '\n')
        line->Next++;
    while (start < end && IsBlank(text[start]))
        start++;
    while (end > start && IsBlank(text[end - 1]))
        end--;
    line->Start = start;
    line->End = end;
    line->Section = false;
    line->HasValue = false;
    line->NameStart = start;
    line->NameEnd = end;
    line->ValueStart = line->ValueEnd = end;
    if (start < end && text[start] == '[') {
        for (size_t close = end; close > start + 1; close--) {
            if (text[close - 1] == ']') {
                line->Section = true;
                line->NameStart = start + 1;
                line->NameEnd = close - 1;
                return;
            }
        }
    }
    const char *equals = (const char *)memchr(text + start, '=', end - start);
    if (equals == nullptr)
        return;
    line->HasValue = true;
    line->NameEnd = (size_t)(equals - text);
    while (line->NameEnd > start && IsBlank(text[line->NameEnd - 1]))
        line->NameEnd--;
    line->ValueStart = (size_t)(equals - text) + 1;
    while (line->ValueStart < end && IsBlank(text[line->ValueStart]))
        line->ValueStart++;
}

static bool NameIs(const char *text, size_t start, size_t end, const char *name)
{
    size_t length = strlen(name);
    return end - start == length && AsciiEqualNoCaseN(text + start, name, length);
}

// Where key lies in the first section named section.
struct IniPlace {
    bool SectionFound, KeyFound;
    IniLine Key;
    IniLine Last;           // the section's last entry (or its header)
};

static void FindKey(const char *text, size_t length, const char *section, const char *key, IniPlace *place)
{
    memset(place, 0, sizeof *place);
    bool inside = false;
    for (size_t at = 0; at < length;) {
        IniLine line;
        ReadLine(text, length, at, &line);
        at = line.Next;
        if (line.Section) {
            if (inside)
                return;
            inside = NameIs(text, line.NameStart, line.NameEnd, section) && !place->SectionFound;
            if (inside) {
                place->SectionFound = true;
                place->Last = line;
            }
            continue;
        }
        if (!inside || line.Start == line.End)
            continue;
        place->Last = line;
        if (!place->KeyFound && NameIs(text, line.NameStart, line.NameEnd, key)) {
            place->KeyFound = true;
            place->Key = line;
        }
    }
}

int IniGetValue(const char *text, size_t length, const char *section, const char *key, char *value, size_t size)
{
    if (size > 0)
        value[0] = '\0';
    IniPlace place;
    FindKey(text, length, section, key, &place);
    if (!place.KeyFound || !place.Key.HasValue)
        return -1;
    size_t start = place.Key.ValueStart, end = place.Key.ValueEnd;
    char quote = end - start >= 2 ? text[start] : '\0';
    if ((quote == '"' || quote == '\'') && text[end - 1] == quote) {
        start++;
        end--;
    }
    // The value as a C text (it ends at a zero byte, as the file's reader
    // takes it), cut after the last whole character that fits.
    const char *bytes = text + start;
    const char *zero = (const char *)memchr(bytes, '\0', end - start);
    size_t available = zero ? (size_t)(zero - bytes) : end - start, copied = 0;
    for (size_t next; copied < available; copied = next) {
        next = copied + TextCharSizeWithin(bytes + copied, available - copied);
        if (next >= size)
            break;
    }
    if (size > 0) {
        memcpy(value, bytes, copied);
        value[copied] = '\0';
    }
    return 0;
}

// The line end new lines take: the text's first, else CR LF.
static const char *LineEnd(const IniText *ini)
{
    for (size_t i = 0; i < ini->Length; i++) {
        if (ini->Bytes[i] == '\n')
            return "\n";
        if (ini->Bytes[i] == '\r')
            return i + 1 < ini->Length && ini->Bytes[i + 1] == '\n' ? "\r\n" : "\r";
    }
    return "\r\n";
}

// Replaces the bytes from start to end with the pieces. Returns 0 or -1.
static int Splice(IniText *ini, size_t start, size_t end, const char *const *pieces, size_t count)
{
    size_t added = 0;
    for (size_t i = 0; i < count; i++)
        added += strlen(pieces[i]);
    size_t length = ini->Length - (end - start) + added;
    if (length + 1 > ini->Capacity) {
        size_t capacity = length + 1 + length / 2;
        char *bytes = (char *)realloc(ini->Bytes, capacity);
        if (bytes == nullptr)
            return -1;
        ini->Bytes = bytes;
        ini->Capacity = capacity;
    }
    memmove(ini->Bytes + start + added, ini->Bytes + end, ini->Length - end);
    for (size_t i = 0, at = start; i < count; at += strlen(pieces[i]), i++)
        memcpy(ini->Bytes + at, pieces[i], strlen(pieces[i]));
    ini->Length = length;
    ini->Bytes[length] = '\0';
    return 0;
}

int IniSetValue(IniText *ini, const char *section, const char *key, const char *value)
{
    IniPlace place;
    FindKey(ini->Bytes, ini->Length, section, key, &place);
    const char *lineEnd = LineEnd(ini);
    if (place.KeyFound && place.Key.HasValue) {
        size_t start = place.Key.ValueStart, end = place.Key.ValueEnd;
        if (end - start == strlen(value) && memcmp(ini->Bytes + start, value, end - start) == 0)
            return 0;
        const char *pieces[] = { value };
        return Splice(ini, start, end, pieces, 1) == 0 ? 1 : -1;
    }
    if (place.KeyFound) {
        const char *pieces[] = { "=", value };
        return Splice(ini, place.Key.End, place.Key.End, pieces, 2) == 0 ? 1 : -1;
    }
    if (place.SectionFound) {
        // After the last entry's line end; one is added when the text ends without it.
        size_t at = place.Last.Next;
        bool ended = at > place.Last.Break;
        const char *pieces[] = { ended ? "" : lineEnd, key, "=", value, lineEnd };
        return Splice(ini, at, at, pieces, 5) == 0 ? 1 : -1;
    }
    char last = ini->Length > 0 ? ini->Bytes[ini->Length - 1] : '\n';
    const char *pieces[] = { last == '\n' || last == '\r' ? "" : lineEnd, "[", section, "]", lineEnd, key, "=", value,
                             lineEnd };
    return Splice(ini, ini->Length, ini->Length, pieces, 9) == 0 ? 1 : -1;
}

void IniRelease(IniText *ini)
{
    free(ini->Bytes);
    ini->Bytes = nullptr;
    ini->Length = ini->Capacity = 0;
}
