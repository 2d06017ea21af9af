// The paths of the command line: added to this instance's list, or handed to
// the running instance through MSG_REMOTE_FILE, and that instance's end of
// the message.
#include "ui/handoff.h"

#include "base/program.h"
#include "base/textutil.h"
#include "core/cmdline.h"
#include "core/fileaccess.h"
#include "platform/codepage.h"
#include "resources/resource.h"
#include "ui/addfiles.h"
#include "ui/mainwnd.h"
#include "ui/runs.h"
#include "ui/saveverify.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

enum {
    REMOTE_PATH_SIZE = 260,
    REMOTE_LONG_PATH_MOST = 3 * 32767,   // the longest path Windows names, in UTF-8
    PENDING_VERIFY_MS = 250,            // how often a waiting verification looks for its turn
};

// The receiver only reads the sender's path out of its memory.
static const DWORD SenderAccess = PROCESS_VM_READ;

// The path a wide call gave, without the extended form's prefix, in the
// process code page into out, as the system's calls answer: its length, the
// size needed when out is too small, or 0 when the code page cannot write it.
static unsigned AnswerInCodePage(WCHAR *path, char *out, unsigned size)
{
    DropExtendedPrefix(path, wcslen(path));
    int length = WideToCodePage(path, CP_ACP, nullptr, 0, true);
    if (length < 0)
        return 0;
    if ((unsigned)length >= size)
        return (unsigned)length + 1;
    return WideToCodePage(path, CP_ACP, out, size, true) == length ? (unsigned)length : 0;
}

// A wide call on a long path as the system names it (SystemPath),
// answered in the process code page as AnswerInCodePage.
static unsigned AskWide(DWORD (*ask)(const WCHAR *, WCHAR *, DWORD), const char *path, char *out, unsigned size)
{
    WCHAR *system = SystemPath(path);
    DWORD needed = system != nullptr ? ask(system, nullptr, 0) : 0;
    WCHAR *answer = needed > 0 ? (WCHAR *)malloc(needed * sizeof(WCHAR)) : nullptr;
    DWORD made = answer != nullptr ? ask(system, answer, needed) : 0;
    unsigned result = made > 0 && made < needed ? AnswerInCodePage(answer, out, size) : 0;
    free(answer);
    free(system);
    return result;
}

static DWORD LongNameWide(const WCHAR *path, WCHAR *out, DWORD size)
{
    return GetLongPathNameW(path, out, size);
}

static DWORD FullNameWide(const WCHAR *path, WCHAR *out, DWORD size)
{
    return GetFullPathNameW(path, size, out, nullptr);
}

// Paths shorter than this many bytes go through the narrow calls as they
// always have; longer ones through the wide calls.
static bool IsLongPath(const char *path)
{
    return strlen(path) >= LONG_PATH_FROM;
}

static unsigned LongPathName(const char *path, char *out, unsigned size)
{
    return IsLongPath(path) ? AskWide(LongNameWide, path, out, size) : GetLongPathNameA(path, out, size);
}

