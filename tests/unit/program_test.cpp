// Where the program finds its folder, its file name, and where it keeps
// settings and logs.
#include "base/program.h"
#include "core/fileaccess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Split {
    int found;
    std::string folder;
    std::string name;
};

Split SplitOf(const char *commandLine, size_t nameSize = PROGRAM_FILE_NAME_SIZE)
{
    char folder[FOLDER_PATH_SIZE] = "unchanged";
    char name[PROGRAM_FILE_NAME_SIZE] = "unchanged";
    int found = SplitProgramPath(commandLine, folder, sizeof folder, name, nameSize);
    return { found, folder, name };
}

} // namespace

TEST(ProgramPath, QuotedPathGivesFolderAndFileName)
{
    Split s = SplitOf("\"C:\\Tools\\Zunta\\Zunta.exe\" D:\\a.txt");
    EXPECT_EQ(s.found, 1);
    EXPECT_EQ(s.folder, "C:\\Tools\\Zunta\\");
    EXPECT_EQ(s.name, "Zunta.exe");

    s = SplitOf("\"C:\\Renamed.exe\"");
    EXPECT_EQ(s.found, 1);
    EXPECT_EQ(s.folder, "C:\\");
    EXPECT_EQ(s.name, "Renamed.exe");
}

TEST(ProgramPath, UnquotedOrWithoutBackslashLeavesEverything)
{
    for (const char *line : { "C:\\Tools\\Zunta.exe \"D:\\x.txt\"", "\"Zunta.exe\" a",
                              "\"C:\\Tools\\Zunta.exe", "", "Zunta" }) {
        Split s = SplitOf(line);
        EXPECT_EQ(s.found, 0) << line;
        EXPECT_EQ(s.folder, "unchanged") << line;
        EXPECT_EQ(s.name, "unchanged") << line;
    }
}

TEST(ProgramPath, LongFileNameIsCutToItsBuffer)
{
    std::string longName(100, 'z');
    std::string line = "\"C:\\" + longName + "\"";
    Split s = SplitOf(line.c_str());
    EXPECT_EQ(s.found, 2) << "the caller is told that the name was cut";
    EXPECT_EQ(s.name, std::string(PROGRAM_FILE_NAME_SIZE - 1, 'z'));
    EXPECT_EQ(SplitOf(("\"C:\\" + std::string(PROGRAM_FILE_NAME_SIZE - 1, 'z') + "\"").c_str()).found, 1)
        << "a name that fits";
    // A cut falls between characters, never inside one.
    std::string accents;
    for (int i = 0; i < 40; i++)
        accents += "\xC3\xA9";
    EXPECT_EQ(SplitOf(("\"C:\\" + accents + "\"").c_str()).name, accents.substr(0, PROGRAM_FILE_NAME_SIZE - 2));
}

TEST(DataFolder, UsedOnlyUnderProgramFilesOnWindows6)
{
    EXPECT_TRUE(UsesDataFolder(6, "C:\\Program Files\\Zunta"));
    EXPECT_TRUE(UsesDataFolder(6, "C:\\Program Files (x86)\\Zunta"));
    EXPECT_TRUE(UsesDataFolder(10, "D:\\Apps\\Program Files\\Zunta"));
    EXPECT_FALSE(UsesDataFolder(5, "C:\\Program Files (x86)\\Zunta")) << "Windows XP (5.1)";
    EXPECT_FALSE(UsesDataFolder(6, "D:\\Tools"));
    EXPECT_TRUE(UsesDataFolder(6, "c:\\program files\\Zunta")) << "Windows ignores the letter case";
    EXPECT_TRUE(UsesDataFolder(6, "C:\\PROGRAM FILES (X86)\\Zunta"));
    EXPECT_FALSE(UsesDataFolder(6, "C:\\Programs Files\\Zunta"));
}

TEST(DataFolder, PathInsideLocalApplicationData)
{
    char folder[PATH_SIZE];
    EXPECT_EQ(MakeDataFolderPath("C:\\Users\\ann\\AppData\\Local", folder, sizeof folder), 0);
    EXPECT_STREQ(folder, "C:\\Users\\ann\\AppData\\Local\\Zunta");
    EXPECT_EQ(MakeDataFolderPath("", folder, sizeof folder), -1);
    EXPECT_STREQ(folder, "");
    EXPECT_EQ(MakeDataFolderPath(nullptr, folder, sizeof folder), -1);

    // A folder whose log paths would not fit their buffers is not used.
    std::string deep = "C:\\" + std::string(240, 'd');
    EXPECT_EQ(MakeDataFolderPath(deep.c_str(), folder, sizeof folder), -1);
    EXPECT_STREQ(folder, "");
}

