// MD5 message digest (RFC 1321), fed incrementally.
#ifndef ZUNTA_MD5_H
#define ZUNTA_MD5_H

#include <stdint.h>

struct Md5Context {
    uint32_t BitCount[2];       // message length in bits, low word first
    uint32_t State[4];          // chaining value A, B, C, D
    unsigned char Buffer[64];   // bytes of the block not yet complete
    unsigned char Digest[16];   // written by Md5Final
};

void Md5Init(Md5Context *ctx);
void Md5Update(Md5Context *ctx, const unsigned char *bytes, uint32_t length);
void Md5Transform(uint32_t state[4], const uint32_t words[16]);
// Pads the message, writes ctx->Digest. Md5Init must run before the context is reused.
void Md5Final(Md5Context *ctx);

#endif
