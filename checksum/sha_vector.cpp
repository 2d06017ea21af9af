// The SHA engines with the message schedule in vector registers (AVX): the
// words plus round constants of the next block are computed four at a time
// (SHA-512: two) between the rounds of the current one, which run on the
// integer units with BMI2's rotates that leave their source intact. The
// schedule is a long chain of dependent steps: computed apart from the
// rounds it would stall them. Only 128-bit vectors: two blocks' schedules
// at once in 256-bit ones were measured no faster (the rounds keep the
// integer units busy; the schedule rides along), and the Windows compilers
// cannot align spilled 256-bit vectors.
#include "checksum/sha_rounds.h"

#if defined(__i386__) || defined(__x86_64__)

#include <immintrin.h>

#if defined(__i386__)
// The 32-bit stack is only 4-byte aligned on entry; the vectors need 16.
#define SHA_VECTOR_FUNCTION __attribute__((target("avx,bmi2"), force_align_arg_pointer))
#else
#define SHA_VECTOR_FUNCTION __attribute__((target("avx,bmi2")))
#endif

// Rotates of each 32-bit or 64-bit lane.
#define ROTL32X4(x, n) _mm_or_si128(_mm_slli_epi32((x), (n)), _mm_srli_epi32((x), 32 - (n)))
#define ROTR32X4(x, n) _mm_or_si128(_mm_srli_epi32((x), (n)), _mm_slli_epi32((x), 32 - (n)))
#define ROTR64X2(x, n) _mm_or_si128(_mm_srli_epi64((x), (n)), _mm_slli_epi64((x), 64 - (n)))

namespace {

const uint32_t Sha1Constants[4] = { 0x5a827999u, 0x6ed9eba1u, 0x8f1bbcdcu, 0xca62c1d6u };

// Group k (words 4k to 4k+3) of a SHA-1 block p into wk; x[k & 7] keeps the groups.
SHA_VECTOR_FUNCTION inline void Sha1Group(__m128i x[8], int k, const unsigned char *p, uint32_t *wk)
{
    __m128i w;
    if (k < 4) {
        const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bll, 0x0405060700010203ll);
        w = _mm_shuffle_epi8(_mm_loadu_si128((const __m128i *)(p + 16 * k)), byteSwap);
    } else if (k < 8) {
        // W[t-3] of the group's last word is its own first word: computed
        // with zero there, then that word's share added.
        __m128i t = _mm_xor_si128(_mm_xor_si128(x[(k - 4) & 7], _mm_alignr_epi8(x[(k - 3) & 7], x[(k - 4) & 7], 8)),
                                  _mm_xor_si128(x[(k - 2) & 7], _mm_srli_si128(x[(k - 1) & 7], 4)));
        __m128i carried = _mm_slli_si128(t, 12);
        w = _mm_xor_si128(ROTL32X4(t, 1), ROTL32X4(carried, 2));
    } else {
        // From word 32 on: W[t] = (W[t-6] ^ W[t-16] ^ W[t-28] ^ W[t-32]) <<< 2.
        __m128i t = _mm_xor_si128(_mm_xor_si128(x[(k - 8) & 7], x[(k - 7) & 7]),
                                  _mm_xor_si128(x[(k - 4) & 7], _mm_alignr_epi8(x[(k - 1) & 7], x[(k - 2) & 7], 8)));
        w = ROTL32X4(t, 2);
    }
    x[k & 7] = w;
    _mm_store_si128((__m128i *)(wk + 4 * k), _mm_add_epi32(w, _mm_set1_epi32((int)Sha1Constants[k / 5])));
}

// Group k (words 4k to 4k+3) of a SHA-256 block p into wk; x[k & 3] keeps the groups.
SHA_VECTOR_FUNCTION inline void Sha256Group(__m128i x[4], int k, const unsigned char *p, uint32_t *wk)
{
    __m128i w;
    if (k < 4) {
        const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bll, 0x0405060700010203ll);
        w = _mm_shuffle_epi8(_mm_loadu_si128((const __m128i *)(p + 16 * k)), byteSwap);
    } else {
        __m128i w15 = _mm_alignr_epi8(x[(k + 1) & 3], x[k & 3], 4);
        __m128i w7 = _mm_alignr_epi8(x[(k + 3) & 3], x[(k + 2) & 3], 4);
        __m128i s0 = _mm_xor_si128(_mm_xor_si128(ROTR32X4(w15, 7), ROTR32X4(w15, 18)), _mm_srli_epi32(w15, 3));
        __m128i sum = _mm_add_epi32(_mm_add_epi32(x[k & 3], w7), s0);
        // The last two words need the first two of the same group.
        __m128i w2 = _mm_shuffle_epi32(x[(k + 3) & 3], 0xEE);
        __m128i low = _mm_add_epi32(
            sum, _mm_xor_si128(_mm_xor_si128(ROTR32X4(w2, 17), ROTR32X4(w2, 19)), _mm_srli_epi32(w2, 10)));
        w2 = _mm_shuffle_epi32(low, 0x44);
        __m128i high = _mm_add_epi32(
            sum, _mm_xor_si128(_mm_xor_si128(ROTR32X4(w2, 17), ROTR32X4(w2, 19)), _mm_srli_epi32(w2, 10)));
        w = _mm_blend_epi16(low, high, 0xF0);
    }
    x[k & 3] = w;
    _mm_store_si128((__m128i *)(wk + 4 * k),
                    _mm_add_epi32(w, _mm_loadu_si128((const __m128i *)(Sha256Constants + 4 * k))));
}

