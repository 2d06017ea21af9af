// Processing runs in the real window: what each run shows, stores and logs,
// cancelling, and closing or switching the language while a run goes.
#include "base/lang.h"
#include "base/program.h"
#include "base/settings.h"
#include "core/filelist.h"
#include "core/hashahead.h"
#include "main_window_fixture.h"
#include "platform/drives.h"
#include "platform/runlock.h"
#include "resources/resource.h"
#include "ui/listview.h"
#include "ui/mainwnd.h"
#include "ui/result.h"
#include "ui/runs.h"
#include "win_support.h"

#include <commctrl.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

const char DigitsCrc[] = "CBF43926";
const char DigitsMd5[] = "25F9E794323B453885F5181F1B624D0B";

// What the run wrote into the counter text and the progress bar, in order.
struct Watched {
    std::vector<std::string> counters;
    std::vector<int> positions;
    std::vector<size_t> positionCounter;    // counters.size() at each position
    std::vector<std::string> processCaptions;
    WNDPROC counterProc, barProc, buttonProc;
    std::function<void(const std::string &)> onCounter;
};
Watched *Watch;

LRESULT CALLBACK CounterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT) {
        Watch->counters.push_back((const char *)lParam);
        if (Watch->onCounter)
            Watch->onCounter(Watch->counters.back());
    }
    return CallWindowProcA(Watch->counterProc, window, message, wParam, lParam);
}

LRESULT CALLBACK BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == PBM_SETPOS) {
        Watch->positions.push_back((int)wParam);
        Watch->positionCounter.push_back(Watch->counters.size());
    }
    return CallWindowProcA(Watch->barProc, window, message, wParam, lParam);
}

LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT)
        Watch->processCaptions.push_back((const char *)lParam);
    return CallWindowProcA(Watch->buttonProc, window, message, wParam, lParam);
}

class Runs : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        Watch = &watched;
    }
    void TearDown() override
    {
        CreateRunThread = CreateThread;
        RunHelperCount = -1;
        MainWindowTest::TearDown();
        Watch = nullptr;
    }
    HWND OpenWatchedWindow()
    {
        OpenWindow();
        watched.counterProc = (WNDPROC)SetWindowLongPtrA(GetDlgItem(window, IDC_PROGRESS_TEXT),
                                                         GWLP_WNDPROC, (LONG_PTR)CounterProc);
        watched.barProc = (WNDPROC)SetWindowLongPtrA(GetDlgItem(window, IDC_PROGRESS), GWLP_WNDPROC,
                                                     (LONG_PTR)BarProc);
        watched.buttonProc = (WNDPROC)SetWindowLongPtrA(GetDlgItem(window, IDC_PROCESS), GWLP_WNDPROC,
                                                        (LONG_PTR)ButtonProc);
        return window;
    }
    // A window with count files of 16 MiB that the worker reads alone; once
    // HoldReads is set, its reads wait until the run is asked to end.
    // Returns the reader to put back.
    HashReadFn OpenHeldRun(const std::string &name, int count);
    void SetBoxes(bool crc, bool md5)
    {
        CheckDlgButton(window, IDC_CALC_CRC32, crc ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(window, IDC_CALC_MD5, md5 ? BST_CHECKED : BST_UNCHECKED);
    }
    // Presses a run button and pumps until the worker thread has ended.
    void RunToTheEnd(int id)
    {
        Command(id);
        WaitForTheWorker();
    }
    void WaitForTheWorker()
    {
        HANDLE worker = nullptr;
        if (MainWnd.RunThread)
            DuplicateHandle(GetCurrentProcess(), MainWnd.RunThread, GetCurrentProcess(), &worker,
                            SYNCHRONIZE, FALSE, 0);
        EXPECT_TRUE(PumpUntil([&] { return MainWnd.RunThread == nullptr; }, 60000));
        if (worker) {
            EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(worker, 0) == WAIT_OBJECT_0; }));
            CloseHandle(worker);
        }
        Pump();
    }
    void Select(int row) { Click(row); }
    std::string Log() { return ReadWholeFile(Program.LastSessionLogPath); }
    int LogLines()
    {
        std::string log = Log();
        int lines = 0;
        for (size_t at = 0; (at = log.find("\r\n", at)) != std::string::npos; at += 2)
            lines++;
        return lines;
    }
    std::string DigitsFile(const char *name) { return MakeFileWith(name, "123456789"); }
    std::string MakeFileWith(const std::string &name, const std::string &bytes)
    {
        std::string path = folder + "\\" + name;
        EXPECT_TRUE(WriteWholeFile(path, bytes));
        return path;
    }
    bool ButtonsIdle()
    {
        char process[32], all[32];
        GetDlgItemTextA(window, IDC_PROCESS, process, sizeof process);
        GetDlgItemTextA(window, IDC_PROCESS_ALL, all, sizeof all);
        return !strcmp(process, "&Process") && !strcmp(all, "Process A&ll") &&
               IsWindowEnabled(GetDlgItem(window, IDC_PROCESS)) &&
               IsWindowEnabled(GetDlgItem(window, IDC_PROCESS_ALL)) &&
               IsWindowEnabled(GetDlgItem(window, IDC_CLEAR_ALL)) &&
               IsWindowEnabled(GetDlgItem(window, IDC_MOVE_UP)) && ReadRunState() == RUN_IDLE;
    }
    // What the taskbar button is to have seen of a run whose bar was sent the watched
    // positions: each the bar showed (within 0 to 100) once, from 0 on; then nothing.
    std::vector<std::string> TaskbarOfTheBar()
    {
        std::vector<std::string> seen = { "created", "NORMAL", "0" };
        for (int position : watched.positions)
            if (std::to_string(std::min(position, 100)) != seen.back())
                seen.push_back(std::to_string(std::min(position, 100)));
        seen.push_back("NONE");
        return seen;
    }
    Watched watched;
};

