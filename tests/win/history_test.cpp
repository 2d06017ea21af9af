// The history of checksums in the real window: a file whose contents
// changed while its size and time did not is warned about in any run, and
// Check against history sorts the rows by what their records say.
#include "base/lang.h"
#include "base/program.h"
#include "base/settings.h"
#include "core/fileinfo.h"
#include "core/history.h"
#include "core/historystore.h"
#include "core/sessionlog.h"
#include "main_window_fixture.h"
#include "platform/runlock.h"
#include "remote_window.h"
#include "resources/resource.h"
#include "ui/listmenu.h"
#include "ui/mainwnd.h"
#include "ui/runs.h"
#include "win_support.h"

#include <commctrl.h>
#include <stdio.h>

#include <string>
#include <vector>

namespace {

const char DigitsCrc[] = "CBF43926";
const char DigitsMd5[] = "25F9E794323B453885F5181F1B624D0B";
const char WarningTitle[] = "Contents changed without a write";

void *NoMemory(size_t)
{
    return nullptr;
}

class History : public MainWindowTest {
protected:
    std::string Write(const std::string &name, const std::string &bytes)
    {
        std::string path = folder + "\\" + name;
        EXPECT_TRUE(WriteWholeFile(path, bytes));
        return path;
    }
    // Changes one byte in place; with keepTime the last-write time is put back.
    void Rot(const std::string &path, bool keepTime)
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
        FILETIME written;
        ASSERT_TRUE(GetFileTime(file, nullptr, nullptr, &written));
        DWORD done = 0;
        ASSERT_TRUE(WriteFile(file, "0", 1, &done, nullptr));
        if (!keepTime)
            reinterpret_cast<ULARGE_INTEGER *>(&written)->QuadPart += 3600ull * 10000000;   // an hour on
        ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
        CloseHandle(file);
    }
    // Sets the last-write time, in 100 ns since 1601.
    void SetWriteTime(const std::string &path, uint64_t when)
    {
        HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
        FILETIME written = { (DWORD)when, (DWORD)(when >> 32) };
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
        CloseHandle(file);
    }
    std::string TimeTextOf(const std::string &path)
    {
        uint64_t size;
        int64_t when;
        EXPECT_EQ(QueryFileInfo(path.c_str(), &size, &when), 0) << path;
        char text[32];
        FormatLogTime(when, text, sizeof text);
        return text;
    }
    // An archive of earlier sessions with one record per file, and with
    // stored their records in the store too, as this version writes them.
    void WriteArchive(const std::vector<std::string> &paths, const char *md5, bool stored)
    {
        FILE *archive = fopen(Program.AllSessionsLogPath, "w");
        FILE *store = fopen(Program.HistoryStorePath, "wb");
        ASSERT_NE(archive, nullptr);
        ASSERT_NE(store, nullptr);
        for (const std::string &path : paths) {
            FileStamp stamp;
            ASSERT_EQ(ReadFileStamp(path.c_str(), &stamp), 0) << path;
            const char *digests[STORE_DIGEST_KINDS] = { DigitsCrc, &path == &paths[0] ? md5 : nullptr };
            WriteSessionRecord(archive, path.c_str(), stamp.Size, FileStampSeconds(stamp.LastWrite), digests[0],
                               digests[1]);
            if (stored)
                WriteStoreRecord(store, path.c_str(), &stamp, digests);
        }
        fclose(archive);
        fclose(store);
    }
    void RunToTheEnd(int id)
    {
        Command(id);
        EXPECT_TRUE(PumpUntil([] { return MainWnd.RunThread == nullptr && RunCanStart(); }, 60000));
        Pump();
    }
};

} // namespace

