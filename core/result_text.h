// The text of the result box: a file's path and its checksums.
#ifndef ZUNTA_RESULT_TEXT_H
#define ZUNTA_RESULT_TEXT_H

#include <stddef.h>

// The buffer in which the result text is first made; longer texts are made
// again in a buffer of their own size.
enum { RESULT_TEXT_SIZE = 324 };

// path, then "\r\nCRC : <crc>" and "\tMD5 : <md5>", or "\r\nMD5 : <md5>"
// alone; a missing checksum is left out. Writes at most size bytes, always
// terminated, and returns the length of the whole text (as snprintf does).
size_t FormatResultText(char *text, size_t size, const char *path, const char *crcText,
                        const char *md5Text);

#endif