std::string Lower(std::string text)
{
    for (char &c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

std::string Upper(std::string text)
{
    for (char &c : text)
        c = (char)toupper((unsigned char)c);
    return text;
}

HANDLE WINAPI NoThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD)
{
    return nullptr;
}

// A worker held between the two halves of a run's end: the run state set
// back to idle, the window not yet told.
HANDLE EndingEvent;
int WorkersStarted;

DWORD WINAPI HeldWorker(LPVOID)
{
    EnterCriticalSection(&RunLock);
    RunState = RUN_IDLE;
    LeaveCriticalSection(&RunLock);
    WaitForSingleObject(EndingEvent, INFINITE);
    SendMessageA(MainWnd.Window, MSG_RUN_FINISHED, 0, 0);
    return 0;
}

HANDLE WINAPI StartHeldWorker(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD)
{
    WorkersStarted++;
    return CreateThread(nullptr, 0, HeldWorker, nullptr, 0, nullptr);
}

} // namespace

TEST_F(Runs, ProcessWithNoRowSelectedOnlySwitchesTheButtons)
{
    OpenWatchedWindow();
    AddFile(DigitsFile("a.txt"));
    RunToTheEnd(IDC_PROCESS);
    EXPECT_EQ(watched.processCaptions, (std::vector<std::string>{ "&Cancel", "&Process" }));
    EXPECT_TRUE(ButtonsIdle());
    EXPECT_EQ(Cell(0, 0), "Ready");
    EXPECT_EQ(Cell(0, 2), "");
    EXPECT_EQ(ControlText(IDC_RESULT), "");
}

TEST_F(Runs, ProcessHashesTheSelectedRowWhateverItsStatus)
{
    OpenWatchedWindow();
    std::string path = DigitsFile("digits.txt");
    AddFile(path);
    DoubleClick(0);
    ASSERT_EQ(Cell(0, 0), "Disabled");
    Select(0);
    RunToTheEnd(IDC_PROCESS);
    EXPECT_EQ(Cell(0, 0), "Done");
    EXPECT_EQ(Cell(0, 2), DigitsCrc);
    EXPECT_EQ(ControlText(IDC_RESULT), path + "\r\nCRC : " + DigitsCrc);
    EXPECT_EQ(ControlText(IDC_STATUS_TEXT).rfind("Duration : ", 0), 0u);
    EXPECT_EQ(SendDlgItemMessageA(window, IDC_PROGRESS, PBM_GETPOS, 0, 0), 100);
    EXPECT_TRUE(ButtonsIdle());
    EXPECT_EQ(LogLines(), 1);
    EXPECT_EQ(Log().substr(64, 16), std::string("    ") + DigitsCrc + "    ");
}

TEST_F(Runs, TheTaskbarButtonShowsTheBarOnlyWhereTheSystemOffersIt)
{
    OpenWatchedWindow();
    AddFile(MakeFile("big.bin", 4 << 20));
    Select(0);
    RecordTaskbar(false);
    RunToTheEnd(IDC_PROCESS);
    EXPECT_EQ(TaskbarSeen, (std::vector<std::string>{ "absent" }));

    RecordTaskbar(true);    // as after the shell restarted
    MakeFile("big.bin", 8 << 20);   // grown since it was read: the job counts past 100
    watched.positions.clear();
    RunToTheEnd(IDC_PROCESS);
    EXPECT_EQ(TaskbarSeen, TaskbarOfTheBar()) << "the button shows what the bar shows";
    EXPECT_GT(TaskbarSeen.size(), 8u) << "the percentages rose";
}

