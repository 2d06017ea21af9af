// Every kind of checksum the program computes, in one table: its bit in a
// checksum mask, its names, its digest's size. The hashing job has an engine
// for each (checksum/hashjob.cpp); CRC32 and MD5 live in the file entry,
// every other kind in the entry's digest store.
#ifndef ZUNTA_KINDS_H
#define ZUNTA_KINDS_H

#include <stddef.h>

enum {
    KIND_CRC32,
    KIND_MD5,
    KIND_SHA1,
    KIND_SHA256,
    KIND_SHA512,
    KIND_BLAKE3,
    KIND_XXH3,
    KIND_XXH128,
    KIND_XXH64,
    KIND_COUNT,
    KIND_FIRST_STORED = KIND_SHA1,      // the first kind kept outside the file entry
};

// Bits of a checksum mask, one per kind. The check boxes give CRC32 and MD5;
// the others are computed for the commands that ask for them.
enum {
    MASK_CRC32 = 1 << KIND_CRC32,
    MASK_MD5 = 1 << KIND_MD5,
    MASK_SHA1 = 1 << KIND_SHA1,
    MASK_SHA256 = 1 << KIND_SHA256,
    MASK_SHA512 = 1 << KIND_SHA512,
    MASK_BLAKE3 = 1 << KIND_BLAKE3,
    MASK_XXH3 = 1 << KIND_XXH3,
    MASK_XXH128 = 1 << KIND_XXH128,
    MASK_XXH64 = 1 << KIND_XXH64,
    MASK_ALL = (1 << KIND_COUNT) - 1,
    MASK_STORED = MASK_ALL & ~(MASK_CRC32 | MASK_MD5),
};

enum {
    KIND_DIGEST_MAX = 64,                   // bytes of the longest digest
    KIND_TEXT_SIZE = 2 * KIND_DIGEST_MAX + 1,   // its digits with their terminator
};

struct ChecksumKind {
    int Mask;               // its MASK_... bit
    const char *Name;       // as users write it and the result box labels it: "SHA-256"
    const char *Label;      // the word of BSD lines and "SHA256:" prefixes: "SHA256"
    const char *Alias;      // another word users write for it ("b3"), or null
    size_t DigestSize;      // bytes
    size_t Digits;          // hexadecimal digits: twice the bytes
};

extern const ChecksumKind ChecksumKinds[KIND_COUNT];

// The kind whose bit is mask (one bit), or -1.
int KindOfMask(int mask);

#endif
