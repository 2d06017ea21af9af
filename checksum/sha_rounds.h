// The rounds of the SHA compression functions, shared by the portable path
// and the vector path (which computes the message words with their round
// constants ahead, and compiles the same rounds with rotate-without-flags
// instructions). The working variables rotate by renaming, not by moving.
#ifndef ZUNTA_SHA_ROUNDS_H
#define ZUNTA_SHA_ROUNDS_H

#include "checksum/sha_common.h"

// Fully unrolled, the rotating indices of the message words are constants.
#if defined(__clang__)
#define SHA_UNROLL _Pragma("clang loop unroll(full)")
#else
#define SHA_UNROLL _Pragma("GCC unroll 20")
#endif

static inline uint32_t ShaRotl32(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }
static inline uint32_t ShaRotr32(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }
static inline uint64_t ShaRotr64(uint64_t x, int n) { return (x >> n) | (x << (64 - n)); }

// SHA-1's round functions; choose and majority in forms with one operation
// fewer than FIPS 180's.
#define SHA1_F0(b, c, d) ((d) ^ ((b) & ((c) ^ (d))))
#define SHA1_F1(b, c, d) ((b) ^ (c) ^ (d))
#define SHA1_F2(b, c, d) (((b) & (c)) | ((d) & ((b) | (c))))
#define SHA1_ROUND(f, a, b, c, d, e, wk)               \
    do {                                               \
        (e) += ShaRotl32((a), 5) + f((b), (c), (d)) + (wk); \
        (b) = ShaRotl32((b), 30);                      \
    } while (0)
// Five rounds from round i, wk(i) giving each round's word plus constant.
#define SHA1_FIVE(f, wk, i)                   \
    SHA1_ROUND(f, a, b, c, d, e, wk(i));       \
    SHA1_ROUND(f, e, a, b, c, d, wk((i) + 1)); \
    SHA1_ROUND(f, d, e, a, b, c, wk((i) + 2)); \
    SHA1_ROUND(f, c, d, e, a, b, wk((i) + 3)); \
    SHA1_ROUND(f, b, c, d, e, a, wk((i) + 4))
// The constant of SHA-1's round i.
#define SHA1_K(i) ((i) < 20 ? 0x5a827999u : (i) < 40 ? 0x6ed9eba1u : (i) < 60 ? 0x8f1bbcdcu : 0xca62c1d6u)
// Twenty rounds from round first with the round function f.
#define SHA1_TWENTY(f, wk, between, first)                    \
    SHA_UNROLL                                                \
    for (int i = (first); i < (first) + 20; i += 5) {         \
        SHA1_FIVE(f, wk, i);                                  \
        between(i / 5);                                       \
    }
// All 80 rounds into state; between(c) runs after the five rounds from 5c.
#define SHA1_ROUNDS(state, wk, between)                                                \
    do {                                                                               \
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4]; \
        SHA1_TWENTY(SHA1_F0, wk, between, 0)                                           \
        SHA1_TWENTY(SHA1_F1, wk, between, 20)                                          \
        SHA1_TWENTY(SHA1_F2, wk, between, 40)                                          \
        SHA1_TWENTY(SHA1_F1, wk, between, 60)                                          \
        state[0] += a;                                                                 \
        state[1] += b;                                                                 \
        state[2] += c;                                                                 \
        state[3] += d;                                                                 \
        state[4] += e;                                                                 \
    } while (0)

#define SHA256_S0(x) (ShaRotr32((x), 2) ^ ShaRotr32((x), 13) ^ ShaRotr32((x), 22))
#define SHA256_S1(x) (ShaRotr32((x), 6) ^ ShaRotr32((x), 11) ^ ShaRotr32((x), 25))
#define SHA256_s0(x) (ShaRotr32((x), 7) ^ ShaRotr32((x), 18) ^ ((x) >> 3))
#define SHA256_s1(x) (ShaRotr32((x), 17) ^ ShaRotr32((x), 19) ^ ((x) >> 10))
#define SHA512_S0(x) (ShaRotr64((x), 28) ^ ShaRotr64((x), 34) ^ ShaRotr64((x), 39))
#define SHA512_S1(x) (ShaRotr64((x), 14) ^ ShaRotr64((x), 18) ^ ShaRotr64((x), 41))
#define SHA512_s0(x) (ShaRotr64((x), 1) ^ ShaRotr64((x), 8) ^ ((x) >> 7))
#define SHA512_s1(x) (ShaRotr64((x), 19) ^ ShaRotr64((x), 61) ^ ((x) >> 6))
#define SHA2_CH(e, f, g) ((g) ^ ((e) & ((f) ^ (g))))
// One SHA-256 or SHA-512 round (S0 and S1 name the word size). Majority
// is ((a ^ b) & (b ^ c)) ^ b, and this round's a ^ b is the next round's
// b ^ c: bc carries it.
#define SHA2_ROUND(S0, S1, T, a, b, c, d, e, f, g, h, wk)  \
    do {                                                   \
        T t1 = (h) + (wk) + SHA2_CH(e, f, g) + S1(e);      \
        T ab = (a) ^ (b);                                  \
        (d) += t1;                                         \
        (h) = t1 + S0(a) + ((ab & bc) ^ (b));              \
        bc = ab;                                           \
    } while (0)
// Eight rounds from round i, then the working variables are back in place.
#define SHA2_EIGHT(S0, S1, T, wk, i)                                   \
    SHA2_ROUND(S0, S1, T, a, b, c, d, e, f, g, h, wk(i));               \
    SHA2_ROUND(S0, S1, T, h, a, b, c, d, e, f, g, wk((i) + 1));         \
    SHA2_ROUND(S0, S1, T, g, h, a, b, c, d, e, f, wk((i) + 2));         \
    SHA2_ROUND(S0, S1, T, f, g, h, a, b, c, d, e, wk((i) + 3));         \
    SHA2_ROUND(S0, S1, T, e, f, g, h, a, b, c, d, wk((i) + 4));         \
    SHA2_ROUND(S0, S1, T, d, e, f, g, h, a, b, c, wk((i) + 5));         \
    SHA2_ROUND(S0, S1, T, c, d, e, f, g, h, a, b, wk((i) + 6));         \
    SHA2_ROUND(S0, S1, T, b, c, d, e, f, g, h, a, wk((i) + 7))
// All rounds (64 of SHA-256 or 80 of SHA-512) into state; between(c) runs
// after the eight rounds from 8c.
#define SHA2_ROUNDS(S0, S1, T, rounds, state, wk, between)                     \
    do {                                                                       \
        T a = state[0], b = state[1], c = state[2], d = state[3];              \
        T e = state[4], f = state[5], g = state[6], h = state[7];              \
        T bc = b ^ c;                                                          \
        SHA_UNROLL                                                             \
        for (int i = 0; i < (rounds); i += 8) {                                \
            SHA2_EIGHT(S0, S1, T, wk, i);                                      \
            between((i) / 8);                                                  \
        }                                                                      \
        state[0] += a;                                                         \
        state[1] += b;                                                         \
        state[2] += c;                                                         \
        state[3] += d;                                                         \
        state[4] += e;                                                         \
        state[5] += f;                                                         \
        state[6] += g;                                                         \
        state[7] += h;                                                         \
    } while (0)

// Nothing between the rounds.
#define SHA_NOTHING(c) \
    do {               \
    } while (0)

#endif
