// The two interface languages: the text tables and the choice of language.
#ifndef ZUNTA_LANG_H
#define ZUNTA_LANG_H

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

extern const char *const EnglishStrings[LANGUAGE_STRING_COUNT];
extern const char *const FrenchStrings[LANGUAGE_STRING_COUNT];

// The current table; agrees with the language id except during a language switch.
extern const char *const *LanguageStrings;

// Makes the table of the given language id current.
void SelectLanguageTable(uint16_t languageId);
const char *const *LanguageTable(uint16_t languageId);

// Language id from a system locale id: French for France, Belgium, Canada,
// Switzerland and Luxembourg, English for every other locale.
uint16_t LanguageFromLcid(uint32_t lcid);
// Language id from the value of the "language" setting; an empty value keeps current.
uint16_t LanguageFromSetting(const char *value, uint16_t current);
// Resource language of the dialog templates of a language id (1033 or 1036).
uint16_t ResourceLanguage(uint16_t languageId);

// Texts chosen by language id outside the tables.
const char *MissingLogFormat(uint16_t languageId);
// Unit suffix with its leading space for unit step 1 (KB), 2 (MB) or 3 (GB).
const char *UnitSuffix(uint16_t languageId, int unitStep);

#endif
