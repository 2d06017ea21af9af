// The file list's context menu, its commands and their shortcuts.
#include "ui/listmenu.h"

#include "base/program.h"
#include "base/settings.h"
#include "base/texts.h"
#include "base/textutil.h"
#include "checksum/checksum_text.h"
#include "checksum/hashjob.h"
#include "core/entrytexts.h"
#include "core/filelist.h"
#include "resources/resource.h"
#include "ui/compare.h"
#include "ui/historyrun.h"
#include "ui/listview.h"
#include "ui/mainwnd.h"
#include "ui/reorder.h"
#include "ui/result.h"
#include "ui/runs.h"
#include "ui/saveverify.h"
#include "ui/shellverify.h"

#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

HINSTANCE(WINAPI *ShellOpen)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT) = ShellExecuteA;

enum { CLIPBOARD_TRIES = 10, CLIPBOARD_WAIT_MS = 20, ROW_LINE_SIZE = 400 };

// The menu, in order; 0 stands for a separator.
static const struct {
    int Id;
    int Text;
} MenuItems[] = {
    { IDM_COPY_CRC32, TEXT_MENU_COPY_CRC32 },
    { IDM_COPY_MD5, TEXT_MENU_COPY_MD5 },
    { IDM_COPY_SHA256, TEXT_MENU_COPY_SHA256 },
    { IDM_COPY_BLAKE3, TEXT_MENU_COPY_BLAKE3 },
    { IDM_COPY_PATH, TEXT_MENU_COPY_PATH },
    { IDM_COPY_ROW, TEXT_MENU_COPY_ROW },
    { IDM_COPY_RESULTS, TEXT_MENU_COPY_RESULTS },
    { 0, 0 },
    { IDM_COMPARE, TEXT_MENU_COMPARE },
    { 0, 0 },
    { IDM_SAVE_SUMS, TEXT_MENU_SAVE },
    { IDM_VERIFY_SUMS, TEXT_MENU_VERIFY },
    { IDM_CHECK_HISTORY, TEXT_MENU_HISTORY },
    { IDM_EXPORT_LIST, TEXT_MENU_EXPORT },
    { 0, 0 },
    { IDM_OPEN_FOLDER, TEXT_MENU_OPEN_FOLDER },
    { 0, 0 },
    { IDM_SHELL_VERIFY, TEXT_MENU_SHELL_VERIFY },
};

// The entry of the selected file row, or null.
static FileEntry *SelectedEntry(HWND window)
{
    int32_t index;
    return SelectedFileRow(GetDlgItem(window, IDC_FILE_LIST), &index) < 0 ? nullptr
                                                                         : FileListEntry(&Files, index);
}

static uint8_t EntryFlags(const FileEntry *entry)
{
    LockEntryResults();
    uint8_t flags = entry->Flags;
    UnlockEntryResults();
    return flags;
}

static bool AnyRowHasAResult(HWND list)
{
    if (MainWnd.NoFileRows)
        return false;
    int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < rows; row++) {
        FileEntry *entry = RowEntry(list, row);
        if (entry != nullptr && (EntryFlags(entry) & (HAS_CRC32 | HAS_MD5)))
            return true;
    }
    return false;
}

bool ListCommandEnabled(HWND window, int id)
{
    FileEntry *entry = SelectedEntry(window);
    switch (id) {
    case IDM_COPY_CRC32:
        return entry != nullptr && (EntryFlags(entry) & HAS_CRC32);
    case IDM_COPY_MD5:
        return entry != nullptr && (EntryFlags(entry) & HAS_MD5);
    case IDM_COPY_PATH:
    case IDM_COPY_ROW:
    case IDM_OPEN_FOLDER:
        return entry != nullptr;
    case IDM_COMPARE:
    case IDM_COPY_SHA256:   // computed first when it is not known
    case IDM_COPY_BLAKE3:
        return entry != nullptr && RunCanStart();
    case IDM_COPY_RESULTS:
        return RunCanStart() && AnyRowHasAResult(GetDlgItem(window, IDC_FILE_LIST));
    case IDM_SAVE_SUMS:     // a SHA-256 file computes what it needs
        return RunCanStart() && !MainWnd.NoFileRows;
    case IDM_VERIFY_SUMS:
        return RunCanStart();
    case IDM_CHECK_HISTORY:
    case IDM_EXPORT_LIST:
        return RunCanStart() && !MainWnd.NoFileRows;
    case IDM_SHELL_VERIFY:
        return true;
    }
    return false;
}

