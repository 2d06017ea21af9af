// The settings file read and written through the profile-string functions,
// on real files.
#include "base/lang.h"
#include "base/texts.h"
#include "base/settings.h"
#include "platform/settings_file.h"
#include "win_support.h"

#include <gtest/gtest.h>

namespace {

SettingsRecord LoadFrom(const std::string &path, uint16_t localeLanguage = LANGUAGE_ID_ENGLISH)
{
    SettingsRecord s{};
    s.LanguageId = localeLanguage;
    SettingsSetDefaults(&s);
    LoadSettings(path.c_str(), &s);
    return s;
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = MakeScratchFolder("settings_file");
        path = folder + "\\Zunta.ini";
    }
    void TearDown() override { DeleteTree(folder); }
    std::string folder, path;
};

} // namespace

TEST_F(SettingsFile, MissingFileLeavesEveryDefault)
{
    SettingsRecord s = LoadFrom(path, LANGUAGE_ID_FRENCH);
    EXPECT_EQ(s.LanguageId, LANGUAGE_ID_FRENCH);
    EXPECT_EQ(s.CalcCRC32, 1);
    EXPECT_EQ(s.DisplayMD5Lower, 1);
    EXPECT_EQ(s.lvCol[1], 263);
}

TEST_F(SettingsFile, ReadRulesOnRealValues)
{
    ASSERT_TRUE(WriteWholeFile(path, "[General]\r\n"
                                     "language=FRAN\xE7" "AIS\r\n"
                                     "OnTop=1yes\r\n"
                                     "CalcCRC32=true\r\n"
                                     "CalcMD5=1\r\n"
                                     "DisplayMD5Lower=\r\n"
                                     "lvCol0=7 wide\r\n"
                                     "lvCol1=-0\r\n"
                                     "lvCol2=abc\r\n"
                                     "lvCol3=-5\r\n"
                                     "lvCol4=120px\r\n"));
    SettingsRecord s = LoadFrom(path);
    EXPECT_EQ(s.LanguageId, LANGUAGE_ID_FRENCH);
    EXPECT_EQ(s.OnTop, 1);
    EXPECT_EQ(s.CalcCRC32, 0);
    EXPECT_EQ(s.CalcMD5, 1);
    EXPECT_EQ(s.DisplayCRC32Lower, 0);
    EXPECT_EQ(s.DisplayMD5Lower, 1) << "an empty value keeps the default";
    EXPECT_EQ(s.lvCol[0], 7) << "the leading digits";
    EXPECT_EQ(s.lvCol[1], 0);
    EXPECT_EQ(s.lvCol[2], 0) << "no digits give 0";
    EXPECT_EQ(s.lvCol[3], -5);
    EXPECT_EQ(s.lvCol[4], 120);
}

TEST_F(SettingsFile, LanguageValuesThatSelectEnglish)
{
    for (const char *value : { "FRAN\xC7" "AIS", "Deutsch", "English" }) {
        ASSERT_TRUE(WriteWholeFile(path, std::string("[General]\r\nlanguage=") + value + "\r\n"));
        EXPECT_EQ(LoadFrom(path, LANGUAGE_ID_FRENCH).LanguageId, LANGUAGE_ID_ENGLISH) << value;
    }
    ASSERT_TRUE(WriteWholeFile(path, "[General]\r\nlanguage=\r\n"));
    EXPECT_EQ(LoadFrom(path, LANGUAGE_ID_FRENCH).LanguageId, LANGUAGE_ID_FRENCH)
        << "an empty value keeps the locale's language";
}

TEST_F(SettingsFile, FreshFileHoldsTheElevenKeysInOrder)
{
    SettingsRecord s = LoadFrom(path);
    s.lvCol[3] = -5;
    SaveSettings(path.c_str(), &s, LanguageSettingName(FrenchStrings));
    EXPECT_EQ(ReadWholeFile(path), "[General]\r\n"
                                   "language=Fran\xE7" "ais\r\n"
                                   "OnTop=0\r\n"
                                   "CalcCRC32=1\r\n"
                                   "CalcMD5=0\r\n"
                                   "DisplayCRC32Lower=0\r\n"
                                   "DisplayMD5Lower=1\r\n"
                                   "lvCol0=47\r\n"
                                   "lvCol1=263\r\n"
                                   "lvCol2=74\r\n"
                                   "lvCol3=-5\r\n"
                                   "lvCol4=87\r\n");
    SettingsRecord again = LoadFrom(path);
    EXPECT_EQ(again.LanguageId, LANGUAGE_ID_FRENCH);
    EXPECT_EQ(again.lvCol[3], -5);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "the file it was written through is left: " << found.cFileName;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

TEST_F(SettingsFile, AReadOnlyFileStaysAsItWas)
{
    ASSERT_TRUE(WriteWholeFile(path, "[General]\r\nOnTop=1\r\n"));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    SettingsRecord s = LoadFrom(path);
    s.OnTop = 0;
    SaveSettings(path.c_str(), &s, "English");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadWholeFile(path), "[General]\r\nOnTop=1\r\n");
}

TEST_F(SettingsFile, UnwritableFileIsSilentlyNotUpdated)
{
    SettingsRecord s = LoadFrom(path);
    std::string inMissingFolder = folder + "\\no such folder\\Zunta.ini";
    SaveSettings(inMissingFolder.c_str(), &s, "English");
    EXPECT_FALSE(FileExists(inMissingFolder));
}
