// Every way a file gets into the list: the open dialog, drops, folders, and
// the admission step they share.
#include "ui/addfiles.h"

#include "base/lang.h"
#include "base/pathorder.h"
#include "base/program.h"
#include "base/texts.h"
#include "base/textutil.h"
#include "core/fileaccess.h"
#include "core/fileinfo.h"
#include "platform/codepage.h"
#include "ui/dialogs.h"
#include "ui/listview.h"
#include "ui/mainwnd.h"

#include <commdlg.h>
#include <io.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

enum {
    INITIAL_FOLDER_LIST = 32,
    UNSPELLABLE_SHOWN = 20,     // names listed in the message, of any count left out
    UNSPELLABLE_TEXT_SIZE = UNSPELLABLE_SHOWN * (PATH_SIZE + 2),
    NARROW_NAME_SIZE = MAX_PATH * 2,    // a wide name in a double-byte code page
};
static const DWORD OpenFlags =
    OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_NOCHANGEDIR;

// The admission of a file whose size is known: a new entry and its row.
static int AdmitFile(FileEntry *entry, int position)
{
    entry->Duration = -1.0f;
    entry->Flags = 0;
    int32_t index = FileListAppend(&Files, entry);
    if (index < 0) {
        FreeFileEntry(entry);
        return ADD_OUT_OF_MEMORY;
    }
    InsertFileRow(entry->Path, index, (uint32_t)entry->Size, (uint32_t)(entry->Size >> 32), position);
    return ADD_ADDED;
}

int AddFoundFile(const char *path, uint64_t size, int position)
{
    FileEntry *entry = NewFileEntry(path);
    if (entry == nullptr)
        return ADD_OUT_OF_MEMORY;
    entry->Size = size;
    return AdmitFile(entry, position);
}

int AddFileToList(const char *path, int position)
{
    FileEntry *entry = NewFileEntry(path);
    if (entry == nullptr)
        return ADD_OUT_OF_MEMORY;
    if (QueryFileInfo(entry->Path, &entry->Size, nullptr) != 0) {
        FreeFileEntry(entry);
        return ADD_DROPPED;
    }
    return AdmitFile(entry, position);
}

// The files one action (a folder, a drop) left out because the system's
// code page cannot write their names, and the first names for the message.
struct Unspellable {
    int Count;
    char Names[UNSPELLABLE_TEXT_SIZE];
};
static Unspellable LeftOut;

static void NoteUnspellable(const WCHAR *name)
{
    if (LeftOut.Count++ >= UNSPELLABLE_SHOWN)
        return;
    // Shown as well as the code page can: a character it lacks becomes its
    // replacement character.
    char shown[NARROW_NAME_SIZE];
    if (WideToCodePage(name, CP_ACP, shown, sizeof shown, false) < 0)
        CopyText(shown, sizeof shown, "?");
    if (AppendText(LeftOut.Names, sizeof LeftOut.Names, "\r\n") == 0)
        AppendText(LeftOut.Names, sizeof LeftOut.Names, shown);
}

void ReportUnspellable(HWND window)
{
    if (LeftOut.Count > 0) {
        char text[UNSPELLABLE_TEXT_SIZE + 256];
        snprintf(text, sizeof text, CountText(TEXT_UNSPELLABLE_ONE, LeftOut.Count), LeftOut.Count);
        AppendText(text, sizeof text, "\r\n");
        AppendText(text, sizeof text, LeftOut.Names);
        MessageBoxA(window, text, LanguageStrings[TEXT_UNSPELLABLE_TITLE], MB_OK | MB_ICONWARNING);
    }
    LeftOut.Count = 0;
    LeftOut.Names[0] = '\0';
}

DWORD(WINAPI *GetShortName)(LPCWSTR, LPWSTR, DWORD) = GetShortPathNameW;

int SpellWideName(const WCHAR *path, const WCHAR *name, UINT codePage, char *out, size_t size)
{
    if (WideToCodePage(name, codePage, out, size, true) >= 0)
        return 0;
    WCHAR alias[MAX_PATH];
    DWORD length = GetShortName(path, alias, MAX_PATH);
    const WCHAR *last = wcsrchr(name, L'\\');
    if (length > 0 && length < MAX_PATH) {
        const WCHAR *aliasName = alias;
        if (name != path) {
            aliasName = wcsrchr(alias, L'\\');
            aliasName = aliasName != nullptr ? aliasName + 1 : alias;
        }
        if (WideToCodePage(aliasName, codePage, out, size, true) >= 0)
            return 0;
    }
    NoteUnspellable(last != nullptr ? last + 1 : name);
    return -1;
}