TEST_F(History, ContentsChangedWithoutAWriteAreWarnedAboutInTheRunAndTheResultBox)
{
    OpenWindow();
    std::string path = Write("rot.bin", "123456789");
    std::string other = Write("other.bin", "abc");
    AddFile(path);
    AddFile(other);
    Click(0);
    RunToTheEnd(IDC_PROCESS);     // the first record, this session's
    ASSERT_EQ(Cell(0, 2), DigitsCrc);
    std::string timeText = TimeTextOf(path);
    Rot(path, true);
    ASSERT_EQ(TimeTextOf(path), timeText);

    int boxes = 0;
    std::string boxText;
    AnswerMessageBox(WarningTitle, [&](HWND, const std::string &text) {
        boxes++;
        boxText = text;
    });
    RunToTheEnd(IDC_PROCESS);
    EXPECT_TRUE(PumpUntil([&] { return boxes == 1; }, 5000)) << "no warning box at the run's end";
    EXPECT_EQ(Cell(0, 0), "Done") << "the row ends as in any run";
    EXPECT_NE(Cell(0, 2), DigitsCrc);
    std::string line = "\r\nWarning : contents changed, same size and time as on " + timeText;
    std::string result = ControlText(IDC_RESULT);
    EXPECT_NE(result.find(line), std::string::npos) << result;
    EXPECT_EQ(boxText.find("The contents of this file changed although its size and last-write time"), 0u)
        << boxText;
    EXPECT_NE(boxText.find("\r\nrot.bin\r\n"), std::string::npos) << boxText;
    EXPECT_EQ(ReadWholeFile(Program.LastSessionLogPath).find("rot.bin", 10) != std::string::npos, true)
        << "the changed result is logged as any other";

    // The line stays with the row until it is processed again.
    Click(1);
    EXPECT_EQ(ControlText(IDC_RESULT).find("Warning"), std::string::npos);
    Click(0);
    EXPECT_NE(ControlText(IDC_RESULT).find(line), std::string::npos) << "shown again with its row";
    Click(1);
    RunToTheEnd(IDC_PROCESS);
    EXPECT_EQ(boxes, 1) << "a run of unchanged files shows no box";
    EXPECT_EQ(ControlText(IDC_RESULT).find("Warning"), std::string::npos);

    // A verification's run warns too, after its summary.
    Write("rot.sfv", "rot.bin " + Cell(0, 2).substr(0, 8) + "\r\n");
    WhenWindowOpens("Verify checksum file", [&](HWND dialog) { TypeIntoOpenDialog(dialog, folder + "\\rot.sfv"); });
    AnswerMessageBox("Verification", [](HWND, const std::string &) {});
    AnswerMessageBox(WarningTitle, [&](HWND, const std::string &) { boxes++; });
    Command(IDM_VERIFY_SUMS);
    EXPECT_TRUE(PumpUntil([&] { return boxes == 2; }, 10000)) << "no warning box after a verification";
    ForgetPendingWindows();
}

