// SipHash-1-3 under a drawn key.
#define _CRT_RAND_S   // rand_s, before the first include of stdlib.h
#include "core/keyedhash.h"

#include "checksum/clock.h"

#include <stdint.h>
#include <stdlib.h>
#include <time.h>
#if !defined(_WIN32)
#include <unistd.h>
#endif

static uint64_t RotateLeft(uint64_t value, int bits)
{
    return value << bits | value >> (64 - bits);
}

static void SipRound(uint64_t *v)
{
    v[0] += v[1]; v[1] = RotateLeft(v[1], 13); v[1] ^= v[0]; v[0] = RotateLeft(v[0], 32);
    v[2] += v[3]; v[3] = RotateLeft(v[3], 16); v[3] ^= v[2];
    v[0] += v[3]; v[3] = RotateLeft(v[3], 21); v[3] ^= v[0];
    v[2] += v[1]; v[1] = RotateLeft(v[1], 17); v[1] ^= v[2]; v[2] = RotateLeft(v[2], 32);
}

static uint64_t MixBits(uint64_t value)
{
    value += 0x9e3779b97f4a7c15ull;
    value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ull;
    value = (value ^ (value >> 27)) * 0x94d049bb133111ebull;
    return value ^ (value >> 31);
}

void DrawHashKey(uint64_t key[2])
{
    static uint64_t drawn;
    uint64_t random[2] = { 0, 0 };
#if defined(_WIN32)
    for (int i = 0; i < 4; i++) {
        unsigned int part;
        if (rand_s(&part) == 0)
            random[i / 2] = random[i / 2] << 32 | part;
    }
#else
    if (getentropy(random, sizeof random) != 0)
        random[0] = random[1] = 0;
#endif
    int64_t seconds;
    int32_t milliseconds;
    ReadWallClock(&seconds, &milliseconds);
    uint64_t local = (uint64_t)(uintptr_t)key ^ (uint64_t)clock() << 32 ^ ++drawn;
    key[0] = MixBits(random[0] ^ (uint64_t)seconds * 1000 ^ (uint64_t)milliseconds);
    key[1] = MixBits(random[1] ^ local);
}

void KeyedHashStart(KeyedHash *hash, const uint64_t key[2])
{
    hash->V[0] = key[0] ^ 0x736f6d6570736575ull;
    hash->V[1] = key[1] ^ 0x646f72616e646f6dull;
    hash->V[2] = key[0] ^ 0x6c7967656e657261ull;
    hash->V[3] = key[1] ^ 0x7465646279746573ull;
    hash->Pending = 0;
    hash->Length = 0;
}

void KeyedHashWord(KeyedHash *hash, uint64_t word)
{
    hash->V[3] ^= word;
    SipRound(hash->V);
    hash->V[0] ^= word;
}

void KeyedHashByte(KeyedHash *hash, unsigned char byte)
{
    hash->Pending |= (uint64_t)byte << (8 * (hash->Length % 8));
    if (++hash->Length % 8 == 0) {
        KeyedHashWord(hash, hash->Pending);
        hash->Pending = 0;
    }
}

void KeyedHashBytes(KeyedHash *hash, const unsigned char *bytes, size_t count)
{
    size_t i = 0;
    for (; i < count && hash->Length % 8 != 0; i++)
        KeyedHashByte(hash, bytes[i]);
    for (; i + 8 <= count; i += 8) {
        uint64_t word = 0;
        for (int k = 7; k >= 0; k--)
            word = word << 8 | bytes[i + k];
        KeyedHashWord(hash, word);
        hash->Length += 8;
    }
    for (; i < count; i++)
        KeyedHashByte(hash, bytes[i]);
}

void KeyedHashEndBytes(KeyedHash *hash)
{
    KeyedHashWord(hash, hash->Pending | hash->Length << 56);
    hash->Pending = 0;
}

uint64_t KeyedHashEnd(KeyedHash *hash)
{
    hash->V[2] ^= 0xff;
    for (int i = 0; i < 3; i++)
        SipRound(hash->V);
    return hash->V[0] ^ hash->V[1] ^ hash->V[2] ^ hash->V[3];
}