// The open dialog read wide where the process code page is not UTF-8: the
// selection is written into selection (size characters). False when
// nothing was chosen.
static bool ChooseWide(HWND window, WCHAR *selection, DWORD size)
{
    return ShowWideFileDialog(window, false, LanguageStrings[TEXT_OPEN_FILTER], nullptr,
                              LanguageStrings[TEXT_OPEN_TITLE], OpenFlags, selection, size);
}

// The files chosen in the wide open dialog: one path, or a folder then the
// names chosen in it, each written in codePage (SpellWideName).
static void AddWideSelection(HWND window, UINT codePage)
{
    WCHAR selection[OPEN_SELECTION_SIZE] = L"";
    if (!ChooseWide(window, selection, OPEN_SELECTION_SIZE))
        return;
    const WCHAR *first = selection;
    const WCHAR *name = first + wcslen(first) + 1;
    bool single = *name == L'\0';
    HWND list = FileListView();
    bool outOfMemory = false;
    SuspendListRedraw(list);
    for (; (single || *name != L'\0') && !outOfMemory; name += wcslen(name) + 1) {
        WCHAR full[MAX_PATH];
        char path[MAX_PATH];
        size_t folderLength = wcslen(first), nameLength = single ? 0 : wcslen(name) + 1;
        if (folderLength + nameLength < MAX_PATH) {
            wcscpy(full, first);
            if (!single) {
                wcscat(full, L"\\");
                wcscat(full, name);
            }
            if (SpellWideName(full, full, codePage, path, sizeof path) == 0)
                outOfMemory = AddFileToList(path, -1) == ADD_OUT_OF_MEMORY;
        }
        if (single)
            break;
    }
    ResumeListRedraw(list);
    ReportUnspellable(window);
    if (outOfMemory)
        EndMainDialog(window);
}

void AddFilesFromDialog(HWND window)
{
    UINT codePage = LegacyCodePage();
    if (codePage != 0) {
        AddWideSelection(window, codePage);
        return;
    }
    char selection[OPEN_SELECTION_SIZE] = "";
    OPENFILENAMEA dialog;
    PrepareFileDialog(&dialog, window, LanguageStrings[TEXT_OPEN_FILTER], 0, selection, sizeof selection,
                      LanguageStrings[TEXT_OPEN_TITLE], OpenFlags);
    if (!GetOpenFileNameA(&dialog))
        return;

    const char *first = selection;
    const char *name = first + strlen(first) + 1;
    if (*name == '\0') {
        if (AddFileToList(first, -1) == ADD_OUT_OF_MEMORY)
            EndMainDialog(window);
        return;
    }
    // A folder, then the names chosen in it.
    HWND list = FileListView();
    bool outOfMemory = false;
    SuspendListRedraw(list);
    for (; *name != '\0' && !outOfMemory; name += strlen(name) + 1) {
        char path[MAX_PATH];
        if (FormatText(path, sizeof path, "%s\\%s", first, name) != 0)
            continue;
        outOfMemory = AddFileToList(path, -1) == ADD_OUT_OF_MEMORY;
    }
    ResumeListRedraw(list);
    if (outOfMemory)
        EndMainDialog(window);
}

// The dropped path of index i in path. Where the process code page is not
// UTF-8 it is read wide and written in that code page (SpellWideName).
// Returns 0, or -1 when it is skipped.
static int DroppedPath(HDROP drop, UINT i, UINT codePage, char *path, size_t size)
{
    // A path too long for the buffer would arrive cut: it is skipped.
    if (codePage == 0)
        return DragQueryFileA(drop, i, nullptr, 0) >= size || DragQueryFileA(drop, i, path, (UINT)size) == 0 ? -1 : 0;
    WCHAR wide[MAX_PATH];
    if (DragQueryFileW(drop, i, nullptr, 0) >= MAX_PATH || DragQueryFileW(drop, i, wide, MAX_PATH) == 0)
        return -1;
    return SpellWideName(wide, wide, codePage, path, size);
}

void AddDroppedFiles(HWND window, HDROP drop)
{
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    UINT codePage = LegacyCodePage();
    bool outOfMemory = false;
    HWND list = FileListView();
    SuspendListRedraw(list);
    for (UINT i = 0; i < count && !outOfMemory; i++) {
        char path[MAX_PATH];
        if (DroppedPath(drop, i, codePage, path, sizeof path) == 0)
            outOfMemory = AddFileToList(path, -1) == ADD_OUT_OF_MEMORY;
    }
    ResumeListRedraw(list);
    DragFinish(drop);
    ReportUnspellable(window);
    if (outOfMemory)
        EndMainDialog(window);
}

