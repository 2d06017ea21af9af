// The SHA engines' path choice (by CPUID, once at start-up), block buffer
// and padding.
#include "checksum/sha_common.h"

#include "checksum/cpufeatures.h"

#include <string.h>

namespace {

struct ShaFeatures {
    bool Extensions;   // SHA instructions with the SSSE3 and SSE4.1 they need
    bool Vector;       // AVX with the operating system saving its registers, and BMI2
};

ShaFeatures DetectFeatures()
{
    CpuFeatures cpu = DetectCpuFeatures();
    return { cpu.Sha && cpu.Ssse3 && cpu.Sse41, cpu.Avx && cpu.Bmi2 };
}

const ShaFeatures Features = DetectFeatures();

bool Available(ShaAlgorithm algorithm, ShaPath path)
{
    switch (path) {
    case SHA_PATH_PORTABLE: return true;
    case SHA_PATH_VECTOR: return Features.Vector;
    case SHA_PATH_EXTENSIONS: return Features.Extensions && algorithm != SHA_512;
    }
    return false;
}

ShaPath Fastest(ShaAlgorithm algorithm, ShaPath atMost)
{
    int path = atMost;
    while (path > SHA_PATH_PORTABLE && !Available(algorithm, (ShaPath)path))
        path--;
    return (ShaPath)path;
}

ShaPath Active[3] = { Fastest(SHA_1, SHA_PATH_EXTENSIONS), Fastest(SHA_256, SHA_PATH_EXTENSIONS),
                      Fastest(SHA_512, SHA_PATH_EXTENSIONS) };

} // namespace

bool ShaPathAvailable(ShaAlgorithm algorithm, ShaPath path)
{
    return Available(algorithm, path);
}

ShaPath ShaActivePath(ShaAlgorithm algorithm)
{
    return Active[algorithm];
}

ShaPath ShaSelectPath(ShaAlgorithm algorithm, ShaPath path)
{
    Active[algorithm] = Fastest(algorithm, path);
    return Active[algorithm];
}

void ShaInit(ShaContext *ctx, ShaAlgorithm algorithm)
{
    ctx->Algorithm = algorithm;
    switch (algorithm) {
    case SHA_1: Sha1Init(&ctx->Sha1); break;
    case SHA_256: Sha256Init(&ctx->Sha256); break;
    case SHA_512: Sha512Init(&ctx->Sha512); break;
    }
}

void ShaUpdate(ShaContext *ctx, const unsigned char *bytes, uint32_t length)
{
    switch (ctx->Algorithm) {
    case SHA_1: Sha1Update(&ctx->Sha1, bytes, length); break;
    case SHA_256: Sha256Update(&ctx->Sha256, bytes, length); break;
    case SHA_512: Sha512Update(&ctx->Sha512, bytes, length); break;
    }
}

const unsigned char *ShaFinal(ShaContext *ctx, size_t *size)
{
    switch (ctx->Algorithm) {
    case SHA_1:
        Sha1Final(&ctx->Sha1);
        *size = sizeof ctx->Sha1.Digest;
        return ctx->Sha1.Digest;
    case SHA_256:
        Sha256Final(&ctx->Sha256);
        *size = sizeof ctx->Sha256.Digest;
        return ctx->Sha256.Digest;
    default:
        Sha512Final(&ctx->Sha512);
        *size = sizeof ctx->Sha512.Digest;
        return ctx->Sha512.Digest;
    }
}

void ShaFeed(void *state, ShaBlocksFn compress, unsigned char *buffer, size_t blockSize, size_t waiting,
             const unsigned char *bytes, size_t length)
{
    if (length == 0)
        return;
    if (waiting > 0) {
        size_t take = blockSize - waiting;
        if (length < take) {
            memcpy(buffer + waiting, bytes, length);
            return;
        }
        memcpy(buffer + waiting, bytes, take);
        compress(state, buffer, 1);
        bytes += take;
        length -= take;
    }
    size_t whole = length / blockSize;
    if (whole > 0)
        compress(state, bytes, whole);
    if (length % blockSize > 0)
        memcpy(buffer, bytes + whole * blockSize, length % blockSize);
}

void ShaPad(void *state, ShaBlocksFn compress, unsigned char *buffer, size_t blockSize, size_t waiting,
            uint64_t bitsHigh, uint64_t bitsLow, size_t lengthSize)
{
    buffer[waiting++] = 0x80;
    if (waiting > blockSize - lengthSize) {
        memset(buffer + waiting, 0, blockSize - waiting);
        compress(state, buffer, 1);
        waiting = 0;
    }
    memset(buffer + waiting, 0, blockSize - waiting);
    if (lengthSize == 16)
        ShaStore64(buffer + blockSize - 16, bitsHigh);
    ShaStore64(buffer + blockSize - 8, bitsLow);
    compress(state, buffer, 1);
}
