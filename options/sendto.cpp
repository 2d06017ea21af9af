// The program's shortcuts in the user's SendTo folder.
#include "options/sendto.h"

#include "base/program.h"
#include "base/textutil.h"

#include <io.h>
#include <objbase.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char LinkExtension[] = ".lnk";

BOOL(WINAPI *GetSpecialFolderPath)(HWND, LPSTR, int, BOOL) = SHGetSpecialFolderPathA;

int LocateSendToFolder(char *folder, size_t size)
{
    char special[MAX_PATH];
    if (GetSpecialFolderPath(nullptr, special, CSIDL_SENDTO, FALSE))
        return CopyText(folder, size, special) == 0 ? SENDTO_FOUND : SENDTO_TOO_LONG;
    const char *base = getenv("UserProfile");
    if (base == nullptr)
        base = getenv("windir");
    if (base == nullptr)
        return SENDTO_UNKNOWN;
    return FormatText(folder, size, "%s\\SendTo", base) == 0 ? SENDTO_FOUND : SENDTO_TOO_LONG;
}

static bool HasLinkExtension(const char *name)
{
    size_t length = strlen(name);
    return length > 3 && AsciiEqualNoCase(name + length - 4, LinkExtension);
}

// A target names the program when it ends with the program's file name
// and is longer than it.
static bool TargetIsProgram(const char *target)
{
    size_t length = strlen(target), nameLength = strlen(Program.ProgramFileName);
    return length > nameLength && AsciiEqualNoCase(target + length - nameLength, Program.ProgramFileName);
}

// Folders already scanned, by their identity on the volume.
struct ScannedFolders {
    BY_HANDLE_FILE_INFORMATION *Items;
    size_t Count, Capacity;
};

static bool FirstScan(ScannedFolders *scanned, const char *folder)
{
    HANDLE handle = CreateFileA(folder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return true;
    BY_HANDLE_FILE_INFORMATION info;
    BOOL ok = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!ok)
        return true;
    for (size_t i = 0; i < scanned->Count; i++) {
        const BY_HANDLE_FILE_INFORMATION &seen = scanned->Items[i];
        if (seen.dwVolumeSerialNumber == info.dwVolumeSerialNumber && seen.nFileIndexHigh == info.nFileIndexHigh &&
            seen.nFileIndexLow == info.nFileIndexLow)
            return false;
    }
    if (scanned->Count == scanned->Capacity) {
        size_t capacity = scanned->Capacity ? scanned->Capacity * 2 : 16;
        void *items = realloc(scanned->Items, capacity * sizeof *scanned->Items);
        if (items == nullptr)
            return true;
        scanned->Items = (BY_HANDLE_FILE_INFORMATION *)items;
        scanned->Capacity = capacity;
    }
    scanned->Items[scanned->Count++] = info;
    return true;
}

static int ScanFolder(const char *pattern, char *output, int outputSize, int mode, ScannedFolders *scanned)
{
    char folder[PATH_SIZE];
    char last[LAST_COMPONENT_SIZE];
    if (CopyText(folder, sizeof folder, pattern) != 0)
        return 0;
    char *slash = strrchr(folder, '\\');
    if (slash == nullptr || CopyText(last, sizeof last, slash + 1) != 0)
        return 0;
    slash[1] = '\0';
    if (!FirstScan(scanned, folder))
        return 0;

    struct __finddata64_t found;
    intptr_t search = _findfirst64(pattern, &found);
    if (search == -1)
        return 0;
    size_t folderLength = strlen(folder);
    int count = 0;
    do {
        if (!strcmp(found.name, ".") || !strcmp(found.name, ".."))
            continue;
        if (found.attrib & _A_SUBDIR) {
            if (FormatText(folder + folderLength, sizeof folder - folderLength, "%s\\%s", found.name, last) == 0)
                count += ScanFolder(folder, output, outputSize, mode, scanned);
            folder[folderLength] = '\0';
            continue;
        }
        if (!HasLinkExtension(found.name) ||
            CopyText(folder + folderLength, sizeof folder - folderLength, found.name) != 0) {
            folder[folderLength] = '\0';
            continue;
        }
        char target[PATH_SIZE];
        bool match = ReadShortcutTarget(folder, target, sizeof target) == S_OK && TargetIsProgram(target);
        if (match) {
            count++;
            if (mode == SCAN_REMOVE) {
                DeleteFileA(folder);
            } else {
                snprintf(output, (size_t)outputSize, "%s", folder);
                break;
            }
        }
        folder[folderLength] = '\0';
    } while (_findnext64(search, &found) == 0);
    _findclose(search);
    return count;
}

int ScanForProgramShortcuts(const char *pattern, char *output, int outputSize, int mode)
{
    if (pattern == nullptr || (mode == SCAN_FIND && (output == nullptr || outputSize <= 0)))
        return -1;
    ScannedFolders scanned = {};
    int count = ScanFolder(pattern, output, outputSize, mode, &scanned);
    free(scanned.Items);
    return count;
}

int ScanSendToFolder(char *output, int outputSize, int mode)
{
    if (mode == SCAN_FIND) {
        if (output == nullptr || outputSize <= 0)
            return -1;
        output[0] = '\0';
    }
    char folder[PATH_SIZE];
    char pattern[PATH_SIZE];
    if (LocateSendToFolder(folder, sizeof folder) != 0 ||
        FormatText(pattern, sizeof pattern, "%s\\*", folder) != 0)
        return 0;
    CoInitialize(nullptr);
    int count = ScanForProgramShortcuts(pattern, output, outputSize, mode);
    CoUninitialize();
    return count;
}

// The link path as the wide text the persist interface takes.
static HRESULT WidePath(const char *path, WCHAR *wide, int size)
{
    return MultiByteToWideChar(CP_ACP, 0, path, -1, wide, size) == 0 ? E_INVALIDARG : S_OK;
}

// A new shell link object and its persist interface; both released by the caller.
static HRESULT NewShellLink(IShellLinkA **link, IPersistFile **file)
{
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      (void **)link);
    if (FAILED(result))
        return result;
    result = (*link)->QueryInterface(IID_IPersistFile, (void **)file);
    if (FAILED(result))
        (*link)->Release();
    return result;
}

HRESULT CreateShortcut(const char *target, const char *linkPath, const char *description)
{
    IShellLinkA *link = nullptr;
    IPersistFile *file = nullptr;
    HRESULT result = NewShellLink(&link, &file);
    if (FAILED(result))
        return result;
    WCHAR wide[MAX_PATH];
    // A link saved without its target would point nowhere. (S_FALSE only
    // says that the target does not exist yet.)
    result = link->SetPath(target);
    if (SUCCEEDED(result))
        result = WidePath(linkPath, wide, MAX_PATH);
    if (SUCCEEDED(result)) {
        if (description != nullptr)
            link->SetDescription(description);
        result = file->Save(wide, TRUE);
    }
    file->Release();
    link->Release();
    return result;
}

HRESULT ReadShortcutTarget(const char *linkPath, char *output, int outputSize)
{
    IShellLinkA *link = nullptr;
    IPersistFile *file = nullptr;
    HRESULT result = NewShellLink(&link, &file);
    if (FAILED(result))
        return result;
    WCHAR wide[MAX_PATH];
    result = WidePath(linkPath, wide, MAX_PATH);
    if (SUCCEEDED(result))
        result = file->Load(wide, STGM_READ);
    if (SUCCEEDED(result))
        result = link->GetPath(output, outputSize, nullptr, SLGP_UNCPRIORITY);
    file->Release();
    link->Release();
    return result;
}
