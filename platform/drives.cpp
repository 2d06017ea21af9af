// The drive a file lies on and the processors, as the runs ask about them.
#include "platform/drives.h"

#include "core/hashahead.h"

#include <windows.h>
#include <winioctl.h>
#include <string.h>

bool (*DriveHasSeekPenalty)(const char *path) = AskDriveSeekPenalty;
int RunHelperCount = -1;

enum { KNOWN_DRIVES = 16 };

// The drives asked about in this run: a volume path and its answer.
static struct {
    char Volume[MAX_PATH];
    bool Penalty;
} Known[KNOWN_DRIVES];
static int KnownCount;

void ForgetDriveAnswers(void)
{
    KnownCount = 0;
}

static bool AskDevice(const char *volume)
{
    // "C:\" is asked as the device "\\.\C:"; other volumes (shares,
    // mounted folders) cannot be asked and count as having no penalty.
    if (strlen(volume) != 3 || volume[1] != ':')
        return false;
    char device[] = "\\\\.\\X:";
    device[4] = volume[0];
    HANDLE drive = CreateFileA(device, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (drive == INVALID_HANDLE_VALUE)
        return false;
    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceSeekPenaltyProperty;
    query.QueryType = PropertyStandardQuery;
    DEVICE_SEEK_PENALTY_DESCRIPTOR answer = {};
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(drive, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &answer, sizeof answer,
                              &returned, nullptr);
    CloseHandle(drive);
    return ok && returned >= sizeof answer && answer.IncursSeekPenalty;
}

bool AskDriveSeekPenalty(const char *path)
{
    char volume[MAX_PATH];
    if (!GetVolumePathNameA(path, volume, sizeof volume))
        return false;
    for (int i = 0; i < KnownCount; i++)
        if (!_stricmp(Known[i].Volume, volume))
            return Known[i].Penalty;
    bool penalty = AskDevice(volume);
    if (KnownCount < KNOWN_DRIVES) {
        strcpy(Known[KnownCount].Volume, volume);
        Known[KnownCount++].Penalty = penalty;
    }
    return penalty;
}

int RunHelpers(void)
{
    if (RunHelperCount >= 0)
        return RunHelperCount > HASH_AHEAD_MAX_HELPERS ? HASH_AHEAD_MAX_HELPERS : RunHelperCount;
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    int helpers = (int)system.dwNumberOfProcessors - 1;
    return helpers < 0 ? 0 : helpers > HASH_AHEAD_MAX_HELPERS ? HASH_AHEAD_MAX_HELPERS : helpers;
}
