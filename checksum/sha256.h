// SHA-256 message digest (FIPS 180-4), fed incrementally.
#ifndef ZUNTA_SHA256_H
#define ZUNTA_SHA256_H

#include <stdint.h>

struct Sha256Context {
    uint64_t ByteCount;         // message length so far
    uint32_t State[8];          // chaining value
    unsigned char Buffer[64];   // bytes of the block not yet complete
    unsigned char Digest[32];   // written by Sha256Final
};

void Sha256Init(Sha256Context *ctx);
void Sha256Update(Sha256Context *ctx, const unsigned char *bytes, uint32_t length);
// Pads the message, writes ctx->Digest. Sha256Init must run before the context is reused.
void Sha256Final(Sha256Context *ctx);

#endif
