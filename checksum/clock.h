// The wall clock, read by the hashing job to time a file.
#ifndef ZUNTA_CLOCK_H
#define ZUNTA_CLOCK_H

#include <stdint.h>

// Seconds since 1970 and milliseconds (0 to 999) of the current UTC time.
void ReadWallClock(int64_t *seconds, int32_t *milliseconds);

#endif
