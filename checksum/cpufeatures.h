// What the processor offers the engines' vector paths: CPUID, and for AVX
// whether the operating system saves the YMM registers (XGETBV).
#ifndef ZUNTA_CPUFEATURES_H
#define ZUNTA_CPUFEATURES_H

struct CpuFeatures {
    bool Sse2;
    bool Ssse3;
    bool Sse41;
    bool Avx;    // with the XMM and YMM halves saved by the system
    bool Avx2;   // likewise
    bool Bmi2;
    bool Sha;
};

// Asks the processor (all false off x86); each engine asks once, at start-up.
CpuFeatures DetectCpuFeatures(void);

#endif
