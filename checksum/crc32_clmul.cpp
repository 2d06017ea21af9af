// CRC-32 by folding with carry-less multiplication (PCLMULQDQ): four 128-bit
// lanes fold 64 bytes at a time, then fold into one lane, then a Barrett
// reduction gives the 32-bit value. The constants are powers of x modulo the
// CRC polynomial, bit-reflected (x^(4*128+32), x^(4*128-32), x^(128+32),
// x^(128-32), x^64, and the polynomial with its Barrett quotient).
#include "checksum/crc32.h"

#if defined(__i386__) || defined(__x86_64__)

#include <immintrin.h>

#if defined(__i386__)
// The 32-bit stack is only 4-byte aligned on entry; the vectors need 16.
#define CLMUL_FUNCTION __attribute__((target("pclmul,sse4.1"), force_align_arg_pointer))
#else
#define CLMUL_FUNCTION __attribute__((target("pclmul,sse4.1")))
#endif

namespace {

CLMUL_FUNCTION inline __m128i Fold(__m128i lane, __m128i constants, __m128i next)
{
    __m128i low = _mm_clmulepi64_si128(lane, constants, 0x00);
    __m128i high = _mm_clmulepi64_si128(lane, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

CLMUL_FUNCTION inline __m128i Load(const unsigned char *p)
{
    return _mm_loadu_si128((const __m128i *)p);
}

} // namespace

CLMUL_FUNCTION uint32_t Crc32FoldClmul(uint32_t crc, const unsigned char *p, size_t length)
{
    const __m128i fold64 = _mm_set_epi64x(0x01c6e41596ll, 0x0154442bd4ll);
    const __m128i fold16 = _mm_set_epi64x(0x00ccaa009ell, 0x01751997d0ll);
    const __m128i fold32 = _mm_set_epi64x(0, 0x0163cd6124ll);
    const __m128i barrett = _mm_set_epi64x(0x01f7011641ll, 0x01db710641ll);
    const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);

    __m128i a = _mm_xor_si128(Load(p), _mm_cvtsi32_si128((int)crc));
    __m128i b = Load(p + 16), c = Load(p + 32), d = Load(p + 48);
    p += 64;
    length -= 64;
    for (; length >= 64; p += 64, length -= 64) {
        a = Fold(a, fold64, Load(p));
        b = Fold(b, fold64, Load(p + 16));
        c = Fold(c, fold64, Load(p + 32));
        d = Fold(d, fold64, Load(p + 48));
    }
    a = Fold(a, fold16, b);
    a = Fold(a, fold16, c);
    a = Fold(a, fold16, d);
    for (; length >= 16; p += 16, length -= 16)
        a = Fold(a, fold16, Load(p));

    // 128 bits to 64, then to 32 with the Barrett reduction.
    __m128i t = _mm_clmulepi64_si128(a, fold16, 0x10);
    a = _mm_xor_si128(_mm_srli_si128(a, 8), t);
    t = _mm_srli_si128(a, 4);
    a = _mm_clmulepi64_si128(_mm_and_si128(a, low32), fold32, 0x00);
    a = _mm_xor_si128(a, t);
    t = _mm_clmulepi64_si128(_mm_and_si128(a, low32), barrett, 0x10);
    t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), barrett, 0x00);
    a = _mm_xor_si128(a, t);
    return (uint32_t)_mm_extract_epi32(a, 1);
}

#else

uint32_t Crc32FoldClmul(uint32_t crc, const unsigned char *, size_t)
{
    return crc;
}

#endif
