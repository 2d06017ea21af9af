// The two interface languages: the text tables and the choice of language.
#ifndef ZUNTA_LANG_H
#define ZUNTA_LANG_H

#include <stddef.h>
#include <stdint.h>

enum {
    LANGUAGE_ID_ENGLISH = 9,
    LANGUAGE_ID_FRENCH = 12,
};

// Indexes into a LanguageStrings table.
enum {
    STR_LANGUAGE_NAME = 0,
    STR_COLUMN_STATUS = 1,
    STR_COLUMN_FILES = 2,
    STR_COLUMN_SIZE = 3,
    STR_HINT_ADD_FILES = 4,
    STR_HINT_DRAG_DROP = 5,
    STR_OPEN_FILTER = 6,
    STR_OPEN_TITLE = 7,
    STR_CANCEL = 8,
    STR_READY = 9,
    STR_DISABLED = 10,
    STR_DONE = 11,
    STR_ERROR = 12,
    STR_PROCESS = 13,
    STR_PROCESS_ALL = 14,
    STR_DURATION = 15,
    STR_MOVE_UP = 16,
    STR_MOVE_DOWN = 17,
    STR_BROWSE_TITLE = 18,
    STR_SUBFOLDER_QUESTION = 19,
    STR_OPEN_LOG_CAPTION = 20,
    STR_SHORTCUT_ERROR = 21,
    STR_NO_SENDTO_VARIABLES = 22,
    STR_NO_SENDTO_FOLDER = 23,
    LANGUAGE_STRING_COUNT = 24
};

// Windows-1252 bytes in the source; ConvertLanguageTexts turns them into the
// process code page at start-up.
extern const char *EnglishStrings[LANGUAGE_STRING_COUNT];
extern const char *FrenchStrings[LANGUAGE_STRING_COUNT];

// The current table; agrees with the language id except during a language switch.
extern const char *const *LanguageStrings;

// Makes the table of the given language id current.
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

// Texts chosen by language id outside the tables.
const char *MissingLogFormat(uint16_t languageId);
// Unit suffix with its leading space for unit step 1 (KB), 2 (MB) or 3 (GB).
const char *UnitSuffix(uint16_t languageId, int unitStep);

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
// Converts the texts of both languages (the tables above and those of
// base/texts.h) from Windows-1252, as ConvertTextTables. Once, at start-up.
int ConvertLanguageTexts(TextConverter convert, void *context, char **block);

#endif
