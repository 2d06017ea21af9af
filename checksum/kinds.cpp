// The table of checksum kinds.
#include "checksum/kinds.h"

constexpr ChecksumKind ChecksumKinds[KIND_COUNT] = {
    { MASK_CRC32, "CRC32", "CRC", nullptr, 4, 8 },
    { MASK_MD5, "MD5", "MD5", nullptr, 16, 32 },
    { MASK_SHA1, "SHA-1", "SHA1", nullptr, 20, 40 },
    { MASK_SHA256, "SHA-256", "SHA256", nullptr, 32, 64 },
    { MASK_SHA512, "SHA-512", "SHA512", nullptr, 64, 128 },
    { MASK_BLAKE3, "BLAKE3", "BLAKE3", "B3", 32, 64 },
    { MASK_XXH3, "XXH3", "XXH3", nullptr, 8, 16 },
    { MASK_XXH128, "XXH128", "XXH128", nullptr, 16, 32 },
    { MASK_XXH64, "XXH64", "XXH64", nullptr, 8, 16 },
};

static constexpr bool KindsInOrder()
{
    for (int kind = 0; kind < KIND_COUNT; kind++)
        if (ChecksumKinds[kind].Mask != 1 << kind || ChecksumKinds[kind].Digits != 2 * ChecksumKinds[kind].DigestSize ||
            ChecksumKinds[kind].DigestSize > KIND_DIGEST_MAX)
            return false;
    return true;
}
static_assert(KindsInOrder(), "each kind sits at its index, with its own bit and size");

int KindOfMask(int mask)
{
    for (int kind = 0; kind < KIND_COUNT; kind++)
        if (ChecksumKinds[kind].Mask == mask)
            return kind;
    return -1;
}
