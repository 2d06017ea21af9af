// Zunta.exe started as a user starts it: settings file, language and data folder.
#include "base/lang.h"
#include "base/texts.h"
#include "main_window_fixture.h"
#include "resources/resource.h"
#include "win_support.h"
#include "zunta_process.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace {

const char *const KeyOrder[] = { "language", "OnTop", "CalcCRC32", "CalcMD5", "DisplayCRC32Lower",
                                 "DisplayMD5Lower", "lvCol0", "lvCol1", "lvCol2", "lvCol3",
                                 "lvCol4" };

std::string ExpectedSettings(const char *language)
{
    return std::string("[General]\r\nlanguage=") + language +
           "\r\nOnTop=0\r\nCalcCRC32=1\r\nCalcMD5=0\r\nDisplayCRC32Lower=0\r\n"
           "DisplayMD5Lower=1\r\nlvCol0=47\r\nlvCol1=263\r\nlvCol2=74\r\nlvCol3=65\r\nlvCol4=87\r\n";
}

// Starts the program, waits for its window, runs check on it, closes it.
void RunAndClose(const std::string &exe, void (*check)(HWND) = nullptr)
{
    ZuntaProcess zunta;
    ASSERT_TRUE(StartZunta(&zunta, exe, "")) << "cannot start " << exe;
    HWND window = WaitForMainWindow(&zunta);
    EXPECT_NE(window, nullptr) << "the main window did not appear";
    if (window && check)
        check(window);
    EXPECT_EQ(CloseZunta(&zunta), 0) << "exit code after closing the window";
    ReleaseZunta(&zunta);
}

std::string LocalAppDataFolder()
{
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_LOCAL_APPDATA, FALSE);
    return path;
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override { folder = MakeScratchFolder("startup_e2e"); }
    void TearDown() override { DeleteTree(folder); }
    std::string folder;
};

} // namespace

TEST_F(Startup, FirstRunWritesTheElevenKeysInTheLocaleLanguage)
{
    std::string exe = InstallZuntaInto(folder);
    ASSERT_FALSE(exe.empty());
    RunAndClose(exe);

    uint16_t language = LanguageFromLcid(GetSystemDefaultLCID());
    std::string expectedLcid = EnvironmentValue("ZUNTA_EXPECT_LCID");
    if (!expectedLcid.empty())
        ASSERT_EQ(GetSystemDefaultLCID(), (LCID)atoi(expectedLcid.c_str()))
            << "the test environment's locale was not applied";
    EXPECT_EQ(ReadWholeFile(folder + "\\Zunta.ini"),
              ExpectedSettings(LanguageTable(language)[TEXT_LANGUAGE_NAME]));
    EXPECT_FALSE(FileExists(folder + "\\LastSession.log"));
}

