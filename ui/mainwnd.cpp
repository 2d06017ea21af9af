// The main window's dialog procedure: it decodes each message and calls
// one handler.
#include "ui/mainwnd.h"

#include "base/lang.h"
#include "base/texts.h"
#include "base/program.h"
#include "base/settings.h"
#include "base/textutil.h"
#include "core/cmdline.h"
#include "core/fileinfo.h"
#include "options/options_dlg.h"
#include "platform/runlock.h"
#include "platform/settings_file.h"
#include "platform/templates.h"
#include "resources/resource.h"
#include "ui/addfiles.h"
#include "ui/compare.h"
#include "ui/dialogs.h"
#include "ui/handoff.h"
#include "ui/historyrun.h"
#include "ui/listmenu.h"
#include "ui/listview.h"
#include "ui/progress.h"
#include "ui/reorder.h"
#include "ui/result.h"
#include "ui/runs.h"
#include "ui/saveverify.h"
#include "ui/taskbar.h"

#include <commctrl.h>
#include <windowsx.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

MainWindowState MainWnd;

enum { ICON_SMALL_WINDOW, ICON_LARGE_WINDOW, ICON_MOVE_UP, ICON_MOVE_DOWN };
enum { TOOLTIP_WIDTH = 100, TOOLTIP_AUTOPOP_MS = 20000 };

const DLGTEMPLATE *PrepareMainWindow(void)
{
    Program.OpenedLanguageId = Settings.LanguageId;
    SetThreadLocale(MAKELCID(Settings.LanguageId | 0x400, SORT_DEFAULT));
    MainWnd.NoFileRows = true;
    MainWnd.Window = nullptr;
    return LoadDialogTemplate(MainWnd.Instance, IDD_MAIN, Settings.LanguageId);
}

void EndMainDialog(HWND window)
{
    CancelRowDrag(window);
    EndRunAndWait();
    EndDialog(window, 0);
}

void SetListEditing(bool enabled)
{
    EnableWindow(GetDlgItem(MainWnd.Window, IDC_CLEAR_ALL), enabled);
    EnableWindow(GetDlgItem(MainWnd.Window, IDC_MOVE_UP), enabled);
    EnableWindow(GetDlgItem(MainWnd.Window, IDC_MOVE_DOWN), enabled);
}

void AddButtonTooltip(HWND button, const char *text, int maxWidth)
{
    HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, button,
                               nullptr, MainWnd.Instance, nullptr);
    if (tip == nullptr)
        return;
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;  // also understood by older common controls
    tool.uFlags = TTF_SUBCLASS | TTF_TRANSPARENT;
    tool.hwnd = button;
    tool.hinst = MainWnd.Instance;
    tool.lpszText = (char *)text;
    GetClientRect(button, &tool.rect);
    SendMessageA(tip, TTM_ADDTOOLA, 0, (LPARAM)&tool);
    SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, maxWidth);
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELONG(TOOLTIP_AUTOPOP_MS, 0));
}

int WindowDpi(HWND window)
{
    // Windows 10 1607 and later tell each window's; older systems the screen's.
    typedef UINT(WINAPI * DpiForWindow)(HWND);
    static DpiForWindow forWindow =
        (DpiForWindow)(void (*)(void))GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow");
    UINT dpi = forWindow != nullptr ? forWindow(window) : 0;
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        dpi = screen != nullptr ? (UINT)GetDeviceCaps(screen, LOGPIXELSY) : 0;
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? (int)dpi : BASE_DPI;
}

// The window's icons at the size of its scale; the ones they replace are
// destroyed.
static void SetIcons(HWND window)
{
    const int sizes[2] = { 16, 32 }, slots[2] = { ICON_SMALL_WINDOW, ICON_LARGE_WINDOW };
    const WPARAM kinds[2] = { ICON_SMALL, ICON_BIG };
    for (int i = 0; i < 2; i++) {
        int size = WidthAtDpi(sizes[i], MainWnd.Dpi);
        HICON icon = (HICON)LoadImageA(MainWnd.Instance, MAKEINTRESOURCEA(IDI_ZUNTA), IMAGE_ICON, size, size, 0);
        SendMessageA(window, WM_SETICON, kinds[i], (LPARAM)icon);
        if (MainWnd.Icons[slots[i]] != nullptr)
            DestroyIcon(MainWnd.Icons[slots[i]]);
        MainWnd.Icons[slots[i]] = icon;
    }
}

