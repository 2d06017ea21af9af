// The two interface languages: the choice of language and the conversion of
// the texts (base/texts.h) into the process code page.
#ifndef ZUNTA_LANG_H
#define ZUNTA_LANG_H

#include <stddef.h>
#include <stdint.h>

enum {
    LANGUAGE_ID_ENGLISH = 9,
    LANGUAGE_ID_FRENCH = 12,
};

// Makes the texts of the given language id current (LanguageStrings of
// base/texts.h).
void SelectLanguageTable(uint16_t languageId);
const char *const *LanguageTable(uint16_t languageId);

// Language id from a system locale id: French for France, Belgium, Canada,
// Switzerland and Luxembourg, English for every other locale.
uint16_t LanguageFromLcid(uint32_t lcid);
// Language id from the value of the "language" setting (Windows-1252 bytes,
// as the settings file keeps them); an empty value keeps current.
uint16_t LanguageFromSetting(const char *value, uint16_t current);
// The "language" setting's value for a table: its language's name in
// Windows-1252 bytes ("English" or "Fran\xE7" "ais"), however the table's
// texts were converted.
const char *LanguageSettingName(const char *const *table);
// Resource language of the dialog templates of a language id (1033 or 1036).
uint16_t ResourceLanguage(uint16_t languageId);

// Converts one text into another code page, as ConvertText does: writes the
// result and its terminator into out of size bytes, or with a size of 0 only
// measures. Returns the result's length without terminator, or -1.
typedef int (*TextConverter)(const char *in, char *out, size_t size, void *context);

// A table of texts; the entries listed in Filters are filter lists (pieces
// ended by an empty one) and are converted piece by piece.
struct TextTable {
    const char **Texts;
    int Count;
    const int *Filters;
    int FilterCount;
};

// Converts every text of tables into one heap block, returned in *block for
// the caller to keep as long as the texts are used, and points the tables'
// entries at it. Returns 0, or -1 (tables unchanged, no block) when a
// conversion fails or memory runs out.
int ConvertTextTables(const TextTable *tables, int count, TextConverter convert, void *context, char **block);
// Converts the texts of both languages (base/texts.h) from Windows-1252, as
// ConvertTextTables. Once, at start-up.
int ConvertLanguageTexts(TextConverter convert, void *context, char **block);

#endif
