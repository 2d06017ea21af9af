// SHA-1 message digest (FIPS 180-4), fed incrementally.
#ifndef ZUNTA_SHA1_H
#define ZUNTA_SHA1_H

#include <stdint.h>

struct Sha1Context {
    uint64_t ByteCount;         // message length so far
    uint32_t State[5];          // chaining value
    unsigned char Buffer[64];   // bytes of the block not yet complete
    unsigned char Digest[20];   // written by Sha1Final
};

void Sha1Init(Sha1Context *ctx);
void Sha1Update(Sha1Context *ctx, const unsigned char *bytes, uint32_t length);
// Pads the message, writes ctx->Digest. Sha1Init must run before the context is reused.
void Sha1Final(Sha1Context *ctx);

#endif
