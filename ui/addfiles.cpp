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
    UNSPELLABLE_SHOWN = 20,     // names listed in the message, of any count left out
    UNSPELLABLE_TEXT_SIZE = UNSPELLABLE_SHOWN * (PATH_SIZE + 2),
    NARROW_NAME_SIZE = MAX_PATH * 3,    // a wide name in UTF-8 or a double-byte code page
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
    InsertFileRow(entry->Path, index, position);
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
    if (QueryFileInfo(entry->Path, &entry->Size, nullptr) != QUERY_FILE) {
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
    WCHAR *selection = (WCHAR *)calloc(OPEN_SELECTION_SIZE, sizeof(WCHAR));
    if (selection == nullptr)
        return;
    if (!ChooseWide(window, selection, OPEN_SELECTION_SIZE)) {
        free(selection);
        return;
    }
    const WCHAR *first = selection;
    const WCHAR *name = first + wcslen(first) + 1;
    bool single = *name == L'\0';
    HWND list = FileListView();
    bool outOfMemory = false;
    SuspendListRedraw(list);
    for (; (single || *name != L'\0') && !outOfMemory; name += wcslen(name) + 1) {
        size_t folderLength = wcslen(first), nameLength = single ? 0 : wcslen(name) + 1;
        size_t pathSize = (folderLength + nameLength) * 3 + 1;
        WCHAR *full = (WCHAR *)malloc((folderLength + nameLength + 1) * sizeof(WCHAR));
        char *path = full != nullptr ? (char *)malloc(pathSize) : nullptr;
        outOfMemory = path == nullptr;
        if (path != nullptr) {
            wcscpy(full, first);
            if (!single) {
                wcscat(full, L"\\");
                wcscat(full, name);
            }
            if (SpellWideName(full, full, codePage, path, pathSize) == 0)
                outOfMemory = AddFileToList(path, -1) == ADD_OUT_OF_MEMORY;
        }
        free(path);
        free(full);
        if (single)
            break;
    }
    free(selection);
    ResumeListRedraw(list);
    ReportUnspellable(window);
    if (outOfMemory)
        EndMainDialog(window);
}

// The files chosen in the narrow open dialog: one path, or a folder then the
// names chosen in it.
static void AddSelection(HWND window, const char *selection)
{
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
        char *path = JoinTexts(first, "\\", name);
        outOfMemory = path == nullptr || AddFileToList(path, -1) == ADD_OUT_OF_MEMORY;
        free(path);
    }
    ResumeListRedraw(list);
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
    char *selection = (char *)calloc(OPEN_SELECTION_SIZE, 1);
    if (selection == nullptr)
        return;
    OPENFILENAMEA dialog;
    PrepareFileDialog(&dialog, window, LanguageStrings[TEXT_OPEN_FILTER], 0, selection, OPEN_SELECTION_SIZE,
                      LanguageStrings[TEXT_OPEN_TITLE], OpenFlags);
    if (GetOpenFileNameA(&dialog))
        AddSelection(window, selection);
    free(selection);
}

// The dropped path of index i, read wide at any length and written in the
// process code page (or by its alias, SpellWideName): a heap text, or null
// when it is skipped (*outOfMemory set when memory ran out).
static char *DroppedPath(HDROP drop, UINT i, UINT codePage, bool *outOfMemory)
{
    UINT length = DragQueryFileW(drop, i, nullptr, 0);
    WCHAR *wide = length > 0 ? (WCHAR *)malloc(((size_t)length + 1) * sizeof(WCHAR)) : nullptr;
    // Each UTF-16 unit takes at most three bytes in UTF-8 or a double-byte code page.
    char *path = wide != nullptr ? (char *)malloc((size_t)length * 3 + 1) : nullptr;
    *outOfMemory = length > 0 && path == nullptr;
    if (path == nullptr || DragQueryFileW(drop, i, wide, length + 1) != length ||
        SpellWideName(wide, wide, codePage, path, (size_t)length * 3 + 1) != 0) {
        free(path);
        path = nullptr;
    }
    free(wide);
    return path;
}

