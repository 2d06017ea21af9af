// Helpers of the SHA engine tests: one interface over the three engines,
// and a loop over the compression paths this processor has.
#ifndef ZUNTA_TESTS_UNIT_SHA_SUPPORT_H
#define ZUNTA_TESTS_UNIT_SHA_SUPPORT_H

#include "checksum/checksum_text.h"
#include "checksum/sha1.h"
#include "checksum/sha256.h"
#include "checksum/sha512.h"
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
    ShaAlgorithm Algorithm;
    Sha1Context Context1;
    Sha256Context Context256;
    Sha512Context Context512;

    explicit AnySha(ShaAlgorithm algorithm) : Algorithm(algorithm)
    {
        Sha1Init(&Context1);
        Sha256Init(&Context256);
        Sha512Init(&Context512);
    }
    void Update(const unsigned char *bytes, size_t length)
    {
        switch (Algorithm) {
        case SHA_1: Sha1Update(&Context1, bytes, (uint32_t)length); break;
        case SHA_256: Sha256Update(&Context256, bytes, (uint32_t)length); break;
        case SHA_512: Sha512Update(&Context512, bytes, (uint32_t)length); break;
        }
    }
    // The digest in lower-case hexadecimal.
    std::string Final()
    {
        char text[SHA512_TEXT_SIZE];
        switch (Algorithm) {
        case SHA_1:
            Sha1Final(&Context1);
            FormatDigestText(Context1.Digest, sizeof Context1.Digest, 1, text, sizeof text);
            break;
        case SHA_256:
            Sha256Final(&Context256);
            FormatDigestText(Context256.Digest, sizeof Context256.Digest, 1, text, sizeof text);
            break;
        case SHA_512:
            Sha512Final(&Context512);
            FormatDigestText(Context512.Digest, sizeof Context512.Digest, 1, text, sizeof text);
            break;
        }
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
