// CRC-32 engine: the reflected CRC with polynomial 0xEDB88320 (ZIP, IEEE 802.3).
#ifndef ZUNTA_CRC32_H
#define ZUNTA_CRC32_H

#include <stddef.h>
#include <stdint.h>

enum { CRC32_START = 0xFFFFFFFFu };

extern const uint32_t Crc32Table[256];

// Feeds length bytes into the running value and returns the new running value.
// The caller starts with CRC32_START and complements the value after the last byte.
uint32_t Crc32Update(uint32_t crc, const unsigned char *bytes, uint32_t length);

// How long inputs are folded: with carry-less multiplication where the
// processor has it, else with sixteen tables at a time. Chosen once at
// start-up; tests may force the table path.
enum Crc32Path { CRC32_PATH_TABLES = 0, CRC32_PATH_CLMUL = 1 };
Crc32Path Crc32ActivePath(void);
bool Crc32ClmulAvailable(void);
// Selects a path (CRC32_PATH_CLMUL only where available); returns the one in force.
Crc32Path Crc32SelectPath(Crc32Path path);

// The carry-less multiply fold of whole 16-byte blocks (length a multiple of
// 16, at least 64); only where Crc32ClmulAvailable().
uint32_t Crc32FoldClmul(uint32_t crc, const unsigned char *bytes, size_t length);

#endif
