// A main window created from the real template, driven like a user would.
#include "main_window_fixture.h"

#include "base/lang.h"
#include "base/program.h"
#include "base/settings.h"
#include "core/filelist.h"
#include "platform/runlock.h"
#include "resources/resource.h"
#include "ui/addfiles.h"
#include "ui/historyrun.h"
#include "ui/listview.h"
#include "ui/mainwnd.h"
#include "ui/taskbar.h"
#include "win_support.h"

#include <commctrl.h>

#include <set>
#include <vector>

std::vector<std::string> TaskbarSeen;

namespace {

const TaskbarCalls RealTaskbar = Taskbar;
const char *const TaskbarStates[] = { "NONE", "NORMAL", "PAUSED", "ERROR" };
bool TaskbarOffered;

} // namespace

void MainWindowTest::RecordTaskbar(bool offered)
{
    TaskbarSeen.clear();
    TaskbarOffered = offered;
    Taskbar.Create = [] {
        TaskbarSeen.push_back(TaskbarOffered ? "created" : "absent");
        return TaskbarOffered ? 0 : -1;
    };
    Taskbar.Release = [] {};
    Taskbar.SetState = [](HWND, int state) { TaskbarSeen.push_back(TaskbarStates[state]); };
    Taskbar.SetValue = [](HWND, int percentage) { TaskbarSeen.push_back(std::to_string(percentage)); };
    WatchProgressBar(false);
    SendMessageA(window, RegisterWindowMessageA("TaskbarButtonCreated"), 0, 0);
}

void MainWindowTest::SetUp()
{
    folder = MakeScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_NE(FileListInit(&Files, 32), nullptr);
    memset(Files.Items, 0, 32 * sizeof Files.Items[0]);
    InitializeCriticalSection(&RunLock);
    RunState = RUN_IDLE;
    Settings.LanguageId = LANGUAGE_ID_ENGLISH;
    SettingsSetDefaults(&Settings);
    SelectLanguageTable(Settings.LanguageId);
    MainWnd.RowSnapshot = nullptr;
    MainWnd.SavedWindowPos[0] = MainWnd.SavedWindowPos[1] = -1;
    MainWnd.CurrentEntry = nullptr;
    snprintf(Program.LastSessionLogPath, sizeof Program.LastSessionLogPath, "%s\\LastSession.log",
             folder.c_str());
    snprintf(Program.AllSessionsLogPath, sizeof Program.AllSessionsLogPath, "%s\\AllSessions.log",
             folder.c_str());
    snprintf(Program.HistoryStorePath, sizeof Program.HistoryStorePath, "%s\\History.log", folder.c_str());
    Program.CommandLineCursor = nullptr;
    ResetHistory();     // each test is a session of its own
    CancelAtFirstProgress = false;
    WatchForUnansweredDialogs(true);
}

void MainWindowTest::TearDown()
{
    WatchForUnansweredDialogs(false);
    ForgetPendingWindows();
    DestroyMainWindow();
    Pump();
    Taskbar = RealTaskbar;
    FileListRelease(&Files);
    free(MainWnd.RowSnapshot);
    MainWnd.RowSnapshot = nullptr;
    DeleteCriticalSection(&RunLock);
    Settings.LanguageId = LANGUAGE_ID_ENGLISH;
    SelectLanguageTable(LANGUAGE_ID_ENGLISH);
    DeleteTree(folder);
}

HWND MainWindowTest::OpenWindow()
{
    const DLGTEMPLATE *dialog = PrepareMainWindow();
    EXPECT_NE(dialog, nullptr);
    window = CreateDialogIndirectParamA(MainWnd.Instance, dialog, nullptr, MainDialogProc, 0);
    EXPECT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    Pump();
    return window;
}

void MainWindowTest::DestroyMainWindow()
{
    if (window != nullptr && IsWindow(window))
        DestroyWindow(window);
    window = nullptr;
    MainWnd.Window = nullptr;
}

std::string MainWindowTest::MakeFile(const std::string &name, size_t size, char fill)
{
    std::string path = folder + "\\" + name;
    EXPECT_TRUE(WriteWholeFile(path, std::string(size, fill)));
    return path;
}

int MainWindowTest::AddFile(const std::string &path)
{
    int result = AddFileToList(path.c_str(), -1);
    Pump();
    return result;
}

