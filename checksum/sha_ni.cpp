// SHA-1 and SHA-256 with the processor's SHA instructions. Each sha1rnds4
// does four rounds and each sha256rnds2 two; sha1msg1/2 and sha256msg1/2
// extend the message schedule four words at a time, one group of rounds
// ahead of its use. The groups are written as loops over a rotating array
// of four message registers; with constant indices after unrolling, the
// array lives in registers.
#include "checksum/sha_rounds.h"

#if defined(__i386__) || defined(__x86_64__)

#include <immintrin.h>

#if defined(__i386__)
// The 32-bit stack is only 4-byte aligned on entry; the vectors need 16.
#define SHA_NI_FUNCTION __attribute__((target("sha,ssse3,sse4.1"), force_align_arg_pointer))
#else
#define SHA_NI_FUNCTION __attribute__((target("sha,ssse3,sse4.1")))
#endif

SHA_NI_FUNCTION void Sha1BlocksExtensions(uint32_t state[5], const unsigned char *p, size_t count)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0001020304050607ll, 0x08090a0b0c0d0e0fll);
    __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128((const __m128i *)state), 0x1B);
    __m128i e0 = _mm_set_epi32((int)state[4], 0, 0, 0);

    for (; count > 0; count--, p += 64) {
        __m128i abcdSaved = abcd, eSaved = e0;
        __m128i msg[4], e[2];
        for (int i = 0; i < 4; i++)
            msg[i] = _mm_shuffle_epi8(_mm_loadu_si128((const __m128i *)(p + 16 * i)), byteSwap);

        // Group g holds rounds 4g to 4g+3; e alternates between two registers.
        e[0] = _mm_add_epi32(e0, msg[0]);
        e[1] = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, e[0], 0);
        SHA_UNROLL
        for (int g = 1; g < 20; g++) {
            e[g & 1] = _mm_sha1nexte_epu32(e[g & 1], msg[g & 3]);
            e[(g + 1) & 1] = abcd;
            if (g >= 3 && g <= 18)
                msg[(g + 1) & 3] = _mm_sha1msg2_epu32(msg[(g + 1) & 3], msg[g & 3]);
            switch (g / 5) {   // the round function is an immediate operand
            case 0: abcd = _mm_sha1rnds4_epu32(abcd, e[g & 1], 0); break;
            case 1: abcd = _mm_sha1rnds4_epu32(abcd, e[g & 1], 1); break;
            case 2: abcd = _mm_sha1rnds4_epu32(abcd, e[g & 1], 2); break;
            default: abcd = _mm_sha1rnds4_epu32(abcd, e[g & 1], 3); break;
            }
            if (g <= 16)
                msg[(g + 3) & 3] = _mm_sha1msg1_epu32(msg[(g + 3) & 3], msg[g & 3]);
            if (g >= 2 && g <= 17)
                msg[(g + 2) & 3] = _mm_xor_si128(msg[(g + 2) & 3], msg[g & 3]);
        }
        e0 = _mm_sha1nexte_epu32(e[0], eSaved);
        abcd = _mm_add_epi32(abcd, abcdSaved);
    }
    _mm_storeu_si128((__m128i *)state, _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = (uint32_t)_mm_extract_epi32(e0, 3);
}

SHA_NI_FUNCTION void Sha256BlocksExtensions(uint32_t state[8], const unsigned char *p, size_t count)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bll, 0x0405060700010203ll);
    // The state as the instructions take it: ABEF and CDGH.
    __m128i t = _mm_shuffle_epi32(_mm_loadu_si128((const __m128i *)state), 0xB1);
    __m128i s1 = _mm_shuffle_epi32(_mm_loadu_si128((const __m128i *)(state + 4)), 0x1B);
    __m128i s0 = _mm_alignr_epi8(t, s1, 8);
    s1 = _mm_blend_epi16(s1, t, 0xF0);

    for (; count > 0; count--, p += 64) {
        __m128i s0Saved = s0, s1Saved = s1;
        __m128i msg[4];
        for (int i = 0; i < 4; i++)
            msg[i] = _mm_shuffle_epi8(_mm_loadu_si128((const __m128i *)(p + 16 * i)), byteSwap);
        SHA_UNROLL
        for (int g = 0; g < 16; g++) {
            __m128i wk = _mm_add_epi32(msg[g & 3], _mm_loadu_si128((const __m128i *)(Sha256Constants + 4 * g)));
            s1 = _mm_sha256rnds2_epu32(s1, s0, wk);
            if (g >= 3 && g <= 14) {
                __m128i w7 = _mm_alignr_epi8(msg[g & 3], msg[(g + 3) & 3], 4);
                msg[(g + 1) & 3] = _mm_sha256msg2_epu32(_mm_add_epi32(msg[(g + 1) & 3], w7), msg[g & 3]);
            }
            s0 = _mm_sha256rnds2_epu32(s0, s1, _mm_shuffle_epi32(wk, 0x0E));
            if (g >= 1 && g <= 12)
                msg[(g + 3) & 3] = _mm_sha256msg1_epu32(msg[(g + 3) & 3], msg[g & 3]);
        }
        s0 = _mm_add_epi32(s0, s0Saved);
        s1 = _mm_add_epi32(s1, s1Saved);
    }
    // Back from ABEF and CDGH to A..H.
    t = _mm_shuffle_epi32(s0, 0x1B);
    s1 = _mm_shuffle_epi32(s1, 0xB1);
    _mm_storeu_si128((__m128i *)state, _mm_blend_epi16(t, s1, 0xF0));
    _mm_storeu_si128((__m128i *)(state + 4), _mm_alignr_epi8(s1, t, 8));
}

#else

void Sha1BlocksExtensions(uint32_t state[5], const unsigned char *p, size_t count)
{
    Sha1BlocksPortable(state, p, count);
}

void Sha256BlocksExtensions(uint32_t state[8], const unsigned char *p, size_t count)
{
    Sha256BlocksPortable(state, p, count);
}

#endif
