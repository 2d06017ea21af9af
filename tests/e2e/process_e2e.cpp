// Zunta.exe as a user drives it: files chosen in the open dialog, Process
// All, and the checksums it shows and logs compared with values computed on
// the Linux side, independently of the program.
#include "main_window_fixture.h"
#include "remote_window.h"
#include "resources/resource.h"
#include "win_support.h"
#include "zunta_process.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Expected {
    uint64_t size;
    std::string crc, md5;
};

std::string FixtureFolder()
{
    return WindowsPathOf(EnvironmentValue("ZUNTA_SCRATCH")) + "\\hash-fixtures";
}

std::map<std::string, Expected> ReadExpected()
{
    std::map<std::string, Expected> expected;
    std::ifstream in(FixtureFolder() + "\\expected.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name;
        Expected e;
        fields >> name >> e.size >> e.crc >> e.md5;
        expected[name] = e;
    }
    return expected;
}

std::string Lower(std::string text)
{
    for (char &c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0, end;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

class Processing : public ::testing::Test {
protected:
    void SetUp() override { folder = MakeScratchFolder("process_e2e"); }
    void TearDown() override
    {
        ReleaseZunta(&zunta);
        DeleteTree(folder);
    }

    void Start(const std::string &settings, const std::string &args = "")
    {
        std::string exe = InstallZuntaInto(folder);
        ASSERT_FALSE(exe.empty());
        ASSERT_TRUE(WriteWholeFile(folder + "\\Zunta.ini", settings));
        Restart(args);
    }
    // Starts the installed program again, with its settings as they are.
    void Restart(const std::string &args = "")
    {
        ReleaseZunta(&zunta);
        ASSERT_TRUE(StartZunta(&zunta, folder + "\\Zunta.exe", args));
        ASSERT_NE(WaitForMainWindow(&zunta), nullptr);
        list = GetDlgItem(zunta.window, IDC_FILE_LIST);
    }
    void Kill()
    {
        TerminateProcess(zunta.info.hProcess, 1);
        WaitForExit(&zunta);
    }

    // Add Files: the folder typed into the name box, then the quoted names.
    void AddThroughOpenDialog(const std::string &fromFolder, const std::vector<std::string> &names,
                              const char *title = "Select file(s) to check")
    {
        int before = MainRows();
        PostMessageA(zunta.window, WM_COMMAND, IDC_ADD_FILES, 0);
        HWND dialog = WaitForProcessDialog(zunta.info.dwProcessId, title);
        ASSERT_NE(dialog, nullptr) << "the open dialog did not appear";
        ASSERT_TRUE(TypeIntoOpenDialog(dialog, fromFolder));
        Sleep(300);
        ASSERT_TRUE(IsWindow(dialog)) << "typing a folder opens it";
        std::string typed;
        for (const std::string &name : names)
            typed += "\"" + name + "\" ";
        ASSERT_TRUE(TypeIntoOpenDialog(dialog, typed));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 20000)) << "the dialog stays open";
        ASSERT_TRUE(WaitFor([&] { return MainRows() == before + (int)names.size(); }, 20000))
            << "rows: " << MainRows();
    }

    int MainRows()
    {
        return RemoteCell(list, 0, 0) == " " ? 0 : RemoteRowCount(list);
    }

    // Process All, then wait until no row reads ">>" and the buttons are back.
    void ProcessAll(const char *idleCaption, std::function<void()> whileRunning = nullptr)
    {
        PostMessageA(zunta.window, WM_COMMAND, IDC_PROCESS_ALL, 0);
        if (whileRunning)
            whileRunning();
        ASSERT_TRUE(WaitFor([&] {
            std::vector<std::string> statuses = RemoteColumn(list, 0);
            for (const std::string &status : statuses)
                if (status == ">>")
                    return false;
            return RemoteControlText(zunta.window, IDC_PROCESS_ALL) == idleCaption &&
                   RemoteControlText(zunta.window, IDC_PROGRESS_TEXT) == "          ";
        }, 60000)) << "the run did not end";
    }

    std::string folder;
    ZuntaProcess zunta;
    HWND list = nullptr;
};

} // namespace