// Group k (words 2k and 2k+1, neither needing the other) of a SHA-512
// block p into wk; x[k & 7] keeps the groups.
SHA_VECTOR_FUNCTION inline void Sha512Group(__m128i x[8], int k, const unsigned char *p, uint64_t *wk)
{
    __m128i w;
    if (k < 8) {
        const __m128i byteSwap = _mm_set_epi64x(0x08090a0b0c0d0e0fll, 0x0001020304050607ll);
        w = _mm_shuffle_epi8(_mm_loadu_si128((const __m128i *)(p + 16 * k)), byteSwap);
    } else {
        __m128i w15 = _mm_alignr_epi8(x[(k + 1) & 7], x[k & 7], 8);
        __m128i w7 = _mm_alignr_epi8(x[(k + 5) & 7], x[(k + 4) & 7], 8);
        __m128i w2 = x[(k + 7) & 7];
        __m128i s0 = _mm_xor_si128(_mm_xor_si128(ROTR64X2(w15, 1), ROTR64X2(w15, 8)), _mm_srli_epi64(w15, 7));
        __m128i s1 = _mm_xor_si128(_mm_xor_si128(ROTR64X2(w2, 19), ROTR64X2(w2, 61)), _mm_srli_epi64(w2, 6));
        w = _mm_add_epi64(_mm_add_epi64(x[k & 7], w7), _mm_add_epi64(s0, s1));
    }
    x[k & 7] = w;
    _mm_store_si128((__m128i *)(wk + 2 * k),
                    _mm_add_epi64(w, _mm_loadu_si128((const __m128i *)(Sha512Constants + 2 * k))));
}

} // namespace

// Each function schedules the first block, then runs the rounds of block n
// from wk[n & 1] while it schedules block n + 1 into the other half (the
// last block again when there is none).

SHA_VECTOR_FUNCTION void Sha1BlocksVector(uint32_t state[5], const unsigned char *p, size_t count)
{
    alignas(16) uint32_t wk[2][80];
    __m128i x[8];
    for (int k = 0; k < 20; k++)
        Sha1Group(x, k, p, wk[0]);
    for (size_t n = 0; n < count; n++) {
        const unsigned char *next = n + 1 < count ? p + 64 * (n + 1) : p + 64 * n;
        const uint32_t *now = wk[n & 1];
        uint32_t *later = wk[(n + 1) & 1];
        // Twenty groups in order over sixteen steps of five rounds.
#define SHA1_NOW(i) now[i]
#define SHA1_LATER(c)                                \
    do {                                             \
        if ((c) < 4) {                               \
            Sha1Group(x, 2 * (c), next, later);      \
            Sha1Group(x, 2 * (c) + 1, next, later);  \
        } else {                                     \
            Sha1Group(x, (c) + 4, next, later);      \
        }                                            \
    } while (0)
        SHA1_ROUNDS(state, SHA1_NOW, SHA1_LATER);
#undef SHA1_LATER
#undef SHA1_NOW
    }
}

SHA_VECTOR_FUNCTION void Sha256BlocksVector(uint32_t state[8], const unsigned char *p, size_t count)
{
    alignas(16) uint32_t wk[2][64];
    __m128i x[4];
    for (int k = 0; k < 16; k++)
        Sha256Group(x, k, p, wk[0]);
    for (size_t n = 0; n < count; n++) {
        const unsigned char *next = n + 1 < count ? p + 64 * (n + 1) : p + 64 * n;
        const uint32_t *now = wk[n & 1];
        uint32_t *later = wk[(n + 1) & 1];
#define SHA256_NOW(i) now[i]
#define SHA256_LATER(c)                              \
    do {                                             \
        Sha256Group(x, 2 * (c), next, later);        \
        Sha256Group(x, 2 * (c) + 1, next, later);    \
    } while (0)
        SHA2_ROUNDS(SHA256_S0, SHA256_S1, uint32_t, 64, state, SHA256_NOW, SHA256_LATER);
#undef SHA256_LATER
#undef SHA256_NOW
    }
}

SHA_VECTOR_FUNCTION void Sha512BlocksVector(uint64_t state[8], const unsigned char *p, size_t count)
{
    alignas(16) uint64_t wk[2][80];
    __m128i x[8];
    for (int k = 0; k < 40; k++)
        Sha512Group(x, k, p, wk[0]);
    for (size_t n = 0; n < count; n++) {
        const unsigned char *next = n + 1 < count ? p + 128 * (n + 1) : p + 128 * n;
        const uint64_t *now = wk[n & 1];
        uint64_t *later = wk[(n + 1) & 1];
#define SHA512_NOW(i) now[i]
#define SHA512_LATER(c)                                  \
    do {                                                 \
        for (int k = 4 * (c); k < 4 * (c) + 4; k++)      \
            Sha512Group(x, k, next, later);              \
    } while (0)
        SHA2_ROUNDS(SHA512_S0, SHA512_S1, uint64_t, 80, state, SHA512_NOW, SHA512_LATER);
#undef SHA512_LATER
#undef SHA512_NOW
    }
}

#else

void Sha1BlocksVector(uint32_t state[5], const unsigned char *p, size_t count)
{
    Sha1BlocksPortable(state, p, count);
}

void Sha256BlocksVector(uint32_t state[8], const unsigned char *p, size_t count)
{
    Sha256BlocksPortable(state, p, count);
}

void Sha512BlocksVector(uint64_t state[8], const unsigned char *p, size_t count)
{
    Sha512BlocksPortable(state, p, count);
}

#endif
