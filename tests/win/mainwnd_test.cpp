// The main window built from its real template and driven with the messages
// that a user's clicks, keys and buttons produce.
#include "base/lang.h"
#include "base/texts.h"
#include "base/program.h"
#include "base/settings.h"
#include "core/filelist.h"
#include "main_window_fixture.h"
#include "platform/runlock.h"
#include "resources/resource.h"
#include "ui/listview.h"
#include "ui/mainwnd.h"
#include "ui/result.h"
#include "win_support.h"

#include <commctrl.h>

#include <atomic>
#include <thread>

namespace {

class MainWindow : public MainWindowTest {
protected:
    // Three files a.txt, b.txt, c.txt of 1, 2 and 3 bytes.
    void AddThreeFiles()
    {
        for (int i = 0; i < 3; i++)
            ASSERT_EQ(AddFile(MakeFile(std::string(1, (char)('a' + i)) + ".txt", (size_t)i + 1)), 0);
    }
    FileEntry *Entry(int row) { return RowEntry(List(), row); }
};

} // namespace

TEST_F(MainWindow, HintRowsUntilTheFirstFile)
{
    OpenWindow();
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(0, 0), " ");
    EXPECT_EQ(Cell(0, 1), "Add files to check");
    EXPECT_EQ(Cell(1, 1), "(Drag&Drop allowed)");
    EXPECT_TRUE(MainWnd.NoFileRows);

    // Hint rows answer no click, double click or key.
    Click(0);
    DoubleClick(1);
    Key(VK_DELETE);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(1, 0), " ");
    EXPECT_EQ(ControlText(IDC_RESULT), "");
    // Nor do the row commands.
    Command(IDC_MOVE_DOWN);
    Command(IDC_CLEAR_ALL);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(0, 1), "Add files to check");

    ASSERT_EQ(AddFile(MakeFile("first.txt", 10)), 0);
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 0), "Ready");
    EXPECT_EQ(Cell(0, 1), "first.txt");
    EXPECT_EQ(Cell(0, 2).find_first_not_of(' '), std::string::npos) << "spaces only";
    EXPECT_FALSE(MainWnd.NoFileRows);

    // A new entry: no duration, no checksum; selecting it shows its path only.
    FileEntry *entry = Entry(0);
    EXPECT_EQ(entry->Duration, -1.0f);
    EXPECT_EQ(entry->Flags, 0);
    EXPECT_STREQ(entry->Md5Text, "");
    SetDlgItemTextA(window, IDC_STATUS_TEXT, "before");
    Click(0);
    EXPECT_EQ(ControlText(IDC_RESULT), folder + "\\first.txt");
    EXPECT_EQ(ControlText(IDC_STATUS_TEXT), "") << "no duration text for a file never processed";
}

