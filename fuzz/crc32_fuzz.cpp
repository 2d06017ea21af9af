// Fuzzing the CRC-32 engine on each of its paths (sixteen tables; carry-less
// multiplication where the processor has it) against zlib's crc32, with the
// message fed in pieces of any length at any alignment and from any
// running value.
//
// Input: a flags byte (bit 0: start from the running value that follows
// instead of CRC32_START), the running value (four bytes), the seed of the
// cuts (four bytes), then the message.
#include "checksum/crc32.h"

#include "fuzz_support.h"

#include <zlib.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    uint8_t flags = in.Byte();
    uint32_t start = in.U32();
    if (!(flags & 1))
        start = CRC32_START;
    uint32_t seed = in.U32();
    const unsigned char *message = data + in.At;
    size_t length = size - in.At;

    Crc32Path paths[2] = { CRC32_PATH_TABLES, CRC32_PATH_CLMUL };
    int pathCount = Crc32ClmulAvailable() ? 2 : 1;
    uint32_t running[2] = { start, start };
    // zlib keeps the value complemented between calls.
    uLong reference = ~start & 0xFFFFFFFFu;

    MessageCuts cuts(seed, length);
    size_t at = 0, piece, alignment;
    while (cuts.Next(&piece, &alignment)) {
        PlacedCopy copy(message + at, piece, alignment);
        reference = crc32(reference, copy.Bytes(), (uInt)piece);
        for (int p = 0; p < pathCount; p++) {
            FUZZ_CHECK(Crc32SelectPath(paths[p]) == paths[p], "path %d not taken", paths[p]);
            running[p] = Crc32Update(running[p], copy.Bytes(), (uint32_t)piece);
            FUZZ_CHECK(running[p] == (~reference & 0xFFFFFFFFu),
                       "path %d: %08x, zlib %08lx after %zu bytes at alignment %zu", paths[p], running[p],
                       ~reference & 0xFFFFFFFFul, at + piece, alignment);
        }
        at += piece;
    }
    return 0;
}