TEST_F(Processing, FilesChosenInTheOpenDialogAreHashedAndLogged)
{
    std::map<std::string, Expected> expected = ReadExpected();
    ASSERT_FALSE(expected.empty()) << "the fixture files were not made";
    std::vector<std::string> names = { "random_0.bin", "random_1.bin", "random_4095.bin",
                                       "random_4096.bin", "random_4097.bin", "random_3145735.bin" };
    Start("[General]\r\nCalcCRC32=1\r\nCalcMD5=1\r\n");
    AddThroughOpenDialog(FixtureFolder(), names);
    ProcessAll("Process A&ll");

    for (int row = 0; row < RemoteRowCount(list); row++) {
        std::string name = RemoteCell(list, row, 1);
        ASSERT_TRUE(expected.count(name)) << name;
        EXPECT_EQ(RemoteCell(list, row, 0), "Done") << name;
        EXPECT_EQ(RemoteCell(list, row, 2), expected[name].crc + " *") << name;
    }
    EXPECT_EQ(CloseZunta(&zunta), 0);

    std::vector<std::string> records = Lines(ReadWholeFile(folder + "\\LastSession.log"));
    ASSERT_EQ(records.size(), names.size());
    for (const std::string &record : records) {
        std::string name = record.substr(0, record.find(' '));
        ASSERT_TRUE(expected.count(name)) << record;
        const Expected &e = expected[name];
        EXPECT_EQ(record.substr(68, 8), e.crc) << name;
        EXPECT_EQ(record.substr(120, 32), Lower(e.md5)) << name << ": the MD5 is logged in lower case";
        std::string size = record.substr(80, 13);
        size.erase(0, size.find_first_not_of(' '));
        std::string digits;
        for (char c : size)
            if (c != ' ')
                digits += c;
        EXPECT_EQ(digits, std::to_string(e.size)) << name;
    }
    EXPECT_EQ(ReadWholeFile(folder + "\\AllSessions.log"), ReadWholeFile(folder + "\\LastSession.log"))
        << "the session is archived at exit";
}

namespace {

// Sets a file's last-write time to a UTC date and returns the record's time
// field for it: the local time of that instant, "%H:%M.%S %Y-%m-%d".
std::string DateFile(const std::string &path, WORD year, WORD month, WORD day)
{
    SYSTEMTIME utc = {};
    utc.wYear = year;
    utc.wMonth = month;
    utc.wDay = day;
    utc.wHour = 12;
    FILETIME when;
    SystemTimeToFileTime(&utc, &when);
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &when);
    CloseHandle(file);
    SYSTEMTIME local;
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    char text[32];
    snprintf(text, sizeof text, "%02u:%02u.%02u %04u-%02u-%02u", local.wHour, local.wMinute, local.wSecond,
             local.wYear, local.wMonth, local.wDay);
    return text;
}

} // namespace

TEST_F(Processing, FilesDatedAfter2038AndBefore2000AreLoggedWithTheirDates)
{
    ASSERT_TRUE(WriteWholeFile(folder + "\\future.txt", "123456789"));
    ASSERT_TRUE(WriteWholeFile(folder + "\\past.txt", "123456789"));
    std::string future = DateFile(folder + "\\future.txt", 2040, 1, 1);
    std::string past = DateFile(folder + "\\past.txt", 1999, 12, 31);
    Start("[General]\r\n");
    AddThroughOpenDialog(folder, { "future.txt", "past.txt" });
    ProcessAll("Process A&ll");
    EXPECT_EQ(CloseZunta(&zunta), 0);

    std::string pad(64 - strlen("future.txt"), ' ');
    std::string middle = "    CBF43926                9    ";
    EXPECT_EQ(Lines(ReadWholeFile(folder + "\\LastSession.log")),
              (std::vector<std::string>{ "future.txt" + pad + middle + future,
                                         "past.txt" + pad + "  " + middle + past }));
}

TEST_F(Processing, SessionsThatWindowsEndedOrThatWereKilledAreArchivedOnce)
{
    std::string archive = folder + "\\AllSessions.log", session = folder + "\\LastSession.log";
    for (const char *name : { "logged off.txt", "killed.txt" })
        ASSERT_TRUE(WriteWholeFile(folder + "\\" + name, name));

    // Windows ends the session: it asks, says so, then ends the process.
    Start("[General]\r\n", "\"" + folder + "\\logged off.txt\"");
    ASSERT_TRUE(WaitFor([&] { return MainRows() == 1; }));
    ProcessAll("Process A&ll");
    SendDlgItemMessageA(zunta.window, IDC_CALC_MD5, BM_CLICK, 0, 0);
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutA(zunta.window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 10000, &answer));
    EXPECT_TRUE(answer) << "the session may end";
    SendMessageTimeoutA(zunta.window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_BLOCK, 10000, &answer);
    Kill();
    std::string loggedOff = ReadWholeFile(session);
    ASSERT_EQ(Lines(loggedOff).size(), 1u);
    EXPECT_EQ(ReadWholeFile(archive), loggedOff) << "archived when Windows ended the session";
    EXPECT_NE(ReadWholeFile(folder + "\\Zunta.ini").find("CalcMD5=1\r\n"), std::string::npos)
        << "the settings were written too, with the window's check boxes";

    // A process ended from outside leaves its log; the next start archives it.
    Restart("\"" + folder + "\\killed.txt\"");
    EXPECT_EQ(ReadWholeFile(archive), loggedOff) << "nothing archived twice";
    ASSERT_TRUE(WaitFor([&] { return MainRows() == 1; }));
    ProcessAll("Process A&ll");
    std::string killed = ReadWholeFile(session);
    Kill();
    Restart();
    EXPECT_EQ(ReadWholeFile(archive), loggedOff + killed);
    EXPECT_EQ(CloseZunta(&zunta), 0);
    Restart();
    EXPECT_EQ(CloseZunta(&zunta), 0);
    EXPECT_EQ(ReadWholeFile(archive), loggedOff + killed) << "every record exactly once";
}