TEST_F(MainWindow, ColumnsAndSizeTexts)
{
    OpenWindow();
    const char *headers[] = { "Status", "Files", "CRC - MD5", "Size", "   " };
    for (int i = 0; i < 5; i++) {
        char text[32] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        ASSERT_TRUE(SendMessageA(List(), LVM_GETCOLUMNA, i, (LPARAM)&column));
        EXPECT_STREQ(text, headers[i]);
        EXPECT_EQ(column.cx, Settings.lvCol[i]);
    }
    EXPECT_EQ(SendMessageA(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT,
              LVS_EX_FULLROWSELECT);

    AddFile(MakeFile("zero.bin", 0));
    AddFile(MakeFile("thousand.bin", 1000));
    AddFile(MakeFile("mebibyte.bin", 1048576));
    EXPECT_EQ(Cell(0, 3), "0");
    EXPECT_EQ(Cell(0, 4), "0");
    EXPECT_EQ(Cell(1, 3), "0.98 KB");
    EXPECT_EQ(Cell(1, 4), "1 000");
    EXPECT_EQ(Cell(2, 3), "1 MB");
    EXPECT_EQ(Cell(2, 4), "1 048 576");
}

TEST_F(MainWindow, FrenchSizesAndHints)
{
    Settings.LanguageId = LANGUAGE_ID_FRENCH;
    SelectLanguageTable(LANGUAGE_ID_FRENCH);
    OpenWindow();
    EXPECT_EQ(Cell(0, 1), "Ajouter les fichiers \xC3\xA0 v\xC3\xA9rifier");
    EXPECT_EQ(Cell(1, 1), "(Glisser/D\xC3\xA9poser possible)");
    AddFile(MakeFile("mebibyte.bin", 1048576));
    EXPECT_EQ(Cell(0, 0), "Pr\xC3\xAAt");
    EXPECT_EQ(Cell(0, 3), "1 Mo");
    EXPECT_EQ(Cell(0, 4), "1 048 576");
}

TEST_F(MainWindow, DoubleClickTogglesTheStatus)
{
    OpenWindow();
    AddThreeFiles();
    DoubleClick(0);
    EXPECT_EQ(Cell(0, 0), "Disabled");
    DoubleClick(0);
    EXPECT_EQ(Cell(0, 0), "Ready");

    SetRowText(List(), 1, 0, "Done");
    DoubleClick(1);
    EXPECT_EQ(Cell(1, 0), "Disabled");
    SetRowText(List(), 2, 0, "Error");
    DoubleClick(2);
    EXPECT_EQ(Cell(2, 0), "Disabled");

    SetRowText(List(), 0, 0, ">>");
    DoubleClick(0);
    EXPECT_EQ(Cell(0, 0), ">>") << "a row being processed is not toggled";

    // Not while a run is going.
    RunState = RUN_RUNNING;
    DoubleClick(1);
    EXPECT_EQ(Cell(1, 0), "Disabled");
    RunState = RUN_IDLE;
}

TEST_F(MainWindow, ClickShowsTheRowsResults)
{
    OpenWindow();
    AddThreeFiles();
    FileEntry *b = Entry(1);
    b->Flags = HAS_CRC32;
    b->Crc32 = 0x0000ABCD;
    b->Duration = 0.0f;
    Click(1);
    EXPECT_EQ(SelectionMark(), 1);
    EXPECT_EQ(MainWnd.CurrentEntry, b);
    EXPECT_EQ(ControlText(IDC_RESULT), folder + "\\b.txt\r\nCRC : 0000ABCD");
    EXPECT_EQ(ControlText(IDC_STATUS_TEXT), "Duration : 0.000 sec");

    // A click still shows results during a run; the arrow keys do not.
    RunState = RUN_RUNNING;
    Click(0);
    EXPECT_EQ(ControlText(IDC_RESULT), folder + "\\a.txt");
    EXPECT_EQ(ControlText(IDC_STATUS_TEXT), "") << "a new entry has no duration";
    Key(VK_DOWN);
    EXPECT_EQ(ControlText(IDC_RESULT), folder + "\\a.txt");
    EXPECT_EQ(SelectionMark(), 1) << "the list still moves its selection";
    RunState = RUN_IDLE;
    Key(VK_DOWN);
    EXPECT_EQ(ControlText(IDC_RESULT), folder + "\\c.txt") << "the row the key selects";
    Key(VK_UP);
    EXPECT_EQ(ControlText(IDC_RESULT), folder + "\\b.txt\r\nCRC : 0000ABCD");
}

TEST_F(MainWindow, DeleteKeySelectsTheRowThatFollows)
{
    OpenWindow();
    AddThreeFiles();
    int32_t middle = RowIndex(List(), 1);
    Entry(1)->Duration = 2.0f;
    Click(1);
    ASSERT_EQ(ControlText(IDC_STATUS_TEXT), "Duration : 2.000 sec");
    Key(VK_DELETE);
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(1, 1), "c.txt");
    EXPECT_EQ(SelectionMark(), 1) << "the row that moved into the place";
    EXPECT_EQ(ControlText(IDC_RESULT), folder + "\\c.txt");
    EXPECT_EQ(ControlText(IDC_STATUS_TEXT), "") << "the deleted row's duration goes";
    EXPECT_EQ(FileListEntry(&Files, middle), nullptr);
    EXPECT_EQ(Files.Count, 3);

    Key(VK_DELETE);
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(SelectionMark(), 0) << "the new bottom row";
    EXPECT_EQ(ControlText(IDC_RESULT), folder + "\\a.txt");

    SetRowText(List(), 0, 0, ">>");
    Key(VK_DELETE);
    EXPECT_EQ(Rows(), 1) << "a row being processed cannot be deleted";
    SetRowText(List(), 0, 0, "Ready");

    // The last row, processed and shown: its texts go with it.
    Entry(0)->Duration = 1.5f;
    Click(0);
    ASSERT_EQ(ControlText(IDC_STATUS_TEXT), "Duration : 1.500 sec");
    Key(VK_DELETE);
    EXPECT_EQ(Rows(), 0) << "no hint rows come back";
    EXPECT_EQ(ControlText(IDC_RESULT), "");
    EXPECT_EQ(ControlText(IDC_STATUS_TEXT), "");
    EXPECT_FALSE(MainWnd.NoFileRows);
}

