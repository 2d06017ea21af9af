// SHA paths with the message schedule in vector registers (placeholder).
#include "checksum/sha_common.h"

void Sha1BlocksVector(uint32_t state[5], const unsigned char *p, size_t count)
{
    Sha1BlocksPortable(state, p, count);
}

void Sha256BlocksVector(uint32_t state[8], const unsigned char *p, size_t count)
{
    Sha256BlocksPortable(state, p, count);
}

void Sha512BlocksVector(uint64_t state[8], const unsigned char *p, size_t count)
{
    Sha512BlocksPortable(state, p, count);
}
