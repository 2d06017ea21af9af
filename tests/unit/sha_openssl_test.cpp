// The SHA engines against OpenSSL's on every path: every length up to
// 1,000 bytes, and long messages fed in random pieces at random alignments.
// Native build only, where libcrypto is at hand.
#include "sha_support.h"

#include "unit_support.h"

#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <algorithm>
#include <random>

namespace {

std::string OpenSslHex(ShaAlgorithm algorithm, const unsigned char *bytes, size_t length)
{
    const EVP_MD *md = algorithm == SHA_1 ? EVP_sha1() : algorithm == SHA_256 ? EVP_sha256() : EVP_sha512();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(bytes, length, digest, &size, md, nullptr) != 1)
        return "OpenSSL failed";
    char text[SHA512_TEXT_SIZE];
    FormatDigestText(digest, size, 1, text, sizeof text);
    return text;
}

} // namespace

TEST(ShaAgainstOpenSsl, EveryLengthUpToAThousandBytes)
{
    std::vector<unsigned char> data = RandomBytes(1000 + 64, 11);
    for (ShaAlgorithm algorithm : ShaAlgorithms) {
        std::vector<std::string> expected;
        for (size_t length = 0; length <= 1000; length++)
            expected.push_back(OpenSslHex(algorithm, data.data() + length % 61, length));
        ForEachShaPath(algorithm, [&] {
            for (size_t length = 0; length <= 1000; length++)
                ASSERT_EQ(ShaHex(algorithm, data.data() + length % 61, length), expected[length])
                    << length << " bytes at alignment " << length % 61;
        });
    }
}

TEST(ShaAgainstOpenSsl, RandomPiecesAtRandomAlignments)
{
    std::vector<unsigned char> data = RandomBytes(300000, 12);
    std::vector<unsigned char> placed(data.size() + 64);
    for (ShaAlgorithm algorithm : ShaAlgorithms) {
        std::string expected = OpenSslHex(algorithm, data.data(), data.size());
        ForEachShaPath(algorithm, [&] {
            for (unsigned seed = 0; seed < 6; seed++) {
                std::mt19937 random(seed);
                AnySha sha(algorithm);
                for (size_t at = 0; at < data.size();) {
                    size_t longest = random() % 2 ? 260 : 70000;
                    size_t piece = std::min<size_t>(random() % longest, data.size() - at);
                    size_t alignment = random() % 64;
                    std::copy(data.begin() + at, data.begin() + at + piece, placed.begin() + alignment);
                    sha.Update(placed.data() + alignment, piece);
                    at += piece;
                }
                EXPECT_EQ(sha.Final(), expected) << "seed " << seed;
            }
        });
    }
}