TEST_F(History, OneNameSizeAndSecondInTwoFoldersOrTwoSavesInASecondAreNoChange)
{
    OpenWindow();
    ASSERT_TRUE(CreateDirectoryA((folder + "\\a").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((folder + "\\b").c_str(), nullptr));
    std::string a = Write("a\\data.bin", "123456789"), b = Write("b\\data.bin", "987654321");
    const uint64_t second = 132223104000000000ull;     // 2020-01-01 00:00:00 UTC, a whole second
    SetWriteTime(a, second);
    SetWriteTime(b, second);
    // An earlier version recorded another data.bin of that size and second.
    FILE *archive = fopen(Program.AllSessionsLogPath, "w");
    ASSERT_NE(archive, nullptr);
    WriteSessionRecord(archive, "C:\\old\\data.bin", 9, FileStampSeconds(second), "DEADBEEF", nullptr);
    fclose(archive);
    AddFile(a);
    AddFile(b);
    int boxes = 0;
    AnswerMessageBox(WarningTitle, [&](HWND, const std::string &) { boxes++; });
    RunToTheEnd(IDC_PROCESS_ALL);
    EXPECT_EQ(boxes, 0) << "a data.bin of another folder was taken for this one changed without a write";
    EXPECT_EQ(ControlText(IDC_RESULT).find("Warning"), std::string::npos);

    // Saved again half a second later: the same second in the log, another time.
    ASSERT_TRUE(WriteWholeFile(a, "abcdefghi"));
    SetWriteTime(a, second + 5000000);
    Click(0);
    RunToTheEnd(IDC_PROCESS);
    EXPECT_EQ(boxes, 0) << "a second save within the second was taken for a change without a write";

    std::string summary;
    AnswerMessageBox("Check against history", [&](HWND, const std::string &text) { summary = text; });
    Command(IDM_CHECK_HISTORY);
    EXPECT_TRUE(PumpUntil([&] { return !summary.empty(); }, 60000)) << "no summary";
    EXPECT_EQ(summary.substr(0, summary.find("\r\n")),
              "Checked 2 files against their history: 2 unchanged, 0 changed without a write, 0 not in the history");
    ForgetPendingWindows();
}

TEST_F(History, ARecordTheLogDidNotTakeIsNotInTheHistory)
{
    OpenWindow();
    std::string path = Write("rot.bin", "123456789");
    AddFile(path);
    Click(0);
    std::string log = Program.LastSessionLogPath;
    snprintf(Program.LastSessionLogPath, sizeof Program.LastSessionLogPath, "Z:\\dev\\full");   // a full disk
    RunToTheEnd(IDC_PROCESS);
    snprintf(Program.LastSessionLogPath, sizeof Program.LastSessionLogPath, "%s", log.c_str());
    ASSERT_EQ(Cell(0, 2), DigitsCrc);
    EXPECT_EQ(ReadWholeFile(Program.HistoryStorePath), "") << "stored although the log did not take it";
    Rot(path, true);
    int boxes = 0;
    AnswerMessageBox(WarningTitle, [&](HWND, const std::string &) { boxes++; });
    RunToTheEnd(IDC_PROCESS);
    Pump();
    EXPECT_EQ(boxes, 0) << "judged against a record that the log never received";
    ForgetPendingWindows();
}

TEST_F(History, CheckAgainstHistorySortsTheRowsByTheirRecords)
{
    OpenWindow();
    EXPECT_FALSE(ListCommandEnabled(window, IDM_CHECK_HISTORY)) << "enabled with no file row";
    std::vector<std::string> paths = { Write("same.bin", "123456789"), Write("rotten.bin", "123456789"),
                                       Write("edited.bin", "123456789"), Write("new.bin", "123456789") };
    WriteArchive({ paths[0], paths[1], paths[2] }, DigitsMd5, false);    // records the logs alone hold
    Rot(paths[1], true);
    Rot(paths[2], false);
    for (const std::string &path : paths)
        AddFile(path);
    EXPECT_TRUE(ListCommandEnabled(window, IDM_CHECK_HISTORY));

    std::string summary;
    AnswerMessageBox("Check against history", [&](HWND, const std::string &text) { summary = text; });
    int warnings = 0;
    AnswerMessageBox(WarningTitle, [&](HWND, const std::string &) { warnings++; });
    ControlKey(List(), 'H');
    EXPECT_EQ(MainWnd.RunThread != nullptr || !summary.empty(), true) << "Ctrl+H started no run";
    EXPECT_TRUE(PumpUntil([&] { return !summary.empty(); }, 60000)) << "no summary";
    EXPECT_EQ(summary.substr(0, summary.find("\r\n")),
              "Checked 4 files against their history: 1 unchanged, 1 changed without a write, 2 not in the history");
    EXPECT_NE(summary.find("\r\nrotten.bin\r\n"), std::string::npos) << summary;
    EXPECT_EQ(summary.find("same.bin"), std::string::npos) << summary;
    EXPECT_EQ(warnings, 0) << "the summary names the changed files itself";
    EXPECT_EQ(Cell(0, 0), "Done");
    EXPECT_EQ(Cell(0, 2), std::string(DigitsCrc) + " *") << "hashed with the kinds its record holds";
    EXPECT_EQ(Cell(1, 0), "Error");
    EXPECT_EQ(Cell(2, 0), "Ready") << "a row without a record is left as it is";
    EXPECT_EQ(Cell(2, 2), "");
    EXPECT_EQ(Cell(3, 0), "Ready");
    EXPECT_EQ(ControlText(IDC_PROCESS_ALL), "Process A&ll");
    ForgetPendingWindows();
}

TEST_F(History, FrenchWarningOfARecordFromTheArchive)
{
    Settings.LanguageId = LANGUAGE_ID_FRENCH;
    SelectLanguageTable(LANGUAGE_ID_FRENCH);
    OpenWindow();
    std::string path = Write("rot.bin", "123456789");
    WriteArchive({ path }, nullptr, true);
    std::string timeText = TimeTextOf(path);
    Rot(path, true);
    AddFile(path);
    Click(0);
    std::string boxText;
    AnswerMessageBox("Contenu modifié sans écriture", [&](HWND, const std::string &text) { boxText = text; });
    RunToTheEnd(IDC_PROCESS_ALL);
    EXPECT_TRUE(PumpUntil([&] { return !boxText.empty(); }, 5000)) << "no warning box at the run's end";
    // The window shows the texts in the process code page, UTF-8.
    EXPECT_EQ(boxText.find("Le contenu de ce fichier a changé bien que sa taille"), 0u) << boxText;
    std::string line = "\r\nAttention : contenu modifié, même taille et même heure que le " + timeText;
    EXPECT_NE(ControlText(IDC_RESULT).find(line), std::string::npos) << ControlText(IDC_RESULT);
}

TEST_F(History, OutOfMemoryWhileLoadingTurnsTheHistoryOffAndTheSummarySaysSo)
{
    OpenWindow();
    std::string path = Write("same.bin", "123456789");
    WriteArchive({ path }, nullptr, true);
    AddFile(path);
    void *(*allocate)(size_t) = HistoryAllocate;
    HistoryAllocate = NoMemory;
    std::string summary;
    AnswerMessageBox("Check against history", [&](HWND, const std::string &text) { summary = text; });
    Command(IDM_CHECK_HISTORY);
    EXPECT_TRUE(PumpUntil([&] { return !summary.empty(); }, 60000)) << "no summary";
    HistoryAllocate = allocate;
    EXPECT_EQ(summary.substr(0, summary.find("\r\n")),
              "Checked 1 file against its history: 0 unchanged, 0 changed without a write, 1 not in the history");
    EXPECT_NE(summary.find("memory ran out. It is off for this session."), std::string::npos) << summary;
    EXPECT_EQ(Cell(0, 0), "Ready");

    // Off for the session: enough memory later does not bring it back.
    summary.clear();
    AnswerMessageBox("Check against history", [&](HWND, const std::string &text) { summary = text; });
    Command(IDM_CHECK_HISTORY);
    EXPECT_TRUE(PumpUntil([&] { return !summary.empty(); }, 60000)) << "no summary";
    EXPECT_NE(summary.find("1 not in the history"), std::string::npos) << summary;
}

TEST_F(History, ALoadCancelledIsThrownAwayAndTheNextRunLoadsAgain)
{
    OpenWindow();
    std::string path = Write("rot.bin", "123456789");
    WriteArchive({ path }, nullptr, true);
    // Enough records after it for the load to report its progress.
    FILE *archive = fopen(Program.AllSessionsLogPath, "a");
    ASSERT_NE(archive, nullptr);
    for (int i = 0; i < 30000; i++)
        WriteSessionRecord(archive, (folder + "\\fill" + std::to_string(i) + ".bin").c_str(), i, 1700000000,
                           DigitsCrc, nullptr);
    fclose(archive);
    Rot(path, true);
    AddFile(path);
    Click(0);
    WatchProgressBar(true);
    int boxes = 0;
    AnswerMessageBox(WarningTitle, [&](HWND, const std::string &) { boxes++; });
    RunToTheEnd(IDC_PROCESS);
    EXPECT_FALSE(CancelAtFirstProgress) << "the load reported no progress";
    EXPECT_EQ(boxes, 0) << "judged by a history whose load was cancelled";

    ProgressPositions.clear();
    RunToTheEnd(IDC_PROCESS);
    EXPECT_TRUE(PumpUntil([&] { return boxes == 1; }, 5000)) << "the history was not loaded again";
    bool between = false;
    for (int position : ProgressPositions)
        between |= position > 0 && position < 100;
    EXPECT_TRUE(between) << "the bar did not move while the history loaded";
}

TEST_F(History, ACancelledCheckLeavesTheRowsReadyAndSaysSo)
{
    OpenWindow();
    std::vector<std::string> paths;
    for (const char *name : { "a.bin", "b.bin" })
        paths.push_back(Write(name, std::string(4 << 20, 'z')));
    WriteArchive(paths, nullptr, true);
    for (const std::string &path : paths)
        AddFile(path);
    std::string summary;
    AnswerMessageBox("Check against history", [&](HWND, const std::string &text) { summary = text; });
    WatchProgressBar(true);
    Command(IDM_CHECK_HISTORY);
    EXPECT_TRUE(PumpUntil([&] { return !summary.empty(); }, 60000)) << "no summary";
    EXPECT_FALSE(CancelAtFirstProgress) << "the run moved no bar";
    EXPECT_EQ(summary, "Checked 0 files against their history: 0 unchanged, 0 changed without a write, "
                       "0 not in the history\r\n\r\nThe check was cancelled: these counts are of the files "
                       "checked before.");
    EXPECT_EQ(Cell(0, 0), "Ready") << "stopped inside it";
    EXPECT_EQ(Cell(0, 2), "");
    EXPECT_EQ(Cell(1, 0), "Ready");
    EXPECT_EQ(ControlText(IDC_PROCESS_ALL), "Process A&ll");
    EXPECT_TRUE(RunCanStart());
    EXPECT_EQ(ReadWholeFile(Program.LastSessionLogPath).find("a.bin"), std::string::npos) << "nothing logged";
}