TEST(ProgramPaths, FromDataFolderOrProgramFolder)
{
    ProgramState p{};
    snprintf(p.ProgramFolder, sizeof p.ProgramFolder, "D:\\Tools");
    ComputeProgramPaths(&p);
    EXPECT_STREQ(p.SettingsPath, "D:\\Tools\\Zunta.ini");
    EXPECT_STREQ(p.LastSessionLogPath, "LastSession.log");
    EXPECT_STREQ(p.AllSessionsLogPath, "AllSessions.log");
    EXPECT_STREQ(p.SessionMarkPath, "LastSession.pending");
    EXPECT_STREQ(p.HistoryStorePath, "History.log");

    snprintf(p.DataFolder, sizeof p.DataFolder, "C:\\Local\\Zunta");
    ComputeProgramPaths(&p);
    EXPECT_STREQ(p.SettingsPath, "C:\\Local\\Zunta\\Zunta.ini");
    EXPECT_STREQ(p.LastSessionLogPath, "C:\\Local\\Zunta\\LastSession.log");
    EXPECT_STREQ(p.AllSessionsLogPath, "C:\\Local\\Zunta\\AllSessions.log");
    EXPECT_STREQ(p.SessionMarkPath, "C:\\Local\\Zunta\\LastSession.pending");
    EXPECT_STREQ(p.HistoryStorePath, "C:\\Local\\Zunta\\History.log");
}

namespace {

std::u16string Units(const std::string &ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

std::string Ascii(const std::u16string &units)
{
    std::string text;
    for (char16_t c : units)
        text += c < 0x80 ? (char)c : '?';
    return text;
}

// The path the system is given for path, or "null".
std::string SystemForm(const std::string &path)
{
    std::u16string units = Units(path);
    size_t length = 0;
    char16_t *form = SystemPathForm(units.c_str(), units.size(), &length);
    if (form == nullptr)
        return "null";
    std::string text = Ascii(std::u16string(form, length));
    free(form);
    return text;
}

} // namespace

TEST(FileAccess, LongPathsInTheExtendedFormAndSystem32ThroughSysnative)
{
    const std::string deep = "\\" + std::string(LONG_PATH_FROM, 'd') + "\\f.bin";
    const std::string longName(LONG_PATH_FROM, 'n');
    struct Case {
        std::string path, plain, redirected;
    } cases[] = {
        { "C:\\a\\b.txt", "C:\\a\\b.txt", "C:\\a\\b.txt" },
        { "C:\\x" + deep, "\\\\?\\C:\\x" + deep, "\\\\?\\C:\\x" + deep },
        { "c:/x/" + longName, "\\\\?\\c:\\x\\" + longName, "\\\\?\\c:\\x\\" + longName },
        { "\\\\srv\\share\\a.txt", "\\\\srv\\share\\a.txt", "\\\\srv\\share\\a.txt" },
        { "\\\\srv\\share" + deep, "\\\\?\\UNC\\srv\\share" + deep, "\\\\?\\UNC\\srv\\share" + deep },
        { "rel\\" + longName, "rel\\" + longName, "rel\\" + longName },
        { "\\\\?\\C:" + deep, "\\\\?\\C:" + deep, "\\\\?\\C:" + deep },
        { "\\\\.\\pipe" + deep, "\\\\.\\pipe" + deep, "\\\\.\\pipe" + deep },
        { "C:\\Windows\\System32\\notepad.exe", "C:\\Windows\\System32\\notepad.exe",
          "C:\\Windows\\Sysnative\\notepad.exe" },
        { "c:/WINDOWS/system32/x", "c:/WINDOWS/system32/x", "c:/WINDOWS/Sysnative/x" },
        { "C:\\Windows\\System32", "C:\\Windows\\System32", "C:\\Windows\\Sysnative" },
        { "C:\\Windows\\System32x\\a", "C:\\Windows\\System32x\\a", "C:\\Windows\\System32x\\a" },
        { "C:\\Windows\\a\\System32\\b", "C:\\Windows\\a\\System32\\b", "C:\\Windows\\a\\System32\\b" },
        { "D:\\Windows\\System32\\a", "D:\\Windows\\System32\\a", "D:\\Windows\\System32\\a" },
        { "C:\\Windows\\System32" + deep, "\\\\?\\C:\\Windows\\System32" + deep,
          "\\\\?\\C:\\Windows\\Sysnative" + deep },
    };
    for (const Case &c : cases)
        EXPECT_EQ(SystemForm(c.path), c.plain) << c.path;
    std::u16string windows = Units("C:\\Windows\\");
    ASSERT_EQ(SetRedirectedWindowsFolder(windows.c_str(), windows.size()), 0);
    for (const Case &c : cases)
        EXPECT_EQ(SystemForm(c.path), c.redirected) << "redirected: " << c.path;
    SetRedirectedWindowsFolder(nullptr, 0);
    EXPECT_EQ(SystemForm(cases[8].path), cases[8].plain) << "no longer redirected";
}
