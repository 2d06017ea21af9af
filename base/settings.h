// The persisted settings and the rules by which their values are read and written.
#ifndef ZUNTA_SETTINGS_H
#define ZUNTA_SETTINGS_H

#include <stddef.h>
#include <stdint.h>

enum {
    COLUMN_COUNT = 5,
    SETTINGS_VALUE_SIZE = 64,   // every value is read into this many bytes
};

// The keys of section General, in the order in which they are written.
enum SettingKey {
    KEY_LANGUAGE,
    KEY_ON_TOP,
    KEY_CALC_CRC32,
    KEY_CALC_MD5,
    KEY_DISPLAY_CRC32_LOWER,
    KEY_DISPLAY_MD5_LOWER,
    KEY_COLUMN_0,   // lvCol0 ... lvCol4 follow
    SETTING_KEY_COUNT = KEY_COLUMN_0 + COLUMN_COUNT
};

// Flags count as on only when they hold exactly 1.
struct SettingsRecord {
    uint16_t LanguageId;
    int16_t OnTop;
    int16_t CalcCRC32;
    int16_t CalcMD5;
    int16_t DisplayCRC32Lower;
    int16_t DisplayMD5Lower;
    int32_t lvCol[COLUMN_COUNT];
};

extern SettingsRecord Settings;

extern const int32_t DefaultColumnWidths[COLUMN_COUNT];
extern const char SettingsSection[];

// What a run reads of the settings while the Options dialog may change
// them (it stays usable during a run): taken whole, under one lock, with
// the letter cases in force when a record is written.
struct ShownSettings {
    uint16_t LanguageId;
    int16_t DisplayCRC32Lower;
    int16_t DisplayMD5Lower;
};
ShownSettings ReadShownSettings(void);
// The Options dialog's change of those fields, under the same lock.
void ChangeShownSettings(uint16_t languageId, int16_t crc32Lower, int16_t md5Lower);

// The settings hold the columns' widths at 100% (96 dots an inch), as a
// file written at any scale reads: a width shown in a window of dpi, and
// the width at 100% of one shown there (rounded, so that a width shown
// and stored again at 100% or more comes back unchanged).
enum { BASE_DPI = 96 };
int32_t WidthAtDpi(int32_t width, int dpi);
int32_t WidthAtBaseDpi(int32_t shown, int dpi);

// Sets every field but the language to its default.
void SettingsSetDefaults(SettingsRecord *settings);
// The key text of a setting ("language", "OnTop", ..., "lvCol4").
void SettingKeyName(int key, char *name, size_t size);
// Applies one value read from the settings file. An empty value changes
// nothing. asInteger is the value as the platform's string-to-integer
// conversion reads it; only the column widths use it.
void SettingsApplyValue(SettingsRecord *settings, int key, const char *value, int32_t asInteger);
// The text written for one key; languageName is the language setting's value.
void SettingsFormatValue(const SettingsRecord *settings, int key, const char *languageName,
                         char *value, size_t size);

#endif
