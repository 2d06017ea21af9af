// The XXH3 engine of one vector path: included once by each of
// checksum/xxh3_*.cpp, which name the path (XXH3_PATH_FUNCTIONS) and its
// instructions (XXH_VECTOR) first and are built for those instructions.
// xxHash is compiled inline, private to the file.
#ifndef XXH3_PATH_FUNCTIONS
#error "XXH3_PATH_FUNCTIONS names the path's functions"
#endif

#include "checksum/xxh3_paths.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

#include <string.h>

static_assert(sizeof(XXH3_state_t) <= XXH3_STATE_SIZE && alignof(XXH3_state_t) <= 64,
              "the context's room for the XXH3 state");

namespace {

void Reset(void *state)
{
    XXH3_64bits_reset((XXH3_state_t *)state);
}

// The 64-bit and 128-bit digests share the reset and the update.
void Update(void *state, const unsigned char *bytes, size_t length)
{
    XXH3_64bits_update((XXH3_state_t *)state, bytes, length);
}

void Digest64(const void *state, unsigned char digest[8])
{
    XXH64_canonical_t canonical;
    XXH64_canonicalFromHash(&canonical, XXH3_64bits_digest((const XXH3_state_t *)state));
    memcpy(digest, canonical.digest, sizeof canonical.digest);
}

void Digest128(const void *state, unsigned char digest[16])
{
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest((const XXH3_state_t *)state));
    memcpy(digest, canonical.digest, sizeof canonical.digest);
}

} // namespace

extern const Xxh3PathFunctions XXH3_PATH_FUNCTIONS = { Reset, Update, Digest64, Digest128 };
