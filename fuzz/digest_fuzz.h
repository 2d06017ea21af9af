// Fuzzing the message digest engines against OpenSSL's: the message fed in
// pieces of any length at any alignment, from a context that held anything
// before its Init; the SHA engines on every compression path the processor
// has.
//
// Input: a byte the context is filled with before Init, the seed of the
// cuts (four bytes), then the message.
#ifndef ZUNTA_FUZZ_DIGEST_FUZZ_H
#define ZUNTA_FUZZ_DIGEST_FUZZ_H

#include "checksum/sha_common.h"

#include "fuzz_support.h"

#include <openssl/evp.h>

// A fuzz input read as its fields and the message.
struct DigestInput {
    uint8_t Fill;
    uint32_t Seed;
    const unsigned char *Message;
    size_t Length;

    DigestInput(const uint8_t *data, size_t size)
    {
        FuzzInput in(data, size);
        Fill = in.Byte();
        Seed = in.U32();
        Message = data + in.At;
        Length = size - in.At;
    }
};

// The engine's digest of the input's message, fed in the input's cuts,
// compared with OpenSSL's.
template <typename Context>
void CheckDigestInCuts(const DigestInput &input, const EVP_MD *md, void (*init)(Context *),
                       void (*update)(Context *, const unsigned char *, uint32_t), void (*final)(Context *))
{
    unsigned char expected[EVP_MAX_MD_SIZE];
    unsigned int expectedLength = 0;
    FUZZ_CHECK(EVP_Digest(input.Message, input.Length, expected, &expectedLength, md, nullptr) == 1 &&
                   expectedLength == sizeof(Context().Digest),
               "OpenSSL gave no digest");
    Context context;
    memset(&context, input.Fill, sizeof context);
    init(&context);
    MessageCuts cuts(input.Seed, input.Length);
    size_t at = 0, piece, alignment;
    while (cuts.Next(&piece, &alignment)) {
        PlacedCopy copy(input.Message + at, piece, alignment);
        update(&context, copy.Bytes(), (uint32_t)piece);
        at += piece;
    }
    final(&context);
    FUZZ_CHECK(memcmp(context.Digest, expected, expectedLength) == 0, "digest of %zu bytes differs from OpenSSL's",
               input.Length);
}

// The same on each compression path of a SHA engine.
template <typename Context>
int FuzzShaEngine(ShaAlgorithm algorithm, const EVP_MD *md, void (*init)(Context *),
                  void (*update)(Context *, const unsigned char *, uint32_t), void (*final)(Context *),
                  const uint8_t *data, size_t size)
{
    DigestInput input(data, size);
    ShaPath initial = ShaActivePath(algorithm);
    for (int path = SHA_PATH_PORTABLE; path <= SHA_PATH_EXTENSIONS; path++) {
        if (!ShaPathAvailable(algorithm, (ShaPath)path))
            continue;
        ShaSelectPath(algorithm, (ShaPath)path);
        CheckDigestInCuts(input, md, init, update, final);
    }
    ShaSelectPath(algorithm, initial);
    return 0;
}

#endif