void AddFolderFromBrowser(HWND window)
{
    // Owned by the main window, which is disabled meanwhile: a language
    // switch must not end the window that the chosen folder's rows go to.
    BROWSEINFOA browse = {};
    browse.hwndOwner = window;
    browse.lpszTitle = LanguageStrings[TEXT_BROWSE_TITLE];
    LPITEMIDLIST item = SHBrowseForFolderA(&browse);
    if (item == nullptr)
        return;
    char path[MAX_PATH] = "";
    // A virtual folder has no file-system path: nothing to scan then.
    BOOL hasPath = SHGetPathFromIDListA(item, path);
    IMalloc *allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator))) {
        allocator->Free(item);
        allocator->Release();
    }
    if (hasPath && path[0] != '\0' && AddFolder(path) != 0)
        EndMainDialog(window);
}

// Runtime directory search over "<folder>*"; returns -1 when nothing can be listed.
static intptr_t StartSearch(const char *folder, struct __finddata64_t *found)
{
    char pattern[PATH_SIZE];
    if (FormatText(pattern, sizeof pattern, "%s*", folder) != 0)
        return -1;
    char buffer[FILE_ACCESS_PATH_SIZE];
    return _findfirst64(FileAccessPath(pattern, buffer), found);
}

static bool IsDotEntry(const char *name)
{
    return !strcmp(name, ".") || !strcmp(name, "..");
}

int FolderHasSubfolders(const char *path)
{
    struct __finddata64_t found;
    intptr_t search = StartSearch(path, &found);
    if (search == -1)
        return -1;
    int result = 0;
    do {
        if (!IsDotEntry(found.name) && (found.attrib & _A_SUBDIR)) {
            result = 1;
            break;
        }
    } while (_findnext64(search, &found) == 0);
    _findclose(search);
    return result;
}

BOOL(WINAPI *GetFolderInformation)(HANDLE, LPBY_HANDLE_FILE_INFORMATION) = GetFileInformationByHandle;

// The identity of a folder on its volume, the same through every link to it.
// Network, cloud and virtual drives may answer an index of 0: no identity.
struct FolderKey {
    DWORD Volume, IndexHigh, IndexLow;
};

static bool KeyKnown(const FolderKey &key)
{
    return key.IndexHigh != 0 || key.IndexLow != 0;
}

struct FolderKeys {
    FolderKey *Keys;
    size_t Count, Capacity;
};

