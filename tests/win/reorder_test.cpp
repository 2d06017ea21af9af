// Row drags driven by the messages a real drag produces, the drop line's
// image, Move up and Move down, sorting by a header click, and paths handed
// over by a later instance.
#include "app/instance.h"
#include "base/program.h"
#include "checksum/checksum_text.h"
#include "checksum/crc32.h"
#include "core/cmdline.h"
#include "core/filelist.h"
#include "main_window_fixture.h"
#include "platform/runlock.h"
#include "resources/resource.h"
#include "ui/handoff.h"
#include "ui/listview.h"
#include "ui/mainwnd.h"
#include "ui/reorder.h"
#include "win_support.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

class Reorder : public MainWindowTest {
protected:
    // Rows A, B, C, D.
    void OpenWithFourRows()
    {
        OpenWindow();
        for (const char *name : { "A", "B", "C", "D" })
            ASSERT_EQ(AddFile(MakeFile(name, 1, name[0])), 0);
        // The marker measures the rows as they are at window creation.
        BuildDropMarker(&MainDropMarker, 0);
    }
    Texts Names(int column = 1)
    {
        Texts names;
        for (int row = 0; row < Rows(); row++)
            names.push_back(Cell(row, column));
        return names;
    }
    // A point in the window's client area at a fraction of a row's height.
    POINT InRow(int row, double fraction)
    {
        POINT top = {};
        SendMessageA(List(), LVM_GETITEMPOSITION, row, (LPARAM)&top);
        POINT at = { 40, top.y + (int)(fraction * MainDropMarker.RowHeight) };
        MapWindowPoints(List(), window, &at, 1);
        return at;
    }
    void StartDrag(int row, bool selectFirst = true)
    {
        if (selectFirst)
            Click(row);
        NMLISTVIEW drag = {};
        drag.hdr.hwndFrom = List();
        drag.hdr.idFrom = IDC_FILE_LIST;
        drag.hdr.code = LVN_BEGINDRAG;
        drag.iItem = row;
        POINT at = InRow(row, 0.5);
        MapWindowPoints(window, List(), &at, 1);
        drag.ptAction = at;
        SendMessageA(window, WM_NOTIFY, IDC_FILE_LIST, (LPARAM)&drag);
    }
    void MoveTo(POINT at) { SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y)); }
    void Release(POINT at)
    {
        SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        Pump();
    }
    void Drag(int row, POINT to)
    {
        StartDrag(row);
        MoveTo(InRow(row, 0.5));
        MoveTo(to);
        Release(to);
    }
    bool LineDrawnAt(int lineTop)
    {
        HDC dc = GetDC(window);
        COLORREF pixel = GetPixel(dc, MainDropMarker.Left + 20, lineTop + 3);
        ReleaseDC(window, dc);
        return pixel == RGB(0, 0, 0);
    }
    int Selected() { return (int)SendMessageA(List(), LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); }
    HWND Header() { return (HWND)SendMessageA(List(), LVM_GETHEADER, 0, 0); }
    void ClickHeader(int column)
    {
        RECT item = {};
        SendMessageA(Header(), HDM_GETITEMRECT, column, (LPARAM)&item);
        LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        SendMessageA(Header(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(Header(), WM_LBUTTONUP, 0, at);
        Pump();
    }
    // The sort arrow a column's header shows: HDF_SORTUP, HDF_SORTDOWN or 0.
    int Arrow(int column)
    {
        HDITEMA item = { HDI_FORMAT };
        SendMessageA(Header(), HDM_GETITEMA, column, (LPARAM)&item);
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    }
    // Drags row B over the lower half of row C: the line is drawn there.
    int DragUntilTheLineShows()
    {
        StartDrag(1);
        MoveTo(InRow(2, 0.75));
        EXPECT_EQ(MainDropMarker.DropIndex, 3);
        EXPECT_TRUE(LineDrawnAt(MainDropMarker.LineTop));
        EXPECT_EQ(GetCapture(), window);
        return MainDropMarker.LineTop;
    }
    // The drag ended as a release without a target does.
    void ExpectDragEnded(int lineTop, const char *how)
    {
        EXPECT_EQ(MainWnd.Dragging, 0) << how;
        EXPECT_FALSE(LineDrawnAt(lineTop)) << how << ": the pixels under the line come back";
        EXPECT_NE(GetCapture(), window) << how << ": the mouse is released";
        EXPECT_FALSE(ImageList_DragMove(0, 0)) << how << ": the drag image is gone";
        EXPECT_EQ(MainDropMarker.LineTop, -1) << how;
        EXPECT_EQ(MainDropMarker.DropIndex, -1) << how;
    }
    // The pixels of a rectangle of the window's client area.
    std::vector<COLORREF> Pixels(int left, int top, int width, int height)
    {
        std::vector<COLORREF> pixels;
        HDC dc = GetDC(window);
        for (int y = top; y < top + height; y++)
            for (int x = left; x < left + width; x++)
                pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(window, dc);
        return pixels;
    }
};

} // namespace

