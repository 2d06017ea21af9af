// The wall clock on Windows: the system time as a FILETIME.
#include "checksum/clock.h"

#include <windows.h>

void ReadWallClock(int64_t *seconds, int32_t *milliseconds)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    // 100-nanosecond intervals since 1601-01-01.
    uint64_t ticks = ((uint64_t)now.dwHighDateTime << 32) | now.dwLowDateTime;
    const uint64_t ticksTo1970 = 116444736000000000ull;
    uint64_t sinceEpoch = ticks - ticksTo1970;
    *seconds = (int64_t)(sinceEpoch / 10000000u);
    *milliseconds = (int32_t)(sinceEpoch % 10000000u / 10000u);
}
