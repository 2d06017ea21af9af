// BLAKE3 (32-byte output, no key), fed incrementally: the reference C code,
// whose vector paths (SSE2, SSE4.1, AVX2, AVX-512) are chosen by CPUID and
// by what the operating system saves (XGETBV).
#ifndef ZUNTA_BLAKE3_ENGINE_H
#define ZUNTA_BLAKE3_ENGINE_H

#include <blake3.h>

#include <stdint.h>

struct Blake3Context {
    blake3_hasher Hasher;
    unsigned char Digest[BLAKE3_OUT_LEN];   // written by Blake3Final
};

void Blake3Init(Blake3Context *ctx);
void Blake3Update(Blake3Context *ctx, const unsigned char *bytes, uint32_t length);
// Writes ctx->Digest. Blake3Init must run before the context is reused.
void Blake3Final(Blake3Context *ctx);

#endif