TEST_F(Startup, FrenchSettingOpensTheFrenchTemplate)
{
    std::string exe = InstallZuntaInto(folder);
    ASSERT_TRUE(WriteWholeFile(folder + "\\Zunta.ini", "[General]\r\nlanguage=Fran\xE7" "ais\r\n"
                                                       "lvCol2=-5\r\n"));
    RunAndClose(exe, [](HWND window) {
        char text[64] = "";
        GetDlgItemTextA(window, IDC_ADD_FILES, text, sizeof text);
        EXPECT_STREQ(text, "Ajouter &Fichiers");
    });
    std::string settings = ReadWholeFile(folder + "\\Zunta.ini");
    EXPECT_NE(settings.find("language=Fran\xE7" "ais\r\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("lvCol2=-5\r\n"), std::string::npos) << settings;
}

TEST_F(Startup, PreviousSessionLogIsDeletedAndTheArchiveKept)
{
    std::string exe = InstallZuntaInto(folder);
    ASSERT_TRUE(WriteWholeFile(folder + "\\LastSession.log", "old record\r\n"));
    ASSERT_TRUE(WriteWholeFile(folder + "\\AllSessions.log", "archived\r\n"));
    RunAndClose(exe);
    EXPECT_FALSE(FileExists(folder + "\\LastSession.log"));
    EXPECT_EQ(ReadWholeFile(folder + "\\AllSessions.log"), "archived\r\n");
}

TEST_F(Startup, UnderProgramFilesSettingsAndLogsGoToLocalAppData)
{
    std::string dataFolder = LocalAppDataFolder() + "\\Zunta";
    ASSERT_FALSE(LocalAppDataFolder().empty());
    for (const char *programFiles : { "C:\\Program Files", "C:\\Program Files (x86)" }) {
        SCOPED_TRACE(programFiles);
        DeleteTree(dataFolder);
        std::string installed = std::string(programFiles) + "\\Zunta e2e test";
        DeleteTree(installed);
        std::string exe = InstallZuntaInto(installed);
        ASSERT_FALSE(exe.empty()) << "cannot copy Zunta.exe to " << installed;
        ASSERT_TRUE(WriteWholeFile(dataFolder + "_marker", "")) << "local app data is writable";
        DeleteFileA((dataFolder + "_marker").c_str());

        RunAndClose(exe);
        EXPECT_EQ(ReadWholeFile(dataFolder + "\\Zunta.ini"),
                  ExpectedSettings(LanguageTable(LanguageFromLcid(GetSystemDefaultLCID()))[0]));
        EXPECT_FALSE(FileExists(installed + "\\Zunta.ini"));
        DeleteTree(installed);
    }
    DeleteTree(dataFolder);
}

TEST_F(Startup, TracedBuildWritesTheStartupTrace)
{
    const std::string traceFolder = "c:\\temp\\Zunta";
    const std::string tracePath = traceFolder + "\\debug.txt";
    std::string exe = InstallZuntaInto(folder, WindowsPathOf(EnvironmentValue("ZUNTA_TRACED_EXE")));
    ASSERT_FALSE(exe.empty());

    // With c:\temp there, the program makes its folder and writes the trace.
    CreateDirectoryA("c:\\temp", nullptr);
    DeleteTree(traceFolder);
    RunAndClose(exe);
    OSVERSIONINFOA version = { sizeof version };
    GetVersionExA(&version);
    char expected[512];
    snprintf(expected, sizeof expected, "Program dir is : %s\r\nWindows version is : %u.%u\r\n",
             folder.c_str(), (unsigned)version.dwMajorVersion, (unsigned)version.dwMinorVersion);
    EXPECT_EQ(ReadWholeFile(tracePath), expected);

    // A trace file that cannot be opened (its name taken by a folder, or
    // c:\temp missing) is skipped; the program runs as usual.
    DeleteTree(traceFolder);
    CreateDirectoryA(traceFolder.c_str(), nullptr);
    CreateDirectoryA(tracePath.c_str(), nullptr);
    DeleteFileA((folder + "\\Zunta.ini").c_str());
    RunAndClose(exe);
    EXPECT_TRUE(FileExists(folder + "\\Zunta.ini"));

    DeleteTree("c:\\temp");
    DeleteFileA((folder + "\\Zunta.ini").c_str());
    RunAndClose(exe);
    EXPECT_TRUE(FileExists(folder + "\\Zunta.ini"));
    EXPECT_FALSE(FileExists(tracePath));
}

TEST_F(Startup, MainWindowIsDrawn)
{
    std::string exe = InstallZuntaInto(folder);
    RunAndClose(exe, [](HWND window) {
        // Wait for the first paint, then look at what the screen shows.
        Sleep(300);
        EXPECT_GT(CaptureWindow(window, "e2e-main-window"), 20)
            << "the window shows hardly any colours: nothing was drawn";
        RECT bounds;
        GetWindowRect(window, &bounds);
        EXPECT_GT(bounds.right - bounds.left, 500);
    });
}
