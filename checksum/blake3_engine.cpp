// The BLAKE3 engine over the reference implementation.
#include "checksum/blake3_engine.h"

#include <stddef.h>

// The reference code's own (blake3_impl.h): the width of the vector path
// it chose, 1 without one.
extern "C" size_t blake3_simd_degree(void);

void Blake3Init(Blake3Context *ctx)
{
    // The reference code looks at the processor the first time it hashes
    // and keeps the answer in a plain variable: asked once here, under the
    // guard of a static, threads that hash at once never race to write it.
    static const size_t degree = blake3_simd_degree();
    (void)degree;
    blake3_hasher_init(&ctx->Hasher);
}

void Blake3Update(Blake3Context *ctx, const unsigned char *bytes, uint32_t length)
{
    blake3_hasher_update(&ctx->Hasher, bytes, length);
}

void Blake3Final(Blake3Context *ctx)
{
    blake3_hasher_finalize(&ctx->Hasher, ctx->Digest, sizeof ctx->Digest);
}