TEST_F(Runs, ProcessAllTakesOnlyReadyRowsAndCounts)
{
    OpenWatchedWindow();
    for (const char *name : { "1.txt", "2.txt", "3.txt", "4.txt" })
        AddFile(DigitsFile(name));
    SetRowText(List(), 1, 0, "Done");
    DoubleClick(2);
    RunToTheEnd(IDC_PROCESS_ALL);
    EXPECT_EQ(watched.counters, (std::vector<std::string>{ "1/2    ", "2/2    ", "          " }));
    EXPECT_EQ(Cell(0, 0), "Done");
    EXPECT_EQ(Cell(1, 0), "Done");
    EXPECT_EQ(Cell(1, 2), "") << "the Done row was not processed";
    EXPECT_EQ(Cell(2, 0), "Disabled");
    EXPECT_EQ(Cell(3, 0), "Done");
    EXPECT_EQ(Cell(3, 2), DigitsCrc);
    EXPECT_TRUE(ButtonsIdle());

    watched.counters.clear();
    DoubleClick(0);
    DoubleClick(3);
    DoubleClick(1);
    RunToTheEnd(IDC_PROCESS_ALL);
    EXPECT_EQ(watched.counters, (std::vector<std::string>{ "          " })) << "no Ready row";
}

TEST_F(Runs, BothBoxesUntickedOpenNothing)
{
    OpenWatchedWindow();
    AddFile(DigitsFile("a.txt"));
    SetBoxes(false, false);
    Select(0);
    RunToTheEnd(IDC_PROCESS);
    EXPECT_EQ(Cell(0, 0), "Ready");
    std::string status = ControlText(IDC_STATUS_TEXT);
    ASSERT_EQ(status.rfind("Duration : ", 0), 0u);
    EXPECT_LT(atof(status.c_str() + 11), 0.5);
    EXPECT_EQ(Cell(0, 2).find_first_not_of(' '), std::string::npos) << "padding for the missing CRC";
    EXPECT_FALSE(FileExists(Program.LastSessionLogPath));
}

TEST_F(Runs, UnchangedFileIsLoggedOnce)
{
    OpenWatchedWindow();
    std::string path = DigitsFile("same.txt");
    AddFile(path);
    SetBoxes(true, true);
    Select(0);
    RunToTheEnd(IDC_PROCESS);
    RunToTheEnd(IDC_PROCESS);
    EXPECT_EQ(LogLines(), 1);
    EXPECT_EQ(Cell(0, 2), std::string(DigitsCrc) + " *");

    // A changed file is logged again and its size refreshed.
    WriteWholeFile(path, "abc");
    RunToTheEnd(IDC_PROCESS);
    EXPECT_EQ(LogLines(), 2);
    EXPECT_EQ(Cell(0, 4), "3");
    EXPECT_EQ(RowEntry(List(), 0)->Size, 3u);
}

TEST_F(Runs, CrcOnlyThenMd5OnlyKeepsTheCrcAndLogsTheMd5)
{
    OpenWatchedWindow();
    std::string path = DigitsFile("two runs.txt");
    AddFile(path);
    Select(0);
    SetBoxes(true, false);
    RunToTheEnd(IDC_PROCESS);
    EXPECT_EQ(Cell(0, 2), DigitsCrc);
    SetBoxes(false, true);
    RunToTheEnd(IDC_PROCESS);
    EXPECT_EQ(Cell(0, 2), std::string(DigitsCrc) + " *");
    EXPECT_EQ(ControlText(IDC_RESULT), path + "\r\nMD5 : " + Lower(DigitsMd5));
    ASSERT_EQ(LogLines(), 2);
    std::string second = Log().substr(Log().find("\r\n") + 2);
    EXPECT_EQ(second.substr(64, 16), "    ########    ");
    EXPECT_EQ(second.substr(116, 36), "    " + Lower(DigitsMd5));
}

TEST_F(Runs, Md5OnlyOnANewFilePadsTheCrcPlace)
{
    OpenWatchedWindow();
    std::string path = DigitsFile("md5 only.txt");
    AddFile(path);
    Select(0);
    SetBoxes(false, true);
    RunToTheEnd(IDC_PROCESS);
    std::string column = Cell(0, 2);
    ASSERT_GE(column.size(), 3u);
    EXPECT_EQ(column.substr(column.size() - 2), " *");
    EXPECT_EQ(column.find_first_not_of(' '), column.size() - 1);
    HWND list = List();
    int padWidth = (int)SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, (LPARAM)column.substr(0, column.size() - 2).c_str());
    EXPECT_GE(padWidth, (int)SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, (LPARAM) "00000000"));
    EXPECT_EQ(ControlText(IDC_RESULT), path + "\r\nMD5 : " + Lower(DigitsMd5));
}

