// xxHash's XXH3 (64 and 128 bits) and XXH64, seed 0, fed incrementally. The
// digests are in the byte order xxhsum prints: their hexadecimal text is
// what `xxhsum -H3`, `-H128` and `-H64` show.
#ifndef ZUNTA_XXHASH_ENGINE_H
#define ZUNTA_XXHASH_ENGINE_H

#include <stdint.h>

// Bytes of the library's XXH3 state, which must lie on a 64-byte boundary.
enum { XXH3_STATE_SIZE = 576, XXH64_STATE_SIZE = 88 };

// How XXH3 runs its stripes: plain C, SSE2 or AVX2. The fastest the
// processor has is chosen once at start-up; tests may force a slower one.
enum Xxh3Path { XXH3_PATH_SCALAR = 0, XXH3_PATH_SSE2 = 1, XXH3_PATH_AVX2 = 2 };

bool Xxh3PathAvailable(Xxh3Path path);
Xxh3Path Xxh3ActivePath(void);
// Selects path, or the fastest available one below it; returns the one in force.
Xxh3Path Xxh3SelectPath(Xxh3Path path);

// XXH3 and XXH128 share the record, its start and its update; only the
// final step differs. The state is aligned in the record: a context lives
// on the stack, in a static or in a record made by new, never in memory
// from malloc.
struct Xxh3Context {
    alignas(64) unsigned char State[XXH3_STATE_SIZE];
    unsigned char Digest[16];   // 8 bytes by Xxh3Final, 16 by Xxh128Final
};

struct Xxh64Context {
    alignas(8) unsigned char State[XXH64_STATE_SIZE];
    unsigned char Digest[8];    // written by Xxh64Final
};

// Each Init returns 0, or -1 when the state is not on its boundary (the
// context was placed in memory that malloc gave).
int Xxh3Init(Xxh3Context *ctx);
void Xxh3Update(Xxh3Context *ctx, const unsigned char *bytes, uint32_t length);
// XXH3's 64 bits into Digest[0..7]; Xxh3Init must run before the context is reused.
void Xxh3Final(Xxh3Context *ctx);
// XXH128's 128 bits into Digest[0..15], from the same state.
void Xxh128Final(Xxh3Context *ctx);

int Xxh64Init(Xxh64Context *ctx);
void Xxh64Update(Xxh64Context *ctx, const unsigned char *bytes, uint32_t length);
void Xxh64Final(Xxh64Context *ctx);

#endif