HMENU BuildListMenu(HWND window)
{
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return nullptr;
    for (const auto &item : MenuItems) {
        if (item.Id == 0) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT state = ListCommandEnabled(window, item.Id) ? MF_ENABLED : MF_GRAYED;
        if (item.Id == IDM_SHELL_VERIFY) {
            // Ticked while registered; its text says when for another program.
            int registered = ShellVerifyState();
            char *text = ShellVerifyMenuText(registered);
            state |= registered != SHELL_VERBS_NONE ? MF_CHECKED : MF_UNCHECKED;
            AppendMenuA(menu, MF_STRING | state, (UINT_PTR)item.Id, text ? text : LanguageStrings[item.Text]);
            free(text);
            continue;
        }
        AppendMenuA(menu, MF_STRING | state, (UINT_PTR)item.Id, LanguageStrings[item.Text]);
    }
    return menu;
}

void ShowListMenu(HWND window, int x, int y)
{
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    CancelRowDrag(window);
    POINT at = { x, y };
    if (x == -1 && y == -1) {
        // From the keyboard: below the selected row, else at the list's corner.
        RECT bounds = {};
        int32_t index;
        int row = SelectedFileRow(list, &index);
        bounds.left = LVIR_LABEL;
        if (row < 0 || !SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)&bounds))
            bounds = RECT{ 0, 0, 0, 0 };
        at = POINT{ bounds.left, bounds.bottom };
        ClientToScreen(list, &at);
    } else if (!MainWnd.NoFileRows) {
        POINT inList = at;
        ScreenToClient(list, &inList);
        LVHITTESTINFO hit = {};
        hit.pt = inList;
        int row = (int)SendMessageA(list, LVM_HITTEST, 0, (LPARAM)&hit);
        if (row >= 0) {
            SelectRow(list, row);
            ShowRowResult(list, row);
        }
    }
    HMENU menu = BuildListMenu(window);
    if (menu == nullptr)
        return;
    int id = (int)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x,
                                 at.y, 0, window, nullptr);
    DestroyMenu(menu);
    if (id != 0)
        OnListCommand(window, id);
}

// A global block holding size bytes of data; null when out of memory.
static HGLOBAL GlobalCopy(const void *data, size_t size)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == nullptr)
        return nullptr;
    void *copy = GlobalLock(memory);
    if (copy == nullptr) {
        GlobalFree(memory);
        return nullptr;
    }
    memcpy(copy, data, size);
    GlobalUnlock(memory);
    return memory;
}

// The text in UTF-16 as well, so that every program pastes the characters
// themselves, whatever code page it runs in. Null when it cannot be made.
static HGLOBAL WideCopy(const char *text)
{
    int count = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (count <= 0)
        return nullptr;
    WCHAR *wide = (WCHAR *)malloc((size_t)count * sizeof *wide);
    if (wide == nullptr)
        return nullptr;
    HGLOBAL memory = nullptr;
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, wide, count) == count)
        memory = GlobalCopy(wide, (size_t)count * sizeof *wide);
    free(wide);
    return memory;
}

static bool OpenClipboardOf(HWND window)
{
    // Another program may hold the clipboard for a moment.
    for (int i = 0; i < CLIPBOARD_TRIES; i++) {
        if (OpenClipboard(window))
            return true;
        Sleep(CLIPBOARD_WAIT_MS);
    }
    return false;
}

int PutClipboardText(HWND window, const char *text)
{
    HGLOBAL memory = GlobalCopy(text, strlen(text) + 1);
    if (memory == nullptr)
        return -1;
    HGLOBAL wide = WideCopy(text);
    if (!OpenClipboardOf(window)) {
        GlobalFree(memory);
        if (wide != nullptr)
            GlobalFree(wide);
        return -1;
    }
    EmptyClipboard();
    bool placed = SetClipboardData(CF_TEXT, memory) != nullptr;
    if (!placed)
        GlobalFree(memory);
    if (wide != nullptr && SetClipboardData(CF_UNICODETEXT, wide) == nullptr)
        GlobalFree(wide);
    CloseClipboard();
    return placed ? 0 : -1;
}

// The clipboard's UTF-16 text in the program's code page; null when there
// is none, or when a character of it has no form there.
static char *TakeWideText(void)
{
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const WCHAR *wide = data ? (const WCHAR *)GlobalLock(data) : nullptr;
    if (wide == nullptr)
        return nullptr;
    char *copy = nullptr;
    int length = (int)wcsnlen(wide, GlobalSize(data) / sizeof *wide);
    bool utf8 = GetACP() == CP_UTF8;
    BOOL lost = FALSE;
    int size = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (size >= 0)
        copy = (char *)malloc((size_t)size + 1);
    if (copy != nullptr) {
        int made = WideCharToMultiByte(CP_ACP, 0, wide, length, copy, size, nullptr, utf8 ? nullptr : &lost);
        if (made != size || lost) {
            free(copy);
            copy = nullptr;
        } else {
            copy[size] = '\0';
        }
    }
    GlobalUnlock(data);
    return copy;
}

