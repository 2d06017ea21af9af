// The language tables and the choice of language from the locale and the settings.
#include "app/lang.h"
#include "app/settings.h"

#include <gtest/gtest.h>

#include <string.h>

TEST(LanguageTables, EveryEntryByteForByteInCodePage1252)
{
    const char *const english[LANGUAGE_STRING_COUNT] = {
        "English", "Status", "Files", "Size", "Add files to check", "(Drag&Drop allowed)", "All Files (*.*)",
        "Select file(s) to check", "&Cancel", "Ready", "Disabled", "Done", "Error", "&Process", "Process A&ll",
        "Duration", "Move up", "Move down", "Select the folder containing files to check",
        "Do you want to add files which are in sub-folders ?", "Error opening file", "Error creating shortcut",
        "Error : environment variables UserProfile and windir don't exist",
        "Error : the directory %s doesn't exist",
    };
    const char *const french[LANGUAGE_STRING_COUNT] = {
        "Fran\xE7" "ais", "Statut", "Fichiers", "Taille", "Ajouter les fichiers \xE0 v\xE9rifier",
        "(Glisser/D\xE9poser possible)", "Tous fichiers (*.*)",
        "S\xE9lectionner un ou plusieurs fichiers \xE0 v\xE9rifier", "&Annuler", "Pr\xEAt", "Inactif", "Fini",
        "Erreur", "&Calculer", "&Tout Calculer", "Dur\xE9" "e", "Monter", "Descendre",
        "S\xE9lectionner le dossier qui contient des fichiers \xE0 v\xE9rifier",
        "Ajouter aussi les fichiers se trouvant dans les sous-dossiers ?", "Erreur d'ouverture de fichier",
        "Erreur de cr\xE9" "ation du raccourci",
        "Erreur : les variables d'environnement UserProfile et windir n'existe pas",
        "Erreur : le repertoire %s n'existe pas",
    };
    for (int i = 0; i < LANGUAGE_STRING_COUNT; i++) {
        ASSERT_NE(EnglishStrings[i], nullptr) << "English entry " << i;
        ASSERT_NE(FrenchStrings[i], nullptr) << "French entry " << i;
        EXPECT_STREQ(EnglishStrings[i], english[i]) << "English entry " << i;
        EXPECT_STREQ(FrenchStrings[i], french[i]) << "French entry " << i;
    }
    // The texts chosen by language outside the tables.
    EXPECT_STREQ(MissingLogFormat(LANGUAGE_ID_ENGLISH), "Error : File %s doesn't exist.");
    EXPECT_STREQ(MissingLogFormat(LANGUAGE_ID_FRENCH), "Erreur : Le fichier %s n'existe pas.");
    const char *const units[2][4] = { { "", " KB", " MB", " GB" }, { "", " Ko", " Mo", " Go" } };
    for (int step = 0; step < 4; step++) {
        EXPECT_STREQ(UnitSuffix(LANGUAGE_ID_ENGLISH, step), units[0][step]) << step;
        EXPECT_STREQ(UnitSuffix(LANGUAGE_ID_FRENCH, step), units[1][step]) << step;
    }
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

TEST(SettingsRules, WidthsKeepTheirDefaultForAnEmptyValueAndAreWrittenBack)
{
    // The conversion of a value to a width is the platform's, tried on
    // real settings files by the window tests.
    SettingsRecord s = Defaults();
    SettingsApplyValue(&s, KEY_COLUMN_0 + 4, "", 0);
    EXPECT_EQ(s.lvCol[4], 87);
    SettingsApplyValue(&s, KEY_COLUMN_0 + 3, "-5", -5);
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