TEST_F(Reorder, LineImageHasItsBlackPixels)
{
    OpenWindow();
    const DropMarker &m = MainDropMarker;
    ASSERT_NE(m.LineImage, nullptr);
    RECT client;
    GetClientRect(List(), &client);
    int w = m.Width;
    EXPECT_EQ(w, client.right - 1);
    EXPECT_EQ(m.Height, 7);
    std::vector<POINT> black = { { 0, 1 }, { 0, 2 }, { 1, 2 }, { 0, 5 }, { 1, 5 }, { 0, 6 },
                                 { w - 2, 1 }, { w - 2, 2 }, { w - 3, 2 }, { w - 2, 5 }, { w - 3, 5 }, { w - 2, 6 } };
    for (int x = 0; x <= w - 2; x++) {
        black.push_back({ x, 3 });
        black.push_back({ x, 4 });
    }
    int blackCount = 0;
    for (int y = 0; y < 7; y++)
        for (int x = 0; x < w; x++)
            blackCount += GetPixel(m.LineImage, x, y) == RGB(0, 0, 0);
    for (const POINT &p : black)
        EXPECT_EQ(GetPixel(m.LineImage, p.x, p.y), RGB(0, 0, 0)) << p.x << "," << p.y;
    EXPECT_EQ(blackCount, (int)black.size()) << "no other black pixel";
    EXPECT_EQ(GetPixel(m.LineImage, w - 1, 3), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(m.LineImage, 5, 0), RGB(255, 255, 255));
    EXPECT_EQ(m.LineTop, -1);
    EXPECT_EQ(m.DropIndex, -1);
    EXPECT_EQ(BuildDropMarker(nullptr, 0), -1);
}

TEST_F(Reorder, DragIntoTheLowerHalfOfARowPutsItAfterThatRow)
{
    OpenWithFourRows();
    Drag(1, InRow(2, 0.75));
    EXPECT_EQ(Names(), (Texts{ "A", "C", "B", "D" }));
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(SelectionMark(), 2);
    EXPECT_EQ(ControlText(IDC_RESULT), folder + "\\B");
    EXPECT_EQ(MainWnd.Dragging, 0);
    EXPECT_EQ(Files.Count, 4);
    EXPECT_STREQ(FileListEntry(&Files, 1)->Path, (folder + "\\B").c_str()) << "the FileList keeps its order";
    EXPECT_EQ(RowEntry(List(), 2), FileListEntry(&Files, 1)) << "the row keeps its entry";
}

TEST_F(Reorder, DragOntoTheUpperHalfOfTheFirstRow)
{
    OpenWithFourRows();
    Drag(2, InRow(0, 0.25));
    EXPECT_EQ(Names(), (Texts{ "C", "A", "B", "D" }));
    EXPECT_EQ(Selected(), 0);
}

TEST_F(Reorder, DroppingOnItselfOrJustBelowTheRowAboveMovesNothing)
{
    OpenWithFourRows();
    Click(2);
    SetDlgItemTextA(window, IDC_RESULT, "unchanged");
    StartDrag(2, false);
    MoveTo(InRow(2, 0.25));
    Release(InRow(2, 0.25));
    EXPECT_EQ(Names(), (Texts{ "A", "B", "C", "D" }));
    EXPECT_EQ(ControlText(IDC_RESULT), "unchanged") << "a drop onto itself changes nothing";

    Drag(2, InRow(1, 0.75));
    EXPECT_EQ(Names(), (Texts{ "A", "B", "C", "D" }));
}

