// SHA-1 (FIPS 180-4): the portable compression and the engine that feeds
// blocks to the path chosen at start-up.
#include "checksum/sha1.h"

#include "checksum/sha_rounds.h"

void Sha1BlocksPortable(uint32_t state[5], const unsigned char *p, size_t count)
{
    for (; count > 0; count--, p += 64) {
        uint32_t w[16];
        for (int i = 0; i < 16; i++)
            w[i] = ShaLoad32(p + 4 * i);
        // The schedule runs in a ring of sixteen words, one word ahead of the rounds.
#define SHA1_W(i) \
    ((i) < 16 ? w[(i)&15] : (w[(i)&15] = ShaRotl32(w[((i) + 13) & 15] ^ w[((i) + 8) & 15] ^ w[((i) + 2) & 15] ^ w[(i)&15], 1)))
#define SHA1_WK(i) (SHA1_W(i) + SHA1_K(i))
        SHA1_ROUNDS(state, SHA1_WK, SHA_NOTHING);
#undef SHA1_WK
#undef SHA1_W
    }
}

static void Compress(void *state, const unsigned char *blocks, size_t count)
{
    switch (ShaActivePath(SHA_1)) {
    case SHA_PATH_EXTENSIONS: Sha1BlocksExtensions((uint32_t *)state, blocks, count); break;
    case SHA_PATH_VECTOR: Sha1BlocksVector((uint32_t *)state, blocks, count); break;
    default: Sha1BlocksPortable((uint32_t *)state, blocks, count); break;
    }
}

void Sha1Init(Sha1Context *ctx)
{
    ctx->ByteCount = 0;
    ctx->State[0] = 0x67452301u;
    ctx->State[1] = 0xefcdab89u;
    ctx->State[2] = 0x98badcfeu;
    ctx->State[3] = 0x10325476u;
    ctx->State[4] = 0xc3d2e1f0u;
}

void Sha1Update(Sha1Context *ctx, const unsigned char *bytes, uint32_t length)
{
    ShaFeed(ctx->State, Compress, ctx->Buffer, 64, ctx->ByteCount % 64, bytes, length);
    ctx->ByteCount += length;
}

void Sha1Final(Sha1Context *ctx)
{
    ShaPad(ctx->State, Compress, ctx->Buffer, 64, ctx->ByteCount % 64, 0, ctx->ByteCount << 3, 8);
    for (int i = 0; i < 5; i++)
        ShaStore32(ctx->Digest + 4 * i, ctx->State[i]);
}
