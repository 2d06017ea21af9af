// The file lookup, through the runtime's 64-bit directory search, and how
// files are opened for hashing.
#include "core/fileinfo.h"

#include "base/textutil.h"
#include "checksum/hashjob.h"
#include "core/fileaccess.h"
#include "core/filelist.h"
#include "platform/codepage.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <string.h>

// Sizes and times past 4 GiB and 2038 come through this search whole.
static_assert(sizeof(((struct __finddata64_t *)nullptr)->size) == 8, "64-bit sizes in the file search");
static_assert(sizeof(((struct __finddata64_t *)nullptr)->time_write) == 8, "64-bit times in the file search");
static_assert(sizeof(__time64_t) == 8, "64-bit times");
static_assert(sizeof(((FileEntry *)nullptr)->Size) == 8, "64-bit sizes in the list");
// Sizes are formatted with %llu, which the system's own printf of older
// Windows versions does not know: MinGW's C99 printf family must be in use.
#if !__USE_MINGW_ANSI_STDIO
#error "MinGW's own printf family is needed for 64-bit formats"
#endif

// Opens path as the system names it (SystemPath); INVALID_HANDLE_VALUE when
// it cannot be.
static HANDLE OpenSystemPath(const char *path, DWORD access, DWORD share, DWORD flags)
{
    WCHAR *system = SystemPath(path);
    HANDLE handle = system == nullptr ? INVALID_HANDLE_VALUE
                                      : CreateFileW(system, access, share, nullptr, OPEN_EXISTING, flags, nullptr);
    free(system);
    return handle;
}

int QueryFileInfo(const char *path, uint64_t *size, int64_t *lastWriteTime)
{
    WCHAR *system = SystemPath(path);
    if (system == nullptr)
        return QUERY_NOTHING;
    struct _wfinddata64_t found;
    intptr_t search = _wfindfirst64(system, &found);
    free(system);
    if (search == -1)
        return QUERY_NOTHING;
    _findclose(search);
    if (found.attrib & _A_SUBDIR)
        return QUERY_DIRECTORY;
    if (size != nullptr)
        *size = (uint64_t)found.size;
    if (lastWriteTime != nullptr)
        *lastWriteTime = (int64_t)found.time_write;
    return QUERY_FILE;
}