HWND MainWindowTest::List() const
{
    return GetDlgItem(window, IDC_FILE_LIST);
}

int MainWindowTest::Rows() const
{
    return (int)SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0);
}

std::string MainWindowTest::Cell(int row, int column) const
{
    char text[4096];
    GetRowText(List(), row, column, text, sizeof text);
    return text;
}

std::string MainWindowTest::ControlText(int id) const
{
    char text[2048] = "";
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

int MainWindowTest::SelectionMark() const
{
    return (int)SendMessageA(List(), LVM_GETSELECTIONMARK, 0, 0);
}

static LPARAM PointInRow(HWND list, int row)
{
    RECT bounds = {};
    bounds.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)&bounds);
    return MAKELPARAM(bounds.left + 8, (bounds.top + bounds.bottom) / 2);
}

void MainWindowTest::Click(int row)
{
    LPARAM at = PointInRow(List(), row);
    SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(List(), WM_LBUTTONUP, 0, at);
    Pump();
}

void MainWindowTest::DoubleClick(int row)
{
    LPARAM at = PointInRow(List(), row);
    SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(List(), WM_LBUTTONUP, 0, at);
    SendMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(List(), WM_LBUTTONUP, 0, at);
    Pump();
}

void MainWindowTest::Key(WORD key)
{
    SetFocus(List());
    SendMessageA(List(), WM_KEYDOWN, key, 0);
    SendMessageA(List(), WM_KEYUP, key, 0xC0000001);
    Pump();
}

void MainWindowTest::Command(int id)
{
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(window, id));
    Pump();
}

void MainWindowTest::Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        // As the modal loop of a dialog box does: its message filter first.
        if (CallMsgFilterA(&message, MSGF_DIALOGBOX))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void MainWindowTest::ControlKey(HWND target, WORD key, bool shift)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageA(target, WM_KEYDOWN, key, 1);
    Pump();
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

bool MainWindowTest::PumpUntil(const std::function<bool()> &done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
    return true;
}

std::vector<int> ProgressPositions;
bool CancelAtFirstProgress;

namespace {

WNDPROC BarProcBefore;

LRESULT CALLBACK WatchedBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    const char *const states[] = { "", "bar NORMAL", "bar ERROR", "bar PAUSED" };
    if (message == PBM_SETSTATE && wParam < 4)
        TaskbarSeen.push_back(states[wParam]);
    if (message == PBM_SETPOS) {
        ProgressPositions.push_back((int)wParam);
        if (CancelAtFirstProgress && wParam > 0) {
            CancelAtFirstProgress = false;
            EnterCriticalSection(&RunLock);
            RunState = RUN_CANCEL_REQUESTED;
            LeaveCriticalSection(&RunLock);
        }
    }
    return CallWindowProcA(BarProcBefore, bar, message, wParam, lParam);
}

} // namespace

void MainWindowTest::WatchProgressBar(bool cancelAtFirst)
{
    HWND bar = GetDlgItem(window, IDC_PROGRESS);
    if ((WNDPROC)GetWindowLongPtrA(bar, GWLP_WNDPROC) != WatchedBarProc)
        BarProcBefore = (WNDPROC)SetWindowLongPtrA(bar, GWLP_WNDPROC, (LONG_PTR)WatchedBarProc);
    ProgressPositions.clear();
    CancelAtFirstProgress = cancelAtFirst;
}