// A relative argument joined to the start folder, its "." and ".." resolved;
// any other path as written.
static unsigned FullArgumentPath(const char *path, char *out, unsigned size)
{
    size_t room = strlen(Program.StartFolder) + strlen(path) + 2;
    char *joined = (char *)malloc(room);
    int made = joined != nullptr ? MakeArgumentAbsolute(Program.StartFolder, path, joined, room) : -1;
    unsigned result = 0;
    if (made == 0) {
        size_t length = strlen(joined);
        result = length >= size ? (unsigned)length + 1 : CopyText(out, size, joined) == 0 ? (unsigned)length : 0;
    } else if (made == 1) {
        result = IsLongPath(joined) ? AskWide(FullNameWide, joined, out, size)
                                    : GetFullPathNameA(joined, size, out, nullptr);
    }
    free(joined);
    return result;
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

// The paths the running instance refused, one per line.
static char *Refused;
static size_t RefusedLength;

static void NoteRefused(const char *path)
{
    size_t length = strlen(path);
    char *grown = (char *)realloc(Refused, RefusedLength + length + 3);
    if (grown == nullptr) {
        HandOffFailed = true;
        return;
    }
    memcpy(grown + RefusedLength, path, length);
    memcpy(grown + RefusedLength + length, "\r\n", 3);
    Refused = grown;
    RefusedLength += length + 2;
}

char *TakeRefusedHandOffs(void)
{
    char *refused = Refused;
    Refused = nullptr;
    RefusedLength = 0;
    return refused;
}

// A path sent by message in a block of its own below 2 GiB: its length in
// 32 bits, then its bytes. Returns the receiver's answer, or -1 (HandOffFailed
// set) when no such memory was had.
static LRESULT SendPathBlock(HWND window, UINT message, const char *path, size_t length)
{
    size_t size = sizeof(uint32_t) + length;
#ifdef _WIN64
    char *block = AllocateBelow2GiB(size);
#else
    char *block = (char *)malloc(size);
#endif
    if (block == nullptr) {
        HandOffFailed = true;
        return -1;
    }
    uint32_t stored = (uint32_t)length;
    memcpy(block, &stored, sizeof stored);
    memcpy(block + sizeof stored, path, length);
    LRESULT answer = SendMessageA(window, message, GetCurrentProcessId(), (LPARAM)block);
#ifdef _WIN64
    VirtualFree(block, 0, MEM_RELEASE);
#else
    free(block);
#endif
    return answer;
}

// A path too long for the buffer of MSG_REMOTE_FILE goes by
// MSG_REMOTE_LONG_FILE.
static void SendLongPath(HWND window, const char *path, size_t length)
{
    LRESULT answer = SendPathBlock(window, MSG_REMOTE_LONG_FILE, path, length);
    if (answer != -1 && answer != REMOTE_LONG_FILE_TAKEN)
        NoteRefused(path);
}

static int SendPathToInstance(void *window, const char *path)
{
    size_t length = strlen(path);
    if (length >= REMOTE_PATH_SIZE) {
        if (length <= REMOTE_LONG_PATH_MOST)
            SendLongPath((HWND)window, path, length);
        return 0;
    }
    char *buffer = HandOffBuffer();
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

// The path a sender's block holds (its 32-bit length, then its bytes), on
// the heap; null when the sender could not be read or the path holds a NUL.
static char *ReadRemoteBlock(DWORD senderId, const void *address)
{
    uint32_t length;
    if (ReadRemotePath(senderId, address, (char *)&length, sizeof length) != 0 || length == 0 ||
        length > REMOTE_LONG_PATH_MOST)
        return nullptr;
    char *path = (char *)malloc((size_t)length + 1);
    if (path == nullptr || ReadRemotePath(senderId, (const char *)address + sizeof length, path, (int)length) != 0) {
        free(path);
        return nullptr;
    }
    path[length] = '\0';
    if (strlen(path) != length) {
        free(path);
        return nullptr;
    }
    return path;
}

LRESULT OnRemoteLongFile(HWND window, DWORD senderId, const void *address)
{
    char *path = ReadRemoteBlock(senderId, address);
    if (path == nullptr)
        return 0;
    SetDlgItemTextA(window, IDC_RESULT, path);
    if (AddFileToList(path, -1) == ADD_OUT_OF_MEMORY)
        EndMainDialog(window);
    free(path);
    return REMOTE_LONG_FILE_TAKEN;
}

// Checksum files the command line asked to verify, in the order asked; each
// waits until no run goes and no other window of the program is up.
static char **Pending;
static int32_t PendingCount;

static int QueueVerification(char *path)
{
    char **grown = (char **)realloc(Pending, ((size_t)PendingCount + 1) * sizeof *Pending);
    if (grown == nullptr)
        return -1;
    Pending = grown;
    Pending[PendingCount++] = path;
    return 0;
}

int TakeVerifyRequest(void)
{
    CommandLineActions actions = {};
    actions.FullPath = FullArgumentPath;
    actions.LongPath = LongPathName;
    char *path;
    int found = Program.CommandLineCursor != nullptr
                    ? ParseVerifyRequest(Program.CommandLineCursor, &actions, &path)
                    : 0;
    if (found != 1)
        return found;
    Program.CommandLineCursor = nullptr;
    if (QueueVerification(path) != 0) {
        free(path);
        return -1;
    }
    return 1;
}

bool HandVerificationsTo(HWND window)
{
    while (PendingCount > 0) {
        const char *path = Pending[0];
        if (SendPathBlock(window, MSG_REMOTE_VERIFY, path, strlen(path)) != REMOTE_VERIFY_TAKEN)
            return false;
        free(Pending[0]);
        memmove(Pending, Pending + 1, (size_t)--PendingCount * sizeof *Pending);
    }
    return true;
}

void ResumePendingVerifications(HWND window)
{
    if (PendingCount > 0)
        SetTimer(window, TIMER_PENDING_VERIFY, PENDING_VERIFY_MS, nullptr);
}

void StartPendingVerification(HWND window)
{
    if (PendingCount == 0) {
        KillTimer(window, TIMER_PENDING_VERIFY);
        return;
    }
    // A message box or dialog of the program disables the window.
    if (!RunCanStart() || !IsWindowEnabled(window))
        return;
    char *path = Pending[0];
    memmove(Pending, Pending + 1, (size_t)--PendingCount * sizeof *Pending);
    if (PendingCount == 0)
        KillTimer(window, TIMER_PENDING_VERIFY);
    VerifyChecksumFileAt(window, path);
    free(path);
}

LRESULT OnRemoteVerify(HWND window, DWORD senderId, const void *address)
{
    char *path = ReadRemoteBlock(senderId, address);
    if (path == nullptr)
        return 0;
    if (QueueVerification(path) != 0) {
        free(path);
        return 0;
    }
    ResumePendingVerifications(window);
    return REMOTE_VERIFY_TAKEN;
}
