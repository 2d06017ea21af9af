// The wall clock of the native build.
#include "checksum/clock.h"

#include <time.h>

void ReadWallClock(int64_t *seconds, int32_t *milliseconds)
{
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    *seconds = (int64_t)now.tv_sec;
    *milliseconds = (int32_t)(now.tv_nsec / 1000000);
}