namespace {

struct PendingWindow {
    std::string title;
    std::function<void(HWND)> act;
    UINT_PTR timer;
};
std::vector<PendingWindow> Pending;

struct WindowMatch {
    const char *title;
    HWND found;
};

BOOL CALLBACK MatchDialogTitle(HWND candidate, LPARAM lParam)
{
    WindowMatch *match = (WindowMatch *)lParam;
    char className[32], title[256];
    if (IsWindowVisible(candidate) && GetClassNameA(candidate, className, sizeof className) &&
        !strcmp(className, "#32770") && GetWindowTextA(candidate, title, sizeof title) >= 0 &&
        !strcmp(title, match->title)) {
        match->found = candidate;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK LookForPendingWindows(HWND, UINT, UINT_PTR timer, DWORD)
{
    for (size_t i = 0; i < Pending.size(); i++) {
        if (Pending[i].timer != timer)
            continue;
        WindowMatch match = { Pending[i].title.c_str(), nullptr };
        EnumThreadWindows(GetCurrentThreadId(), MatchDialogTitle, (LPARAM)&match);
        if (match.found == nullptr)
            return;
        KillTimer(nullptr, timer);
        std::function<void(HWND)> act = Pending[i].act;
        Pending.erase(Pending.begin() + (long)i);
        act(match.found);
        return;
    }
}

// A dialog left open this long while no test waits for its title fails the
// test and is closed: a box the test did not expect would otherwise hold its
// modal loop until the test program's time runs out.
const DWORD UnansweredLimitMs = 30000;

struct OpenDialog {
    HWND window;
    DWORD since;
};
std::vector<OpenDialog> OpenDialogs;
UINT_PTR WatchTimer;

BOOL CALLBACK NoteOpenDialog(HWND candidate, LPARAM lParam)
{
    std::vector<HWND> *seen = (std::vector<HWND> *)lParam;
    char className[32];
    if (candidate != MainWnd.Window && IsWindowVisible(candidate) &&
        GetClassNameA(candidate, className, sizeof className) && !strcmp(className, "#32770"))
        seen->push_back(candidate);
    return TRUE;
}

void CALLBACK WatchOpenDialogs(HWND, UINT, UINT_PTR, DWORD)
{
    std::vector<HWND> seen;
    EnumThreadWindows(GetCurrentThreadId(), NoteOpenDialog, (LPARAM)&seen);
    std::vector<OpenDialog> still;
    DWORD now = GetTickCount();
    for (HWND dialog : seen) {
        DWORD since = now;
        for (const OpenDialog &known : OpenDialogs)
            if (known.window == dialog)
                since = known.since;
        char title[256] = "", text[1024] = "";
        GetWindowTextA(dialog, title, sizeof title);
        bool awaited = false;
        for (const PendingWindow &pending : Pending)
            awaited = awaited || pending.title == title;
        if (awaited || now - since < UnansweredLimitMs) {
            still.push_back({ dialog, since });
            continue;
        }
        GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);
        ADD_FAILURE() << "nobody answered the dialog \"" << title << "\": " << text;
        EndDialog(dialog, IDCANCEL);
    }
    OpenDialogs = still;
}

} // namespace

void WatchForUnansweredDialogs(bool on)
{
    if (WatchTimer != 0)
        KillTimer(nullptr, WatchTimer);
    WatchTimer = on ? SetTimer(nullptr, 0, 500, WatchOpenDialogs) : 0;
    OpenDialogs.clear();
}

void WhenWindowOpens(const char *title, std::function<void(HWND)> act)
{
    UINT_PTR timer = SetTimer(nullptr, 0, 30, LookForPendingWindows);
    Pending.push_back({ title, act, timer });
}

void AnswerMessageBox(const char *title, std::function<void(HWND box, const std::string &text)> seen,
                      int button)
{
    WhenWindowOpens(title, [seen, button](HWND box) {
        char text[1024] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);     // the message's static control
        seen(box, text);
        SendMessageA(box, WM_COMMAND, button, 0);
    });
}

void ForgetPendingWindows()
{
    for (const PendingWindow &pending : Pending)
        KillTimer(nullptr, pending.timer);
    Pending.clear();
}

int CaptureWindow(HWND window, const char *name, bool redraw)
{
    if (redraw)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (DWORD start = GetTickCount(); redraw && GetTickCount() - start < 300;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(10);
    }
    GdiFlush();
    RECT bounds;
    GetWindowRect(window, &bounds);
    int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, bounds.left, bounds.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    std::vector<DWORD> pixels((size_t)width * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), (BITMAPINFO *)&header, DIB_RGB_COLORS);
    for (DWORD &pixel : pixels)
        pixel |= 0xFF000000u;   // opaque: the screen has no alpha channel
    std::set<DWORD> colours(pixels.begin(), pixels.end());

    std::string shots = WindowsPathOf(EnvironmentValue("ZUNTA_SHOTS"));
    if (!shots.empty()) {
        CreateDirectoryA(shots.c_str(), nullptr);
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof header;
        file.bfSize = file.bfOffBits + (DWORD)(pixels.size() * 4);
        std::string bytes((const char *)&file, sizeof file);
        bytes.append((const char *)&header, sizeof header);
        bytes.append((const char *)pixels.data(), pixels.size() * 4);
        WriteWholeFile(shots + "\\" + name + ".bmp", bytes);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return (int)colours.size();
}
