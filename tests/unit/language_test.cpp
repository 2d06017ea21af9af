// The language tables and the choice of language from the locale and the settings.
#include "base/lang.h"
#include "base/settings.h"
#include "base/texts.h"
#include "tests/support/mnemonic.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

// The printf conversions of a text in order, "%%" included ("%d", "%.3f").
std::vector<std::string> Placeholders(const char *text)
{
    std::vector<std::string> found;
    for (const char *p = strchr(text, '%'); p != nullptr; p = strchr(p, '%')) {
        size_t length = 1 + strspn(p + 1, "-+ #0123456789.*hlLqjzt");
        found.emplace_back(p, length + (p[length] != '\0'));
        p += found.back().size();
    }
    return found;
}

const char *const *const Languages[] = { EnglishStrings, FrenchStrings };
const char *const LanguageNames[] = { "English", "French" };

} // namespace

TEST(LanguageTables, EveryTextInBothLanguagesWithTheSamePlaceholders)
{
    for (int id = 0; id < TEXT_COUNT; id++) {
        for (int language = 0; language < 2; language++) {
            const char *text = Languages[language][id];
            ASSERT_NE(text, nullptr) << LanguageNames[language] << " text " << id << " is missing";
            EXPECT_NE(text[0], '\0') << LanguageNames[language] << " text " << id << " is empty";
        }
        EXPECT_EQ(Placeholders(EnglishStrings[id]), Placeholders(FrenchStrings[id]))
            << "text " << id << " takes other arguments in French: \"" << EnglishStrings[id] << "\"";
    }
    EXPECT_EQ(Placeholders("%d%% of %s, %.3f sec"), (std::vector<std::string>{ "%d", "%%", "%s", "%.3f" }));
}

TEST(LanguageTables, NoMnemonicTwiceInTheListMenu)
{
    for (int language = 0; language < 2; language++) {
        std::map<char, int> taken;
        for (int id = TEXT_MENU_FIRST; id <= TEXT_MENU_LAST; id++) {
            const char *item = Languages[language][id];
            char mnemonic = TextMnemonic(item);
            if (mnemonic == 0)
                continue;
            auto added = taken.emplace(mnemonic, id);
            EXPECT_TRUE(added.second) << "in the " << LanguageNames[language] << " menu, Alt+" << mnemonic
                                      << " is both \"" << Languages[language][added.first->second] << "\" and \""
                                      << item << "\"";
        }
    }
    EXPECT_EQ(TextMnemonic("Drag&&Drop &now"), 'n');
}

TEST(LanguageTables, OpenFilterIsACompleteFilterList)
{
    for (const char *const *table : { EnglishStrings, FrenchStrings }) {
        const char *filter = table[TEXT_OPEN_FILTER];
        const char *pattern = filter + strlen(filter) + 1;
        EXPECT_STREQ(pattern, "*.*");
        EXPECT_EQ(pattern[strlen(pattern) + 1], '\0') << "an empty text ends the list";
    }
}

