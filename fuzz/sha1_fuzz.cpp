// Fuzzing the SHA-1 engine against OpenSSL's (see digest_fuzz.h).
#include "checksum/sha1.h"

#include "digest_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzShaEngine(SHA_1, EVP_sha1(), Sha1Init, Sha1Update, Sha1Final, data, size);
}