TEST_F(Processing, TwoSessionsAreArchivedOneAfterTheOther)
{
    Start("[General]\r\n");
    AddThroughOpenDialog(FixtureFolder(), { "random_1.bin", "random_2.bin", "random_3.bin" });
    ProcessAll("Process A&ll");
    EXPECT_EQ(CloseZunta(&zunta), 0);
    std::string first = ReadWholeFile(folder + "\\LastSession.log");
    ReleaseZunta(&zunta);

    ASSERT_TRUE(StartZunta(&zunta, folder + "\\Zunta.exe", ""));
    ASSERT_NE(WaitForMainWindow(&zunta), nullptr);
    list = GetDlgItem(zunta.window, IDC_FILE_LIST);
    AddThroughOpenDialog(FixtureFolder(), { "random_55.bin", "random_56.bin" });
    ProcessAll("Process A&ll");
    EXPECT_EQ(CloseZunta(&zunta), 0);
    std::string second = ReadWholeFile(folder + "\\LastSession.log");

    EXPECT_EQ(Lines(first).size(), 3u);
    EXPECT_EQ(Lines(second).size(), 2u);
    std::string archive = ReadWholeFile(folder + "\\AllSessions.log");
    EXPECT_EQ(archive, first + second);
    EXPECT_EQ(Lines(archive).size(), 5u);

    // Starting and closing once more archives nothing again.
    ReleaseZunta(&zunta);
    ASSERT_TRUE(StartZunta(&zunta, folder + "\\Zunta.exe", ""));
    ASSERT_NE(WaitForMainWindow(&zunta), nullptr);
    EXPECT_EQ(CloseZunta(&zunta), 0);
    EXPECT_EQ(ReadWholeFile(folder + "\\AllSessions.log"), archive);
}

TEST_F(Processing, RunsSeenInBothLanguages)
{
    // Long enough for a run to be seen going: 1 GiB, sparse on the Linux side.
    std::string big = folder + "\\large file.bin";
    HANDLE file = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER length;
    length.QuadPart = 1LL << 30;
    ASSERT_TRUE(SetFilePointerEx(file, length, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
    ASSERT_TRUE(WriteWholeFile(folder + "\\small.txt", "123456789"));
    struct Language {
        const char *settings, *openTitle, *idle, *shot;
    } languages[] = {
        { "[General]\r\nCalcMD5=1\r\n", "Select file(s) to check", "Process A&ll", "run-english" },
        { "[General]\r\nlanguage=Fran\xE7" "ais\r\nCalcMD5=1\r\n",
          "S\xC3\xA9lectionner un ou plusieurs fichiers \xC3\xA0 v\xC3\xA9rifier", "&Tout Calculer", "run-french" },
    };
    for (const Language &language : languages) {
        Start(language.settings);
        AddThroughOpenDialog(folder, { "small.txt", "large file.bin", "small.txt" }, language.openTitle);
        bool seenRunning = false;
        ProcessAll(language.idle, [&] {
            // The large file half-way: its row marked, the bar part-way.
            HWND bar = GetDlgItem(zunta.window, IDC_PROGRESS);
            seenRunning = WaitFor([&] {
                LRESULT position = SendMessageA(bar, PBM_GETPOS, 0, 0);
                return RemoteControlText(zunta.window, IDC_PROGRESS_TEXT) == "2/3    " && position >= 10 &&
                       position <= 60 && RemoteCell(list, 1, 0) == ">>";
            }, 20000);
            CaptureWindow(zunta.window, (std::string(language.shot) + "-during").c_str(), false);
        });
        EXPECT_TRUE(seenRunning) << "the run was never seen half-way through the large file";
        CaptureWindow(zunta.window, (std::string(language.shot) + "-after").c_str());
        EXPECT_EQ(CloseZunta(&zunta), 0);
        ReleaseZunta(&zunta);
    }
}
