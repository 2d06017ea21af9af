// The language tables and the choice of language from the locale and the settings.
#include "app/lang.h"
#include "app/settings.h"

#include <gtest/gtest.h>

#include <string.h>

TEST(LanguageTables, EveryEntryIsPresentAndEntryBytesAreCodePage1252)
{
    for (int i = 0; i < LANGUAGE_STRING_COUNT; i++) {
        EXPECT_NE(EnglishStrings[i], nullptr) << "English entry " << i;
        EXPECT_NE(FrenchStrings[i], nullptr) << "French entry " << i;
    }
    EXPECT_STREQ(FrenchStrings[STR_LANGUAGE_NAME], "Fran\xE7" "ais");
    EXPECT_STREQ(FrenchStrings[STR_READY], "Pr\xEAt");
    EXPECT_STREQ(FrenchStrings[STR_DURATION], "Dur\xE9" "e");
    EXPECT_STREQ(FrenchStrings[STR_HINT_ADD_FILES], "Ajouter les fichiers \xE0 v\xE9rifier");
    EXPECT_STREQ(EnglishStrings[STR_PROCESS_ALL], "Process A&ll");
    EXPECT_STREQ(FrenchStrings[STR_PROCESS_ALL], "&Tout Calculer");
}

TEST(LanguageTables, OpenFilterIsACompleteFilterList)
{
    for (const char *const *table : { EnglishStrings, FrenchStrings }) {
        const char *filter = table[STR_OPEN_FILTER];
        const char *pattern = filter + strlen(filter) + 1;
        EXPECT_STREQ(pattern, "*.*");
        EXPECT_EQ(pattern[strlen(pattern) + 1], '\0') << "an empty text ends the list";
    }
}

TEST(LanguageTables, SendToFolderMessageHasOnePlaceholder)
{
    for (const char *const *table : { EnglishStrings, FrenchStrings }) {
        const char *text = table[STR_NO_SENDTO_FOLDER];
        const char *first = strchr(text, '%');
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first[1], 's');
        EXPECT_EQ(strchr(first + 1, '%'), nullptr);
        EXPECT_EQ(strchr(table[STR_NO_SENDTO_VARIABLES], '%'), nullptr);
    }
}

TEST(Language, FromSystemLocale)
{
    for (uint32_t french : { 1036u, 2060u, 3084u, 4108u, 5132u })
        EXPECT_EQ(LanguageFromLcid(french), LANGUAGE_ID_FRENCH) << french;
    for (uint32_t english : { 1033u, 6156u, 2057u, 1031u, 0u })
        EXPECT_EQ(LanguageFromLcid(english), LANGUAGE_ID_ENGLISH) << english;
}

TEST(Language, FromSettingIgnoresTheCaseOfAsciiLettersOnly)
{
    EXPECT_EQ(LanguageFromSetting("Fran\xE7" "ais", LANGUAGE_ID_ENGLISH), LANGUAGE_ID_FRENCH);
    EXPECT_EQ(LanguageFromSetting("FRAN\xE7" "AIS", LANGUAGE_ID_ENGLISH), LANGUAGE_ID_FRENCH);
    EXPECT_EQ(LanguageFromSetting("FRAN\xC7" "AIS", LANGUAGE_ID_FRENCH), LANGUAGE_ID_ENGLISH);
    EXPECT_EQ(LanguageFromSetting("Deutsch", LANGUAGE_ID_FRENCH), LANGUAGE_ID_ENGLISH);
    EXPECT_EQ(LanguageFromSetting("Francais", LANGUAGE_ID_FRENCH), LANGUAGE_ID_ENGLISH);
    EXPECT_EQ(LanguageFromSetting("", LANGUAGE_ID_FRENCH), LANGUAGE_ID_FRENCH);
    EXPECT_EQ(LanguageFromSetting("", LANGUAGE_ID_ENGLISH), LANGUAGE_ID_ENGLISH);
}

TEST(Language, TablesAndResourceLanguagesFollowTheId)
{
    SelectLanguageTable(LANGUAGE_ID_FRENCH);
    EXPECT_EQ(LanguageStrings, FrenchStrings);
    SelectLanguageTable(LANGUAGE_ID_ENGLISH);
    EXPECT_EQ(LanguageStrings, EnglishStrings);
    EXPECT_EQ(ResourceLanguage(LANGUAGE_ID_FRENCH), 1036);
    EXPECT_EQ(ResourceLanguage(LANGUAGE_ID_ENGLISH), 1033);
    EXPECT_STREQ(MissingLogFormat(LANGUAGE_ID_FRENCH), "Erreur : Le fichier %s n'existe pas.");
    EXPECT_STREQ(MissingLogFormat(LANGUAGE_ID_ENGLISH), "Error : File %s doesn't exist.");
    EXPECT_STREQ(UnitSuffix(LANGUAGE_ID_FRENCH, 2), " Mo");
    EXPECT_STREQ(UnitSuffix(LANGUAGE_ID_ENGLISH, 3), " GB");
    EXPECT_STREQ(UnitSuffix(LANGUAGE_ID_ENGLISH, 0), "");
}

