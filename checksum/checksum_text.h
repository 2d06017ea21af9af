// Text forms of the checksums: hexadecimal digits, upper case or lower case.
#ifndef ZUNTA_CHECKSUM_TEXT_H
#define ZUNTA_CHECKSUM_TEXT_H

#include <stddef.h>
#include <stdint.h>

enum { CRC32_TEXT_SIZE = 9, MD5_TEXT_SIZE = 33, SHA1_TEXT_SIZE = 41, SHA256_TEXT_SIZE = 65, SHA512_TEXT_SIZE = 129 };

// Exactly 8 digits with leading zeros; lower case when lower is 1.
void FormatCrc32Text(uint32_t value, int lower, char out[CRC32_TEXT_SIZE]);
// The 16 digest bytes in order as 32 digits; lower case when lower is 1.
void FormatMd5Text(const unsigned char digest[16], int lower, char out[MD5_TEXT_SIZE]);
// Any digest's length bytes in order as 2 * length digits; lower case when
// lower is 1. Returns 0, or -1 with an empty text when size cannot hold them.
int FormatDigestText(const unsigned char *digest, size_t length, int lower, char *out, size_t size);

#endif
