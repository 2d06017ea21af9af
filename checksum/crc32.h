// CRC-32 engine: the reflected CRC with polynomial 0xEDB88320 (ZIP, IEEE 802.3).
#ifndef ZUNTA_CRC32_H
#define ZUNTA_CRC32_H

#include <stdint.h>

enum { CRC32_START = 0xFFFFFFFFu };

extern const uint32_t Crc32Table[256];

// Feeds length bytes into the running value and returns the new running value.
// The caller starts with CRC32_START and complements the value after the last byte.
uint32_t Crc32Update(uint32_t crc, const unsigned char *bytes, uint32_t length);

#endif
