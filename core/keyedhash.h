// SipHash-1-3 under a key drawn per table, for the tables whose keys come
// from files (checksum files, session logs): nobody writing such a file
// knows the key, so nobody can make its names collide.
#ifndef ZUNTA_KEYEDHASH_H
#define ZUNTA_KEYEDHASH_H

#include <stddef.h>
#include <stdint.h>

struct KeyedHash {
    uint64_t V[4];
    uint64_t Pending;       // bytes not yet taken, the first in the lowest bits
    uint64_t Length;        // bytes taken
};

// A key from the system's random numbers, with the clock and addresses
// mixed in should they fail.
void DrawHashKey(uint64_t key[2]);
void KeyedHashStart(KeyedHash *hash, const uint64_t key[2]);
void KeyedHashByte(KeyedHash *hash, unsigned char byte);
// The same as KeyedHashByte for each byte in turn, a word at a time.
void KeyedHashBytes(KeyedHash *hash, const unsigned char *bytes, size_t count);
// Ends the bytes taken so far with their count (so that a message is read
// one way only); whole words may follow.
void KeyedHashEndBytes(KeyedHash *hash);
void KeyedHashWord(KeyedHash *hash, uint64_t word);
uint64_t KeyedHashEnd(KeyedHash *hash);

#endif
