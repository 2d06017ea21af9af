// The text of the result box: a file's path and its checksums.
#ifndef ZUNTA_RESULT_TEXT_H
#define ZUNTA_RESULT_TEXT_H

#include <stddef.h>
#include <stdint.h>

// The buffer in which the result text is first made; longer texts are made
// again in a buffer of their own size.
enum { RESULT_TEXT_SIZE = 324 };

// path, then "\r\nCRC : <crc>" and "\tMD5 : <md5>", or "\r\nMD5 : <md5>"
// alone; a missing checksum is left out. Writes at most size bytes, always
// terminated, and returns the length of the whole text (as snprintf does).
size_t FormatResultText(char *text, size_t size, const char *path, const char *crcText,
                        const char *md5Text);

// The first line of a history check's summary: "Checked 3 files against their
// history: 1 unchanged, 1 changed without a write, 1 not in the history", and
// ", 1 could not be read" when some could not. Each count agrees with its own
// noun. Always terminated; a part that does not fit in size is left out.
void FormatHistoryCounts(char *text, size_t size, int32_t considered, int32_t unchanged, int32_t changed,
                         int32_t notInHistory, int32_t unreadable);

#endif