TEST_F(Runs, LetterCaseOfEachChecksumFollowsItsOption)
{
    OpenWatchedWindow();
    std::string path = DigitsFile("case.txt");
    AddFile(path);
    Select(0);
    SetBoxes(true, true);
    Settings.DisplayCRC32Lower = 1;
    Settings.DisplayMD5Lower = 0;
    RunToTheEnd(IDC_PROCESS);
    EXPECT_EQ(ControlText(IDC_RESULT),
              path + "\r\nCRC : " + Lower(DigitsCrc) + "\tMD5 : " + DigitsMd5);
    EXPECT_EQ(Cell(0, 2), Lower(DigitsCrc) + " *");
    std::string log = Log();
    EXPECT_EQ(log.substr(68, 8), Lower(DigitsCrc));
    EXPECT_EQ(log.substr(120, 32), DigitsMd5);
}

TEST_F(Runs, DeletedFileGoesBackToReadyAndTheRunGoesOn)
{
    OpenWatchedWindow();
    std::string gone = DigitsFile("gone.txt");
    AddFile(gone);
    AddFile(DigitsFile("kept.txt"));
    Select(0);
    RunToTheEnd(IDC_PROCESS);
    ASSERT_EQ(Cell(0, 2), DigitsCrc);
    DoubleClick(0);
    DoubleClick(0);
    DeleteFileA(gone.c_str());
    RunToTheEnd(IDC_PROCESS_ALL);
    EXPECT_EQ(Cell(0, 0), "Ready");
    EXPECT_EQ(Cell(0, 2), DigitsCrc) << "the row keeps its texts";
    EXPECT_EQ(Cell(1, 0), "Done");
    EXPECT_EQ(RowEntry(List(), 0)->Duration, -1.0f);
}

namespace {

std::atomic<bool> CountingReads(false);
std::atomic<uint64_t> BytesRead(0);

size_t CountingRead(FILE *file, void *buffer, size_t size, bool *failed)
{
    size_t got = fread(buffer, 1, size, file);
    *failed = ferror(file) != 0;
    if (CountingReads)
        BytesRead += got;
    return got;
}

} // namespace

