// The processor's features, by CPUID.
#include "checksum/cpufeatures.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

CpuFeatures DetectCpuFeatures(void)
{
    CpuFeatures features = {};
#if defined(__i386__) || defined(__x86_64__)
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return features;
    const unsigned sse2 = 1u << 26, ssse3 = 1u << 9, sse41 = 1u << 19, osxsave = 1u << 27, avx = 1u << 28;
    features.Sse2 = (d & sse2) != 0;
    features.Ssse3 = (c & ssse3) != 0;
    features.Sse41 = (c & sse41) != 0;
    if ((c & osxsave) && (c & avx)) {
        unsigned low, high;
        __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
        features.Avx = (low & 6) == 6;   // the XMM and YMM halves are saved
    }
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
        return features;
    const unsigned avx2 = 1u << 5, bmi2 = 1u << 8, sha = 1u << 29;
    features.Avx2 = features.Avx && (b & avx2);
    features.Bmi2 = (b & bmi2) != 0;
    features.Sha = (b & sha) != 0;
#endif
    return features;
}
