// The functions of each XXH3 path, each built in a file of its own for its
// instructions (checksum/xxh3_path.h); used by checksum/xxhash_engine.cpp.
#ifndef ZUNTA_XXH3_PATHS_H
#define ZUNTA_XXH3_PATHS_H

#include "checksum/xxhash_engine.h"

#include <stddef.h>

struct Xxh3PathFunctions {
    void (*Reset)(void *state);
    void (*Update)(void *state, const unsigned char *bytes, size_t length);
    void (*Digest64)(const void *state, unsigned char digest[8]);
    void (*Digest128)(const void *state, unsigned char digest[16]);
};

// Plain C everywhere; SSE2 and AVX2 on x86 only, called where
// Xxh3PathAvailable says so.
extern const Xxh3PathFunctions Xxh3Scalar;
extern const Xxh3PathFunctions Xxh3Sse2;
extern const Xxh3PathFunctions Xxh3Avx2;

#endif
