// The two interface languages: which one is current, and the conversion of
// their texts from Windows-1252 into the process code page at start-up.
#include "base/lang.h"

#include "base/texts.h"
#include "base/textutil.h"

#include <stdlib.h>
#include <string.h>

const char *const *LanguageTable(uint16_t languageId)
{
    return languageId == LANGUAGE_ID_FRENCH ? FrenchStrings : EnglishStrings;
}

void SelectLanguageTable(uint16_t languageId)
{
    LanguageStrings = LanguageTable(languageId);
}

uint16_t LanguageFromLcid(uint32_t lcid)
{
    switch (lcid) {
    case 1036: // France
    case 2060: // Belgium
    case 3084: // Canada
    case 4108: // Switzerland
    case 5132: // Luxembourg
        return LANGUAGE_ID_FRENCH;
    default:
        return LANGUAGE_ID_ENGLISH;
    }
}

uint16_t LanguageFromSetting(const char *value, uint16_t current)
{
    if (value == nullptr || value[0] == '\0')
        return current;
    const char *french = SourceText(LANGUAGE_ID_FRENCH, TEXT_LANGUAGE_NAME);
    return AsciiEqualNoCase(value, french) ? LANGUAGE_ID_FRENCH : LANGUAGE_ID_ENGLISH;
}

const char *LanguageSettingName(const char *const *table)
{
    return SourceText(table == FrenchStrings ? LANGUAGE_ID_FRENCH : LANGUAGE_ID_ENGLISH, TEXT_LANGUAGE_NAME);
}

uint16_t ResourceLanguage(uint16_t languageId)
{
    return languageId == LANGUAGE_ID_FRENCH ? 1036 : 1033;
}

// Converts one entry (each piece of a filter list, then its empty end) into
// out, or measures it when out is null. Returns the bytes it takes with its
// terminators, or -1.
static long ConvertEntry(const char *text, bool filter, TextConverter convert, void *context, char *out,
                         size_t size)
{
    size_t used = 0;
    do {
        int length = convert(text, out ? out + used : nullptr, out ? size - used : 0, context);
        if (length < 0 || (out != nullptr && (size_t)length >= size - used))
            return -1;
        used += (size_t)length + 1;
        text += strlen(text) + 1;
    } while (filter && text[0] != '\0');
    if (filter) {
        if (out != nullptr) {
            if (used >= size)
                return -1;
            out[used] = '\0';
        }
        used++;
    }
    return (long)used;
}

static bool IsFilter(const TextTable *table, int index)
{
    for (int i = 0; i < table->FilterCount; i++)
        if (table->Filters[i] == index)
            return true;
    return false;
}

// Measures every entry (block null) or converts it into block of size bytes.
// Returns the bytes used, or -1.
static long ConvertAll(const TextTable *tables, int count, TextConverter convert, void *context, char *block,
                       size_t size)
{
    size_t used = 0;
    for (int t = 0; t < count; t++) {
        for (int i = 0; i < tables[t].Count; i++) {
            long entry = ConvertEntry(tables[t].Texts[i], IsFilter(&tables[t], i), convert, context,
                                      block ? block + used : nullptr, block ? size - used : 0);
            if (entry < 0)
                return -1;
            used += (size_t)entry;
        }
    }
    return (long)used;
}

int ConvertTextTables(const TextTable *tables, int count, TextConverter convert, void *context, char **block)
{
    *block = nullptr;
    long size = ConvertAll(tables, count, convert, context, nullptr, 0);
    if (size <= 0)
        return size == 0 ? 0 : -1;
    char *converted = (char *)malloc((size_t)size);
    if (converted == nullptr)
        return -1;
    if (ConvertAll(tables, count, convert, context, converted, (size_t)size) != size) {
        free(converted);
        return -1;
    }
    // Every entry converted: the tables now point into the block, in order.
    const char *next = converted;
    for (int t = 0; t < count; t++) {
        for (int i = 0; i < tables[t].Count; i++) {
            tables[t].Texts[i] = next;
            bool filter = IsFilter(&tables[t], i);
            do
                next += strlen(next) + 1;
            while (filter && next[0] != '\0');
            if (filter)
                next++;
        }
    }
    *block = converted;
    return 0;
}

int ConvertLanguageTexts(TextConverter convert, void *context, char **block)
{
    // The entries that are filter lists; a new filter text is added here.
    static const int Filters[] = { TEXT_OPEN_FILTER, TEXT_SAVE_FILTER, TEXT_VERIFY_FILTER,
                                   TEXT_SAVE_FILTER_SHA256, TEXT_VERIFY_FILTER_SHA };
    const TextTable tables[] = {
        { EnglishStrings, TEXT_COUNT, Filters, (int)ARRAY_SIZE(Filters) },
        { FrenchStrings, TEXT_COUNT, Filters, (int)ARRAY_SIZE(Filters) },
    };
    return ConvertTextTables(tables, (int)ARRAY_SIZE(tables), convert, context, block);
}