namespace {

// A program writing the file being read: each of the first Writes reads of
// it moves its last-write time on.
std::string WrittenPath;
std::atomic<int> Writes(0);

size_t ReadWhileWritten(FILE *file, void *buffer, size_t size, bool *failed)
{
    if (Writes > 0) {
        Writes--;
        HANDLE handle = CreateFileA(WrittenPath.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        now.dwHighDateTime += Writes + 1;
        SetFileTime(handle, nullptr, nullptr, &now);
        CloseHandle(handle);
    }
    return CountingRead(file, buffer, size, failed);
}

} // namespace

TEST_F(Runs, FileWrittenWhileReadIsReadAgainAndNeverRecordedMixed)
{
    HashReadFn kept = HashRead;
    HashRead = ReadWhileWritten;
    OpenWatchedWindow();
    WrittenPath = DigitsFile("written.txt");
    AddFile(WrittenPath);
    SetBoxes(true, true);
    Select(0);
    Writes = 1;
    RunToTheEnd(IDC_PROCESS);
    EXPECT_EQ(Cell(0, 0), "Done") << "read again once it was still";
    EXPECT_EQ(LogLines(), 1);

    // Written during both readings: nothing judged, nothing logged.
    WriteWholeFile(WrittenPath, "abc");
    Writes = 2;
    RunToTheEnd(IDC_PROCESS);
    HashRead = kept;
    EXPECT_EQ(Cell(0, 0), "Ready");
    EXPECT_EQ(Cell(0, 2), std::string(DigitsCrc) + " *") << "a checksum of mixed contents was shown";
    EXPECT_EQ(LogLines(), 1) << "a checksum of mixed contents was logged";
}

TEST_F(Runs, CancelDuringTheThirdFileStopsTheRestAtTheirFirstPoll)
{
    HashReadFn kept = HashRead;
    HashRead = CountingRead;
    CountingReads = false;
    BytesRead = 0;
    OpenWatchedWindow();
    RecordTaskbar(true);
    const size_t big = 24 << 20;
    AddFile(MakeFile("big1.bin", big));
    AddFile(MakeFile("big2.bin", big));
    AddFile(MakeFile("big3.bin", big));
    AddFile(MakeFile("big4.bin", big));
    AddFile(MakeFile("small.bin", 100));
    AddFile(MakeFile("big5.bin", big));
    size_t cancelAt = 0;
    watched.onCounter = [&](const std::string &counter) {
        if (counter == "3/6    ") {
            cancelAt = watched.positions.size();
            Command(IDC_PROCESS_ALL);
            Command(IDC_PROCESS_ALL);   // a second press changes nothing
        }
        CountingReads = counter == "4/6    " || CountingReads;
    };
    RunToTheEnd(IDC_PROCESS_ALL);
    HashRead = kept;
    ASSERT_GT(cancelAt, 0u);
    // Each cancelled file reads what a 4096-byte reader reads up to its
    // first poll (62 chunks of a 24 MiB file), not a whole read block.
    EXPECT_EQ(BytesRead, 2u * 62 * 4096 + 100);
    const char *statuses[] = { "Done", "Done", "Ready", "Ready", "Done", "Ready" };
    for (int row = 0; row < 6; row++)
        EXPECT_EQ(Cell(row, 0), statuses[row]) << "row " << row;
    // From the cancel on, the bar stays at 0: the third file stops at its
    // next poll, the fourth and sixth at their first, the small one has none.
    int fourthAndLater = 0;
    for (size_t i = cancelAt; i < watched.positions.size(); i++) {
        EXPECT_EQ(watched.positions[i], 0) << "position " << i;
        if (watched.positionCounter[i] >= 4)
            fourthAndLater++;
    }
    EXPECT_EQ(fourthAndLater, 2 + 1 + 2) << "first poll and final call of each cancelled file";
    EXPECT_EQ(TaskbarSeen, TaskbarOfTheBar()) << "at 0 from the cancel on, then cleared";
    EXPECT_EQ(LogLines(), 3);
    EXPECT_TRUE(ButtonsIdle());
}

TEST_F(Runs, RowsAddedDuringProcessAllAreProcessedToo)
{
    OpenWatchedWindow();
    AddFile(DigitsFile("first.txt"));
    AddFile(DigitsFile("second.txt"));
    std::string late = DigitsFile("late.txt");
    watched.onCounter = [&](const std::string &counter) {
        if (counter == "1/2    ")
            AddFile(late);
    };
    RunToTheEnd(IDC_PROCESS_ALL);
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(Cell(2, 0), "Done");
    EXPECT_EQ(watched.counters[2], "3/2    ") << "the total is not counted again";
}

namespace {

// Reads of a file the worker is on wait, once HoldReads is set, until the
// run has been asked to end, so that the run cannot finish that file first
// however fast the machine is.
std::atomic<bool> HoldReads(false);

size_t ReadUntilCancelled(FILE *file, void *buffer, size_t size, bool *failed)
{
    for (int waited = 0; HoldReads && ReadRunState() == RUN_RUNNING && waited < 30000; waited += 5)
        Sleep(5);
    return CountingRead(file, buffer, size, failed);
}

} // namespace

HashReadFn Runs::OpenHeldRun(const std::string &name, int count)
{
    HashReadFn kept = HashRead;
    HashRead = ReadUntilCancelled;
    HoldReads = false;
    RunHelperCount = 0;
    OpenWatchedWindow();
    for (int i = 0; i < count; i++)
        AddFile(MakeFile(name + std::to_string(i) + ".bin", 16 << 20));
    return kept;
}

TEST_F(Runs, ClosingDuringARunWaitsForTheWorker)
{
    HashReadFn kept = OpenHeldRun("close", 4);
    watched.onCounter = [&](const std::string &counter) {
        if (counter == "2/4    ") {
            HoldReads = true;
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
    };
    RunToTheEnd(IDC_PROCESS_ALL);
    HashRead = kept;
    EXPECT_EQ(MainWnd.RunThread, nullptr);
    EXPECT_EQ(ReadRunState(), RUN_IDLE);
    EXPECT_EQ(HashAheadLiveHelpers(), 0) << "no helper outlives the run";
    EXPECT_FALSE(IsWindowVisible(window)) << "the window ended once the run had";
    EXPECT_EQ(Cell(0, 0), "Done");
    EXPECT_EQ(Cell(1, 0), "Ready") << "cancelled";
    EXPECT_EQ(LogLines(), 1) << "results recorded before the close stay recorded";
}

TEST_F(Runs, LanguageSwitchDuringARunEndsTheRunFirst)
{
    HashReadFn kept = OpenHeldRun("switch", 3);
    watched.onCounter = [&](const std::string &counter) {
        if (counter == "2/3    ") {
            HoldReads = true;
            WhenWindowOpens("Zunta Calculator Options", [](HWND options) {
                SendDlgItemMessageA(options, IDC_LANGUAGE, CB_SETCURSEL, 1, 0);
                SendMessageA(options, WM_COMMAND, IDOK, 0);
            });
            PostMessageA(window, WM_COMMAND, IDC_OPTIONS, 0);
        }
    };
    RunToTheEnd(IDC_PROCESS_ALL);
    HashRead = kept;
    EXPECT_EQ(MainWnd.RunThread, nullptr);
    EXPECT_EQ(HashAheadLiveHelpers(), 0) << "no helper outlives the run";
    ASSERT_NE(MainWnd.RowSnapshot, nullptr);
    DestroyMainWindow();
    OpenWindow();
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(Cell(0, 0), "Fini");
    EXPECT_EQ(Cell(1, 0), "Pr\xC3\xAAt") << "the cancelled row is Ready again, not Disabled";
    EXPECT_EQ(Cell(2, 0), "Pr\xC3\xAAt");
}

TEST_F(Runs, WorkerThatCannotStartGivesTheButtonsBack)
{
    OpenWatchedWindow();
    AddFile(DigitsFile("a.txt"));
    Select(0);
    CreateRunThread = NoThread;
    Command(IDC_PROCESS_ALL);
    EXPECT_TRUE(ButtonsIdle());
    EXPECT_EQ(MainWnd.RunThread, nullptr);
    EXPECT_EQ(Cell(0, 0), "Ready");
    CreateRunThread = CreateThread;
    RunToTheEnd(IDC_PROCESS_ALL);
    EXPECT_EQ(Cell(0, 0), "Done");
}

TEST_F(Runs, RunButtonPressedAsTheWorkerEndsStartsNothing)
{
    OpenWatchedWindow();
    AddFile(DigitsFile("a.txt"));
    EndingEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    WorkersStarted = 0;
    CreateRunThread = StartHeldWorker;
    Command(IDC_PROCESS_ALL);
    ASSERT_TRUE(PumpUntil([] { return ReadRunState() == RUN_IDLE; }));

    // The user's "Cancel" lands after the worker has left the run.
    Command(IDC_PROCESS_ALL);
    EXPECT_EQ(WorkersStarted, 1);
    EXPECT_EQ(ControlText(IDC_PROCESS_ALL), "&Cancel");
    EXPECT_EQ(ReadRunState(), RUN_IDLE);

    SetEvent(EndingEvent);
    WaitForTheWorker();
    CloseHandle(EndingEvent);
    EXPECT_TRUE(ButtonsIdle());
    CreateRunThread = CreateThread;
    RunToTheEnd(IDC_PROCESS_ALL);
    EXPECT_EQ(Cell(0, 0), "Done");
}

TEST_F(Runs, RowCommandsWaitWhileARunGoes)
{
    OpenWatchedWindow();
    AddFile(MakeFile("slow.bin", 24 << 20));
    AddFile(DigitsFile("b.txt"));
    bool checked = false;
    watched.onCounter = [&](const std::string &counter) {
        if (counter != "1/2    ")
            return;
        checked = true;
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_CLEAR_ALL)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_PROCESS)));
        EXPECT_EQ(ControlText(IDC_PROCESS_ALL), "&Cancel");
        Command(IDC_CLEAR_ALL);
        EXPECT_EQ(Rows(), 2);
    };
    RunToTheEnd(IDC_PROCESS_ALL);
    EXPECT_TRUE(checked);
    EXPECT_EQ(Cell(1, 0), "Done");
}