TEST_F(MainWindow, ClearAllThenANewFileGetsANewIndex)
{
    OpenWindow();
    AddThreeFiles();
    Entry(0)->Duration = 0.25f;
    Click(0);
    ASSERT_EQ(ControlText(IDC_STATUS_TEXT), "Duration : 0.250 sec");
    Command(IDC_CLEAR_ALL);
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(MainWnd.NoFileRows);
    EXPECT_EQ(ControlText(IDC_RESULT), "");
    EXPECT_EQ(ControlText(IDC_STATUS_TEXT), "");
    EXPECT_EQ(Files.Count, 3);
    AddFile(MakeFile("after.txt", 4));
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(RowIndex(List(), 0), 3) << "the index after the last one ever used";

    RunState = RUN_RUNNING;
    Command(IDC_CLEAR_ALL);
    EXPECT_EQ(Rows(), 1) << "Clear All waits for the run";
    RunState = RUN_IDLE;
}

TEST_F(MainWindow, EnterAndEscapeDoNothing)
{
    OpenWindow();
    AddThreeFiles();
    Command(IDOK);
    Command(IDCANCEL);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(Rows(), 3);
}

TEST_F(MainWindow, AlwaysOnTopAppliesAndStoresAtOnce)
{
    OpenWindow();
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // (Wine keeps a window that owns popups, here the tooltips, out of the
    // top-most band when it is raised later, so the flag itself is checked
    // where Wine applies it: at creation and when it is taken away.)
    SendDlgItemMessageA(window, IDC_ALWAYS_ON_TOP, BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(Settings.OnTop, 1) << "stored at once, not only at close";

    DestroyMainWindow();
    OpenWindow();
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_ALWAYS_ON_TOP), BST_CHECKED);
    SendDlgItemMessageA(window, IDC_ALWAYS_ON_TOP, BM_CLICK, 0, 0);
    Pump();
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(Settings.OnTop, 0);
}

