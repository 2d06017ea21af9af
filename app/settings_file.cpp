// Reading and writing the settings file through the profile-string functions.
#include "app/settings_file.h"

#include "app/lang.h"
#include "app/program.h"
#include "core/sessionlog.h"

#include <windows.h>
#include <shlwapi.h>

void LoadSettings(const char *path, SettingsRecord *settings)
{
    for (int key = 0; key < SETTING_KEY_COUNT; key++) {
        char name[32];
        char value[SETTINGS_VALUE_SIZE];
        SettingKeyName(key, name, sizeof name);
        GetPrivateProfileStringA(SettingsSection, name, "", value, sizeof value, path);
        SettingsApplyValue(settings, key, value, StrToIntA(value));
    }
}

void SaveSettings(const char *path, const SettingsRecord *settings, const char *languageName)
{
    for (int key = 0; key < SETTING_KEY_COUNT; key++) {
        char name[32];
        char value[SETTINGS_VALUE_SIZE];
        SettingKeyName(key, name, sizeof name);
        SettingsFormatValue(settings, key, languageName, value, sizeof value);
        WritePrivateProfileStringA(SettingsSection, name, value, path);
    }
}

void SaveSession(void)
{
    EndSessionLog();
    ComputeProgramPaths(&Program);
    SaveSettings(Program.SettingsPath, &Settings, LanguageSettingName(LanguageStrings));
}