void ApplyListFonts(HWND window)
{
    LOGFONTA look = {};
    HFONT dialogFont = (HFONT)SendMessageA(window, WM_GETFONT, 0, 0);
    if (dialogFont == nullptr || GetObjectA(dialogFont, sizeof look, &look) == 0)
        return;
    lstrcpynA(look.lfFaceName, "MS Shell Dlg 2", LF_FACESIZE);
    look.lfCharSet = DEFAULT_CHARSET;
    look.lfOutPrecision = OUT_DEFAULT_PRECIS;
    look.lfQuality = DEFAULT_QUALITY;
    look.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    HFONT font = CreateFontIndirectA(&look);
    if (font == nullptr)
        return;
    for (int id : { IDC_FILE_LIST, IDC_RESULT })
        SendDlgItemMessageA(window, id, WM_SETFONT, (WPARAM)font, TRUE);
    if (MainWnd.ListFont != nullptr)
        DeleteObject(MainWnd.ListFont);
    MainWnd.ListFont = font;
}

static void SetMoveButtons(HWND window)
{
    const int ids[2] = { IDC_MOVE_UP, IDC_MOVE_DOWN };
    const int icons[2] = { IDI_MOVE_UP, IDI_MOVE_DOWN };
    const int tips[2] = { TEXT_MOVE_UP, TEXT_MOVE_DOWN };
    for (int i = 0; i < 2; i++) {
        HICON icon = (HICON)LoadImageA(MainWnd.Instance, MAKEINTRESOURCEA(icons[i]), IMAGE_ICON, 0, 0, 0);
        MainWnd.Icons[ICON_MOVE_UP + i] = icon;
        HWND button = GetDlgItem(window, ids[i]);
        SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, (LPARAM)icon);
        AddButtonTooltip(button, LanguageStrings[tips[i]], WidthAtDpi(TOOLTIP_WIDTH, MainWnd.Dpi));
    }
}

