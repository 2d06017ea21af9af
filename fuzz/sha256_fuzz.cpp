// Fuzzing the SHA-256 engine against OpenSSL's (see digest_fuzz.h).
#include "checksum/sha256.h"

#include "digest_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzShaEngine(SHA_256, EVP_sha256(), Sha256Init, Sha256Update, Sha256Final, data, size);
}
