// SHA-512 message digest (FIPS 180-4), fed incrementally.
#ifndef ZUNTA_SHA512_H
#define ZUNTA_SHA512_H

#include <stdint.h>

struct Sha512Context {
    uint64_t ByteCount[2];      // message length so far, 128 bits, low word first
    uint64_t State[8];          // chaining value
    unsigned char Buffer[128];  // bytes of the block not yet complete
    unsigned char Digest[64];   // written by Sha512Final
};

void Sha512Init(Sha512Context *ctx);
void Sha512Update(Sha512Context *ctx, const unsigned char *bytes, uint32_t length);
// Pads the message, writes ctx->Digest. Sha512Init must run before the context is reused.
void Sha512Final(Sha512Context *ctx);

#endif
