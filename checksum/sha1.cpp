// SHA-1 (FIPS 180-4): the portable compression and the engine that feeds
// blocks to the path chosen at start-up.
#include "checksum/sha1.h"

#include "checksum/sha_common.h"

static inline uint32_t Rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

#define SHA1_F0(b, c, d) ((d) ^ ((b) & ((c) ^ (d))))
#define SHA1_F1(b, c, d) ((b) ^ (c) ^ (d))
#define SHA1_F2(b, c, d) (((b) & (c)) | ((d) & ((b) | (c))))
// One round; the five working variables rotate by renaming, not by moving.
#define SHA1_ROUND(f, a, b, c, d, e, wk)            \
    do {                                            \
        (e) += Rotl((a), 5) + f((b), (c), (d)) + (wk); \
        (b) = Rotl((b), 30);                        \
    } while (0)
#define SHA1_FIVE(f, i, k)                               \
    SHA1_ROUND(f, a, b, c, d, e, w[i] + (k));            \
    SHA1_ROUND(f, e, a, b, c, d, w[(i) + 1] + (k));      \
    SHA1_ROUND(f, d, e, a, b, c, w[(i) + 2] + (k));      \
    SHA1_ROUND(f, c, d, e, a, b, w[(i) + 3] + (k));      \
    SHA1_ROUND(f, b, c, d, e, a, w[(i) + 4] + (k))

void Sha1BlocksPortable(uint32_t state[5], const unsigned char *p, size_t count)
{
    for (; count > 0; count--, p += 64) {
        uint32_t w[80];
        for (int i = 0; i < 16; i++)
            w[i] = ShaLoad32(p + 4 * i);
        for (int i = 16; i < 80; i++)
            w[i] = Rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
        for (int i = 0; i < 20; i += 5) {
            SHA1_FIVE(SHA1_F0, i, 0x5a827999u);
        }
        for (int i = 20; i < 40; i += 5) {
            SHA1_FIVE(SHA1_F1, i, 0x6ed9eba1u);
        }
        for (int i = 40; i < 60; i += 5) {
            SHA1_FIVE(SHA1_F2, i, 0x8f1bbcdcu);
        }
        for (int i = 60; i < 80; i += 5) {
            SHA1_FIVE(SHA1_F1, i, 0xca62c1d6u);
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
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
