// Reading and writing the settings file. Its bytes are read and updated in
// memory (base/inifile.h) rather than through the profile-string functions,
// which take and give text in the process code page (UTF-8) and would turn
// the Windows-1252 name "Fran\xE7" "ais" into a replacement character.
#include "platform/settings_file.h"

#include "base/inifile.h"
#include "base/lang.h"
#include "base/texts.h"
#include "base/program.h"
#include "core/fileinfo.h"
#include "core/sessionlog.h"

#include <windows.h>
#include <shlwapi.h>

#include <stdio.h>
#include <stdlib.h>

enum { SETTINGS_FILE_LIMIT = 1 << 20 };

// The whole file into ini (empty when it cannot be opened). Returns 0, or -1
// when it cannot be read whole.
static int ReadSettingsText(const char *path, IniText *ini)
{
    *ini = IniText{};
    char *text;
    size_t length;
    int read = ReadWholeFile(path, SETTINGS_FILE_LIMIT, nullptr, nullptr, &text, &length);
    if (read == WHOLE_NOT_OPENED)
        return 0;
    if (read != WHOLE_READ)
        return -1;
    ini->Bytes = text;
    ini->Length = length;
    ini->Capacity = length + 1;
    return 0;
}

void LoadSettings(const char *path, SettingsRecord *settings)
{
    IniText ini;
    if (ReadSettingsText(path, &ini) != 0)
        return;
    for (int key = 0; key < SETTING_KEY_COUNT; key++) {
        char name[32];
        char value[SETTINGS_VALUE_SIZE];
        SettingKeyName(key, name, sizeof name);
        IniGetValue(ini.Bytes, ini.Length, SettingsSection, name, value, sizeof value);
        SettingsApplyValue(settings, key, value, StrToIntA(value));
    }
    IniRelease(&ini);
}

void SaveSettings(const char *path, const SettingsRecord *settings, const char *languageName)
{
    // A file that cannot be read whole is not written over.
    IniText ini;
    if (ReadSettingsText(path, &ini) != 0)
        return;
    bool changed = false;
    for (int key = 0; key < SETTING_KEY_COUNT; key++) {
        char name[32];
        char value[SETTINGS_VALUE_SIZE];
        SettingKeyName(key, name, sizeof name);
        SettingsFormatValue(settings, key, languageName, value, sizeof value);
        int result = IniSetValue(&ini, SettingsSection, name, value);
        if (result < 0) {
            IniRelease(&ini);
            return;
        }
        changed = changed || result > 0;
    }
    // In place only where no file can be made beside it.
    FILE *file = changed && ReplaceFileWhole(path, ini.Bytes, ini.Length) == REPLACE_NO_NEW_FILE ? fopen(path, "wb") : nullptr;
    if (file != nullptr) {
        fwrite(ini.Bytes, 1, ini.Length, file);
        fclose(file);
    }
    IniRelease(&ini);
}

void SaveSession(void)
{
    EndSessionLog();
    ComputeProgramPaths(&Program);
    SaveSettings(Program.SettingsPath, &Settings, LanguageSettingName(LanguageStrings));
}