namespace {

SettingsRecord Defaults()
{
    SettingsRecord s{};
    s.LanguageId = LANGUAGE_ID_ENGLISH;
    SettingsSetDefaults(&s);
    return s;
}

} // namespace

TEST(SettingsRules, DefaultsAndKeyNamesInWriteOrder)
{
    SettingsRecord s = Defaults();
    EXPECT_EQ(s.OnTop, 0);
    EXPECT_EQ(s.CalcCRC32, 1);
    EXPECT_EQ(s.CalcMD5, 0);
    EXPECT_EQ(s.DisplayCRC32Lower, 0);
    EXPECT_EQ(s.DisplayMD5Lower, 1);
    const int32_t widths[] = { 47, 263, 74, 65, 87 };
    for (int i = 0; i < COLUMN_COUNT; i++)
        EXPECT_EQ(s.lvCol[i], widths[i]);

    const char *names[] = { "language", "OnTop", "CalcCRC32", "CalcMD5", "DisplayCRC32Lower",
                            "DisplayMD5Lower", "lvCol0", "lvCol1", "lvCol2", "lvCol3", "lvCol4" };
    ASSERT_EQ(SETTING_KEY_COUNT, 11);
    for (int key = 0; key < SETTING_KEY_COUNT; key++) {
        char name[32];
        SettingKeyName(key, name, sizeof name);
        EXPECT_STREQ(name, names[key]);
    }
}

TEST(SettingsRules, FlagsAreOnOnlyWhenTheValueStartsWithOne)
{
    SettingsRecord s = Defaults();
    SettingsApplyValue(&s, KEY_ON_TOP, "1yes", 1);
    EXPECT_EQ(s.OnTop, 1);
    s = Defaults();
    SettingsApplyValue(&s, KEY_ON_TOP, "true", 0);
    EXPECT_EQ(s.OnTop, 0);
    SettingsApplyValue(&s, KEY_CALC_CRC32, "0", 0);
    EXPECT_EQ(s.CalcCRC32, 0);
    s = Defaults();
    SettingsApplyValue(&s, KEY_CALC_CRC32, "true", 0);
    EXPECT_EQ(s.CalcCRC32, 0);
    s = Defaults();
    SettingsApplyValue(&s, KEY_CALC_CRC32, "", 0);
    EXPECT_EQ(s.CalcCRC32, 1) << "an empty value keeps the default";
    SettingsApplyValue(&s, KEY_DISPLAY_MD5_LOWER, "2", 2);
    EXPECT_EQ(s.DisplayMD5Lower, 0);
}

TEST(SettingsRules, WidthsTakeTheConvertedNumberAndAreWrittenBack)
{
    SettingsRecord s = Defaults();
    SettingsApplyValue(&s, KEY_COLUMN_0 + 2, "abc", 0);
    EXPECT_EQ(s.lvCol[2], 0);
    SettingsApplyValue(&s, KEY_COLUMN_0 + 3, "-5", -5);
    EXPECT_EQ(s.lvCol[3], -5);
    SettingsApplyValue(&s, KEY_COLUMN_0 + 4, "", 0);
    EXPECT_EQ(s.lvCol[4], 87);

    char value[SETTINGS_VALUE_SIZE];
    SettingsFormatValue(&s, KEY_COLUMN_0 + 3, "English", value, sizeof value);
    EXPECT_STREQ(value, "-5");
}

TEST(SettingsRules, ValuesAreWrittenAsTheyAreRead)
{
    SettingsRecord s = Defaults();
    s.OnTop = 2; // not exactly 1: off
    char value[SETTINGS_VALUE_SIZE];
    SettingsFormatValue(&s, KEY_LANGUAGE, FrenchStrings[0], value, sizeof value);
    EXPECT_STREQ(value, "Fran\xE7" "ais");
    SettingsFormatValue(&s, KEY_ON_TOP, "", value, sizeof value);
    EXPECT_STREQ(value, "0");
    SettingsFormatValue(&s, KEY_CALC_CRC32, "", value, sizeof value);
    EXPECT_STREQ(value, "1");
    SettingsApplyValue(&s, KEY_LANGUAGE, "fran\xE7" "ais", 0);
    EXPECT_EQ(s.LanguageId, LANGUAGE_ID_FRENCH);
}