TEST_F(MainWindow, CreationSetsIconsTooltipsBoxesAndTheBar)
{
    Settings.CalcCRC32 = 0;
    Settings.CalcMD5 = 1;
    OpenWindow();
    EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendDlgItemMessageA(window, IDC_MOVE_UP, BM_GETIMAGE, IMAGE_ICON, 0), 0);
    EXPECT_NE(SendDlgItemMessageA(window, IDC_MOVE_DOWN, BM_GETIMAGE, IMAGE_ICON, 0), 0);
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_CALC_CRC32), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_CALC_MD5), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessageA(window, IDC_PROGRESS, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    // The list and the result box draw in the shell's font, at the template's height.
    LOGFONTA dialog = {}, shown = {};
    GetObjectA((HFONT)SendMessageA(window, WM_GETFONT, 0, 0), sizeof dialog, &dialog);
    for (int id : { IDC_FILE_LIST, IDC_RESULT }) {
        GetObjectA((HFONT)SendDlgItemMessageA(window, id, WM_GETFONT, 0, 0), sizeof shown, &shown);
        EXPECT_STRNE(shown.lfFaceName, dialog.lfFaceName);
        EXPECT_EQ(shown.lfHeight, dialog.lfHeight);
    }

    // A tooltip given a button as parent is owned by the button's dialog.
    int found = 0;
    for (int id : { IDC_MOVE_UP, IDC_MOVE_DOWN }) {
        HWND button = GetDlgItem(window, id);
        for (HWND tip = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); tip;
             tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) {
            TOOLINFOA probe = {};
            probe.cbSize = TTTOOLINFOA_V2_SIZE;
            probe.hwnd = button;
            if (GetWindow(tip, GW_OWNER) != window || !SendMessageA(tip, TTM_GETTOOLINFOA, 0, (LPARAM)&probe))
                continue;
            char text[64] = "";
            TOOLINFOA tool = {};
            tool.cbSize = TTTOOLINFOA_V2_SIZE;
            tool.hwnd = button;
            tool.lpszText = text;
            ASSERT_TRUE(SendMessageA(tip, TTM_GETTOOLINFOA, 0, (LPARAM)&tool));
            EXPECT_STREQ(text, id == IDC_MOVE_UP ? "Move up" : "Move down");
            EXPECT_EQ(tool.uFlags & (TTF_SUBCLASS | TTF_TRANSPARENT), (UINT)(TTF_SUBCLASS | TTF_TRANSPARENT));
            EXPECT_EQ(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0), 100);
            EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 20000);
            found++;
        }
    }
    EXPECT_EQ(found, 2);

    // Another thread's keep-alive message is answered with 60.
    LRESULT answer = 0;
    std::atomic<bool> answered(false);
    std::thread other([&] {
        answer = SendMessageA(window, MSG_KEEP_ALIVE, 0, 0);
        answered = true;
    });
    PumpUntil([&] { return answered.load(); });
    other.join();
    EXPECT_EQ(answer, 60);
}