TEST_F(Reorder, EmptyAreaBelowTheRowsMovesToTheEndAndDrawsTheLine)
{
    OpenWithFourRows();
    StartDrag(0);
    POINT below = InRow(3, 3.0);
    MoveTo(below);
    EXPECT_EQ(MainDropMarker.DropIndex, 4);
    EXPECT_TRUE(LineDrawnAt(MainDropMarker.LineTop)) << "the line under the last row";
    POINT lastTop = InRow(3, 0);
    EXPECT_EQ(MainDropMarker.LineTop, lastTop.y + MainDropMarker.RowHeight - 4);
    int lineTop = MainDropMarker.LineTop;
    Release(below);
    EXPECT_FALSE(LineDrawnAt(lineTop)) << "the pixels under the line come back";
    EXPECT_EQ(Names(), (Texts{ "B", "C", "D", "A" }));
}

TEST_F(Reorder, HeaderTargetsTheFirstVisibleRow)
{
    OpenWithFourRows();
    POINT header = InRow(0, 0);
    header.y -= 6;
    Drag(3, header);
    EXPECT_EQ(Names(), (Texts{ "D", "A", "B", "C" }));
}

TEST_F(Reorder, ReleaseOutsideTheListMovesNothingAndShowsTheSelection)
{
    OpenWithFourRows();
    SetDlgItemTextA(window, IDC_RESULT, "");
    StartDrag(1);
    POINT outside = { 5, 5 };
    MoveTo(InRow(2, 0.8));
    EXPECT_EQ(MainDropMarker.DropIndex, 3);
    MoveTo(outside);
    EXPECT_EQ(MainDropMarker.DropIndex, -1);
    EXPECT_EQ(MainDropMarker.LineTop, -1);
    Release(outside);
    EXPECT_EQ(Names(), (Texts{ "A", "B", "C", "D" }));
    EXPECT_EQ(ControlText(IDC_RESULT), folder + "\\B");
}

TEST_F(Reorder, DragIsRefusedWhileARunGoes)
{
    OpenWithFourRows();
    RunState = RUN_RUNNING;
    StartDrag(1);
    EXPECT_EQ(MainWnd.Dragging, 0);
    RunState = RUN_IDLE;

    // A run that starts while a row is dragged keeps the rows in place.
    StartDrag(1);
    MoveTo(InRow(2, 0.8));
    EXPECT_EQ(MainDropMarker.DropIndex, 3);
    RunState = RUN_RUNNING;
    Release(InRow(2, 0.8));
    RunState = RUN_IDLE;
    EXPECT_EQ(MainWnd.Dragging, 0);
    EXPECT_EQ(Names(), (Texts{ "A", "B", "C", "D" }));
}

TEST_F(Reorder, DragThatLosesTheMouseMovesNothing)
{
    OpenWithFourRows();
    HWND other = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    struct Way {
        const char *how;
        std::function<void()> act;
    } ways[] = {
        { "capture released", [] { ReleaseCapture(); } },
        { "capture taken by another window", [&] { SetCapture(other); ReleaseCapture(); } },
        { "cancel mode", [&] { SendMessageA(window, WM_CANCELMODE, 0, 0); } },
    };
    for (const Way &way : ways) {
        SetDlgItemTextA(window, IDC_RESULT, "");
        int lineTop = DragUntilTheLineShows();
        way.act();
        Pump();
        ExpectDragEnded(lineTop, way.how);
        EXPECT_EQ(Names(), (Texts{ "A", "B", "C", "D" })) << way.how;
        EXPECT_EQ(ControlText(IDC_RESULT), folder + "\\B") << way.how << ": the selected row's results";
        Release(InRow(2, 0.75));
        EXPECT_EQ(Names(), (Texts{ "A", "B", "C", "D" })) << way.how << ": a later button release moves nothing";
    }
    DestroyWindow(other);

    // Delete, Move up and Move down wait for the drag's end.
    DragUntilTheLineShows();
    Key(VK_DELETE);
    Command(IDC_MOVE_UP);
    Command(IDC_MOVE_DOWN);
    EXPECT_EQ(Names(), (Texts{ "A", "B", "C", "D" }));
    EXPECT_EQ(MainWnd.Dragging, 1) << "the drag goes on";
    Release(InRow(2, 0.75));
    EXPECT_EQ(Names(), (Texts{ "A", "C", "B", "D" }));
}

