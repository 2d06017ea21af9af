// What the SHA engines share: the choice of how blocks are compressed, the
// block buffer that input passes through, and the closing padding.
#ifndef ZUNTA_SHA_COMMON_H
#define ZUNTA_SHA_COMMON_H

#include "checksum/sha1.h"
#include "checksum/sha256.h"
#include "checksum/sha512.h"

#include <stddef.h>
#include <stdint.h>

// How an engine compresses its blocks: plain C++, with the message schedule
// computed in vector registers (AVX, with BMI2 for the rounds), or
// with the processor's SHA instructions. The fastest path the processor has
// is chosen once at start-up; tests may force a slower one.
enum ShaPath { SHA_PATH_PORTABLE = 0, SHA_PATH_VECTOR = 1, SHA_PATH_EXTENSIONS = 2 };
enum ShaAlgorithm { SHA_1 = 0, SHA_256 = 1, SHA_512 = 2 };

bool ShaPathAvailable(ShaAlgorithm algorithm, ShaPath path);
ShaPath ShaActivePath(ShaAlgorithm algorithm);
// Selects path, or the fastest available one below it; returns the one in force.
ShaPath ShaSelectPath(ShaAlgorithm algorithm, ShaPath path);

// Any of the engines behind one record, for callers that choose the
// algorithm at run time.
struct ShaContext {
    ShaAlgorithm Algorithm;
    union {
        Sha1Context Sha1;
        Sha256Context Sha256;
        Sha512Context Sha512;
    };
};

void ShaInit(ShaContext *ctx, ShaAlgorithm algorithm);
void ShaUpdate(ShaContext *ctx, const unsigned char *bytes, uint32_t length);
// Pads the message; returns the digest inside ctx and writes its size in
// bytes (20, 32 or 64) to *size.
const unsigned char *ShaFinal(ShaContext *ctx, size_t *size);

// Compresses count whole blocks into the chaining value state.
typedef void (*ShaBlocksFn)(void *state, const unsigned char *blocks, size_t count);

// Feeds length bytes after the waiting bytes already in buffer: completes
// the waiting block, compresses whole blocks straight from the input and
// keeps the rest in buffer.
void ShaFeed(void *state, ShaBlocksFn compress, unsigned char *buffer, size_t blockSize, size_t waiting,
             const unsigned char *bytes, size_t length);
// Closes the message of waiting bytes in buffer: 0x80, zeros, and the bit
// length bitsHigh:bitsLow big-endian in the last lengthSize (8 or 16) bytes.
void ShaPad(void *state, ShaBlocksFn compress, unsigned char *buffer, size_t blockSize, size_t waiting,
            uint64_t bitsHigh, uint64_t bitsLow, size_t lengthSize);

inline uint32_t ShaLoad32(const unsigned char *p)
{
    return ((uint32_t)p[0] << 24) | ((uint32_t)p[1] << 16) | ((uint32_t)p[2] << 8) | (uint32_t)p[3];
}

inline uint64_t ShaLoad64(const unsigned char *p)
{
    return ((uint64_t)ShaLoad32(p) << 32) | ShaLoad32(p + 4);
}

inline void ShaStore32(unsigned char *p, uint32_t value)
{
    p[0] = (unsigned char)(value >> 24);
    p[1] = (unsigned char)(value >> 16);
    p[2] = (unsigned char)(value >> 8);
    p[3] = (unsigned char)value;
}

inline void ShaStore64(unsigned char *p, uint64_t value)
{
    ShaStore32(p, (uint32_t)(value >> 32));
    ShaStore32(p + 4, (uint32_t)value);
}

// The block functions of each path; the vector and extension paths only
// where ShaPathAvailable says so.
void Sha1BlocksPortable(uint32_t state[5], const unsigned char *blocks, size_t count);
void Sha1BlocksVector(uint32_t state[5], const unsigned char *blocks, size_t count);
void Sha1BlocksExtensions(uint32_t state[5], const unsigned char *blocks, size_t count);
void Sha256BlocksPortable(uint32_t state[8], const unsigned char *blocks, size_t count);
void Sha256BlocksVector(uint32_t state[8], const unsigned char *blocks, size_t count);
void Sha256BlocksExtensions(uint32_t state[8], const unsigned char *blocks, size_t count);
void Sha512BlocksPortable(uint64_t state[8], const unsigned char *blocks, size_t count);
void Sha512BlocksVector(uint64_t state[8], const unsigned char *blocks, size_t count);

extern const uint32_t Sha256Constants[64];
extern const uint64_t Sha512Constants[80];

#endif