TEST_F(Runs, ResultShownDuringARunIsNeverHalfWritten)
{
    OpenWatchedWindow();
    std::string path = MakeFile("shown.bin", 8 << 20);
    AddFile(path);
    Select(0);
    SetBoxes(false, true);
    FileEntry *entry = RowEntry(List(), 0);
    // While the worker runs, the window holds the entry lock most of the
    // time, also while it carries out the messages the worker sends (the
    // worker writes its results right after one of them): a result written
    // without the lock would change under it. Each run writes the MD5 in
    // the other letter case, so every write shows.
    int held = 0, changedUnderTheLock = 0, torn = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 1, nullptr);
    for (int run = 0; run < 12; run++) {
        Settings.DisplayMD5Lower = run % 2;
        Command(IDC_PROCESS);
        // A short run can have ended while the press was carried out.
        HANDLE worker = nullptr;
        DuplicateHandle(GetCurrentProcess(), MainWnd.RunThread, GetCurrentProcess(), &worker, SYNCHRONIZE, FALSE, 0);
        while (worker != nullptr && WaitForSingleObject(worker, 0) != WAIT_OBJECT_0) {
            LockEntryResults();
            std::string before = entry->Md5Text;
            for (int i = 0; i < 3; i++) {
                MSG message;
                while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                    DispatchMessageA(&message);
                Sleep(1);
            }
            std::string after = entry->Md5Text;
            UnlockEntryResults();
            held++;
            changedUnderTheLock += before != after;

            // And the box the user sees, as clicks on the row would show it.
            ShowEntryResult(entry);
            std::string text = ControlText(IDC_RESULT);
            size_t at = text.find("MD5 : ");
            if (at != std::string::npos) {
                std::string md5 = text.substr(at + 6);
                bool oneCase = md5 == Lower(md5) || md5 == Upper(md5);
                torn += md5.size() != 32 || !oneCase;
            }
        }
        if (worker != nullptr)
            CloseHandle(worker);
        Pump();
    }
    KillTimer(nullptr, timer);
    EXPECT_GT(held, 12);
    EXPECT_EQ(changedUnderTheLock, 0) << "the worker wrote a result while the window held the lock";
    EXPECT_EQ(torn, 0);
}