void AddDroppedFiles(HWND window, HDROP drop)
{
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    UINT codePage = LegacyCodePage();
    bool outOfMemory = false;
    HWND list = FileListView();
    SuspendListRedraw(list);
    for (UINT i = 0; i < count && !outOfMemory; i++) {
        char *path = DroppedPath(drop, i, codePage != 0 ? codePage : CP_UTF8, &outOfMemory);
        if (path != nullptr)
            outOfMemory = AddFileToList(path, -1) == ADD_OUT_OF_MEMORY;
        free(path);
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

// The search pattern "<folder>*" of folder (ending with a separator) as the
// system takes it (SystemPath), with room after the folder for a name of
// MAX_PATH units, which *name points at. A heap text, or null.
static WCHAR *SearchPattern(const char *folder, WCHAR **name)
{
    WCHAR *system = SystemPath(folder);
    if (system == nullptr)
        return nullptr;
    size_t length = wcslen(system);
    WCHAR *pattern = (WCHAR *)realloc(system, (length + MAX_PATH + 1) * sizeof(WCHAR));
    if (pattern == nullptr) {
        free(system);
        return nullptr;
    }
    wcscpy(pattern + length, L"*");
    *name = pattern + length;
    return pattern;
}

// Starts a search of folder; *pattern receives the pattern for the caller to
// free. INVALID_HANDLE_VALUE when nothing can be listed.
static HANDLE StartSearch(const char *folder, WCHAR **pattern, WCHAR **name, WIN32_FIND_DATAW *entry)
{
    *pattern = SearchPattern(folder, name);
    HANDLE search = *pattern != nullptr ? FindFirstFileW(*pattern, entry) : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE) {
        free(*pattern);
        *pattern = nullptr;
    }
    return search;
}

static bool IsDotEntry(const WCHAR *name)
{
    return !wcscmp(name, L".") || !wcscmp(name, L"..");
}

int FolderHasSubfolders(const char *path)
{
    WCHAR *pattern, *name;
    WIN32_FIND_DATAW entry;
    HANDLE search = StartSearch(path, &pattern, &name, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    int result = 0;
    do {
        if (!IsDotEntry(entry.cFileName) && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            result = 1;
            break;
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    free(pattern);
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
    WCHAR *system = SystemPath(path);
    HANDLE folder = system == nullptr ? INVALID_HANDLE_VALUE
                                      : CreateFileW(system, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    free(system);
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
    WCHAR *system = SystemPath(path);
    DWORD attributes = system != nullptr ? GetFileAttributesW(system) : INVALID_FILE_ATTRIBUTES;
    free(system);
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

// What a search of a folder did.
enum {
    SEARCH_DONE = 0,
    SEARCH_NOT_SEARCHED = -1,   // the folder cannot be searched
    SEARCH_NO_MEMORY = -2,      // nothing kept then
};

// Searches folder through the wide functions (the narrow ones would answer
// a name the code page cannot write as "?", a row that could never be
// opened). Each name is written in codePage, or by its alias, or left out
// (SpellWideName). Returns a SEARCH_ result.
static int SearchWide(const char *folder, bool folders, UINT codePage, FoundFiles *found)
{
    WCHAR *pattern, *name;
    WIN32_FIND_DATAW entry;
    HANDLE search = StartSearch(folder, &pattern, &name, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return SEARCH_NOT_SEARCHED;
    int result = SEARCH_DONE;
    do {
        if (IsDotEntry(entry.cFileName) ||
            !Wanted(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN,
                    folders))
            continue;
        wcscpy(name, entry.cFileName);
        char narrow[NARROW_NAME_SIZE];
        if (SpellWideName(pattern, name, codePage, narrow, sizeof narrow) != 0)
            continue;
        uint64_t size = (uint64_t)entry.nFileSizeHigh << 32 | entry.nFileSizeLow;
        if (KeepFoundFile(found, narrow, size) != 0)
            result = SEARCH_NO_MEMORY;
    } while (result == SEARCH_DONE && FindNextFileW(search, &entry));
    FindClose(search);
    free(pattern);
    return result;
}

// What a search of folder finds, in the search's order: its sub-folders
// (hidden ones included), or its files (hidden ones skipped); a name that
// cannot be kept is skipped. Returns the count, or SEARCH_NOT_SEARCHED or
// SEARCH_NO_MEMORY.
static int SearchFolder(const char *folder, bool folders, FoundFile **files)
{
    FoundFiles found = {};
    UINT codePage = LegacyCodePage();
    int result = SearchWide(folder, folders, codePage != 0 ? codePage : CP_UTF8, &found);
    *files = found.Files;
    if (result == SEARCH_DONE)
        return found.Count;
    FreeFoundFiles(found.Files, found.Count);
    *files = nullptr;
    return result;
}

// Returns 0, or -1 when memory ran out.
static int AppendSubfolders(PathList *list, const char *folder, FolderKeys *seen)
{
    FoundFile *subfolders;
    int count = SearchFolder(folder, true, &subfolders);
    if (count < 0)
        return count == SEARCH_NO_MEMORY ? -1 : 0;
    int result = 0;
    FolderKey key;
    bool followLinks = ReadFolderKey(folder, &key) && KeyKnown(key);
    for (int i = 0; result == 0 && i < count; i++) {
        char *path = JoinTexts(folder, subfolders[i].Name, "\\");
        if (path == nullptr) {
            result = -1;
            break;
        }
        if ((!followLinks && IsLink(path)) || !FirstVisit(seen, path)) {
            free(path);
            continue;
        }
        if (PathListAppend(list, path) != 0) {
            free(path);
            result = -1;
        }
    }
    FreeFoundFiles(subfolders, count);
    return result;
}

int CollectSubfolders(PathList *list, const char *path)
{
    FolderKeys seen = {};
    FirstVisit(&seen, path);
    int result = AppendSubfolders(list, path, &seen);
    for (int32_t next = 0; result == 0 && next < list->Count; next++)
        result = AppendSubfolders(list, list->Paths[next], &seen);
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
    int result = count == SEARCH_NO_MEMORY ? -1 : 0;
    for (int i = 0; i < count && result == 0; i++) {
        char *path = JoinTexts(folder, files[i].Name, nullptr);
        // The search already looked the file up: its size is admitted as found.
        if (path == nullptr || AddFoundFile(path, files[i].Size, BlockPosition(list, firstRow, path)) == ADD_OUT_OF_MEMORY)
            result = -1;
        free(path);
    }
    if (count > 0)
        FreeFoundFiles(files, count);
    return result;
}

int AddFolderFiles(const PathList *list, const char *path)
{
    // Thousands of rows go in at once: the list is drawn once, at the end.
    HWND view = FileListView();
    SuspendListRedraw(view);
    int result = AddOneFolderFiles(path);
    for (int32_t i = 0; result == 0 && list != nullptr && i < list->Count; i++)
        result = AddOneFolderFiles(list->Paths[i]);
    ResumeListRedraw(view);
    return result;
}

static int AskForSubfolders(void)
{
    return MessageBoxA(MainWnd.Window, LanguageStrings[TEXT_SUBFOLDER_QUESTION], "", MB_YESNO) == IDYES;
}

static int AddChosenFolder(const char *chosen)
{
    size_t length = strlen(chosen);
    bool ended = length > 0 && PathTrimSeparators(chosen, length) < length;
    char *path = JoinTexts(chosen, length >= 2 && !ended ? "\\" : nullptr, nullptr);
    if (path == nullptr)
        return -1;
    int result;
    if (FolderHasSubfolders(path) != 1 || !AskForSubfolders()) {
        result = AddFolderFiles(nullptr, path);
    } else {
        PathList subfolders = {};
        result = CollectSubfolders(&subfolders, path);
        if (result == 0) {
            PathListSort(&subfolders);
            result = AddFolderFiles(&subfolders, path);
        }
        PathListRelease(&subfolders);
    }
    free(path);
    return result;
}

int AddFolder(const char *chosen)
{
    int result = AddChosenFolder(chosen);
    ReportUnspellable(MainWnd.Window);
    return result;
}
