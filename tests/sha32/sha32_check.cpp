// The SHA engines as the 32-bit program runs them, run in an emulated i386
// processor (this machine's kernel runs no 32-bit programs): every path the
// processor has against the portable one over every length up to 1,000 in
// two pieces, and FIPS 180's "abc". The callers here keep the stack only
// 4-byte aligned, as the 32-bit Windows convention allows: the vector paths
// must align it themselves.
//   sha32_check [--need-vector]   exits 1 when a digest differs, or when the
//                                 vector paths were asked for and are missing
#include "checksum/sha_common.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static_assert(sizeof(void *) == 4, "built for the 32-bit processor");

namespace {

void Digest(ShaAlgorithm algorithm, const unsigned char *bytes, size_t length, size_t cut, unsigned char *out)
{
    ShaContext ctx;
    ShaInit(&ctx, algorithm);
    ShaUpdate(&ctx, bytes, (uint32_t)cut);
    ShaUpdate(&ctx, bytes + cut, (uint32_t)(length - cut));
    size_t size;
    const unsigned char *digest = ShaFinal(&ctx, &size);
    memcpy(out, digest, size);
}

} // namespace

int main(int argc, char **argv)
{
    bool needVector = argc > 1 && strcmp(argv[1], "--need-vector") == 0;
    static const struct {
        const char *Name;
        ShaAlgorithm Algorithm;
        size_t Size;
        unsigned char Abc[4];   // the first bytes of the digest of "abc"
    } engines[] = {
        { "SHA-1", SHA_1, 20, { 0xa9, 0x99, 0x3e, 0x36 } },
        { "SHA-256", SHA_256, 32, { 0xba, 0x78, 0x16, 0xbf } },
        { "SHA-512", SHA_512, 64, { 0xdd, 0xaf, 0x35, 0xa1 } },
    };
    static const char *const paths[] = { "portable", "vector", "SHA instructions" };
    unsigned char message[1024 + 8];
    for (size_t i = 0; i < sizeof message; i++)
        message[i] = (unsigned char)(i * 2654435761u >> 13);
    int failed = 0;
    for (const auto &engine : engines) {
        for (int path = SHA_PATH_PORTABLE; path <= SHA_PATH_EXTENSIONS; path++) {
            if (!ShaPathAvailable(engine.Algorithm, (ShaPath)path)) {
                printf("%-8s %-17s not on this processor\n", engine.Name, paths[path]);
                failed |= needVector && path == SHA_PATH_VECTOR;
                continue;
            }
            size_t agree = 0;
            for (size_t length = 0; length <= 1000; length++) {
                unsigned char wanted[64], got[64];
                const unsigned char *start = message + length % 7;   // any alignment
                ShaSelectPath(engine.Algorithm, SHA_PATH_PORTABLE);
                Digest(engine.Algorithm, start, length, length / 3, wanted);
                ShaSelectPath(engine.Algorithm, (ShaPath)path);
                Digest(engine.Algorithm, start, length, length / 3, got);
                if (memcmp(wanted, got, engine.Size) != 0) {
                    printf("%-8s %-17s differs from the portable path at %zu bytes\n", engine.Name, paths[path],
                           length);
                    failed = 1;
                    break;
                }
                agree++;
            }
            unsigned char abc[64];
            Digest(engine.Algorithm, (const unsigned char *)"abc", 3, 1, abc);
            bool right = memcmp(abc, engine.Abc, sizeof engine.Abc) == 0;
            failed |= !right;
            printf("%-8s %-17s %zu lengths agree, \"abc\" %s\n", engine.Name, paths[path], agree,
                   right ? "right" : "WRONG");
        }
    }
    return failed;
}
