// Reading another process's main window as a user sees it.
#include "remote_window.h"

#include <commctrl.h>

namespace {

// A block of memory in another process for one list-view text request.
struct RemoteItem {
    LVITEMA item;
    char text[1024];
};

} // namespace

std::string RemoteCell(HWND list, int row, int column)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr)
        return "<no access>";
    RemoteItem *remote = (RemoteItem *)VirtualAllocEx(process, nullptr, sizeof(RemoteItem), MEM_COMMIT,
                                                      PAGE_READWRITE);
    std::string text = "<no memory>";
    if (remote != nullptr) {
        RemoteItem local = {};
        local.item.iSubItem = column;
        local.item.pszText = remote->text;
        local.item.cchTextMax = sizeof local.text;
        WriteProcessMemory(process, remote, &local, sizeof local, nullptr);
        SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&remote->item);
        ReadProcessMemory(process, remote, &local, sizeof local, nullptr);
        local.text[sizeof local.text - 1] = '\0';
        text = local.text;
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}

RECT RemoteRowRect(HWND list, int row)
{
    RECT bounds = {};
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr)
        return bounds;
    RECT *remote = (RECT *)VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    if (remote != nullptr) {
        bounds.left = LVIR_BOUNDS;
        WriteProcessMemory(process, remote, &bounds, sizeof bounds, nullptr);
        SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)remote);
        ReadProcessMemory(process, remote, &bounds, sizeof bounds, nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        MapWindowPoints(list, HWND_DESKTOP, (POINT *)&bounds, 2);
    }
    CloseHandle(process);
    return bounds;
}

int RemoteRowCount(HWND list)
{
    return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
}

std::vector<std::string> RemoteColumn(HWND list, int column)
{
    std::vector<std::string> cells;
    for (int row = 0; row < RemoteRowCount(list); row++)
        cells.push_back(RemoteCell(list, row, column));
    return cells;
}

std::string RemoteControlText(HWND window, int id)
{
    char text[1024] = "";
    SendMessageA(GetDlgItem(window, id), WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

namespace {

struct DialogSearch {
    DWORD processId;
    const char *title;
    HWND found;
};

BOOL CALLBACK MatchProcessDialog(HWND window, LPARAM lParam)
{
    DialogSearch *search = (DialogSearch *)lParam;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[32], title[256];
    if (owner == search->processId && IsWindowVisible(window) &&
        GetClassNameA(window, className, sizeof className) && !strcmp(className, "#32770") &&
        GetWindowTextA(window, title, sizeof title) >= 0 && !strcmp(title, search->title)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND WaitForProcessDialog(DWORD processId, const char *title, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        DialogSearch search = { processId, title, nullptr };
        EnumWindows(MatchProcessDialog, (LPARAM)&search);
        if (search.found)
            return search.found;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

bool TypeIntoOpenDialog(HWND dialog, const std::string &text)
{
    // The file name box: a combo box (cmb13) in explorer-style dialogs, or an edit (edt1).
    HWND name = GetDlgItem(dialog, 0x47C);
    if (name == nullptr)
        name = GetDlgItem(dialog, 0x480);
    if (name == nullptr)
        return false;
    SendMessageA(name, WM_SETTEXT, 0, (LPARAM)text.c_str());
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(dialog, IDOK));
    return true;
}