TEST(LanguageTables, SendToFolderMessageHasOnePlaceholder)
{
    for (const char *const *table : { EnglishStrings, FrenchStrings }) {
        const char *text = table[TEXT_NO_SENDTO_FOLDER];
        const char *first = strchr(text, '%');
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first[1], 's');
        EXPECT_EQ(strchr(first + 1, '%'), nullptr);
        EXPECT_EQ(strchr(table[TEXT_NO_SENDTO_VARIABLES], '%'), nullptr);
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

TEST(Language, SettingNameStaysInCodePage1252WhateverTheTables)
{
    const char *converted[TEXT_COUNT] = { "Fran\xC3\xA7" "ais" };
    EXPECT_STREQ(LanguageSettingName(FrenchStrings), "Fran\xE7" "ais");
    EXPECT_STREQ(LanguageSettingName(EnglishStrings), "English");
    EXPECT_STREQ(LanguageSettingName(converted), "English") << "only the French table is French";
    EXPECT_EQ(LanguageFromSetting(converted[0], LANGUAGE_ID_ENGLISH), LANGUAGE_ID_ENGLISH)
        << "the file keeps its Windows-1252 bytes: a UTF-8 name is another name";
}

namespace {

// Code page 1252 to UTF-8 for the letters of the tables (0xA0-0xFF), each
// piece in brackets so that the test sees what was converted alone; fails
// on the text named by Refused, and when the result does not fit.
struct FakeConversion {
    int Calls = 0;
    const char *Refused = nullptr;
};

int FakeConvert(const char *in, char *out, size_t size, void *context)
{
    FakeConversion *fake = (FakeConversion *)context;
    fake->Calls++;
    if (fake->Refused != nullptr && !strcmp(in, fake->Refused))
        return -1;
    std::string result = "[";
    for (const unsigned char *p = (const unsigned char *)in; *p; p++) {
        if (*p >= 0xA0) {
            result += (char)(0xC0 | (*p >> 6));
            result += (char)(0x80 | (*p & 0x3F));
        } else {
            result += (char)*p;
        }
    }
    result += "]";
    if (size == 0)
        return (int)result.size();
    if (result.size() >= size)
        return -1;
    memcpy(out, result.c_str(), result.size() + 1);
    return (int)result.size();
}

// The pieces of a filter list, up to its empty end.
std::vector<std::string> Pieces(const char *list)
{
    std::vector<std::string> pieces;
    for (; *list; list += strlen(list) + 1)
        pieces.push_back(list);
    return pieces;
}

} // namespace

TEST(LanguageConversion, EveryTextOfBothLanguagesAndFilterListsPieceByPiece)
{
    std::vector<const char **> slots;
    for (const char **table : { EnglishStrings, FrenchStrings })
        for (int i = 0; i < TEXT_COUNT; i++)
            slots.push_back(&table[i]);
    std::vector<const char *> saved;
    for (const char **slot : slots)
        saved.push_back(*slot);

    FakeConversion fake;
    char *block = nullptr;
    ASSERT_EQ(ConvertLanguageTexts(FakeConvert, &fake, &block), 0);
    ASSERT_NE(block, nullptr);
    std::vector<const char *> now;
    for (const char **slot : slots)
        now.push_back(*slot);
    std::string french = FrenchStrings[TEXT_LANGUAGE_NAME], open = FrenchStrings[TEXT_OPEN_TITLE];
    std::vector<std::string> openFilter = Pieces(EnglishStrings[TEXT_OPEN_FILTER]);
    std::vector<std::string> verifyFilter = Pieces(FrenchStrings[TEXT_VERIFY_FILTER]);
    std::vector<std::string> saveFilter = Pieces(EnglishStrings[TEXT_SAVE_FILTER]);
    std::string moreText = FrenchStrings[TEXT_SAVED_ONE], lastMore = EnglishStrings[TEXT_COUNT - 1];
    for (size_t i = 0; i < slots.size(); i++)
        *slots[i] = saved[i];
    free(block);

    EXPECT_EQ(french, "[Fran\xC3\xA7" "ais]");
    EXPECT_EQ(open, "[S\xC3\xA9lectionner un ou plusieurs fichiers \xC3\xA0 v\xC3\xA9rifier]");
    EXPECT_EQ(moreText, "[%d somme de contr\xC3\xB4le \xC3\xA9" "crite dans %s]")
        << "the texts of the context menu and checksum files";
    EXPECT_EQ(lastMore, std::string("[") + EnglishStrings[TEXT_COUNT - 1] + "]") << "the last text";
    EXPECT_EQ(openFilter, (std::vector<std::string>{ "[All Files (*.*)]", "[*.*]" }));
    EXPECT_EQ(saveFilter, (std::vector<std::string>{ "[SFV (CRC32)]", "[*.sfv]", "[MD5]", "[*.md5]" }));
    EXPECT_EQ(verifyFilter.size(), 4u) << "each piece converted alone, the empty end kept";
    for (size_t i = 0; i < saved.size(); i++)
        EXPECT_NE(now[i], saved[i]) << "text " << i << " was not converted";
    EXPECT_EQ(fake.Calls % 2, 0) << "measured, then converted";
}

TEST(LanguageConversion, AFailureLeavesEveryTableAsItWas)
{
    const char *first[] = { "a", "b\0c\0", "d" };
    const char *second[] = { "\xE9t\xE9" };
    const int filters[] = { 1 };
    const TextTable tables[] = { { first, 3, filters, 1 }, { second, 1, nullptr, 0 } };
    const char *firstBefore[] = { first[0], first[1], first[2] };

    for (const char *refused : { "\xE9t\xE9", "c" }) {
        FakeConversion fake;
        fake.Refused = refused;
        char *block = (char *)"x";
        EXPECT_EQ(ConvertTextTables(tables, 2, FakeConvert, &fake, &block), -1) << refused;
        EXPECT_EQ(block, nullptr);
        EXPECT_TRUE(std::equal(first, first + 3, firstBefore)) << refused;
    }
    FakeConversion fake;
    char *block = nullptr;
    ASSERT_EQ(ConvertTextTables(tables, 2, FakeConvert, &fake, &block), 0);
    EXPECT_STREQ(first[0], "[a]");
    EXPECT_EQ(Pieces(first[1]), (std::vector<std::string>{ "[b]", "[c]" }));
    EXPECT_STREQ(first[2], "[d]") << "the entry after a filter list";
    EXPECT_STREQ(second[0], "[\xC3\xA9t\xC3\xA9]");
    free(block);
}

TEST(Language, TablesAndResourceLanguagesFollowTheId)
{
    SelectLanguageTable(LANGUAGE_ID_FRENCH);
    EXPECT_EQ(LanguageStrings, FrenchStrings);
    SelectLanguageTable(LANGUAGE_ID_ENGLISH);
    EXPECT_EQ(LanguageStrings, EnglishStrings);
    EXPECT_EQ(ResourceLanguage(LANGUAGE_ID_FRENCH), 1036);
    EXPECT_EQ(ResourceLanguage(LANGUAGE_ID_ENGLISH), 1033);
    EXPECT_STREQ(LanguageText(LANGUAGE_ID_FRENCH, TEXT_MISSING_LOG), "Erreur : Le fichier %s n'existe pas.");
    EXPECT_STREQ(LanguageText(LANGUAGE_ID_ENGLISH, TEXT_MISSING_LOG), "Error : File %s doesn't exist.");
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

TEST(SettingsRules, WidthsAreShownScaledAndStoredAt100Percent)
{
    struct Case {
        int dpi;
        int32_t stored, shown, dragged, dragStored;
    } cases[] = {
        { 96, 263, 263, 300, 300 }, { 120, 47, 59, 100, 80 }, { 144, 263, 395, 400, 267 }, { 192, 65, 130, 131, 66 },
    };
    for (const Case &c : cases) {
        EXPECT_EQ(WidthAtDpi(c.stored, c.dpi), c.shown) << c.dpi;
        EXPECT_EQ(WidthAtBaseDpi(c.dragged, c.dpi), c.dragStored) << "a width dragged at " << c.dpi;
        for (int32_t width = -5; width <= 2000; width++)
            ASSERT_EQ(WidthAtBaseDpi(WidthAtDpi(width, c.dpi), c.dpi), width) << width << " at " << c.dpi;
    }
    EXPECT_EQ(WidthAtDpi(INT32_MAX, 192), INT32_MAX) << "no overflow";
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

TEST(SettingsRules, ARunTakesTheShownSettingsWholeWhileOptionsChangesThem)
{
    SettingsRecord kept = Settings;
    std::atomic<bool> done(false);
    std::thread options([&] {
        for (int i = 0; !done; i++)
            ChangeShownSettings(i % 2 ? LANGUAGE_ID_FRENCH : LANGUAGE_ID_ENGLISH, i % 2, i % 2);
    });
    int torn = 0;
    for (int read = 0; read < 20000; read++) {
        ShownSettings shown = ReadShownSettings();
        bool french = shown.LanguageId == LANGUAGE_ID_FRENCH;
        torn += french != (shown.DisplayCRC32Lower == 1) || french != (shown.DisplayMD5Lower == 1);
    }
    done = true;
    options.join();
    Settings = kept;
    EXPECT_EQ(torn, 0) << "a record was written with half of a change";
}