TEST_F(MainWindow, CloseStoresWidthsAndCheckBoxes)
{
    OpenWindow();
    SendMessageA(List(), LVM_SETCOLUMNWIDTH, 1, 321);
    CheckDlgButton(window, IDC_CALC_CRC32, BST_UNCHECKED);
    CheckDlgButton(window, IDC_CALC_MD5, BST_CHECKED);
    SendMessageA(window, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(Settings.lvCol[1], 321);
    EXPECT_EQ(Settings.lvCol[0], 47);
    EXPECT_EQ(Settings.CalcCRC32, 0);
    EXPECT_EQ(Settings.CalcMD5, 1);
    EXPECT_FALSE(IsWindowVisible(window)) << "the dialog has ended";
}

TEST_F(MainWindow, ResultBoxLayoutsAndLetterCase)
{
    OpenWindow();
    AddFile(MakeFile("r.txt", 1));
    FileEntry *entry = Entry(0);
    std::string path = entry->Path;
    MainWnd.CurrentEntry = entry;

    ShowEntryResult(entry);
    EXPECT_EQ(ControlText(IDC_RESULT), path);
    EXPECT_EQ(ControlText(IDC_STATUS_TEXT), "");

    entry->Flags = HAS_MD5;
    snprintf(entry->Md5Text, sizeof entry->Md5Text, "D41D8CD98F00B204E9800998ECF8427E");
    entry->Duration = 0.125f;
    ShowEntryResult(entry);
    EXPECT_EQ(ControlText(IDC_RESULT), path + "\r\nMD5 : d41d8cd98f00b204e9800998ecf8427e")
        << "MD5 in lower case by default";
    EXPECT_EQ(ControlText(IDC_STATUS_TEXT), "Duration : 0.125 sec");

    entry->Flags = HAS_CRC32 | HAS_MD5;
    entry->Crc32 = 0x0000ABCD;
    Settings.DisplayCRC32Lower = 1;
    Settings.DisplayMD5Lower = 0;
    ShowEntryResult(entry);
    EXPECT_EQ(ControlText(IDC_RESULT),
              path + "\r\nCRC : 0000abcd\tMD5 : D41D8CD98F00B204E9800998ECF8427E");

    Settings.LanguageId = LANGUAGE_ID_FRENCH;
    SelectLanguageTable(LANGUAGE_ID_FRENCH);
    entry->Duration = 0.0f;
    ShowEntryResult(entry);
    EXPECT_EQ(ControlText(IDC_STATUS_TEXT), "Dur\xC3\xA9" "e : 0.000 sec");
}

TEST_F(MainWindow, LongResultTextIsShownWhole)
{
    OpenWindow();
    std::string longPath = "C:\\" + std::string(290, 'q') + "\\x.bin";
    FileEntry *entry = NewFileEntry(longPath.c_str());
    entry->Flags = HAS_CRC32 | HAS_MD5;
    entry->Crc32 = 0xCBF43926;
    snprintf(entry->Md5Text, sizeof entry->Md5Text, "D41D8CD98F00B204E9800998ECF8427E");
    entry->Duration = -1.0f;
    ShowEntryResult(entry);
    std::string expected = longPath + "\r\nCRC : CBF43926\tMD5 : d41d8cd98f00b204e9800998ecf8427e";
    ASSERT_GT(expected.size(), 323u);
    EXPECT_EQ(ControlText(IDC_RESULT), expected);
    FreeFileEntry(entry);
    // The path wraps, and the box scrolls to its last line.
    HWND box = GetDlgItem(window, IDC_RESULT);
    RECT client;
    GetClientRect(box, &client);
    SendMessageA(box, WM_VSCROLL, SB_BOTTOM, 0);
    int last = (int)SendMessageA(box, EM_GETLINECOUNT, 0, 0) - 1;
    EXPECT_GT(last, 2);
    EXPECT_GT(SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    LRESULT place = SendMessageA(box, EM_POSFROMCHAR, SendMessageA(box, EM_LINEINDEX, last, 0), 0);
    EXPECT_LT((short)HIWORD(place), client.bottom) << "the last line is in view";
}

TEST_F(MainWindow, MissingLogIsReportedWithItsFullPath)
{
    OpenWindow();
    std::string shown, caption;
    AnswerMessageBox("Error opening file", [&](HWND box, const std::string &text) {
        shown = text;
        char title[128] = "";
        GetWindowTextA(box, title, sizeof title);
        caption = title;
    });
    Command(IDC_OPEN_CURRENT_LOG);
    EXPECT_EQ(caption, "Error opening file");
    EXPECT_EQ(shown, "Error : File " + folder + "\\LastSession.log doesn't exist.");

    Settings.LanguageId = LANGUAGE_ID_FRENCH;
    SelectLanguageTable(LANGUAGE_ID_FRENCH);
    AnswerMessageBox("Erreur d'ouverture de fichier", [&](HWND, const std::string &text) { shown = text; });
    Command(IDC_OPEN_ARCHIVE_LOG);
    EXPECT_EQ(shown, "Erreur : Le fichier " + folder + "\\AllSessions.log n'existe pas.");

    // A log path longer than MAX_PATH, as a deep data folder gives.
    std::string deep = "C:\\" + std::string(244, 'D') + "\\AllSessions.log";
    ASSERT_LT(deep.size(), sizeof Program.AllSessionsLogPath);
    ASSERT_GT(deep.size(), (size_t)MAX_PATH);
    snprintf(Program.AllSessionsLogPath, sizeof Program.AllSessionsLogPath, "%s", deep.c_str());
    AnswerMessageBox("Erreur d'ouverture de fichier", [&](HWND, const std::string &text) { shown = text; });
    Command(IDC_OPEN_ARCHIVE_LOG);
    EXPECT_EQ(shown, "Erreur : Le fichier " + deep + " n'existe pas.");
}

namespace {

// Chooses a language in the options dialog and presses OK, as a user does.
void ChooseLanguageInOptions(int item)
{
    WhenWindowOpens("Zunta Calculator Options", [item](HWND options) {
        SendDlgItemMessageA(options, IDC_LANGUAGE, CB_SETCURSEL, item, 0);
        SendMessageA(options, WM_COMMAND, IDOK, 0);
    });
}

} // namespace

TEST_F(MainWindow, LanguageSwitchKeepsRowsOrderStatusAndPlace)
{
    OpenWindow();
    AddThreeFiles();
    AddFile(MakeFile("d.txt", 4));
    SetRowText(List(), 1, 0, "Done");
    SetRowText(List(), 2, 0, "Disabled");
    SetRowText(List(), 3, 0, ">>");
    Entry(1)->Flags = HAS_CRC32 | HAS_MD5;
    Entry(1)->Crc32 = 0x0000abcd;
    Entry(2)->Flags = HAS_MD5;
    SendMessageA(List(), LVM_SETCOLUMNWIDTH, 1, 150);
    CheckDlgButton(window, IDC_CALC_MD5, BST_CHECKED);
    SetWindowPos(window, nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    ChooseLanguageInOptions(1);
    Command(IDC_OPTIONS);
    EXPECT_EQ(Settings.LanguageId, LANGUAGE_ID_FRENCH);
    EXPECT_EQ(LanguageStrings, FrenchStrings);
    EXPECT_FALSE(IsWindowVisible(window)) << "the window ends to re-open in French";
    EXPECT_EQ(MainWnd.SavedWindowPos[0], 123);
    EXPECT_EQ(MainWnd.SavedWindowPos[1], 77);

    DestroyMainWindow();
    OpenWindow();
    ASSERT_EQ(Rows(), 4);
    const char *statuses[] = { "Pr\xC3\xAAt", "Fini", "Inactif", "Inactif" };
    const char *names[] = { "a.txt", "b.txt", "c.txt", "d.txt" };
    for (int row = 0; row < 4; row++) {
        EXPECT_EQ(Cell(row, 0), statuses[row]) << "row " << row;
        EXPECT_EQ(Cell(row, 1), names[row]) << "row " << row;
    }
    EXPECT_EQ(Cell(1, 2), "0000ABCD *") << "the CRC in upper case with the MD5 mark";
    std::string padded = Cell(2, 2);
    EXPECT_EQ(padded.substr(padded.size() - 2), " *");
    EXPECT_EQ(padded.find_first_not_of(' '), padded.size() - 1) << "spaces stand for the CRC";
    EXPECT_EQ(Cell(0, 2).find_first_not_of(' '), std::string::npos) << "spaces only";
    EXPECT_EQ(SendMessageA(List(), LVM_GETCOLUMNWIDTH, 1, 0), 263) << "widths revert";
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_CALC_MD5), BST_UNCHECKED) << "boxes revert";
    EXPECT_EQ(ControlText(IDC_ADD_FILES), "Ajouter &Fichiers");
    RECT place;
    GetWindowRect(window, &place);
    EXPECT_EQ(place.left, 123);
    EXPECT_EQ(place.top, 77);
    EXPECT_EQ(MainWnd.RowSnapshot, nullptr);
    CaptureWindow(window, "main-french-rows");
}

TEST_F(MainWindow, LanguageSwitchOfAnEmptyListShowsTheNewHintRows)
{
    OpenWindow();
    AddThreeFiles();
    Command(IDC_CLEAR_ALL);
    ChooseLanguageInOptions(1);
    Command(IDC_OPTIONS);
    DestroyMainWindow();
    OpenWindow();
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(0, 1), "Ajouter les fichiers \xC3\xA0 v\xC3\xA9rifier");
    EXPECT_TRUE(MainWnd.NoFileRows);
}

TEST_F(MainWindow, OptionsWithoutAChangeReopenNothing)
{
    OpenWindow();
    AddThreeFiles();
    ChooseLanguageInOptions(0);
    Command(IDC_OPTIONS);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(MainWnd.RowSnapshot, nullptr);
    EXPECT_EQ(Settings.LanguageId, LANGUAGE_ID_ENGLISH);

    WhenWindowOpens("Zunta Calculator Options", [](HWND options) {
        SendDlgItemMessageA(options, IDC_LANGUAGE, CB_SETCURSEL, 1, 0);
        SendMessageA(options, WM_COMMAND, IDCANCEL, 0);
    });
    Command(IDC_OPTIONS);
    EXPECT_TRUE(IsWindowVisible(window)) << "Cancel changes nothing";
    EXPECT_EQ(Settings.LanguageId, LANGUAGE_ID_ENGLISH);
    CaptureWindow(window, "main-english-rows");
}
