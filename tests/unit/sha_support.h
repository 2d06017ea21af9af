// Helpers of the SHA engine tests: one interface over the three engines,
// and a loop over the compression paths this processor has.
#ifndef ZUNTA_TESTS_UNIT_SHA_SUPPORT_H
#define ZUNTA_TESTS_UNIT_SHA_SUPPORT_H

#include "checksum/checksum_text.h"
#include "checksum/sha_common.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

const ShaAlgorithm ShaAlgorithms[] = { SHA_1, SHA_256, SHA_512 };

inline const char *ShaName(ShaAlgorithm algorithm)
{
    return algorithm == SHA_1 ? "SHA-1" : algorithm == SHA_256 ? "SHA-256" : "SHA-512";
}

inline const char *ShaPathName(ShaPath path)
{
    return path == SHA_PATH_EXTENSIONS ? "SHA instructions" : path == SHA_PATH_VECTOR ? "vector schedule" : "portable";
}

// Any of the engines, fed through its public functions.
struct AnySha {
    ShaContext Context;

    explicit AnySha(ShaAlgorithm algorithm) { ShaInit(&Context, algorithm); }
    void Update(const unsigned char *bytes, size_t length) { ShaUpdate(&Context, bytes, (uint32_t)length); }
    // The digest in lower-case hexadecimal.
    std::string Final()
    {
        size_t size;
        const unsigned char *digest = ShaFinal(&Context, &size);
        char text[SHA512_TEXT_SIZE];
        FormatDigestText(digest, size, 1, text, sizeof text);
        return text;
    }
};

inline std::string ShaHex(ShaAlgorithm algorithm, const unsigned char *bytes, size_t length)
{
    AnySha sha(algorithm);
    sha.Update(bytes, length);
    return sha.Final();
}

// Runs check under each path the processor has for algorithm, restoring the
// path chosen at start-up.
template <typename Check>
void ForEachShaPath(ShaAlgorithm algorithm, Check check)
{
    ShaPath initial = ShaActivePath(algorithm);
    for (ShaPath path : { SHA_PATH_PORTABLE, SHA_PATH_VECTOR, SHA_PATH_EXTENSIONS }) {
        if (!ShaPathAvailable(algorithm, path))
            continue;
        ASSERT_EQ(ShaSelectPath(algorithm, path), path);
        SCOPED_TRACE(std::string(ShaName(algorithm)) + ", " + ShaPathName(path));
        check();
    }
    ShaSelectPath(algorithm, initial);
}

#endif
