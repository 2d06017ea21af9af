// The list's context menu and its shortcuts in the real window: which items
// can act in each state, the copies, the comparison with the clipboard, and
// the verification of a checksum file with awkward names.
#include "base/lang.h"
#include "base/program.h"
#include "base/settings.h"
#include "core/fileinfo.h"
#include "core/filelist.h"
#include "core/sessionlog.h"
#include "main_window_fixture.h"
#include "platform/codepage.h"
#include "platform/runlock.h"
#include "remote_window.h"
#include "resources/resource.h"
#include "ui/listmenu.h"
#include "ui/handoff.h"
#include "ui/listview.h"
#include "ui/mainwnd.h"
#include "ui/runs.h"
#include "ui/saveverify.h"
#include "win_support.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

const char DigitsCrc[] = "CBF43926";
const char DigitsMd5[] = "25f9e794323b453885f5181f1b624d0b";

class ListMenu : public MainWindowTest {
protected:
    void TearDown() override
    {
        ShellOpen = ShellExecuteA;
        MainWindowTest::TearDown();
    }
    std::string File(const std::string &relative, const std::string &bytes)
    {
        std::string path = folder + "\\" + relative;
        EXPECT_TRUE(WriteWholeFile(path, bytes));
        return path;
    }
    // The items of the menu as it would open now: enabled ones by id.
    std::map<int, bool> Enabled()
    {
        std::map<int, bool> enabled;
        HMENU menu = BuildListMenu(window);
        for (int id = IDM_COPY_CRC32; id <= IDM_COPY_SHA256; id++)
            enabled[id] = !(GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
        DestroyMenu(menu);
        return enabled;
    }
    std::vector<int> EnabledIds()
    {
        std::vector<int> ids;
        for (const auto &item : Enabled())
            if (item.second)
                ids.push_back(item.first);
        return ids;
    }
    void SetBoxes(bool crc, bool md5)
    {
        CheckDlgButton(window, IDC_CALC_CRC32, crc ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(window, IDC_CALC_MD5, md5 ? BST_CHECKED : BST_UNCHECKED);
    }
    void WaitForTheRun()
    {
        EXPECT_TRUE(PumpUntil([] { return MainWnd.RunThread == nullptr && ReadRunState() == RUN_IDLE; }, 60000));
        Pump();
    }
    void Process(int row, bool crc, bool md5)
    {
        Click(row);
        SetBoxes(crc, md5);
        Command(IDC_PROCESS);
        WaitForTheRun();
    }
    std::string Clipboard()
    {
        char *text = TakeClipboardText(window);
        std::string copy = text ? text : "<none>";
        free(text);
        return copy;
    }
    int LogLines()
    {
        std::string log = ReadWholeFile(Program.LastSessionLogPath);
        int lines = 0;
        for (size_t at = 0; (at = log.find("\r\n", at)) != std::string::npos; at += 2)
            lines++;
        return lines;
    }
};

using Ids = std::vector<int>;

std::vector<std::string> ShellCalls;

HINSTANCE WINAPI RecordShell(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR, INT)
{
    ShellCalls.push_back(std::string(verb) + "|" + file + "|" + parameters);
    return (HINSTANCE)42;
}

} // namespace

TEST_F(ListMenu, ItemsAreEnabledWhenTheyCanAct)
{
    OpenWindow();
    EXPECT_EQ(EnabledIds(), Ids{ IDM_VERIFY_SUMS }) << "hint rows only";
    HMENU menu = BuildListMenu(window);
    char text[64] = "";
    GetMenuStringA(menu, IDM_COPY_RESULTS, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Copy all r&esults\tCtrl+Shift+C");
    DestroyMenu(menu);

    AddFile(File("a.txt", "123456789"));
    AddFile(File("b.txt", "b"));
    EXPECT_EQ(EnabledIds(), (Ids{ IDM_SAVE_SUMS, IDM_VERIFY_SUMS, IDM_CHECK_HISTORY }))
        << "no row selected, no result yet: a SHA-256 file computes what it needs";
    Process(0, true, false);
    Click(1);
    EXPECT_EQ(EnabledIds(), (Ids{ IDM_COPY_PATH, IDM_COPY_ROW, IDM_COPY_RESULTS, IDM_COMPARE, IDM_SAVE_SUMS,
                                  IDM_VERIFY_SUMS, IDM_OPEN_FOLDER, IDM_CHECK_HISTORY, IDM_COPY_SHA256 }))
        << "a row without a result";
    Click(0);
    EXPECT_EQ(EnabledIds(), (Ids{ IDM_COPY_CRC32, IDM_COPY_PATH, IDM_COPY_ROW, IDM_COPY_RESULTS, IDM_COMPARE,
                                  IDM_SAVE_SUMS, IDM_VERIFY_SUMS, IDM_OPEN_FOLDER, IDM_CHECK_HISTORY,
                                  IDM_COPY_SHA256 }))
        << "a row with a CRC";
    RunState = RUN_RUNNING;
    EXPECT_EQ(EnabledIds(), (Ids{ IDM_COPY_CRC32, IDM_COPY_PATH, IDM_COPY_ROW, IDM_OPEN_FOLDER }))
        << "nothing that processes, adds or reads every entry during a run";
    RunState = RUN_IDLE;
}

TEST_F(ListMenu, CopiesAndTheirShortcuts)
{
    OpenWindow();
    std::string digits = File("digits.txt", "123456789");
    AddFile(digits);
    AddFile(File("none.txt", "n"));
    AddFile(File("crc only.txt", "123456789"));
    Process(0, true, true);
    Process(2, true, false);

    Click(0);
    ControlKey(List(), 'C');
    EXPECT_EQ(Clipboard(), std::string("digits.txt  ") + DigitsCrc + "  " + DigitsMd5) << "Ctrl+C: the row's line";
    HWND result = GetDlgItem(window, IDC_RESULT);
    ControlKey(result, 'C', true);
    EXPECT_EQ(Clipboard(), std::string("digits.txt  ") + DigitsCrc + "  " + DigitsMd5 + "\r\ncrc only.txt  " +
                               DigitsCrc + "\r\n")
        << "Ctrl+Shift+C anywhere: every row with a result";
    PutClipboardText(window, "kept");
    ControlKey(result, 'C');
    EXPECT_EQ(Clipboard(), "kept") << "Ctrl+C in the result box is the box's own";

    Settings.DisplayCRC32Lower = 1;
    Settings.DisplayMD5Lower = 0;
    Command(IDM_COPY_CRC32);
    EXPECT_EQ(Clipboard(), "cbf43926");
    Settings.DisplayMD5Lower = 0;
    Command(IDM_COPY_MD5);
    EXPECT_EQ(Clipboard(), DigitsMd5) << "as the result box shows it: in the case it was made in";
    Command(IDM_COPY_PATH);
    EXPECT_EQ(Clipboard(), digits);

    ShellOpen = RecordShell;
    ShellCalls.clear();
    Command(IDM_OPEN_FOLDER);
    EXPECT_EQ(ShellCalls, std::vector<std::string>{ "open|explorer.exe|/select,\"" + digits + "\"" });

    // Not while another window of the program is up.
    bool saveOpened = false;
    WhenWindowOpens("Save checksum file", [&](HWND dialog) {
        saveOpened = true;
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    WhenWindowOpens("Zunta Calculator Options", [&](HWND options) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        SendMessageA(options, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(options, IDC_LANGUAGE), TRUE);
        PostMessageA(GetDlgItem(options, IDC_LANGUAGE), WM_KEYDOWN, 'S', 1);
        PostMessageA(options, WM_COMMAND, IDCANCEL, 0);
    });
    Command(IDC_OPTIONS);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_FALSE(saveOpened) << "Ctrl+S in the options dialog";
    ForgetPendingWindows();

    // Ctrl+S and Ctrl+O open their dialogs from anywhere in the window.
    for (const char *title : { "Save checksum file", "Verify checksum file" }) {
        bool opened = false;
        WhenWindowOpens(title, [&](HWND dialog) {
            opened = true;
            EXPECT_FALSE(IsWindowEnabled(window)) << title << ": owned by the main window";
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        ControlKey(GetDlgItem(window, IDC_ADD_FILES), title[0] == 'S' ? 'S' : 'O');
        EXPECT_TRUE(opened) << title;
    }
}

TEST_F(ListMenu, CompareWithTheClipboard)
{
    OpenWindow();
    AddFile(File("digits.txt", "123456789"));
    SetBoxes(false, false);
    Click(0);
    struct Answer {
        std::string text;
        HICON icon;
    };
    // A null text leaves the clipboard empty.
    auto compare = [&](const char *clipboard, bool byKey = false) {
        Answer answer = {};
        if (clipboard != nullptr) {
            PutClipboardText(window, clipboard);
        } else if (OpenClipboard(window)) {
            EmptyClipboard();
            CloseClipboard();
        }
        AnswerMessageBox("Compare with clipboard", [&](HWND box, const std::string &text) {
            answer.text = text;
            // The icon's control: 20 in Windows' message box, 1088 in Wine's.
            for (int id : { 20, 1088 })
                if (GetDlgItem(box, id))
                    answer.icon = (HICON)SendDlgItemMessageA(box, id, STM_GETICON, 0, 0);
        });
        if (byKey)
            ControlKey(List(), 'V');
        else
            Command(IDM_COMPARE);
        PumpUntil([&] { return !answer.text.empty(); });
        ForgetPendingWindows();
        return answer;
    };
    HICON information = LoadIconA(nullptr, IDI_INFORMATION), warning = LoadIconA(nullptr, IDI_WARNING);

    Answer answer = compare("no checksum here");
    EXPECT_EQ(answer.text.rfind("The clipboard holds no checksum.", 0), 0u) << answer.text;

    // Not computed yet: a run of that row computes it, whatever the boxes say.
    answer = compare(" 0xcbf43926\r\n");
    EXPECT_EQ(answer.text, std::string("MATCH\r\n\r\ndigits.txt\r\nCRC32 : ") + DigitsCrc + "\r\n");
    EXPECT_EQ(answer.icon, information);
    EXPECT_EQ(Cell(0, 0), "Ready") << "a comparison adds checksums, it processes nothing";
    EXPECT_EQ(Cell(0, 2), DigitsCrc);
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_CALC_CRC32), BST_UNCHECKED) << "the boxes stay as they are";
    EXPECT_EQ(LogLines(), 1) << "recorded as any run's result";

    answer = compare("00000000000000000000000000000000  digits.txt", true);
    EXPECT_EQ(answer.text, std::string("DOES NOT MATCH\r\n\r\ndigits.txt\r\n"
                                       "Expected MD5 : 00000000000000000000000000000000\r\n"
                                       "Computed MD5 : ") + DigitsMd5 + "\r\n");
    EXPECT_EQ(answer.icon, warning);
    EXPECT_EQ(Cell(0, 2), std::string(DigitsCrc) + " *");
    EXPECT_EQ(LogLines(), 2);

    // Known: compared at once, nothing processed again.
    answer = compare((std::string("digits.txt\r\nCRC : ") + DigitsCrc + "\tMD5 : " + DigitsMd5).c_str());
    EXPECT_EQ(answer.text, std::string("MATCH\r\n\r\ndigits.txt\r\nCRC32 : ") + DigitsCrc + "\r\nMD5 : " + DigitsMd5 +
                               "\r\n");
    EXPECT_EQ(LogLines(), 2);

    answer = compare(nullptr);
    EXPECT_EQ(answer.text.rfind("The clipboard holds no checksum.", 0), 0u) << "an empty clipboard";

    // A file that cannot be read says so.
    AddFile(File("gone.txt", "x"));
    DeleteFileA((folder + "\\gone.txt").c_str());
    Click(1);
    answer = compare(DigitsCrc);
    EXPECT_EQ(answer.text, "The file could not be read:\r\n" + folder + "\\gone.txt");
    EXPECT_EQ(Cell(1, 0), "Ready");
}

namespace {

// Answers the open or save dialog titled title with a typed name.
void ChooseInFileDialog(const char *title, const std::string &name)
{
    WhenWindowOpens(title, [name](HWND dialog) { TypeIntoOpenDialog(dialog, name); });
}

} // namespace

TEST_F(ListMenu, VerifyingAFileWithAwkwardNames)
{
    OpenWindow();
    CreateDirectoryA((folder + "\\sums").c_str(), nullptr);
    CreateDirectoryA((folder + "\\sums\\subdir").c_str(), nullptr);
    std::string spaced = File("sums\\with space.txt", "123456789");
    File("sums\\binary.txt", "abc");
    File("sums\\dot.txt", "123456789");
    File("up.txt", "123456789");
    File("sums\\changed.txt", "123456789");
    AddFile(spaced);
    DoubleClick(0);
    ASSERT_EQ(Cell(0, 0), "Disabled");
    std::string longName(300, 'L');
    // Every form in one text file, LF-only lines.
    File("sums\\list.txt", std::string("; made by hand\n") + DigitsMd5 + "  with space.txt\n" +
                               "900150983cd24fb0d6963f7d28e17f72 *binary.txt\n"
                               ".\\dot.txt CBF43926\n"
                               "../up.txt CBF43926\n"
                               "with space.txt CBF43926\n"
                               "subdir 12345678\n" +
                               longName + " 12345678\n"
                               "missing.txt 12345678\n"
                               "changed.txt 00000000\n"
                               "this line is not understood\n");
    std::string summary;
    RecordTaskbar(true);
    ChooseInFileDialog("Verify checksum file", folder + "\\sums\\list.txt");
    AnswerMessageBox("Verification", [&](HWND, const std::string &text) { summary = text; TaskbarSeen.push_back("summary"); });
    Command(IDM_VERIFY_SUMS);
    PumpUntil([&] { return !summary.empty(); });
    ForgetPendingWindows();
    ASSERT_GE(TaskbarSeen.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(TaskbarSeen.end() - 7, TaskbarSeen.end()),
              (std::vector<std::string>{ "NONE", "bar ERROR", "ERROR", "100", "summary", "bar NORMAL", "NONE" }))
        << "red while the summary of failed files waits";

    // A file listed twice counts once; a name that climbs out of the folder
    // is never opened.
    EXPECT_EQ(summary, "Verified 7 files: 3 OK, 1 FAILED, 3 missing\r\n\r\nFAILED:\r\nchanged.txt\r\n\r\n"
                       "Missing:\r\nsubdir\r\n" + longName + "\r\nmissing.txt\r\n\r\n"
                       "Not opened, outside the checksum file's folder: 1\r\n../up.txt\r\n\r\n"
                       "1 line not understood (line 11)");
    std::vector<std::string> names, statuses;
    for (int row = 0; row < Rows(); row++) {
        names.push_back(Cell(row, 1));
        statuses.push_back(Cell(row, 0));
    }
    EXPECT_EQ(names, (std::vector<std::string>{ "with space.txt", "binary.txt", "dot.txt", "changed.txt" }))
        << "a listed row is reused, the others added once each";
    EXPECT_EQ(statuses, (std::vector<std::string>{ "Done", "Done", "Done", "Error" }));
    EXPECT_EQ(Cell(0, 2), std::string(DigitsCrc) + " *") << "both checksums the file lists";
    EXPECT_EQ(SelectionMark(), 3) << "the first failed row is selected";
    std::string shown = ControlText(IDC_RESULT);
    EXPECT_EQ(shown.substr(shown.find("\r\n")), std::string("\r\nCRC : ") + DigitsCrc + "\r\nExpected : 00000000");

    // The expectation stays with the row until it is processed again.
    Click(0);
    Click(3);
    EXPECT_NE(ControlText(IDC_RESULT).find("Expected : 00000000"), std::string::npos);
    SetBoxes(true, false);
    Command(IDC_PROCESS);
    WaitForTheRun();
    EXPECT_EQ(ControlText(IDC_RESULT).find("Expected"), std::string::npos);
}

TEST_F(ListMenu, AFileListedByNameAndByFullPathHasOneRow)
{
    OpenWindow();
    std::string path = File("a.txt", "123456789");
    File("list.sfv", "a.txt CBF43926\r\n" + path + " CBF43926\r\n");
    std::string summary;
    ChooseInFileDialog("Verify checksum file", folder + "\\list.sfv");
    RecordTaskbar(true);
    AnswerMessageBox(
        "Verification",
        [&](HWND, const std::string &) {
            TaskbarSeen.push_back("question");
            AnswerMessageBox("Verification", [&](HWND, const std::string &text) { summary = text; });
        },
        IDYES);     // the full path verified too
    Command(IDM_VERIFY_SUMS);
    EXPECT_TRUE(PumpUntil([&] { return !summary.empty(); })) << "no summary";
    ForgetPendingWindows();
    EXPECT_EQ(Rows(), 1) << summary;
    EXPECT_EQ(summary, "Verified 1 file: 1 OK, 0 FAILED, 0 missing") << "one file, counted once";
    const std::vector<std::string> paused = { "bar PAUSED", "PAUSED", "question", "bar NORMAL", "NORMAL" };
    EXPECT_NE(std::search(TaskbarSeen.begin(), TaskbarSeen.end(), paused.begin(), paused.end()), TaskbarSeen.end())
        << testing::PrintToString(TaskbarSeen);
    EXPECT_EQ(std::count(TaskbarSeen.begin(), TaskbarSeen.end(), "ERROR"), 0) << "a clean end is never red";
    EXPECT_EQ(Cell(0, 0), "Done");
}

TEST_F(ListMenu, CancelDuringTheLookUpsOfAVerification)
{
    OpenWindow();
    File("here.txt", "123456789");
    std::string listing = "here.txt CBF43926\r\n";
    for (int i = 0; i < 200; i++)
        listing += "gone" + std::to_string(i) + ".txt CBF43926\r\n";
    File("list.sfv", listing);
    std::string summary;
    ChooseInFileDialog("Verify checksum file", folder + "\\list.sfv");
    AnswerMessageBox("Verification", [&](HWND, const std::string &text) { summary = text; });
    WatchProgressBar(true);
    Command(IDM_VERIFY_SUMS);
    EXPECT_TRUE(PumpUntil([&] { return !summary.empty(); })) << "no summary";
    ForgetPendingWindows();
    EXPECT_FALSE(CancelAtFirstProgress) << "the look-ups moved no bar";
    EXPECT_EQ(summary.substr(0, summary.find("\r\n")), "Verification cancelled after 0 of 201 files.") << summary;
    EXPECT_TRUE(MainWnd.NoFileRows) << "no row for a file looked up before the cancel";
    EXPECT_EQ(ControlText(IDC_PROCESS_ALL), "Process A&ll");
}

TEST_F(ListMenu, ALargeChecksumFileIsReadOnTheRunsThreadAndStopsAtACancelOrItsBounds)
{
    OpenWindow();
    AddFile(File("kept.txt", "123456789"));
    // Names outside the folder only: nothing to look up, the work is the
    // read; 800,000 distinct names in 18 MB, more than its plan may hold.
    std::string listing;
    for (int i = 0; i < 800000; i++)
        listing += "../f" + std::to_string(i) + ".bin CBF43926\r\n";
    File("list.sfv", listing);
    for (bool cancel : { true, false }) {
        std::string said;
        ChooseInFileDialog("Verify checksum file", folder + "\\list.sfv");
        AnswerMessageBox("Verification", [&](HWND, const std::string &text) { said = text; });
        WatchProgressBar(cancel);
        Command(IDM_VERIFY_SUMS);
        EXPECT_TRUE(PumpUntil([] { return MainWnd.RunThread == nullptr && ReadRunState() == RUN_IDLE; }, 60000));
        Pump();
        ForgetPendingWindows();
        if (cancel) {
            EXPECT_FALSE(CancelAtFirstProgress) << "the window's thread read the file: no bar moved, no cancel was heard";
            EXPECT_EQ(said, "") << "a verification cancelled before its files are known says nothing";
        } else {
            EXPECT_EQ(said, "The checksum file " + folder + "\\list.sfv lists too many files to be verified. "
                                                           "The list is as it was.");
        }
        EXPECT_EQ(Rows(), 1) << "the list as it was";
        EXPECT_EQ(Cell(0, 0), "Ready");
        EXPECT_EQ(ControlText(IDC_PROCESS_ALL), "Process A&ll");
    }
}

namespace {

UINT Legacy1252(void)
{
    return 1252;
}

} // namespace

TEST_F(ListMenu, AnOlderSystemSavesItsNamesInUtf8)
{
    OpenWindow();
    AddFile(File("caf\xC3\xA9.txt", "123456789"));
    Click(0);
    Command(IDC_PROCESS);
    WaitForTheRun();
    // The test program's names are UTF-8: a system in code page 1252 would
    // read each of their bytes as a character of its own.
    UINT (*before)(void) = LegacyCodePage;
    LegacyCodePage = Legacy1252;
    std::string summary;
    WhenWindowOpens("Save checksum file", [&](HWND dialog) {
        AnswerMessageBox("Save checksum file", [&](HWND, const std::string &text) { summary = text; });
        TypeIntoOpenDialog(dialog, folder + "\\sums.sfv");
    });
    Command(IDM_SAVE_SUMS);
    EXPECT_TRUE(PumpUntil([&] { return !summary.empty(); })) << "no summary";
    LegacyCodePage = before;
    std::string saved = ReadWholeFile(folder + "\\sums.sfv");
    EXPECT_NE(saved.find("\r\ncaf\xC3\x83\xC2\xA9.txt CBF43926\r\n"), std::string::npos) << saved;
}

TEST_F(ListMenu, AnOlderSystemReachesAChecksumFileItsCodePageCannotSpellByItsAlias)
{
    OpenWindow();
    std::string japanese = folder + "\\\xE6\x97\xA5\xE6\x9C\xAC";
    CreateDirectoryA(japanese.c_str(), nullptr);
    File("\xE6\x97\xA5\xE6\x9C\xAC\\a.txt", "123456789");
    File("\xE6\x97\xA5\xE6\x9C\xAC\\sums.sfv", "a.txt CBF43926\r\n");
    UINT (*before)(void) = LegacyCodePage;
    LegacyCodePage = Legacy1252;
    std::string summary;
    ChooseInFileDialog("Verify checksum file", japanese + "\\sums.sfv");
    AnswerMessageBox("Verification", [&](HWND, const std::string &text) { summary = text; });
    Command(IDM_VERIFY_SUMS);
    EXPECT_TRUE(PumpUntil([&] { return !summary.empty(); })) << "no summary";
    ForgetPendingWindows();
    LegacyCodePage = before;
    EXPECT_EQ(summary.substr(0, 21), "Verified 1 file: 1 OK") << summary;
    ASSERT_EQ(Rows(), 1);
    // A system in code page 1252 cannot hold these names but by the alias.
    std::string path = RowEntry(List(), 0)->Path;
    for (unsigned char c : path)
        EXPECT_LT(c, 0x80) << path;
}

namespace {

// Once the menu is on the screen, the window is taken with it drawn over,
// and the menu closed.
std::string MenuShot;
int MenuShotColours;

void CALLBACK CloseTheMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu == nullptr || !IsWindowVisible(menu))
        return;
    MenuShotColours = CaptureWindow(MainWnd.Window, MenuShot.c_str(), false);
    EndMenu();
}

} // namespace

TEST_F(ListMenu, WhatTheUserSeesInBothLanguages)
{
    for (uint16_t language : { (uint16_t)LANGUAGE_ID_ENGLISH, (uint16_t)LANGUAGE_ID_FRENCH }) {
        Settings.LanguageId = language;
        SelectLanguageTable(language);
        std::string suffix = language == LANGUAGE_ID_FRENCH ? "-french" : "-english";
        DestroyMainWindow();
        OpenWindow();
        AddFile(File("digits.txt", "123456789"));
        AddFile(File("other.txt", "other"));
        Process(0, true, true);

        // The menu, opened by a right click on the second row.
        RECT row = {};
        row.left = LVIR_LABEL;
        SendMessageA(List(), LVM_GETITEMRECT, 1, (LPARAM)&row);
        POINT at = { row.left + 10, (row.top + row.bottom) / 2 };
        ClientToScreen(List(), &at);
        MenuShot = "menu" + suffix;
        MenuShotColours = 0;
        UINT_PTR timer = SetTimer(nullptr, 0, 200, CloseTheMenu);
        SendMessageA(window, WM_CONTEXTMENU, (WPARAM)List(), MAKELPARAM(at.x, at.y));
        KillTimer(nullptr, timer);
        EXPECT_EQ(SelectionMark(), 1) << "the row right-clicked is selected first";
        EXPECT_GT(MenuShotColours, 10) << "the menu was seen";

        // From the keyboard: the menu key and Shift+F10 in the list.
        for (WORD key : { (WORD)VK_APPS, (WORD)VK_F10 }) {
            MenuShotColours = 0;
            timer = SetTimer(nullptr, 0, 100, CloseTheMenu);
            BYTE keys[256];
            GetKeyboardState(keys);
            keys[VK_SHIFT] = key == VK_F10 ? 0x80 : 0;
            SetKeyboardState(keys);
            SetFocus(List());
            PostMessageA(List(), key == VK_F10 ? WM_SYSKEYDOWN : WM_KEYUP, key, key == VK_F10 ? 0 : 0xC0000001);
            PumpUntil([] { return MenuShotColours > 0; }, 3000);
            keys[VK_SHIFT] = 0;
            SetKeyboardState(keys);
            KillTimer(nullptr, timer);
            EXPECT_GT(MenuShotColours, 0) << (key == VK_F10 ? "Shift+F10" : "the menu key");
        }

        // A match, a mismatch and a verification summary.
        Click(0);
        const char *title = language == LANGUAGE_ID_FRENCH ? "Comparer avec le presse-papiers" : "Compare with clipboard";
        for (const char *clipboard : { DigitsCrc, "00000000" }) {
            PutClipboardText(window, clipboard);
            std::string text;
            AnswerMessageBox(title, [&](HWND box, const std::string &seen) {
                text = seen;
                CaptureWindow(box, (std::string(clipboard[0] == '0' ? "no-match" : "match") + suffix).c_str(), false);
            });
            Command(IDM_COMPARE);
            ForgetPendingWindows();
            const char *first = clipboard[0] == '0' ? (language == LANGUAGE_ID_FRENCH ? "NE CORRESPOND PAS" : "DOES NOT MATCH")
                                                    : (language == LANGUAGE_ID_FRENCH ? "CORRESPOND" : "MATCH");
            EXPECT_EQ(text.substr(0, text.find("\r\n")), first);
        }
        // A SHA-256 the file has no value of yet: computed by a run, then
        // matched, and shown in the result box below the checksums.
        const std::string digitsSha256 = "15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225";
        PutClipboardText(window, ("sha256:" + digitsSha256).c_str());
        std::string shaAnswer;
        AnswerMessageBox(title, [&](HWND box, const std::string &seen) {
            shaAnswer = seen;
            CaptureWindow(box, ("match-sha256" + suffix).c_str(), false);
        });
        Command(IDM_COMPARE);
        PumpUntil([&] { return !shaAnswer.empty(); });
        ForgetPendingWindows();
        // In the letter case the MD5 is shown in.
        std::string upper = digitsSha256;
        if (Settings.DisplayMD5Lower != 1)
            for (char &c : upper)
                c = (char)toupper((unsigned char)c);
        EXPECT_EQ(shaAnswer, std::string(language == LANGUAGE_ID_FRENCH ? "CORRESPOND" : "MATCH") +
                                 "\r\n\r\ndigits.txt\r\nSHA-256 : " + upper + "\r\n");
        EXPECT_NE(ControlText(IDC_RESULT).find("\r\nSHA-256 : " + upper), std::string::npos) << ControlText(IDC_RESULT);
        CaptureWindow(window, ("result-sha256" + suffix).c_str());
        // The box's whole text, SHA line and all, compares as it is.
        PutClipboardText(window, ControlText(IDC_RESULT).c_str());
        shaAnswer.clear();
        AnswerMessageBox(title, [&](HWND, const std::string &seen) { shaAnswer = seen; });
        Command(IDM_COMPARE);
        PumpUntil([&] { return !shaAnswer.empty(); });
        ForgetPendingWindows();
        EXPECT_EQ(shaAnswer.rfind(language == LANGUAGE_ID_FRENCH ? "CORRESPOND\r\n" : "MATCH\r\n", 0), 0u) << shaAnswer;
        EXPECT_NE(shaAnswer.find("\r\nSHA-256 : " + upper + "\r\n"), std::string::npos) << shaAnswer;

        File("check.md5", std::string(DigitsMd5) + " *digits.txt\r\n00000000000000000000000000000000 *other.txt\r\n"
                          "00000000000000000000000000000000 *gone.txt\r\n");
        std::string summary;
        const char *verifyTitle = language == LANGUAGE_ID_FRENCH ? "V\xC3\xA9rifier un fichier de sommes de contr\xC3\xB4le"
                                                                 : "Verify checksum file";
        ChooseInFileDialog(verifyTitle, folder + "\\check.md5");
        AnswerMessageBox(language == LANGUAGE_ID_FRENCH ? "V\xC3\xA9rification" : "Verification", [&](HWND box, const std::string &seen) {
            summary = seen;
            CaptureWindow(box, ("verified" + suffix).c_str(), false);
        });
        Command(IDM_VERIFY_SUMS);
        PumpUntil([&] { return !summary.empty(); });
        ForgetPendingWindows();
        EXPECT_EQ(summary.substr(0, summary.find("\r\n")),
                  language == LANGUAGE_ID_FRENCH ? "3 fichiers v\xC3\xA9rifi\xC3\xA9s : 1 OK, 1 en \xC3\x89" "CHEC, 1 manquant"
                                                 : "Verified 3 files: 1 OK, 1 FAILED, 1 missing");
    }
}

TEST_F(ListMenu, VerifyHandedOverWaitsForTheRunGoingThenStarts)
{
    OpenWindow();
    File("a.txt", "123456789");
    std::string sums = File("sums.md5", std::string(DigitsMd5) + "  a.txt\n");
    std::string block(4, '\0');
    uint32_t length = (uint32_t)sums.size();
    memcpy(&block[0], &length, sizeof length);
    block += sums;

    RunState = RUN_RUNNING;
    EXPECT_EQ(OnRemoteVerify(window, GetCurrentProcessId(), block.data()), REMOTE_VERIFY_TAKEN);
    std::string summary;
    AnswerMessageBox("Verification", [&](HWND, const std::string &seen) { summary = seen; });
    PumpUntil([] { return false; }, 700);
    EXPECT_TRUE(MainWnd.NoFileRows) << "started while a run was going";
    RunState = RUN_IDLE;
    EXPECT_TRUE(PumpUntil([&] { return !summary.empty(); }, 30000));
    EXPECT_EQ(summary, "Verified 1 file: 1 OK, 0 FAILED, 0 missing");
}

TEST_F(ListMenu, ShellSwitchRegistersForThisProgramAndRemovesAgain)
{
    OpenWindow();
    // The switch's text, and " [x]" while it is ticked.
    auto item = [&] {
        HMENU menu = BuildListMenu(window);
        char text[128] = "";
        GetMenuStringA(menu, IDM_SHELL_VERIFY, text, sizeof text, MF_BYCOMMAND);
        bool ticked = GetMenuState(menu, IDM_SHELL_VERIFY, MF_BYCOMMAND) & MF_CHECKED;
        DestroyMenu(menu);
        return std::string(text) + (ticked ? " [x]" : "");
    };
    auto value = [](const std::string &key) {
        char text[1024] = "<none>";
        DWORD size = sizeof text;
        RegGetValueA(HKEY_CURRENT_USER, ("Software\\Classes\\" + key).c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size);
        return std::string(text);
    };
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    const std::string command = "\"" + std::string(program) + "\" /verify \"%1\"";
    ASSERT_EQ(item(), "\"Verify with &Zunta\" in the shell's menu") << "off until turned on";

    Command(IDM_SHELL_VERIFY);
    EXPECT_EQ(value("SystemFileAssociations\\.sfv\\shell\\ZuntaVerify\\command"), command);
    EXPECT_EQ(value("*\\shell\\ZuntaVerify\\command"), command);
    EXPECT_EQ(item(), "\"Verify with &Zunta\" in the shell's menu [x]");
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Classes\\*\\shell\\ZuntaVerify\\command", nullptr, REG_SZ,
                              "D:\\other\\Zunta.exe", 19), ERROR_SUCCESS);
    EXPECT_EQ(item(), "\"Verify with &Zunta\" in the shell's menu (for another Zunta.exe) [x]");
    Command(IDM_SHELL_VERIFY);
    EXPECT_EQ(value("*\\shell\\ZuntaVerify\\command"), command) << "pointed at this program again";

    Command(IDM_SHELL_VERIFY);
    EXPECT_EQ(item(), "\"Verify with &Zunta\" in the shell's menu");
    // What was made for the switch alone goes with it, empty keys included.
    for (const char *key : { "Zunta.ChecksumFile", "*", "SystemFileAssociations", ".md5" }) {
        HKEY opened;
        EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, ("Software\\Classes\\" + std::string(key)).c_str(), 0, KEY_READ,
                                &opened), ERROR_SUCCESS) << key << " is still there";
    }
}

