// The file lookup, through the runtime's 64-bit directory search, and how
// files are opened for hashing.
#include "core/fileinfo.h"

#include "app/textutil.h"
#include "checksum/hashjob.h"
#include "core/fileaccess.h"
#include "core/filelist.h"

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

int QueryFileInfo(const char *path, uint64_t *size, int64_t *lastWriteTime)
{
    if (path == nullptr)
        return -1;
    char buffer[FILE_ACCESS_PATH_SIZE];
    struct __finddata64_t found;
    intptr_t search = _findfirst64(FileAccessPath(path, buffer), &found);
    if (search == -1)
        return -1;
    _findclose(search);
    if (found.attrib & _A_SUBDIR)
        return -2;
    if (size != nullptr)
        *size = (uint64_t)found.size;
    if (lastWriteTime != nullptr)
        *lastWriteTime = (int64_t)found.time_write;
    return 0;
}

int ReadFileStamp(const char *path, FileStamp *stamp)
{
    char buffer[FILE_ACCESS_PATH_SIZE];
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(FileAccessPath(path, buffer), GetFileExInfoStandard, &data))
        return -1;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return -1;
    stamp->Size = ((uint64_t)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    stamp->LastWrite = (int64_t)(((uint64_t)data.ftLastWriteTime.dwHighDateTime << 32) |
                                 data.ftLastWriteTime.dwLowDateTime);
    return 0;
}

FILE *OpenDiskFile(const char *path)
{
    char buffer[FILE_ACCESS_PATH_SIZE];
    HANDLE handle = CreateFileA(FileAccessPath(path, buffer), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    // A pipe or a port would block inside a read where no cancel reaches.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
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

int ReplaceFileWhole(const char *path, const char *text, size_t length)
{
    // A read-only file is not written over (Windows refuses to replace it,
    // Wine does not).
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return -1;
    char folder[MAX_PATH], temporary[MAX_PATH];
    size_t folderLength = (size_t)(PathFileName(path) - path);
    if (folderLength >= sizeof folder)
        return -2;
    memcpy(folder, path, folderLength);
    folder[folderLength] = '\0';
    if (!GetTempFileNameA(folderLength > 0 ? folder : ".", "zun", 0, temporary))
        return -2;
    FILE *file = fopen(temporary, "wb");
    bool ok = file != nullptr && fwrite(text, 1, length, file) == length;
    ok = ok && fflush(file) == 0 && FlushFileBuffers((HANDLE)_get_osfhandle(_fileno(file)));
    if (file != nullptr && fclose(file) != 0)
        ok = false;
    if (ok && MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
        return 0;
    DeleteFileA(temporary);
    return -1;
}

void InitFileAccess(void)
{
    HashOpen = OpenDiskFile;
    BOOL redirected = FALSE;
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (IsWow64Process(GetCurrentProcess(), &redirected) && redirected && length > 0 && length < sizeof windows)
        SetRedirectedWindowsFolder(windows);
}
