// Read and write rules of the settings file.
#include "base/settings.h"

#include "base/lang.h"
#include "base/textutil.h"

#include <mutex>

#include <stdio.h>

SettingsRecord Settings;

static std::mutex ShownLock;

ShownSettings ReadShownSettings(void)
{
    std::lock_guard<std::mutex> hold(ShownLock);
    return ShownSettings{ Settings.LanguageId, Settings.DisplayCRC32Lower, Settings.DisplayMD5Lower };
}

void ChangeShownSettings(uint16_t languageId, int16_t crc32Lower, int16_t md5Lower)
{
    std::lock_guard<std::mutex> hold(ShownLock);
    Settings.LanguageId = languageId;
    Settings.DisplayCRC32Lower = crc32Lower;
    Settings.DisplayMD5Lower = md5Lower;
}

const int32_t DefaultColumnWidths[COLUMN_COUNT] = { 47, 263, 74, 65, 87 };
const char SettingsSection[] = "General";

static const char *const FlagKeyNames[] = {
    "OnTop", "CalcCRC32", "CalcMD5", "DisplayCRC32Lower", "DisplayMD5Lower",
};

// The flag keys, KEY_ON_TOP to KEY_DISPLAY_MD5_LOWER, in key order.
static int16_t SettingsRecord::*const FlagFields[] = {
    &SettingsRecord::OnTop, &SettingsRecord::CalcCRC32, &SettingsRecord::CalcMD5,
    &SettingsRecord::DisplayCRC32Lower, &SettingsRecord::DisplayMD5Lower,
};

static int IsFlagKey(int key) { return key >= KEY_ON_TOP && key <= KEY_DISPLAY_MD5_LOWER; }

void SettingsSetDefaults(SettingsRecord *s)
{
    s->OnTop = 0;
    s->CalcCRC32 = 1;
    s->CalcMD5 = 0;
    s->DisplayCRC32Lower = 0;
    s->DisplayMD5Lower = 1;
    for (int i = 0; i < COLUMN_COUNT; i++)
        s->lvCol[i] = DefaultColumnWidths[i];
}

void SettingKeyName(int key, char *name, size_t size)
{
    if (key == KEY_LANGUAGE)
        snprintf(name, size, "language");
    else if (key >= KEY_COLUMN_0 && key < SETTING_KEY_COUNT)
        snprintf(name, size, "lvCol%d", key - KEY_COLUMN_0);
    else if (IsFlagKey(key))
        snprintf(name, size, "%s", FlagKeyNames[key - KEY_ON_TOP]);
    else if (size > 0)
        name[0] = '\0';
}

void SettingsApplyValue(SettingsRecord *s, int key, const char *value, int32_t asInteger)
{
    if (value == nullptr || value[0] == '\0')
        return;
    if (key == KEY_LANGUAGE) {
        s->LanguageId = LanguageFromSetting(value, s->LanguageId);
        return;
    }
    if (key >= KEY_COLUMN_0 && key < SETTING_KEY_COUNT) {
        s->lvCol[key - KEY_COLUMN_0] = asInteger;
        return;
    }
    if (IsFlagKey(key))
        s->*FlagFields[key - KEY_ON_TOP] = value[0] == '1' ? 1 : 0;
}

void SettingsFormatValue(const SettingsRecord *s, int key, const char *languageName,
                         char *value, size_t size)
{
    if (key == KEY_LANGUAGE) {
        snprintf(value, size, "%s", languageName);
    } else if (key >= KEY_COLUMN_0 && key < SETTING_KEY_COUNT) {
        snprintf(value, size, "%d", (int)s->lvCol[key - KEY_COLUMN_0]);
    } else {
        int on = IsFlagKey(key) && s->*FlagFields[key - KEY_ON_TOP] == 1;
        snprintf(value, size, "%s", on ? "1" : "0");
    }
}

// value * to / from, rounded half away from zero, within 32 bits.
static int32_t Rescale(int32_t value, int to, int from)
{
    if (to <= 0 || from <= 0)
        return value;
    int64_t scaled = (int64_t)value * to;
    scaled = (scaled + (scaled < 0 ? -from / 2 : from / 2)) / from;
    return scaled > INT32_MAX ? INT32_MAX : scaled < INT32_MIN ? INT32_MIN : (int32_t)scaled;
}

int32_t WidthAtDpi(int32_t width, int dpi)
{
    return Rescale(width, dpi, BASE_DPI);
}

int32_t WidthAtBaseDpi(int32_t shown, int dpi)
{
    return Rescale(shown, BASE_DPI, dpi);
}