namespace {

// Every status a row is given, in order, and what MSG_RUN_FINISHED found.
std::vector<std::string> StatusesSeen;
int HelpersAtTheEnd = -1;
WNDPROC ListProc, WindowProc;

LRESULT CALLBACK StatusProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == LVM_SETITEMTEXTA && ((const LVITEMA *)lParam)->iSubItem == 0)
        StatusesSeen.push_back(std::to_string(wParam) + " " + ((const LVITEMA *)lParam)->pszText);
    return CallWindowProcA(ListProc, list, message, wParam, lParam);
}

LRESULT CALLBACK RunEndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == MSG_RUN_FINISHED)
        HelpersAtTheEnd = HashAheadLiveHelpers();
    return CallWindowProcA(WindowProc, window, message, wParam, lParam);
}

bool PenaltyEverywhere(const char *)
{
    return true;
}

// What a user sees and what is recorded, after a run.
struct Seen {
    std::vector<std::string> statuses, counters, crcColumn;
    std::string result, log;
    bool operator==(const Seen &o) const
    {
        return statuses == o.statuses && counters == o.counters && crcColumn == o.crcColumn && result == o.result &&
               log == o.log;
    }
};

} // namespace

class RunsWithHelpers : public Runs {
protected:
    void TearDown() override
    {
        RunHelperCount = -1;
        DriveHasSeekPenalty = AskDriveSeekPenalty;
        Runs::TearDown();
    }
    void WatchStatusesAndTheEnd()
    {
        StatusesSeen.clear();
        HelpersAtTheEnd = -1;
        ListProc = (WNDPROC)SetWindowLongPtrA(List(), GWLP_WNDPROC, (LONG_PTR)StatusProc);
        WindowProc = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)RunEndProc);
    }
    // A fresh window and list, as at a start.
    void Restart()
    {
        DestroyMainWindow();
        FileListRelease(&Files);
        FileListInit(&Files, 32);
        memset(Files.Items, 0, 32 * sizeof Files.Items[0]);
        DeleteFileA(Program.LastSessionLogPath);
        watched = Watched();
        OpenWatchedWindow();
        WatchStatusesAndTheEnd();
    }
};

TEST_F(RunsWithHelpers, EverythingSeenAndLoggedIsTheSameWithAndWithoutHelpers)
{
    const size_t sizes[] = { 0, 1, 4095, 4096, 4097, 3 << 20, 100, 5 << 20, 4096, 7, 2 << 20 };
    std::vector<std::string> paths;
    for (size_t i = 0; i < sizeof sizes / sizeof sizes[0]; i++)
        paths.push_back(MakeFile("mixed" + std::to_string(i) + ".bin", sizes[i], (char)('a' + i)));
    std::string late = MakeFile("late.bin", 4 << 20, 'L');
    Seen first;
    for (int helpers : { 0, 1, 3 }) {
        SCOPED_TRACE(std::to_string(helpers) + " helpers");
        RunHelperCount = helpers;
        Restart();
        for (const std::string &path : paths)
            AddFile(path);
        DoubleClick(2);
        DoubleClick(6);
        Select(8);
        SetBoxes(true, true);
        watched.onCounter = [&](const std::string &counter) {
            if (counter == "3/9    ")
                AddFile(late);
        };
        RunToTheEnd(IDC_PROCESS_ALL);
        EXPECT_EQ(HelpersAtTheEnd, 0) << "no helper outlives the run";
        Seen seen;
        seen.statuses = StatusesSeen;
        seen.counters = watched.counters;
        for (int row = 0; row < Rows(); row++)
            seen.crcColumn.push_back(Cell(row, 2));
        seen.result = ControlText(IDC_RESULT);
        seen.log = Log();
        EXPECT_EQ(Rows(), 12);
        EXPECT_EQ(LogLines(), 10);
        EXPECT_EQ(HashAheadJobsBegun() > 0, helpers > 0) << "helpers hashed ahead";
        if (helpers == 0)
            first = seen;
        else
            EXPECT_TRUE(seen == first) << "statuses, counters, column 2, result box and log as without helpers";
    }
}

