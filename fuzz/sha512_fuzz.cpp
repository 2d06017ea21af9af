// Fuzzing the SHA-512 engine against OpenSSL's (see digest_fuzz.h).
#include "checksum/sha512.h"

#include "digest_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzShaEngine(SHA_512, EVP_sha512(), Sha512Init, Sha512Update, Sha512Final, data, size);
}