TEST_F(Reorder, ClearAllCloseAndLanguageSwitchEndTheDragFirst)
{
    OpenWithFourRows();
    int lineTop = DragUntilTheLineShows();
    Command(IDC_CLEAR_ALL);
    ExpectDragEnded(lineTop, "Clear All");
    EXPECT_EQ(Rows(), 0);
    LPARAM at = MAKELPARAM(10, 10);
    SendMessageA(window, WM_LBUTTONUP, 0, at);   // a button release after it finds no drag

    for (int ending = 0; ending < 2; ending++) {
        DestroyMainWindow();
        OpenWithFourRows();
        lineTop = DragUntilTheLineShows();
        if (ending == 0) {
            SendMessageA(window, WM_CLOSE, 0, 0);
        } else {
            WhenWindowOpens("Zunta Calculator Options", [](HWND options) {
                SendDlgItemMessageA(options, IDC_LANGUAGE, CB_SETCURSEL, 1, 0);
                SendMessageA(options, WM_COMMAND, IDOK, 0);
            });
            Command(IDC_OPTIONS);
        }
        Pump();
        EXPECT_FALSE(IsWindowVisible(window)) << "the window ended";
        ExpectDragEnded(lineTop, ending == 0 ? "close" : "language switch");
    }
}

TEST_F(Reorder, LineDrawnWiderThanAtCreationIsTakenAwayWhole)
{
    OpenWindow();
    for (int i = 0; i < 30; i++)
        AddFile(MakeFile("row" + std::to_string(i), 1));
    // The window opens with a scroll bar, as with rows carried over a
    // language switch; the marker measures the narrower list.
    BuildDropMarker(&MainDropMarker, 0);
    for (int rows = Rows(); rows > 4 && Rows() == rows; rows--) {
        Click(0);
        Key(VK_DELETE);
    }
    Pump();
    RECT client;
    GetClientRect(List(), &client);
    ASSERT_GT(client.right - 1, MainDropMarker.Width) << "the scroll bar went away";

    const int edge = 12;    // the right end of the wider line, away from the drag image
    int left = MainDropMarker.Left + client.right - 1 - edge;
    POINT target = InRow(2, 0.75);
    int top = target.y - MainDropMarker.RowHeight;
    std::vector<COLORREF> before = Pixels(left, top, edge, 2 * MainDropMarker.RowHeight);
    StartDrag(1);
    MoveTo(target);
    ASSERT_NE(MainDropMarker.LineTop, -1);
    MoveTo(InRow(0, 0.25));
    Release(InRow(0, 0.25));
    EXPECT_EQ(Pixels(left, top, edge, 2 * MainDropMarker.RowHeight), before)
        << "no end mark of the line is left behind";
}

TEST_F(Reorder, MoveUpAndMoveDown)
{
    OpenWithFourRows();
    SetRowText(List(), 1, 0, "Done");
    SetRowText(List(), 1, 2, "0000ABCD *");
    Click(1);
    Command(IDC_MOVE_UP);
    EXPECT_EQ(Names(), (Texts{ "B", "A", "C", "D" }));
    EXPECT_EQ(Cell(0, 0), "Done");
    EXPECT_EQ(Cell(0, 2), "0000ABCD *") << "every column travels with the row";
    EXPECT_EQ(SelectionMark(), 0);
    EXPECT_STREQ(RowEntry(List(), 0)->Path, (folder + "\\B").c_str());
    Command(IDC_MOVE_UP);
    EXPECT_EQ(Names(), (Texts{ "B", "A", "C", "D" })) << "nothing above the first row";

    Click(3);
    Command(IDC_MOVE_DOWN);
    EXPECT_EQ(Names(), (Texts{ "B", "A", "C", "D" })) << "nothing below the last row";
    Command(IDC_MOVE_UP);
    EXPECT_EQ(Names(), (Texts{ "B", "A", "D", "C" }));
    EXPECT_EQ(SelectionMark(), 2);
    Command(IDC_MOVE_DOWN);
    EXPECT_EQ(Names(), (Texts{ "B", "A", "C", "D" }));

    // Long texts travel whole.
    std::string longText(700, 'x');
    SetRowText(List(), 0, 1, longText.c_str());
    Click(0);
    Command(IDC_MOVE_DOWN);
    EXPECT_EQ(Cell(1, 1), longText);
}

