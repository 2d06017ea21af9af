// Fuzzing a SHA engine against OpenSSL's: the message fed in pieces of any
// length at any alignment, from a context that held anything before its
// Init, on every compression path the processor has.
//
// Input: a byte the context is filled with before Init, the seed of the
// cuts (four bytes), then the message.
#ifndef ZUNTA_FUZZ_SHA_FUZZ_H
#define ZUNTA_FUZZ_SHA_FUZZ_H

#include "checksum/sha_common.h"

#include "fuzz_support.h"

#include <openssl/evp.h>

template <typename Context>
int FuzzShaEngine(ShaAlgorithm algorithm, const EVP_MD *md, void (*init)(Context *),
                  void (*update)(Context *, const unsigned char *, uint32_t), void (*final)(Context *),
                  const uint8_t *data, size_t size)
{
    static EVP_MD_CTX *reference = EVP_MD_CTX_new();
    FUZZ_CHECK(reference != nullptr, "no OpenSSL context");
    FuzzInput in(data, size);
    uint8_t fill = in.Byte();
    uint32_t seed = in.U32();
    const unsigned char *message = data + in.At;
    size_t length = size - in.At;

    unsigned char expected[EVP_MAX_MD_SIZE];
    unsigned int expectedLength = 0;
    FUZZ_CHECK(EVP_DigestInit_ex(reference, md, nullptr) == 1 && EVP_DigestUpdate(reference, message, length) == 1 &&
                   EVP_DigestFinal_ex(reference, expected, &expectedLength) == 1 &&
                   expectedLength == sizeof(Context().Digest),
               "OpenSSL gave no digest");

    ShaPath initial = ShaActivePath(algorithm);
    for (int path = SHA_PATH_PORTABLE; path <= SHA_PATH_EXTENSIONS; path++) {
        if (!ShaPathAvailable(algorithm, (ShaPath)path))
            continue;
        ShaSelectPath(algorithm, (ShaPath)path);
        Context context;
        memset(&context, fill, sizeof context);
        init(&context);
        MessageCuts cuts(seed, length);
        size_t at = 0, piece, alignment;
        while (cuts.Next(&piece, &alignment)) {
            PlacedCopy copy(message + at, piece, alignment);
            update(&context, copy.Bytes(), (uint32_t)piece);
            at += piece;
        }
        final(&context);
        FUZZ_CHECK(memcmp(context.Digest, expected, expectedLength) == 0,
                   "digest of %zu bytes on path %d differs from OpenSSL's", length, path);
    }
    ShaSelectPath(algorithm, initial);
    return 0;
}

#endif
