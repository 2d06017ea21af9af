// Fuzzing the MD5 engine against OpenSSL's, with the message fed in pieces
// of any length at any alignment, from a context that held anything before
// Md5Init.
//
// Input: a byte the context is filled with before Md5Init, the seed of the
// cuts (four bytes), then the message.
#include "checksum/md5.h"

#include "fuzz_support.h"

#include <openssl/evp.h>

namespace {

EVP_MD_CTX *Reference;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Reference = EVP_MD_CTX_new();
    return Reference != nullptr ? 0 : -1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    uint8_t fill = in.Byte();
    uint32_t seed = in.U32();
    const unsigned char *message = data + in.At;
    size_t length = size - in.At;

    unsigned char expected[EVP_MAX_MD_SIZE];
    unsigned int expectedLength = 0;
    FUZZ_CHECK(EVP_DigestInit_ex(Reference, EVP_md5(), nullptr) == 1 &&
                   EVP_DigestUpdate(Reference, message, length) == 1 &&
                   EVP_DigestFinal_ex(Reference, expected, &expectedLength) == 1 && expectedLength == 16,
               "OpenSSL gave no MD5");

    Md5Context context;
    memset(&context, fill, sizeof context);
    Md5Init(&context);
    MessageCuts cuts(seed, length);
    size_t at = 0, piece, alignment;
    while (cuts.Next(&piece, &alignment)) {
        PlacedCopy copy(message + at, piece, alignment);
        Md5Update(&context, copy.Bytes(), (uint32_t)piece);
        at += piece;
    }
    Md5Final(&context);
    FUZZ_CHECK(memcmp(context.Digest, expected, 16) == 0, "MD5 of %zu bytes differs from OpenSSL's", length);
    return 0;
}