TEST_F(Reorder, ProcessAllFollowsTheNewOrder)
{
    OpenWithFourRows();
    Drag(3, InRow(0, 0.25));
    Click(2);
    Command(IDC_MOVE_DOWN);
    Texts order = Names();
    Command(IDC_PROCESS_ALL);
    PumpUntil([&] { return MainWnd.RunThread == nullptr; });
    for (int row = 0; row < Rows(); row++)
        EXPECT_EQ(Cell(row, 0), "Done");
    // The log lists the files in row order, each with the CRC of its own content.
    std::string log = ReadWholeFile(Program.LastSessionLogPath);
    size_t at = 0;
    for (const std::string &name : order) {
        size_t found = log.find(name + "   ", at);
        ASSERT_NE(found, std::string::npos) << name;
        unsigned char content = (unsigned char)name[0];
        char crc[CRC32_TEXT_SIZE];
        FormatCrc32Text(Crc32Update(CRC32_START, &content, 1) ^ 0xFFFFFFFFu, 0, crc);
        EXPECT_EQ(log.substr(found + 68, 8), crc) << name;
        at = found + 1;
    }
}

TEST_F(Reorder, HeaderClickSortsRowsWithTheirEntriesAndSelection)
{
    OpenWindow();
    for (auto file : { std::make_pair("file10.txt", 2000), { "File9.txt", 5 }, { "b.txt", 2000 }, { "a.txt", 300 } })
        ASSERT_EQ(AddFile(MakeFile(file.first, file.second, file.first[0])), 0);
    DoubleClick(2);     // "Disabled", the others "Done" with a CRC, then one "Ready"
    Command(IDC_PROCESS_ALL);
    ASSERT_TRUE(PumpUntil([] { return MainWnd.RunThread == nullptr; }));
    ASSERT_EQ(AddFile(MakeFile("c.txt", 1)), 0);
    auto texts = [&](int row) { return Texts{ Cell(row, 0), Cell(row, 1), Cell(row, 2), Cell(row, 3), Cell(row, 4) }; };
    std::map<FileEntry *, Texts> shown;
    for (int row = 0; row < Rows(); row++)
        shown[RowEntry(List(), row)] = texts(row);
    Click(3);
    FileEntry *selected = RowEntry(List(), 3);

    const struct { int column; Texts order; } sorts[] = {
        { 1, { "a.txt", "b.txt", "c.txt", "File9.txt", "file10.txt" } },
        { 1, { "file10.txt", "File9.txt", "c.txt", "b.txt", "a.txt" } },
        { 0, { "b.txt", "file10.txt", "File9.txt", "a.txt", "c.txt" } },
        { 0, { "c.txt", "file10.txt", "File9.txt", "a.txt", "b.txt" } },
        { 4, { "c.txt", "File9.txt", "a.txt", "file10.txt", "b.txt" } },
        { 4, { "file10.txt", "b.txt", "a.txt", "File9.txt", "c.txt" } },
        { 2, {} },      // b and c without a CRC first, in that order
    };
    for (size_t i = 0; i < ARRAYSIZE(sorts); i++) {
        SCOPED_TRACE("sort " + std::to_string(i));
        ClickHeader(sorts[i].column);
        EXPECT_EQ(Names(), sorts[i].order.empty() ? Names() : sorts[i].order);
        for (int row = 0; row < Rows(); row++)
            EXPECT_EQ(texts(row), shown[RowEntry(List(), row)]) << "row " << row << " shows its own file";
        int focused = (int)SendMessageA(List(), LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED | LVNI_FOCUSED);
        EXPECT_TRUE(RowEntry(List(), focused) == selected && SelectionMark() == focused) << "the selection moves";
        bool again = i > 0 && sorts[i - 1].column == sorts[i].column;
        EXPECT_EQ(Arrow(sorts[i].column), again ? HDF_SORTDOWN : HDF_SORTUP);
        if (i > 0 && !again)
            EXPECT_EQ(Arrow(sorts[i - 1].column), 0) << "one arrow";
    }
    Texts checksums = Names(2);
    EXPECT_TRUE(std::is_sorted(checksums.begin(), checksums.end()) && Names()[0] == "b.txt");

    RunState = RUN_RUNNING;
    ClickHeader(1);
    RunState = RUN_IDLE;
    EXPECT_EQ(Names()[0], "b.txt") << "no sort while a run goes";
    EXPECT_EQ(Arrow(2), HDF_SORTUP);
    Command(IDC_MOVE_UP);
    EXPECT_EQ(Arrow(2), 0) << "a row moved: the order is no longer the column's";
}

