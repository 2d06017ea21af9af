// MD5 message digest (RFC 1321). Whole 64-byte blocks are transformed
// straight from the input; only a partial block waits in the context's buffer.
#include "checksum/md5.h"

#include <string.h>

static const unsigned char Md5Padding[64] = { 0x80 };

static uint32_t DecodeWord(const unsigned char *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

static void DecodeWords(uint32_t *words, const unsigned char *bytes, int count)
{
    for (int i = 0; i < count; i++)
        words[i] = DecodeWord(bytes + 4 * i);
}

static uint32_t Rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// F in a form with one operation fewer than the RFC's, same values.
#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
// One step: the message word and constant are added before the round
// function, so that only the function's last operations wait for b; G's two
// disjoint halves are added separately for the same reason.
#define MD5_STEP(f, a, b, c, d, x, s, t) \
    (a) += (x) + (uint32_t)(t);           \
    (a) += f((b), (c), (d));               \
    (a) = (b) + Rotl((a), (s))
#define MD5_STEP_G(a, b, c, d, x, s, t)                 \
    (a) += (x) + (uint32_t)(t) + ((c) & ~(d));          \
    (a) += (b) & (d);                                   \
    (a) = (b) + Rotl((a), (s))

// The compression function over sixteen words that the compiler keeps in
// registers or loads straight from the block.
static inline void Compress(uint32_t state[4], const uint32_t *x)
{
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];

    MD5_STEP(MD5_F, a, b, c, d, x[0], 7, 0xd76aa478);
    MD5_STEP(MD5_F, d, a, b, c, x[1], 12, 0xe8c7b756);
    MD5_STEP(MD5_F, c, d, a, b, x[2], 17, 0x242070db);
    MD5_STEP(MD5_F, b, c, d, a, x[3], 22, 0xc1bdceee);
    MD5_STEP(MD5_F, a, b, c, d, x[4], 7, 0xf57c0faf);
    MD5_STEP(MD5_F, d, a, b, c, x[5], 12, 0x4787c62a);
    MD5_STEP(MD5_F, c, d, a, b, x[6], 17, 0xa8304613);
    MD5_STEP(MD5_F, b, c, d, a, x[7], 22, 0xfd469501);
    MD5_STEP(MD5_F, a, b, c, d, x[8], 7, 0x698098d8);
    MD5_STEP(MD5_F, d, a, b, c, x[9], 12, 0x8b44f7af);
    MD5_STEP(MD5_F, c, d, a, b, x[10], 17, 0xffff5bb1);
    MD5_STEP(MD5_F, b, c, d, a, x[11], 22, 0x895cd7be);
    MD5_STEP(MD5_F, a, b, c, d, x[12], 7, 0x6b901122);
    MD5_STEP(MD5_F, d, a, b, c, x[13], 12, 0xfd987193);
    MD5_STEP(MD5_F, c, d, a, b, x[14], 17, 0xa679438e);
    MD5_STEP(MD5_F, b, c, d, a, x[15], 22, 0x49b40821);

    MD5_STEP_G(a, b, c, d, x[1], 5, 0xf61e2562);
    MD5_STEP_G(d, a, b, c, x[6], 9, 0xc040b340);
    MD5_STEP_G(c, d, a, b, x[11], 14, 0x265e5a51);
    MD5_STEP_G(b, c, d, a, x[0], 20, 0xe9b6c7aa);
    MD5_STEP_G(a, b, c, d, x[5], 5, 0xd62f105d);
    MD5_STEP_G(d, a, b, c, x[10], 9, 0x02441453);
    MD5_STEP_G(c, d, a, b, x[15], 14, 0xd8a1e681);
    MD5_STEP_G(b, c, d, a, x[4], 20, 0xe7d3fbc8);
    MD5_STEP_G(a, b, c, d, x[9], 5, 0x21e1cde6);
    MD5_STEP_G(d, a, b, c, x[14], 9, 0xc33707d6);
    MD5_STEP_G(c, d, a, b, x[3], 14, 0xf4d50d87);
    MD5_STEP_G(b, c, d, a, x[8], 20, 0x455a14ed);
    MD5_STEP_G(a, b, c, d, x[13], 5, 0xa9e3e905);
    MD5_STEP_G(d, a, b, c, x[2], 9, 0xfcefa3f8);
    MD5_STEP_G(c, d, a, b, x[7], 14, 0x676f02d9);
    MD5_STEP_G(b, c, d, a, x[12], 20, 0x8d2a4c8a);

    MD5_STEP(MD5_H, a, b, c, d, x[5], 4, 0xfffa3942);
    MD5_STEP(MD5_H, d, a, b, c, x[8], 11, 0x8771f681);
    MD5_STEP(MD5_H, c, d, a, b, x[11], 16, 0x6d9d6122);
    MD5_STEP(MD5_H, b, c, d, a, x[14], 23, 0xfde5380c);
    MD5_STEP(MD5_H, a, b, c, d, x[1], 4, 0xa4beea44);
    MD5_STEP(MD5_H, d, a, b, c, x[4], 11, 0x4bdecfa9);
    MD5_STEP(MD5_H, c, d, a, b, x[7], 16, 0xf6bb4b60);
    MD5_STEP(MD5_H, b, c, d, a, x[10], 23, 0xbebfbc70);
    MD5_STEP(MD5_H, a, b, c, d, x[13], 4, 0x289b7ec6);
    MD5_STEP(MD5_H, d, a, b, c, x[0], 11, 0xeaa127fa);
    MD5_STEP(MD5_H, c, d, a, b, x[3], 16, 0xd4ef3085);
    MD5_STEP(MD5_H, b, c, d, a, x[6], 23, 0x04881d05);
    MD5_STEP(MD5_H, a, b, c, d, x[9], 4, 0xd9d4d039);
    MD5_STEP(MD5_H, d, a, b, c, x[12], 11, 0xe6db99e5);
    MD5_STEP(MD5_H, c, d, a, b, x[15], 16, 0x1fa27cf8);
    MD5_STEP(MD5_H, b, c, d, a, x[2], 23, 0xc4ac5665);

    MD5_STEP(MD5_I, a, b, c, d, x[0], 6, 0xf4292244);
    MD5_STEP(MD5_I, d, a, b, c, x[7], 10, 0x432aff97);
    MD5_STEP(MD5_I, c, d, a, b, x[14], 15, 0xab9423a7);
    MD5_STEP(MD5_I, b, c, d, a, x[5], 21, 0xfc93a039);
    MD5_STEP(MD5_I, a, b, c, d, x[12], 6, 0x655b59c3);
    MD5_STEP(MD5_I, d, a, b, c, x[3], 10, 0x8f0ccc92);
    MD5_STEP(MD5_I, c, d, a, b, x[10], 15, 0xffeff47d);
    MD5_STEP(MD5_I, b, c, d, a, x[1], 21, 0x85845dd1);
    MD5_STEP(MD5_I, a, b, c, d, x[8], 6, 0x6fa87e4f);
    MD5_STEP(MD5_I, d, a, b, c, x[15], 10, 0xfe2ce6e0);
    MD5_STEP(MD5_I, c, d, a, b, x[6], 15, 0xa3014314);
    MD5_STEP(MD5_I, b, c, d, a, x[13], 21, 0x4e0811a1);
    MD5_STEP(MD5_I, a, b, c, d, x[4], 6, 0xf7537e82);
    MD5_STEP(MD5_I, d, a, b, c, x[11], 10, 0xbd3af235);
    MD5_STEP(MD5_I, c, d, a, b, x[2], 15, 0x2ad7d2bb);
    MD5_STEP(MD5_I, b, c, d, a, x[9], 21, 0xeb86d391);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void Md5Transform(uint32_t state[4], const uint32_t words[16])
{
    Compress(state, words);
}

// One block taken from the input as it lies: any alignment.
static inline void TransformBlock(uint32_t state[4], const unsigned char *block)
{
    uint32_t words[16];
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    memcpy(words, block, sizeof words);
#else
    DecodeWords(words, block, 16);
#endif
    Compress(state, words);
}

void Md5Init(Md5Context *ctx)
{
    ctx->BitCount[0] = 0;
    ctx->BitCount[1] = 0;
    ctx->State[0] = 0x67452301u;
    ctx->State[1] = 0xEFCDAB89u;
    ctx->State[2] = 0x98BADCFEu;
    ctx->State[3] = 0x10325476u;
}

static unsigned WaitingBytes(const Md5Context *ctx) { return (ctx->BitCount[0] >> 3) & 0x3F; }

void Md5Update(Md5Context *ctx, const unsigned char *bytes, uint32_t length)
{
    if (length == 0)
        return;
    unsigned pos = WaitingBytes(ctx);
    uint32_t bits = length << 3;

    ctx->BitCount[0] += bits;
    if (ctx->BitCount[0] < bits)
        ctx->BitCount[1]++;
    ctx->BitCount[1] += length >> 29;

    if (pos > 0) {
        unsigned take = 64 - pos;
        if (length < take) {
            memcpy(ctx->Buffer + pos, bytes, length);
            return;
        }
        memcpy(ctx->Buffer + pos, bytes, take);
        TransformBlock(ctx->State, ctx->Buffer);
        bytes += take;
        length -= take;
    }
    for (; length >= 64; bytes += 64, length -= 64)
        TransformBlock(ctx->State, bytes);
    memcpy(ctx->Buffer, bytes, length);
}

void Md5Final(Md5Context *ctx)
{
    uint32_t low = ctx->BitCount[0], high = ctx->BitCount[1];
    unsigned n = WaitingBytes(ctx);
    uint32_t words[16];

    Md5Update(ctx, Md5Padding, n < 56 ? 56 - n : 120 - n);
    DecodeWords(words, ctx->Buffer, 14);
    words[14] = low;
    words[15] = high;
    Md5Transform(ctx->State, words);

    for (int i = 0; i < 4; i++) {
        ctx->Digest[4 * i] = (unsigned char)ctx->State[i];
        ctx->Digest[4 * i + 1] = (unsigned char)(ctx->State[i] >> 8);
        ctx->Digest[4 * i + 2] = (unsigned char)(ctx->State[i] >> 16);
        ctx->Digest[4 * i + 3] = (unsigned char)(ctx->State[i] >> 24);
    }
}
