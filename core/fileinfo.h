// The file lookup used wherever a path must name an existing file.
#ifndef ZUNTA_FILEINFO_H
#define ZUNTA_FILEINFO_H

#include <stdint.h>

// 0 when path names something that is not a directory (size in bytes and
// last-write time in seconds since 1970 UTC written to the outputs that are
// given), -2 for a directory, -1 for no path or nothing found. A search, not
// an open: unreadable files are found, and wildcards match the first file.
int QueryFileInfo(const char *path, uint64_t *size, int64_t *lastWriteTime);

#endif
