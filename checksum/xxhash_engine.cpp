// The xxHash engines: the choice of XXH3's vector path (by CPUID, once at
// start-up), and XXH64, which has no vector path.
#include "checksum/xxhash_engine.h"

#include "checksum/cpufeatures.h"
#include "checksum/xxh3_paths.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

#include <string.h>

static_assert(sizeof(XXH64_state_t) <= XXH64_STATE_SIZE && alignof(XXH64_state_t) <= 8,
              "the context's room for the XXH64 state");

namespace {

const CpuFeatures Features = DetectCpuFeatures();

bool Available(Xxh3Path path)
{
    switch (path) {
    case XXH3_PATH_SCALAR: return true;
    case XXH3_PATH_SSE2: return Features.Sse2;
    case XXH3_PATH_AVX2: return Features.Avx2;
    }
    return false;
}

Xxh3Path Fastest(Xxh3Path atMost)
{
    int path = atMost;
    while (path > XXH3_PATH_SCALAR && !Available((Xxh3Path)path))
        path--;
    return (Xxh3Path)path;
}

Xxh3Path Active = Fastest(XXH3_PATH_AVX2);

const Xxh3PathFunctions &Functions()
{
#if defined(__i386__) || defined(__x86_64__)
    if (Active == XXH3_PATH_AVX2)
        return Xxh3Avx2;
    if (Active == XXH3_PATH_SSE2)
        return Xxh3Sse2;
#endif
    return Xxh3Scalar;
}

bool OnBoundary(const void *state, uintptr_t boundary)
{
    return ((uintptr_t)state & (boundary - 1)) == 0;
}

} // namespace

bool Xxh3PathAvailable(Xxh3Path path)
{
    return Available(path);
}

Xxh3Path Xxh3ActivePath(void)
{
    return Active;
}

Xxh3Path Xxh3SelectPath(Xxh3Path path)
{
    Active = Fastest(path);
    return Active;
}

int Xxh3Init(Xxh3Context *ctx)
{
    if (!OnBoundary(ctx->State, 64))
        return -1;
    Functions().Reset(ctx->State);
    return 0;
}

void Xxh3Update(Xxh3Context *ctx, const unsigned char *bytes, uint32_t length)
{
    Functions().Update(ctx->State, bytes, length);
}

void Xxh3Final(Xxh3Context *ctx)
{
    Functions().Digest64(ctx->State, ctx->Digest);
}

void Xxh128Final(Xxh3Context *ctx)
{
    Functions().Digest128(ctx->State, ctx->Digest);
}

int Xxh64Init(Xxh64Context *ctx)
{
    if (!OnBoundary(ctx->State, 8))
        return -1;
    XXH64_reset((XXH64_state_t *)ctx->State, 0);
    return 0;
}

void Xxh64Update(Xxh64Context *ctx, const unsigned char *bytes, uint32_t length)
{
    XXH64_update((XXH64_state_t *)ctx->State, bytes, length);
}

void Xxh64Final(Xxh64Context *ctx)
{
    XXH64_canonical_t canonical;
    XXH64_canonicalFromHash(&canonical, XXH64_digest((const XXH64_state_t *)ctx->State));
    memcpy(ctx->Digest, canonical.digest, sizeof canonical.digest);
}
