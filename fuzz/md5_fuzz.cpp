// Fuzzing the MD5 engine against OpenSSL's (see digest_fuzz.h).
#include "checksum/md5.h"

#include "digest_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CheckDigestInCuts(DigestInput(data, size), EVP_md5(), Md5Init, Md5Update, Md5Final);
    return 0;
}