static void ApplyOnTop(HWND window, bool onTop)
{
    SetWindowPos(window, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

// Rows of the window before a language switch, with the new language's words.
static void RebuildRowsFromSnapshot(HWND list)
{
    MainWnd.NoFileRows = false;
    for (const RowSnapshotRecord *record = MainWnd.RowSnapshot; record->IndexPlusOne != 0; record++) {
        FileEntry *entry = FileListEntry(&Files, record->IndexPlusOne - 1);
        if (entry == nullptr)
            continue;
        int row = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        InsertFileRow(entry->Path, record->IndexPlusOne - 1, -1);
        SetEntryState(entry, record->StatusIndex == TEXT_READY   ? ENTRY_READY
                             : record->StatusIndex == TEXT_ERROR ? ENTRY_ERROR
                             : record->StatusIndex == TEXT_DONE  ? ENTRY_DONE
                                                                 : ENTRY_DISABLED);
        RebuildCrcColumn(list, row, entry);
    }
    free(MainWnd.RowSnapshot);
    MainWnd.RowSnapshot = nullptr;
}

static void OnInitDialog(HWND window)
{
    MainWnd.Window = window;
    MainWnd.Dpi = WindowDpi(window);
    InitCommonControls();
    SetIcons(window);
    if (Settings.OnTop == 1) {
        ApplyOnTop(window, true);
        CheckDlgButton(window, IDC_ALWAYS_ON_TOP, BST_CHECKED);
    }
    SendDlgItemMessageA(window, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    WatchRunBar(window);
    TaskbarWatch(window);
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    RebuildResultBox(window);
    ApplyListFonts(window);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    DragAcceptFiles(window, TRUE);
    InsertListColumns(list);
    if (MainWnd.RowSnapshot != nullptr)
        RebuildRowsFromSnapshot(list);
    else
        InsertHintRows(list);
    MainDropMarker.Window = window;
    MainDropMarker.ListId = IDC_FILE_LIST;
    BuildDropMarker(&MainDropMarker, 0);
    SetMoveButtons(window);
    if (Settings.CalcCRC32 == 1)
        CheckDlgButton(window, IDC_CALC_CRC32, BST_CHECKED);
    if (Settings.CalcMD5 == 1)
        CheckDlgButton(window, IDC_CALC_MD5, BST_CHECKED);
    MainWnd.Dragging = 0;
    InstallListShortcuts();
    ResumePendingVerifications(window);
}

static void OnPaint(HWND window)
{
    if (MainWnd.SavedWindowPos[0] != -1 && MainWnd.SavedWindowPos[1] != -1) {
        SetWindowPos(window, nullptr, MainWnd.SavedWindowPos[0], MainWnd.SavedWindowPos[1], 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        MainWnd.SavedWindowPos[0] = -1;
        MainWnd.SavedWindowPos[1] = -1;
    }
    // Files named on the command line, added once, at the first paint, the
    // list drawn once they are all in.
    if (Program.CommandLineCursor == nullptr)
        return;
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    SuspendListRedraw(list);
    int parsed = ParseCommandLine(ADD_LOCALLY, nullptr);
    ResumeListRedraw(list);
    if (parsed < 0)
        EndMainDialog(window);
}

// The column widths and the two checksum boxes go to the settings.
static void StoreWindowSettings(HWND window)
{
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    for (int i = 0; i < COLUMN_COUNT; i++)
        Settings.lvCol[i] = WidthAtBaseDpi((int32_t)SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0), MainWnd.Dpi);
    Settings.CalcCRC32 = IsDlgButtonChecked(window, IDC_CALC_CRC32) == BST_CHECKED ? 1 : 0;
    Settings.CalcMD5 = IsDlgButtonChecked(window, IDC_CALC_MD5) == BST_CHECKED ? 1 : 0;
}

// The window moved to a monitor of another scale: the size the system
// proposes, and the columns and icons at the new scale.
static void OnDpiChanged(HWND window, int dpi, const RECT *proposed)
{
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    for (int i = 0; i < COLUMN_COUNT; i++) {
        int32_t width = WidthAtBaseDpi((int32_t)SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0), MainWnd.Dpi);
        SendMessageA(list, LVM_SETCOLUMNWIDTH, i, WidthAtDpi(width, dpi));
    }
    MainWnd.Dpi = dpi;
    SetIcons(window);
    ApplyListFonts(window);
    SetWindowPos(window, nullptr, proposed->left, proposed->top, proposed->right - proposed->left,
                 proposed->bottom - proposed->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

static void OnClose(HWND window)
{
    StoreWindowSettings(window);
    EndMainDialog(window);
}

// Windows is logging off or shutting down and may end the process as soon
// as this returns: what a close and shutdown would keep is kept now.
static void OnEndSession(HWND window)
{
    CancelRowDrag(window);
    EndRunAndWait();
    StoreWindowSettings(window);
    SaveSession();
}

static void OnDestroy(void)
{
    RemoveListShortcuts();
    TaskbarForget();
    // What an ended run found is not shown in a window that goes.
    RunFollowUpTaken();
    DiscardVerification();
    for (HICON &icon : MainWnd.Icons) {
        if (icon != nullptr)
            DestroyIcon(icon);
        icon = nullptr;
    }
    // The controls that drew with the font went with the window.
    if (MainWnd.ListFont != nullptr)
        DeleteObject(MainWnd.ListFont);
    MainWnd.ListFont = nullptr;
}

// A row being processed when the window went comes back disabled.
static uint16_t SnapshotStatusIndex(int state)
{
    switch (state) {
    case ENTRY_READY: return TEXT_READY;
    case ENTRY_ERROR: return TEXT_ERROR;
    case ENTRY_DONE: return TEXT_DONE;
    default: return TEXT_DISABLED;
    }
}

static void TakeRowSnapshot(HWND list)
{
    free(MainWnd.RowSnapshot);
    MainWnd.RowSnapshot = nullptr;
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (MainWnd.NoFileRows || count < 1)
        return;
    RowSnapshotRecord *records = (RowSnapshotRecord *)calloc((size_t)count + 1, sizeof *records);
    if (records == nullptr)
        return;
    int taken = 0;
    for (int row = 0; row < count; row++) {
        int32_t index = RowIndex(list, row);
        FileEntry *entry = index < 0 ? nullptr : FileListEntry(&Files, index);
        if (entry == nullptr)
            continue;   // a row that cannot be read must not end the array early
        records[taken].StatusIndex = SnapshotStatusIndex(EntryStateOf(entry));
        records[taken].IndexPlusOne = index + 1;
        taken++;
    }
    MainWnd.RowSnapshot = records;
}

// After the options dialog: a new language re-opens the window in it.
static void SwitchLanguageIfChanged(HWND window)
{
    if (Settings.LanguageId == Program.OpenedLanguageId)
        return;
    // The rows are taken once the drag and the run have ended and given
    // their rows back.
    CancelRowDrag(window);
    EndRunAndWait();
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window, &placement)) {
        MainWnd.SavedWindowPos[0] = (int16_t)placement.rcNormalPosition.left;
        MainWnd.SavedWindowPos[1] = (int16_t)placement.rcNormalPosition.top;
    }
    TakeRowSnapshot(GetDlgItem(window, IDC_FILE_LIST));
    SelectLanguageTable(Settings.LanguageId);
    EndDialog(window, 0);
}

static void OpenLog(HWND window, const char *path)
{
    if (QueryFileInfo(path, nullptr, nullptr) == QUERY_FILE) {
        ShellExecuteA(nullptr, "open", path, nullptr, "", SW_SHOW);
        return;
    }
    // The message names the full path, also for a log beside the program.
    char fullPath[LOG_PATH_SIZE];
    DWORD length = GetFullPathNameA(path, sizeof fullPath, fullPath, nullptr);
    if (length == 0 || length >= sizeof fullPath)
        CopyText(fullPath, sizeof fullPath, path);
    char text[LOG_PATH_SIZE + 64];
    snprintf(text, sizeof text, LanguageText(Settings.LanguageId, TEXT_MISSING_LOG), fullPath);
    MessageBoxA(window, text, LanguageStrings[TEXT_OPEN_LOG_CAPTION], MB_OK);
}

static bool FileRowsEditable(void)
{
    return ReadRunState() == RUN_IDLE && !MainWnd.NoFileRows;
}

// Commands that open a window or empty the list end a row drag first, as
// a release without a target; those that move rows wait for its end.
static bool CommandEndsRowDrag(int id)
{
    return id == IDC_OPTIONS || id == IDC_ADD_FILES || id == IDC_ADD_FOLDER || id == IDC_CLEAR_ALL ||
           id == IDC_OPEN_CURRENT_LOG || id == IDC_OPEN_ARCHIVE_LOG || id == IDM_COMPARE ||
           id == IDM_SAVE_SUMS || id == IDM_VERIFY_SUMS || id == IDM_CHECK_HISTORY || id == IDM_EXPORT_LIST ||
           id == IDM_SHELL_VERIFY;
}

// What a compare or verify run found, once its end has been handled.
static void OnRunFollowUp(HWND window)
{
    RunFollowUpTaken();
    if (CurrentRun.Kind == RUN_KIND_COMPARE)
        ShowComparisonAfterRun(window);
    else if (CurrentRun.Kind == RUN_KIND_VERIFY)
        ShowVerificationAfterRun(window);
    else if (CurrentRun.Kind == RUN_KIND_ROWS)
        FinishRowsRun(window);
    // The check's summary, or the files any run found changed without a write.
    ShowHistoryAfterRun(window, CurrentRun.Kind);
}

static void OnCommand(HWND window, int id, int notification)
{
    if (MainWnd.Dragging && CommandEndsRowDrag(id))
        CancelRowDrag(window);
    switch (id) {
    case IDC_OPTIONS:
        OpenOptionsDialog(window);
        SwitchLanguageIfChanged(window);
        break;
    case IDC_ADD_FILES:
        AddFilesFromDialog(window);
        break;
    case IDC_ADD_FOLDER:
        AddFolderFromBrowser(window);
        break;
    case IDC_PROCESS:
    case IDC_PROCESS_ALL:
        OnRunButton(window, id);
        break;
    case IDC_MOVE_UP:
    case IDC_MOVE_DOWN:
        if (FileRowsEditable() && !MainWnd.Dragging && MoveSelectedRow(window, id == IDC_MOVE_UP ? -1 : 1) != 0)
            EndMainDialog(window);
        break;
    case IDC_CLEAR_ALL:
        if (FileRowsEditable())
            ClearAllRows(window);
        break;
    case IDC_OPEN_CURRENT_LOG:
        OpenLog(window, Program.LastSessionLogPath);
        break;
    case IDC_OPEN_ARCHIVE_LOG:
        OpenLog(window, Program.AllSessionsLogPath);
        break;
    case IDC_ALWAYS_ON_TOP:
        if (notification == BN_CLICKED) {
            bool onTop = IsDlgButtonChecked(window, IDC_ALWAYS_ON_TOP) == BST_CHECKED;
            ApplyOnTop(window, onTop);
            Settings.OnTop = onTop ? 1 : 0;
        }
        break;
    case IDM_COPY_CRC32:
    case IDM_COPY_MD5:
    case IDM_COPY_PATH:
    case IDM_COPY_ROW:
    case IDM_COPY_RESULTS:
    case IDM_COMPARE:
    case IDM_SAVE_SUMS:
    case IDM_VERIFY_SUMS:
    case IDM_CHECK_HISTORY:
    case IDM_OPEN_FOLDER:
    case IDM_EXPORT_LIST:
    case IDM_SHELL_VERIFY:
        OnListCommand(window, id);
        break;
    }
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A message registered at run time: no case can name it.
    if (TaskbarButtonCreated(window, message))
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window);
        break;
    case WM_PAINT:
        OnPaint(window);
        break;
    case WM_CLOSE:
        OnClose(window);
        break;
    case WM_DPICHANGED:
        OnDpiChanged(window, HIWORD(wParam), (const RECT *)lParam);
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            OnEndSession(window);
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam), HIWORD(wParam));
        break;
    case WM_NOTIFY:
        if (((const NMHDR *)lParam)->idFrom == IDC_FILE_LIST)
            OnListNotify((const NMHDR *)lParam);
        break;
    case WM_MOUSEMOVE:
        if (MainWnd.Dragging)
            DragMouseMove(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        break;
    case WM_LBUTTONUP:
        if (MainWnd.Dragging && !MainWnd.NoFileRows)
            EndRowDrag(window);
        break;
    case WM_CAPTURECHANGED:
        // Another window took the mouse (Alt+Tab, a locked screen, a
        // dialog): the drag ends without moving anything.
        if ((HWND)lParam != window)
            CancelRowDrag(window);
        break;
    case WM_CANCELMODE:
        CancelRowDrag(window);
        break;
    case WM_DROPFILES:
        AddDroppedFiles(window, (HDROP)wParam);
        break;
    case MSG_REMOTE_FILE:
        OnRemoteFile(window, (DWORD)wParam, (const void *)lParam);
        break;
    case MSG_REMOTE_LONG_FILE:
        SetWindowLongPtrA(window, DWLP_MSGRESULT, OnRemoteLongFile(window, (DWORD)wParam, (const void *)lParam));
        return TRUE;
    case MSG_REMOTE_VERIFY:
        SetWindowLongPtrA(window, DWLP_MSGRESULT, OnRemoteVerify(window, (DWORD)wParam, (const void *)lParam));
        return TRUE;
    case WM_TIMER:
        if (wParam == TIMER_PENDING_VERIFY)
            StartPendingVerification(window);
        break;
    case MSG_RUN_FINISHED:
        OnRunFinished(window);
        break;
    case MSG_RUN_FOLLOW_UP:
        OnRunFollowUp(window);
        break;
    case MSG_RUN_SHOW:
        ShowRunEvents(window);
        break;
    case MSG_VERIFY_ROWS:
        SetWindowLongPtrA(window, DWLP_MSGRESULT,
                          GiveVerifiedFilesRows(window, CurrentRun.Plan, (const VerifyFound *)lParam));
        return TRUE;
    case MSG_VERIFY_ASK:
        SetWindowLongPtrA(window, DWLP_MSGRESULT, AskAboutAbsoluteNames(window, (int32_t)wParam));
        return TRUE;
    case WM_CONTEXTMENU:
        if ((HWND)wParam == GetDlgItem(window, IDC_FILE_LIST))
            ShowListMenu(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        break;
    case MSG_KEEP_ALIVE:
        ReplyMessage(60);
        break;
    }
    return FALSE;
}