TEST_F(RunsWithHelpers, CancelWithHelpersAheadRecordsNothingAfterIt)
{
    RunHelperCount = 3;
    Restart();
    for (int i = 0; i < 6; i++)
        AddFile(MakeFile("ahead" + std::to_string(i) + ".bin", 24 << 20, (char)('a' + i)));
    SetBoxes(true, true);
    int begunAtTheCancel = -1;
    watched.onCounter = [&](const std::string &counter) {
        if (counter == "2/6    ") {
            begunAtTheCancel = HashAheadJobsBegun();
            Command(IDC_PROCESS_ALL);
        }
    };
    RunToTheEnd(IDC_PROCESS_ALL);
    EXPECT_GE(begunAtTheCancel, 1) << "helpers were hashing ahead";
    EXPECT_EQ(Cell(0, 0), "Done");
    for (int row = 1; row < 6; row++)
        EXPECT_EQ(Cell(row, 0), "Ready") << "row " << row;
    EXPECT_EQ(LogLines(), 1) << "nothing recorded after the cancel";
    EXPECT_EQ(HelpersAtTheEnd, 0) << "every helper has ended when the run's end arrives";
}

TEST_F(RunsWithHelpers, FilesOfADriveWithASeekPenaltyAreReadByTheWorkerAlone)
{
    RunHelperCount = 3;
    DriveHasSeekPenalty = PenaltyEverywhere;
    Restart();
    for (int i = 0; i < 4; i++)
        AddFile(MakeFile("spinning" + std::to_string(i) + ".bin", 1 << 20, (char)('a' + i)));
    RunToTheEnd(IDC_PROCESS_ALL);
    EXPECT_EQ(HashAheadJobsBegun(), 0);
    EXPECT_EQ(LogLines(), 4);
}

namespace {

// The options chosen in French, posted while the worker's reads wait for
// the cancel that the switch brings.
void SwitchToFrenchWhileTheWorkerWaits()
{
    HoldReads = true;
    WhenWindowOpens("Zunta Calculator Options", [](HWND options) {
        SendDlgItemMessageA(options, IDC_LANGUAGE, CB_SETCURSEL, 1, 0);
        SendMessageA(options, WM_COMMAND, IDOK, 0);
    });
    PostMessageA(MainWnd.Window, WM_COMMAND, IDC_OPTIONS, 0);
}

// What a user finds once a run has ended: every cell, the result box and the log.
struct EndState {
    std::vector<std::string> cells;
    std::string result, log;
};

} // namespace

TEST_F(RunsWithHelpers, BatchedRunsEndAsRunsShownOneChangeAtATime)
{
    // Small files go in batches, big ones are shown before they are read:
    // a row is added at the last file's counter, the run ends at a big one's.
    const size_t sizes[] = { 100, 7, 4096, 2 << 20, 1, 50, 3 << 20, 9, 4097 };
    for (size_t i = 0; i < sizeof sizes / sizeof sizes[0]; i++)
        MakeFile("end" + std::to_string(i) + ".bin", sizes[i], (char)('a' + i));
    std::string late = MakeFile("late.bin", 5, 'L');
    for (bool switchLanguage : { false, true }) {
        EndState shownAtOnce;
        for (DWORD every : { 0u, 30u }) {
            SCOPED_TRACE(std::string(switchLanguage ? "language switch" : "cancel") + ", shown every " +
                         std::to_string(every) + " ms");
            RunShowEvery = every;
            RunHelperCount = switchLanguage ? 0 : 1;    // helpers would read on until the posted switch comes
            HashReadFn kept = HashRead;
            HashRead = ReadUntilCancelled;
            HoldReads = false;
            Restart();
            for (size_t i = 0; i < sizeof sizes / sizeof sizes[0]; i++)
                AddFile(folder + "\\end" + std::to_string(i) + ".bin");
            DoubleClick(4);
            Select(5);
            SetBoxes(true, true);
            watched.onCounter = [&](const std::string &counter) {
                if (counter == "8/8    ")
                    AddFile(late);  // which may show more counters: counter is not read after it
                else if (counter != "6/8    ")
                    return;
                else if (!switchLanguage)
                    Command(IDC_PROCESS_ALL);
                else
                    SwitchToFrenchWhileTheWorkerWaits();
            };
            RunToTheEnd(IDC_PROCESS_ALL);
            HashRead = kept;
            EndState state;
            if (switchLanguage) {
                ASSERT_NE(MainWnd.RowSnapshot, nullptr);
                DestroyMainWindow();
                OpenWindow();
            } else {
                state.result = ControlText(IDC_RESULT);
            }
            for (int row = 0; row < Rows(); row++)
                for (int column = 0; column < 5; column++)
                    state.cells.push_back(Cell(row, column));
            state.log = Log();
            EXPECT_EQ(Rows(), 10);
            if (every == 0) {
                shownAtOnce = state;
            } else {
                EXPECT_EQ(state.cells, shownAtOnce.cells);
                EXPECT_EQ(state.result, shownAtOnce.result);
                EXPECT_EQ(state.log, shownAtOnce.log);
            }
            SelectLanguageTable(LANGUAGE_ID_ENGLISH);
            Settings.LanguageId = LANGUAGE_ID_ENGLISH;
        }
    }
    RunShowEvery = 30;
}