TEST_F(ListMenu, ExportedTableHoldsEveryRowAsTheListShowsIt)
{
    OpenWindow();
    std::string digits = File("a, b.txt", "123456789");
    std::string other = File("c.txt", "c");
    AddFile(digits);
    AddFile(other);
    Settings.DisplayCRC32Lower = 1;
    Process(0, true, true);
    auto time = [](const std::string &path) {
        int64_t seconds = 0;
        char text[32];
        QueryFileInfo(path.c_str(), nullptr, &seconds);
        FormatIsoLocalTime(seconds, text, sizeof text);
        return std::string(text);
    };
    int32_t written = 0;
    ASSERT_EQ(WriteListTable(window, (folder + "\\table.csv").c_str(), &written), 0);
    EXPECT_EQ(written, 2);
    EXPECT_EQ(ReadWholeFile(folder + "\\table.csv"),
              "\xEF\xBB\xBFName,Folder,Size (bytes),Last write,Status,CRC32,MD5,SHA-1,SHA-256,SHA-512,BLAKE3,XXH3,"
              "XXH128,XXH64\r\n"
              "\"a, b.txt\"," + folder + ",9," + time(digits) + ",Done,cbf43926," + DigitsMd5 + ",,,,,,,\r\n"
              "c.txt," + folder + ",1," + time(other) + ",Ready,,,,,,,,,\r\n");
}