int ReadFileStamp(const char *path, FileStamp *stamp)
{
    WCHAR *system = SystemPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    BOOL found = system != nullptr && GetFileAttributesExW(system, GetFileExInfoStandard, &data);
    free(system);
    if (!found)
        return -1;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return -1;
    stamp->Size = ((uint64_t)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    stamp->LastWrite = (int64_t)(((uint64_t)data.ftLastWriteTime.dwHighDateTime << 32) |
                                 data.ftLastWriteTime.dwLowDateTime);
    return 0;
}

// ---- A verification's opens, confined to its checksum file's folder ----

// The folder as the verification names it and where it lies (its final
// path, and its volume path, see VolumePathOf), all folded (FoldWidePath);
// null when no verification confines.
static WCHAR *ConfinedNamed, *ConfinedFinal, *ConfinedVolumePath;

// The final path of the file open as handle, all links followed, without
// "\\?\" (a share's "\\?\UNC\server" as "\\server"), folded; null when the
// system gives none or memory ran out.
static WCHAR *FinalPathOf(HANDLE handle)
{
    DWORD size = MAX_PATH, form = FILE_NAME_NORMALIZED;
    for (int attempt = 0; attempt < 3; attempt++) {
        WCHAR *path = (WCHAR *)malloc((size_t)size * sizeof *path);
        if (path == nullptr)
            return nullptr;
        DWORD length = GetFinalPathNameByHandleW(handle, path, size, form | VOLUME_NAME_DOS);
        if (length > 0 && length < size) {
            FoldWidePath(path, DropExtendedPrefix(path, length));
            return path;
        }
        free(path);
        // Some file systems give no normalized name, only the one opened
        // (after the links, not spelled as on the disk).
        if (length == 0 && form == FILE_NAME_OPENED)
            return nullptr;
        if (length == 0)
            form = FILE_NAME_OPENED;
        else
            size = length + 1;  // the size it needs (some systems count its terminator, some do not)
    }
    return nullptr;
}

// Where the file open as handle lies when the system tells no final path
// (Wine tells none past MAX_PATH): its volume's serial number in hex, ':'
// and its path on that volume, folded; null when this is not known either.
static WCHAR *VolumePathOf(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION file;
    const DWORD size = sizeof(FILE_NAME_INFO) + 32767 * sizeof(WCHAR);
    FILE_NAME_INFO *name = (FILE_NAME_INFO *)malloc(size);
    WCHAR *path = nullptr;
    if (name != nullptr && GetFileInformationByHandle(handle, &file) &&
        GetFileInformationByHandleEx(handle, FileNameInfo, name, size)) {
        size_t units = name->FileNameLength / sizeof(WCHAR);
        path = (WCHAR *)malloc((9 + units + 1) * sizeof(WCHAR));
        if (path != nullptr) {
            swprintf(path, 10, L"%08lx:", (unsigned long)file.dwVolumeSerialNumber);
            memcpy(path + 9, name->FileName, units * sizeof(WCHAR));
            path[9 + units] = L'\0';
            FoldWidePath(path, 9 + units);
        }
    }
    free(name);
    return path;
}

// Whether the folded path lies in the folded folder or below it.
static bool WideInFolder(const WCHAR *folder, const WCHAR *path)
{
    size_t length = wcslen(folder);
    while (length > 0 && folder[length - 1] == L'\\')
        length--;
    return wcsncmp(path, folder, length) == 0 && path[length] == L'\\';
}

// Whether the file open as handle by path may be reached: LOOK_UP_FOUND,
// LOOK_UP_OUTSIDE, or LOOK_UP_NO_MEMORY.
static int ReachedInsideConfinement(const char *path, HANDLE handle)
{
    if (ConfinedNamed == nullptr)
        return LOOK_UP_FOUND;
    WCHAR *named = FoldedWidePath(path);
    if (named == nullptr)
        return LOOK_UP_NO_MEMORY;
    bool confined = WideInFolder(ConfinedNamed, named);
    free(named);
    if (!confined)
        return LOOK_UP_FOUND;
    // A file whose place cannot be told is taken as outside.
    WCHAR *final = ConfinedFinal != nullptr ? FinalPathOf(handle) : nullptr;
    bool inside = final != nullptr && WideInFolder(ConfinedFinal, final);
    if (final == nullptr && ConfinedVolumePath != nullptr) {
        final = VolumePathOf(handle);
        inside = final != nullptr && WideInFolder(ConfinedVolumePath, final);
    }
    free(final);
    return inside ? LOOK_UP_FOUND : LOOK_UP_OUTSIDE;
}

void EndOpensConfinement(void)
{
    free(ConfinedNamed);
    free(ConfinedFinal);
    free(ConfinedVolumePath);
    ConfinedNamed = ConfinedFinal = ConfinedVolumePath = nullptr;
}

int ConfineOpensToFolder(const char *folder)
{
    EndOpensConfinement();
    HANDLE handle = OpenSystemPath(folder, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   FILE_FLAG_BACKUP_SEMANTICS);
    if (handle == INVALID_HANDLE_VALUE)
        return LOOK_UP_MISSING;
    WCHAR *final = FinalPathOf(handle), *volumePath = VolumePathOf(handle);
    CloseHandle(handle);
    WCHAR *named = FoldedWidePath(folder);
    if ((final == nullptr && volumePath == nullptr) || named == nullptr) {
        free(final);
        free(volumePath);
        free(named);
        return LOOK_UP_NO_MEMORY;
    }
    ConfinedNamed = named;
    ConfinedFinal = final;
    ConfinedVolumePath = volumePath;
    return LOOK_UP_FOUND;
}

int LookUpFile(const char *path, uint64_t *size, uint32_t *volume, uint64_t *index)
{
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE handle = OpenSystemPath(path, FILE_READ_ATTRIBUTES, share, 0);
    if (handle == INVALID_HANDLE_VALUE)
        return LOOK_UP_MISSING;
    BY_HANDLE_FILE_INFORMATION info;
    int result = LOOK_UP_MISSING;
    if (GetFileInformationByHandle(handle, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        result = ReachedInsideConfinement(path, handle);
    CloseHandle(handle);
    if (result == LOOK_UP_FOUND) {
        *size = ((uint64_t)info.nFileSizeHigh << 32) | info.nFileSizeLow;
        *volume = info.dwVolumeSerialNumber;
        *index = ((uint64_t)info.nFileIndexHigh << 32) | info.nFileIndexLow;
    }
    return result;
}

// The FILE of a regular disk file at path, shared as share says; null as
// OpenDiskFile says.
static FILE *OpenDiskFileShared(const char *path, DWORD share)
{
    HANDLE handle = OpenSystemPath(path, GENERIC_READ, share, FILE_FLAG_SEQUENTIAL_SCAN);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    // A pipe or a port would block inside a read where no cancel reaches;
    // a link swapped since the look-up is caught where the file is read.
    if (GetFileType(handle) != FILE_TYPE_DISK || ReachedInsideConfinement(path, handle) != LOOK_UP_FOUND) {
        CloseHandle(handle);
        return nullptr;
    }
    int descriptor = _open_osfhandle((intptr_t)handle, _O_RDONLY | _O_BINARY);
    if (descriptor == -1) {
        CloseHandle(handle);
        return nullptr;
    }
    FILE *file = _fdopen(descriptor, "rb");
    if (file == nullptr)
        _close(descriptor);     // closes the handle too
    return file;
}

FILE *OpenDiskFile(const char *path)
{
    return OpenDiskFileShared(path, FILE_SHARE_READ | FILE_SHARE_WRITE);
}

int ReadWholeFile(const char *path, uint64_t limit, WholeProgressFn progress, void *context, char **text,
                  size_t *length)
{
    const size_t piece = 1 << 20;   // bytes read between two progress reports
    *text = nullptr;
    *length = 0;
    FILE *file = OpenDiskFileShared(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (file == nullptr)
        return WHOLE_NOT_OPENED;
    __int64 size = _filelengthi64(_fileno(file));
    int result = size < 0 ? WHOLE_UNREADABLE : (uint64_t)size > limit ? WHOLE_TOO_LARGE : WHOLE_READ;
    char *bytes = nullptr;
    if (result == WHOLE_READ && ((uint64_t)size >= SIZE_MAX || (bytes = (char *)malloc((size_t)size + 1)) == nullptr))
        result = WHOLE_NO_MEMORY;
    size_t used = 0;
    while (result == WHOLE_READ && used < (size_t)size) {
        if (progress != nullptr && progress(context, used, (uint64_t)size) != 0) {
            result = WHOLE_CANCELLED;
            break;
        }
        size_t want = (size_t)size - used < piece ? (size_t)size - used : piece;
        size_t got = fread(bytes + used, 1, want, file);
        used += got;
        if (got < want) {
            result = ferror(file) ? WHOLE_UNREADABLE : WHOLE_READ;
            break;
        }
    }
    fclose(file);
    if (result != WHOLE_READ) {
        free(bytes);
        return result;
    }
    bytes[used] = '\0';
    *text = bytes;
    *length = used;
    return WHOLE_READ;
}

int ReplaceFileWhole(const char *path, const char *text, size_t length)
{
    // A read-only file is not written over (Windows refuses to replace it,
    // Wine does not).
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return REPLACE_FAILED;
    char folder[MAX_PATH], temporary[MAX_PATH];
    size_t folderLength = (size_t)(PathFileName(path) - path);
    if (folderLength >= sizeof folder)
        return REPLACE_NO_NEW_FILE;
    memcpy(folder, path, folderLength);
    folder[folderLength] = '\0';
    if (!GetTempFileNameA(folderLength > 0 ? folder : ".", "zun", 0, temporary))
        return REPLACE_NO_NEW_FILE;
    FILE *file = fopen(temporary, "wb");
    bool ok = file != nullptr && fwrite(text, 1, length, file) == length;
    ok = ok && fflush(file) == 0 && FlushFileBuffers((HANDLE)_get_osfhandle(_fileno(file)));
    if (file != nullptr && fclose(file) != 0)
        ok = false;
    if (ok && MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
        return REPLACE_DONE;
    DeleteFileA(temporary);
    return REPLACE_FAILED;
}

wchar_t *SystemPath(const char *path)
{
    if (path == nullptr)
        return nullptr;
    int units = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    WCHAR *wide = units > 0 ? (WCHAR *)malloc((size_t)units * sizeof(WCHAR)) : nullptr;
    if (wide == nullptr || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, wide, units) != units) {
        free(wide);
        return nullptr;
    }
    size_t length = (size_t)units - 1;
    // The extended form is taken as it is: a long path is made full first,
    // its "." and ".." resolved and its separators made '\'.
    if (length >= LONG_PATH_FROM && wcsncmp(wide, L"\\\\?\\", 4) != 0) {
        DWORD size = GetFullPathNameW(wide, 0, nullptr, nullptr);
        WCHAR *full = size > 0 ? (WCHAR *)malloc((size_t)size * sizeof(WCHAR)) : nullptr;
        DWORD made = full != nullptr ? GetFullPathNameW(wide, size, full, nullptr) : 0;
        free(wide);
        if (made == 0 || made >= size) {
            free(full);
            return nullptr;
        }
        wide = full;
        length = made;
    }
    size_t formLength;
    char16_t *form = SystemPathForm((const char16_t *)wide, length, &formLength);
    free(wide);
    return (wchar_t *)form;
}

void InitFileAccess(void)
{
    HashOpen = OpenDiskFile;
    BOOL redirected = FALSE;
    WCHAR windows[MAX_PATH];
    UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (IsWow64Process(GetCurrentProcess(), &redirected) && redirected && length > 0 && length < MAX_PATH)
        SetRedirectedWindowsFolder((const char16_t *)windows, length);
}
