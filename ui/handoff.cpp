// The paths of the command line: added to this instance's list, or handed to
// the running instance through MSG_REMOTE_FILE, and that instance's end of
// the message.
#include "ui/handoff.h"

#include "base/program.h"
#include "base/textutil.h"
#include "core/cmdline.h"
#include "resources/resource.h"
#include "ui/addfiles.h"
#include "ui/mainwnd.h"

#include <string.h>

enum { REMOTE_PATH_SIZE = 260 };

// The receiver only reads the sender's path out of its memory.
static const DWORD SenderAccess = PROCESS_VM_READ;

static unsigned LongPathName(const char *path, char *out, unsigned size)
{
    return GetLongPathNameA(path, out, size);
}

// A relative argument joined to the start folder, its "." and ".." resolved;
// any other path as written.
static unsigned FullArgumentPath(const char *path, char *out, unsigned size)
{
    char joined[COMMAND_PATH_SIZE];
    int made = MakeArgumentAbsolute(Program.StartFolder, path, joined, sizeof joined);
    if (made < 0)
        return 0;
    if (made == 0)
        return CopyText(out, size, joined) == 0 ? (unsigned)strlen(out) : 0;
    DWORD length = GetFullPathNameA(joined, size, out, nullptr);
    return length < size ? length : 0;
}

static int AddPathLocally(void *, const char *path)
{
    return AddFileToList(path, -1) == ADD_OUT_OF_MEMORY ? -1 : 0;
}

#ifdef _WIN64
// The first free address range below 2 GiB with room for size bytes,
// committed, or null.
static char *AllocateBelow2GiB(size_t size)
{
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const uintptr_t limit = (uintptr_t)1 << 31;
    const uintptr_t granularity = system.dwAllocationGranularity;
    MEMORY_BASIC_INFORMATION region;
    for (uintptr_t at = (uintptr_t)system.lpMinimumApplicationAddress; at < limit;
         at = (uintptr_t)region.BaseAddress + region.RegionSize) {
        if (VirtualQuery((const void *)at, &region, sizeof region) == 0)
            break;
        uintptr_t start = ((uintptr_t)region.BaseAddress + granularity - 1) / granularity * granularity;
        uintptr_t end = (uintptr_t)region.BaseAddress + region.RegionSize;
        if (region.State != MEM_FREE || start + size > end || start + size > limit)
            continue;
        void *block = VirtualAlloc((void *)start, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (block != nullptr)
            return (char *)block;
    }
    return nullptr;
}
#endif

// The running instance reads the path from this buffer while SendMessageA
// waits, so one buffer serves every path. Its address travels in the
// message's 32-bit parameter to a 32-bit instance, which widens it with its
// sign to a 64-bit one: it must lie below 2 GiB. Null when no such memory
// can be had.
char *HandOffBuffer(void)
{
    static char buffer[REMOTE_PATH_SIZE];
    if ((uintptr_t)buffer + sizeof buffer <= ((uintptr_t)1 << 31))
        return buffer;
#ifdef _WIN64
    static char *low = AllocateBelow2GiB(REMOTE_PATH_SIZE);
    return low;
#else
    return nullptr;
#endif
}

bool HandOffFailed;

static int SendPathToInstance(void *window, const char *path)
{
    char *buffer = HandOffBuffer();
    size_t length = strlen(path);
    if (length >= REMOTE_PATH_SIZE)
        return 0;
    if (buffer == nullptr) {
        HandOffFailed = true;
        return 0;
    }
    memcpy(buffer, path, length + 1);
    SendMessageA((HWND)window, MSG_REMOTE_FILE, GetCurrentProcessId(), (LPARAM)buffer);
    return 0;
}

int ParseCommandLine(int mode, HWND window)
{
    CommandLineActions actions = {};
    actions.FullPath = FullArgumentPath;
    actions.LongPath = LongPathName;
    actions.HandlePath = mode == SEND_TO_INSTANCE ? SendPathToInstance : AddPathLocally;
    actions.Context = window;
    return ParseCommandLineText(&Program.CommandLineCursor, mode, &actions);
}

int ReadRemotePath(DWORD processId, const void *address, char *buffer, int byteCount)
{
    if (address == nullptr || buffer == nullptr || byteCount <= 0)
        return -1;
    HANDLE process = OpenProcess(SenderAccess, FALSE, processId);
    if (process == nullptr)
        return -1;
    SIZE_T read = 0;
    BOOL ok = ReadProcessMemory(process, address, buffer, (SIZE_T)byteCount, &read);
    CloseHandle(process);
    return ok && read == (SIZE_T)byteCount ? 0 : -1;
}

void OnRemoteFile(HWND window, DWORD senderId, const void *address)
{
    char path[REMOTE_PATH_SIZE + 1];
    // A sender that cannot be read is ignored: a message from outside must
    // not cost the user the files already collected.
    if (ReadRemotePath(senderId, address, path, REMOTE_PATH_SIZE) != 0)
        return;
    path[REMOTE_PATH_SIZE] = '\0';
    SetDlgItemTextA(window, IDC_RESULT, path);
    if (AddFileToList(path, -1) == ADD_OUT_OF_MEMORY)
        EndMainDialog(window);
}