static bool ReadFolderKey(const char *path, FolderKey *key)
{
    char buffer[FILE_ACCESS_PATH_SIZE];
    HANDLE folder = CreateFileA(FileAccessPath(path, buffer), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool ok = GetFolderInformation(folder, &info) != 0;
    CloseHandle(folder);
    if (ok)
        *key = { info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow };
    return ok;
}

// Records the folder at path; false when it was recorded before. A folder
// without a known identity is never taken for another one.
static bool FirstVisit(FolderKeys *seen, const char *path)
{
    FolderKey key;
    if (!ReadFolderKey(path, &key) || !KeyKnown(key))
        return true;
    for (size_t i = 0; i < seen->Count; i++)
        if (!memcmp(&seen->Keys[i], &key, sizeof key))
            return false;
    if (seen->Count == seen->Capacity) {
        size_t capacity = seen->Capacity ? seen->Capacity * 2 : 16;
        FolderKey *keys = (FolderKey *)realloc(seen->Keys, capacity * sizeof *keys);
        if (keys == nullptr)
            return true;
        seen->Keys = keys;
        seen->Capacity = capacity;
    }
    seen->Keys[seen->Count++] = key;
    return true;
}

// Links below a folder whose identity is not known are not followed: with
// nothing to tell folders apart, two links back to an ancestor would
// multiply the scan without end.
static bool IsLink(const char *path)
{
    char buffer[FILE_ACCESS_PATH_SIZE];
    DWORD attributes = GetFileAttributesA(FileAccessPath(path, buffer));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A search's entry is kept: a sub-folder when folders are searched, a file
// that is not hidden when files are.
static bool Wanted(bool isFolder, bool isHidden, bool folders)
{
    return folders ? isFolder : !isFolder && !isHidden;
}

static void FreeFoundFiles(FoundFile *files, int count)
{
    for (int i = 0; i < count; i++)
        free(files[i].Name);
    free(files);
}

// The files a folder search keeps, growing as it finds them.
struct FoundFiles {
    FoundFile *Files;
    int Count, Room;
};

// Returns 0, or -1 when memory ran out.
static int KeepFoundFile(FoundFiles *found, const char *name, uint64_t size)
{
    if (found->Count == found->Room) {
        int larger = found->Room ? found->Room * 2 : 64;
        FoundFile *grown = (FoundFile *)realloc(found->Files, (size_t)larger * sizeof *grown);
        if (grown == nullptr)
            return -1;
        found->Files = grown;
        found->Room = larger;
    }
    char *copy = DuplicateText(name);
    if (copy == nullptr)
        return -1;
    found->Files[found->Count++] = FoundFile{ copy, size };
    return 0;
}

// The search through the runtime, whose names come in the process code page.
// Returns 0, -1 when the folder cannot be searched, -2 when memory ran out.
static int SearchNarrow(const char *folder, bool folders, FoundFiles *found)
{
    struct __finddata64_t entry;
    intptr_t search = StartSearch(folder, &entry);
    if (search == -1)
        return -1;
    int result = 0;
    do {
        if (IsDotEntry(entry.name) || !Wanted(entry.attrib & _A_SUBDIR, entry.attrib & _A_HIDDEN, folders))
            continue;
        if (KeepFoundFile(found, entry.name, (uint64_t)entry.size) != 0)
            result = -2;
    } while (result == 0 && _findnext64(search, &entry) == 0);
    _findclose(search);
    return result;
}

// The search through the wide functions where the process code page is not
// UTF-8: the narrow ones would answer a name it cannot write as "?", a row
// that could never be opened. Each name is written in codePage, or by its
// alias, or left out (SpellWideName). Results as SearchNarrow.
static int SearchWide(const char *folder, bool folders, UINT codePage, FoundFiles *found)
{
    char access[FILE_ACCESS_PATH_SIZE];
    // The folder, then each found name after it.
    WCHAR path[FILE_ACCESS_PATH_SIZE + MAX_PATH];
    int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, FileAccessPath(folder, access), -1, path,
                                     FILE_ACCESS_PATH_SIZE);
    if (length <= 0 || length >= FILE_ACCESS_PATH_SIZE)
        return -1;
    WCHAR *name = path + length - 1;
    wcscpy(name, L"*");
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(path, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    int result = 0;
    do {
        if (!wcscmp(entry.cFileName, L".") || !wcscmp(entry.cFileName, L"..") ||
            !Wanted(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN,
                    folders))
            continue;
        wcscpy(name, entry.cFileName);
        char narrow[NARROW_NAME_SIZE];
        if (SpellWideName(path, name, codePage, narrow, sizeof narrow) != 0)
            continue;
        uint64_t size = (uint64_t)entry.nFileSizeHigh << 32 | entry.nFileSizeLow;
        if (KeepFoundFile(found, narrow, size) != 0)
            result = -2;
    } while (result == 0 && FindNextFileW(search, &entry));
    FindClose(search);
    return result;
}

// What a search of folder finds, in the search's order: its sub-folders
// (hidden ones included), or its files (hidden ones skipped); a name that
// cannot be kept is skipped. Returns the count, -1 when the folder cannot be
// searched, or -2 when memory ran out (nothing kept then).
static int SearchFolder(const char *folder, bool folders, FoundFile **files)
{
    FoundFiles found = {};
    UINT codePage = LegacyCodePage();
    int result = codePage != 0 ? SearchWide(folder, folders, codePage, &found) : SearchNarrow(folder, folders, &found);
    *files = found.Files;
    if (result == 0)
        return found.Count;
    FreeFoundFiles(found.Files, found.Count);
    *files = nullptr;
    return result;
}

// Returns 0, or -1 when memory ran out.
static int AppendSubfolders(FileList *list, const char *folder, FolderKeys *seen)
{
    FoundFile *subfolders;
    int count = SearchFolder(folder, true, &subfolders);
    if (count < 0)
        return count == -2 ? -1 : 0;
    int result = 0;
    FolderKey key;
    bool followLinks = ReadFolderKey(folder, &key) && KeyKnown(key);
    for (int i = 0; result == 0 && i < count; i++) {
        char path[PATH_SIZE];
        if (FormatText(path, sizeof path, "%s%s\\", folder, subfolders[i].Name) != 0 ||
            strlen(path) > FOLDER_PATH_LIMIT)
            continue;
        if (!followLinks && IsLink(path))
            continue;
        if (!FirstVisit(seen, path))
            continue;
        char *text = DuplicateText(path);
        if (text == nullptr || FileListAppend(list, text) < 0) {
            free(text);
            result = -1;
        }
    }
    FreeFoundFiles(subfolders, count);
    return result;
}

int CollectSubfolders(FileList *list, const char *path)
{
    FolderKeys seen = {};
    FirstVisit(&seen, path);
    int result = AppendSubfolders(list, path, &seen);
    for (int32_t next = 0; result == 0 && next < list->Count; next++)
        result = AppendSubfolders(list, (const char *)list->Items[next], &seen);
    free(seen.Keys);
    return result;
}

void (*ArrangeFoundFiles)(FoundFile *files, int count) = nullptr;

// Where a file of this folder's block goes: before the first row of the
// block whose path sorts after it, else at the end. The block is in path
// order by construction, so the first such row is found by halving it.
static int BlockPosition(HWND list, int firstRow, const char *path)
{
    if (MainWnd.NoFileRows)
        return -1;
    int low = firstRow, high = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    int count = high;
    while (low < high) {
        int middle = low + (high - low) / 2;
        FileEntry *entry = RowEntry(list, middle);
        if (entry != nullptr && ComparePaths(entry->Path, path) > 0)
            high = middle;
        else
            low = middle + 1;
    }
    return low < count ? low : -1;
}

static int AddOneFolderFiles(const char *folder)
{
    HWND list = FileListView();
    int firstRow = MainWnd.NoFileRows ? 0 : (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    FoundFile *files;
    int count = SearchFolder(folder, false, &files);
    if (count > 0 && ArrangeFoundFiles != nullptr)
        ArrangeFoundFiles(files, count);
    int result = count == -2 ? -1 : 0;
    for (int i = 0; i < count && result == 0; i++) {
        char path[PATH_SIZE];
        if (FormatText(path, sizeof path, "%s%s", folder, files[i].Name) != 0)
            continue;
        // The search already looked the file up: its size is admitted as found.
        if (AddFoundFile(path, files[i].Size, BlockPosition(list, firstRow, path)) == ADD_OUT_OF_MEMORY)
            result = -1;
    }
    if (count > 0)
        FreeFoundFiles(files, count);
    return result;
}

int AddFolderFiles(const FileList *list, const char *path)
{
    // Thousands of rows go in at once: the list is drawn once, at the end.
    HWND view = FileListView();
    SuspendListRedraw(view);
    int result = AddOneFolderFiles(path);
    for (int32_t i = 0; result == 0 && list != nullptr && i < list->Count; i++)
        result = AddOneFolderFiles((const char *)list->Items[i]);
    ResumeListRedraw(view);
    return result;
}

static int AskForSubfolders(void)
{
    return MessageBoxA(MainWnd.Window, LanguageStrings[TEXT_SUBFOLDER_QUESTION], "", MB_YESNO) == IDYES;
}

static int AddChosenFolder(const char *chosen)
{
    char path[PATH_SIZE];
    if (CopyText(path, sizeof path, chosen) != 0)
        return 0;
    size_t length = strlen(path);
    bool ended = length > 0 && PathTrimSeparators(path, length) < length;
    if (length >= 2 && !ended && AppendText(path, sizeof path, "\\") != 0)
        return 0;
    if (strlen(path) > FOLDER_PATH_LIMIT)
        return 0;

    if (FolderHasSubfolders(path) != 1 || !AskForSubfolders())
        return AddFolderFiles(nullptr, path);

    FileList subfolders;
    if (FileListInit(&subfolders, INITIAL_FOLDER_LIST) == nullptr)
        return -1;
    memset(subfolders.Items, 0, INITIAL_FOLDER_LIST * sizeof subfolders.Items[0]);
    int result = CollectSubfolders(&subfolders, path);
    if (result == 0) {
        qsort(subfolders.Items, (size_t)subfolders.Count, sizeof subfolders.Items[0], ComparePathPointers);
        result = AddFolderFiles(&subfolders, path);
    }
    for (int32_t i = 0; i < subfolders.Count; i++)
        free(subfolders.Items[i]);
    FileListFree(&subfolders);
    return result;
}

int AddFolder(const char *chosen)
{
    int result = AddChosenFolder(chosen);
    ReportUnspellable(MainWnd.Window);
    return result;
}