TEST_F(Reorder, CommandLineFilesAreAddedAtTheFirstPaint)
{
    std::string first = MakeFile("first.txt", 1);
    std::string second = MakeFile("second file.txt", 2);
    MakeFile("folder only", 0);
    std::string arguments = "\"" + second + "\" " + first + " \"" + folder + "\"";
    Program.CommandLineCursor = arguments.c_str();
    OpenWindow();
    EXPECT_EQ(Program.CommandLineCursor, nullptr);
    ASSERT_EQ(Rows(), 2) << "the folder is not added";
    EXPECT_EQ(Cell(0, 1), "second file.txt");
    EXPECT_EQ(Cell(1, 1), "first.txt");
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    Pump();
    EXPECT_EQ(Rows(), 2) << "later paints add nothing";
}

TEST_F(Reorder, PathsHandedOverByAnotherInstance)
{
    OpenWithFourRows();
    std::string path = MakeFile("handed over.txt", 5);
    char buffer[260] = {};
    snprintf(buffer, sizeof buffer, "%s", path.c_str());
    auto sendFrom = [&](DWORD processId, const void *address, UINT message = MSG_REMOTE_FILE) {
        std::atomic<bool> done(false);
        LRESULT answer = 0;
        std::thread sender([&] {
            answer = SendMessageA(window, message, processId, (LPARAM)address);
            done = true;
        });
        PumpUntil([&] { return done.load(); });
        sender.join();
        return answer;
    };
    sendFrom(GetCurrentProcessId(), buffer);
    ASSERT_EQ(Rows(), 5);
    EXPECT_EQ(Cell(4, 1), "handed over.txt");
    EXPECT_EQ(ControlText(IDC_RESULT), path);

    // A sender that cannot be read costs nothing: the window and its rows stay.
    sendFrom(0xFFFFFFF0, buffer);
    sendFrom(GetCurrentProcessId(), (const void *)16);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(Rows(), 5);

    // A folder is shown but not added.
    snprintf(buffer, sizeof buffer, "%s", folder.c_str());
    sendFrom(GetCurrentProcessId(), buffer);
    EXPECT_EQ(Rows(), 5);
    EXPECT_EQ(ControlText(IDC_RESULT), folder);
    // A path too long for the buffer: its 32-bit length, then its bytes; a
    // block of no length or past any path's is refused, not answered.
    std::string longPath = MakeFile(std::string(250, 'l') + ".txt", 5);
    uint32_t lengths[] = { (uint32_t)longPath.size(), 0, 0x7FFFFFFF };
    for (uint32_t length : lengths) {
        std::string block = std::string((const char *)&length, sizeof length) + longPath;
        EXPECT_EQ(sendFrom(GetCurrentProcessId(), block.data(), MSG_REMOTE_LONG_FILE),
                  length == longPath.size() ? REMOTE_LONG_FILE_TAKEN : 0) << length;
    }
    ASSERT_EQ(Rows(), 6);
    EXPECT_EQ(Cell(5, 1), std::string(250, 'l') + ".txt");
}

TEST(RemotePath, ReadsAnotherProcessesMemoryOrRefuses)
{
    char source[260] = "C:\\some\\path.txt";
    char read[261] = {};
    EXPECT_EQ(ReadRemotePath(GetCurrentProcessId(), source, read, 260), 0);
    EXPECT_STREQ(read, source);
    EXPECT_EQ(ReadRemotePath(GetCurrentProcessId(), nullptr, read, 260), -1);
    EXPECT_EQ(ReadRemotePath(GetCurrentProcessId(), source, nullptr, 260), -1);
    EXPECT_EQ(ReadRemotePath(GetCurrentProcessId(), source, read, 0), -1);
    EXPECT_EQ(ReadRemotePath(0xFFFFFFF0, source, read, 260), -1);
    EXPECT_EQ(ReadRemotePath(GetCurrentProcessId(), (const void *)16, read, 260), -1);
    EXPECT_EQ(FindEarlierInstanceProcess("no program has this name.exe"), 0u);
    EXPECT_LE((uint64_t)(uintptr_t)HandOffBuffer() + 260, 0x80000000ull)
        << "a 32-bit instance receives the hand-off buffer's address in 32 bits";
}