char *TakeClipboardText(HWND window)
{
    if (!OpenClipboardOf(window))
        return nullptr;
    char *copy = TakeWideText();
    HANDLE data = copy == nullptr ? GetClipboardData(CF_TEXT) : nullptr;
    const char *text = data ? (const char *)GlobalLock(data) : nullptr;
    if (text != nullptr) {
        // The block may be larger than its text, never smaller.
        size_t length = strnlen(text, GlobalSize(data));
        copy = (char *)malloc(length + 1);
        if (copy != nullptr) {
            memcpy(copy, text, length);
            copy[length] = '\0';
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    return copy;
}

// A row's line as the copies give it: the name as the list shows it, then
// the checksums known, two spaces apart (the SHA-256 last, when a command
// computed it). False when no checksum is known.
static bool FormatRowLine(const FileEntry *entry, int32_t index, char *line, size_t size)
{
    char crc[CRC32_TEXT_SIZE], md5[MD5_TEXT_SIZE];
    uint8_t flags = EntryChecksumTexts(entry, crc, md5);
    char *sha256 = DuplicateShownDigest(index, KIND_SHA256);
    snprintf(line, size, "%s%s%s%s%s%s%s", PathFileName(entry->Path), (flags & HAS_CRC32) ? "  " : "",
             (flags & HAS_CRC32) ? crc : "", (flags & HAS_MD5) ? "  " : "", (flags & HAS_MD5) ? md5 : "",
             sha256 ? "  " : "", sha256 ? sha256 : "");
    bool known = (flags & (HAS_CRC32 | HAS_MD5)) != 0 || sha256 != nullptr;
    free(sha256);
    return known;
}

// Every row that has a result, in row order, one CR LF ended line each.
static void CopyResults(HWND window)
{
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    int rows = MainWnd.NoFileRows ? 0 : (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    size_t used = 0, size = 4096;
    char *text = (char *)malloc(size);
    if (text == nullptr)
        return;
    text[0] = '\0';
    for (int row = 0; row < rows; row++) {
        int32_t index = RowIndex(list, row);
        FileEntry *entry = index < 0 ? nullptr : FileListEntry(&Files, index);
        char line[ROW_LINE_SIZE];
        if (entry == nullptr || !FormatRowLine(entry, index, line, sizeof line - 2))
            continue;
        strcat(line, "\r\n");
        size_t length = strlen(line);
        if (used + length + 1 > size) {
            char *larger = (char *)realloc(text, size * 2 + length);
            if (larger == nullptr)
                break;
            text = larger;
            size = size * 2 + length;
        }
        memcpy(text + used, line, length + 1);
        used += length;
    }
    PutClipboardText(window, text);
    free(text);
}

// Copy SHA-256, Copy BLAKE3: the digest when it is known, else a run of the
// row first.
static void CopyDigest(HWND window, int kind)
{
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    int32_t index;
    int row = SelectedFileRow(list, &index);
    if (row < 0)
        return;
    char *digest = DuplicateShownDigest(index, kind);
    if (digest != nullptr) {
        PutClipboardText(window, digest);
        free(digest);
        return;
    }
    int32_t *rows = (int32_t *)malloc(sizeof *rows), *indexes = (int32_t *)malloc(sizeof *indexes);
    if (rows == nullptr || indexes == nullptr) {
        free(rows);
        free(indexes);
        return;
    }
    rows[0] = row;
    indexes[0] = index;
    StartRowsRun(window, rows, indexes, 1, 1 << kind, ROWS_FOR_COPY);
}

void FinishRowsRun(HWND window)
{
    int purpose = CurrentRun.Purpose;
    int32_t index = CurrentRun.RowCount > 0 ? CurrentRun.Indexes[0] : -1;
    ReleaseRunRows();
    if (purpose == ROWS_FOR_SAVE) {
        FinishSaveAfterRun(window);
        return;
    }
    int kind = KindOfMask(CurrentRun.Mask);
    char *digest = CurrentRun.Cancelled || kind < KIND_FIRST_STORED ? nullptr : DuplicateShownDigest(index, kind);
    if (digest != nullptr)
        PutClipboardText(window, digest);
    free(digest);
}

static void CopyFromEntry(HWND window, int id, const FileEntry *entry, int32_t index)
{
    char crc[CRC32_TEXT_SIZE], md5[MD5_TEXT_SIZE], line[ROW_LINE_SIZE];
    EntryChecksumTexts(entry, crc, md5);
    switch (id) {
    case IDM_COPY_CRC32:
        PutClipboardText(window, crc);
        break;
    case IDM_COPY_MD5:
        PutClipboardText(window, md5);
        break;
    case IDM_COPY_PATH:
        PutClipboardText(window, entry->Path);
        break;
    case IDM_COPY_ROW:
        FormatRowLine(entry, index, line, sizeof line);
        PutClipboardText(window, line);
        break;
    }
}

// The shell opens the file's folder with the file selected.
static void OpenContainingFolder(const FileEntry *entry)
{
    char *parameters = JoinTexts("/select,\"", entry->Path, "\"");
    if (parameters != nullptr)
        ShellOpen(nullptr, "open", "explorer.exe", parameters, nullptr, SW_SHOWNORMAL);
    free(parameters);
}

void OnListCommand(HWND window, int id)
{
    if (!ListCommandEnabled(window, id))
        return;
    FileEntry *entry = SelectedEntry(window);
    int32_t index = -1;
    SelectedFileRow(GetDlgItem(window, IDC_FILE_LIST), &index);
    switch (id) {
    case IDM_COPY_CRC32:
    case IDM_COPY_MD5:
    case IDM_COPY_PATH:
    case IDM_COPY_ROW:
        CopyFromEntry(window, id, entry, index);
        break;
    case IDM_COPY_SHA256:
        CopyDigest(window, KIND_SHA256);
        break;
    case IDM_COPY_BLAKE3:
        CopyDigest(window, KIND_BLAKE3);
        break;
    case IDM_COPY_RESULTS:
        CopyResults(window);
        break;
    case IDM_COMPARE:
        CompareWithClipboard(window);
        break;
    case IDM_SAVE_SUMS:
        SaveChecksumFile(window);
        break;
    case IDM_VERIFY_SUMS:
        VerifyChecksumFile(window);
        break;
    case IDM_CHECK_HISTORY:
        CheckAgainstHistory(window);
        break;
    case IDM_EXPORT_LIST:
        ExportList(window);
        break;
    case IDM_SHELL_VERIFY:
        ToggleShellVerify(window);
        break;
    case IDM_OPEN_FOLDER:
        OpenContainingFolder(entry);
        break;
    }
}

static HHOOK ShortcutHook;

// The command of a key pressed with Ctrl in the main window, or 0. Copy row
// and compare belong to the list; the result box keeps its own Ctrl+C.
static int ShortcutCommand(const MSG *message)
{
    HWND window = MainWnd.Window;
    if (message->message != WM_KEYDOWN || window == nullptr || !IsWindowEnabled(window) ||
        (message->hwnd != window && !IsChild(window, message->hwnd)))
        return 0;
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0)
        return 0;
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool inList = message->hwnd == GetDlgItem(window, IDC_FILE_LIST);
    switch (message->wParam) {
    case 'C':
        return shift ? IDM_COPY_RESULTS : inList ? IDM_COPY_ROW : 0;
    case 'V':
        return !shift && inList ? IDM_COMPARE : 0;
    case 'S':
        return shift ? 0 : IDM_SAVE_SUMS;
    case 'O':
        return shift ? 0 : IDM_VERIFY_SUMS;
    case 'H':
        return shift ? 0 : IDM_CHECK_HISTORY;
    case 'E':
        return shift ? 0 : IDM_EXPORT_LIST;
    }
    return 0;
}

// The menu key, released in the list: the list itself may not turn it into
// a context menu, and taking it here keeps the system from making a second.
static bool IsMenuKeyInList(const MSG *message)
{
    HWND window = MainWnd.Window;
    return message->message == WM_KEYUP && message->wParam == VK_APPS && window != nullptr &&
           IsWindowEnabled(window) && message->hwnd == GetDlgItem(window, IDC_FILE_LIST);
}

static LRESULT CALLBACK FilterMessage(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == MSGF_DIALOGBOX && IsMenuKeyInList((const MSG *)lParam)) {
        ShowListMenu(MainWnd.Window, -1, -1);
        return 1;
    }
    if (code == MSGF_DIALOGBOX) {
        int command = ShortcutCommand((const MSG *)lParam);
        if (command != 0) {
            // As the window's own command: a row drag ends first.
            SendMessageA(MainWnd.Window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
            return 1;   // taken: the dialog does not see the key
        }
    }
    return CallNextHookEx(ShortcutHook, code, wParam, lParam);
}

void InstallListShortcuts(void)
{
    if (ShortcutHook == nullptr)
        ShortcutHook = SetWindowsHookExA(WH_MSGFILTER, FilterMessage, nullptr, GetCurrentThreadId());
}

void RemoveListShortcuts(void)
{
    if (ShortcutHook != nullptr)
        UnhookWindowsHookEx(ShortcutHook);
    ShortcutHook = nullptr;
}
