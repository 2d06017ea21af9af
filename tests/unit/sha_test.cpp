// The SHA-1, SHA-256 and SHA-512 engines on every compression path: the
// FIPS 180 example messages, incremental feeding, the length field of long
// messages, and the text form of their digests.
#include "sha_support.h"

#include "unit_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string.h>

namespace {

const char Message448[] = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
const char Message896[] = "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmno"
                          "pqrsmnopqrstnopqrstu";

const struct {
    ShaAlgorithm Algorithm;
    const char *Message;   // nullptr: one million 'a'
    const char *Digest;
} Fips180Vectors[] = {
    { SHA_1, "", "da39a3ee5e6b4b0d3255bfef95601890afd80709" },
    { SHA_1, "abc", "a9993e364706816aba3e25717850c26c9cd0d89d" },
    { SHA_1, Message448, "84983e441c3bd26ebaae4aa1f95129e5e54670f1" },
    { SHA_1, Message896, "a49b2446a02c645bf419f995b67091253a04a259" },
    { SHA_1, nullptr, "34aa973cd4c4daa4f61eeb2bdbad27316534016f" },
    { SHA_256, "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855" },
    { SHA_256, "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad" },
    { SHA_256, Message448, "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1" },
    { SHA_256, Message896, "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1" },
    { SHA_256, nullptr, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0" },
    { SHA_512, "",
      "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538"
      "327af927da3e" },
    { SHA_512, "abc",
      "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9a"
      "c94fa54ca49f" },
    { SHA_512, Message448,
      "204a8fc6dda82f0a0ced7beb8e08a41657c16ef468b228a8279be331a703c33596fd15c13b1b07f9aa1d3bea57789ca031ad85c7a71dd70354ec"
      "631238ca3445" },
    { SHA_512, Message896,
      "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018501d289e4900f7e4331b99dec4b5433ac7d329eeb6dd26545e96"
      "e55b874be909" },
    { SHA_512, nullptr,
      "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973ebde0ff244877ea60a4cb0432ce577c31beb009c5c2c49aa2e4ead"
      "b217ad8cc09b" },
};

// The digest of data fed in pieces of random lengths up to longest, some empty.
std::string HashInRandomPieces(ShaAlgorithm algorithm, const std::vector<unsigned char> &data, unsigned seed,
                               size_t longest)
{
    std::mt19937 random(seed);
    AnySha sha(algorithm);
    for (size_t at = 0; at < data.size();) {
        size_t piece = std::min<size_t>(random() % (longest + 1), data.size() - at);
        sha.Update(data.data() + at, piece);
        at += piece;
    }
    return sha.Final();
}

} // namespace

TEST(ShaPaths, TheFastestPathIsChosenAtStartUp)
{
    for (ShaAlgorithm algorithm : ShaAlgorithms) {
        ShaPath fastest = ShaPathAvailable(algorithm, SHA_PATH_EXTENSIONS) ? SHA_PATH_EXTENSIONS
                          : ShaPathAvailable(algorithm, SHA_PATH_VECTOR) ? SHA_PATH_VECTOR
                                                                         : SHA_PATH_PORTABLE;
        EXPECT_EQ(ShaActivePath(algorithm), fastest) << ShaName(algorithm);
        EXPECT_TRUE(ShaPathAvailable(algorithm, SHA_PATH_PORTABLE));
        EXPECT_EQ(ShaSelectPath(algorithm, SHA_PATH_PORTABLE), SHA_PATH_PORTABLE);
        // A path the processor lacks falls back to the fastest one below it.
        EXPECT_EQ(ShaSelectPath(algorithm, SHA_PATH_EXTENSIONS), fastest);
    }
    EXPECT_FALSE(ShaPathAvailable(SHA_512, SHA_PATH_EXTENSIONS));
}

TEST(ShaEngines, Fips180ExampleMessagesOnEveryPath)
{
    std::vector<unsigned char> million(1000000, 'a');
    for (const auto &v : Fips180Vectors)
        ForEachShaPath(v.Algorithm, [&] {
            const unsigned char *bytes = v.Message ? (const unsigned char *)v.Message : million.data();
            size_t length = v.Message ? strlen(v.Message) : million.size();
            EXPECT_EQ(ShaHex(v.Algorithm, bytes, length), v.Digest) << length << " bytes";
            // Byte by byte: every partial block goes through the buffer.
            if (length < 200) {
                AnySha sha(v.Algorithm);
                for (size_t i = 0; i < length; i++)
                    sha.Update(bytes + i, 1);
                EXPECT_EQ(sha.Final(), v.Digest) << length << " bytes fed one at a time";
            }
        });
}

TEST(ShaEngines, RandomCutsGiveTheDigestOfTheWholeOnEveryPath)
{
    std::vector<unsigned char> data = RandomBytes(100003, 7);
    for (ShaAlgorithm algorithm : ShaAlgorithms) {
        ShaSelectPath(algorithm, SHA_PATH_PORTABLE);
        std::string whole = ShaHex(algorithm, data.data(), data.size());
        ForEachShaPath(algorithm, [&] {
            EXPECT_EQ(ShaHex(algorithm, data.data(), data.size()), whole);
            for (unsigned seed = 0; seed < 8; seed++)
                EXPECT_EQ(HashInRandomPieces(algorithm, data, seed, seed < 4 ? 300 : 20000), whole) << "seed " << seed;
        });
    }
}

// The bit length closes the last block, which stays in the buffer: files
// past 4 GiB need all 64 bits of it, SHA-512 counts 128.
TEST(ShaEngines, LengthFieldOfLongMessages)
{
    const unsigned char three[3] = { 1, 2, 3 };
    Sha256Context ctx256 = {};
    Sha256Init(&ctx256);
    ctx256.ByteCount = 0x500000000ull;   // 20 GiB already hashed
    Sha256Update(&ctx256, three, 3);
    Sha256Final(&ctx256);
    const unsigned char bits256[8] = { 0, 0, 0, 0x28, 0, 0, 0, 0x18 };
    EXPECT_EQ(memcmp(ctx256.Buffer + 56, bits256, 8), 0);
    EXPECT_EQ(memcmp(ctx256.Buffer, three, 3), 0);
    EXPECT_EQ(ctx256.Buffer[3], 0x80);

    Sha1Context ctx1 = {};
    Sha1Init(&ctx1);
    ctx1.ByteCount = 0x500000000ull;
    Sha1Update(&ctx1, three, 3);
    Sha1Final(&ctx1);
    EXPECT_EQ(memcmp(ctx1.Buffer + 56, bits256, 8), 0);

    Sha512Context ctx512 = {};
    Sha512Init(&ctx512);
    ctx512.ByteCount[0] = ~0ull - 1;   // two bytes short of 2^64
    Sha512Update(&ctx512, three, 3);
    EXPECT_EQ(ctx512.ByteCount[0], 1u);
    EXPECT_EQ(ctx512.ByteCount[1], 1u);
    Sha512Final(&ctx512);
    // 2^64 + 1 bytes: 2^67 + 8 bits.
    unsigned char bits512[16] = {};
    bits512[15] = 0x08;
    bits512[7] = 0x08;
    EXPECT_EQ(memcmp(ctx512.Buffer + 112, bits512, 16), 0);
}

TEST(ChecksumText, DigestsOfAnyLengthInTheChosenCase)
{
    const unsigned char digest[64] = { 0x01, 0xAB, 0xCD, 0xEF };
    char text[SHA512_TEXT_SIZE];
    EXPECT_EQ(FormatDigestText(digest, 20, 0, text, SHA1_TEXT_SIZE), 0);
    EXPECT_EQ(std::string(text), "01ABCDEF" + std::string(32, '0'));
    EXPECT_EQ(FormatDigestText(digest, 64, 1, text, sizeof text), 0);
    EXPECT_EQ(std::string(text), "01abcdef" + std::string(120, '0'));
    // One byte short of the terminator: refused, the text left empty.
    EXPECT_EQ(FormatDigestText(digest, 32, 0, text, SHA256_TEXT_SIZE - 1), -1);
    EXPECT_EQ(text[0], '\0');
    EXPECT_EQ(FormatDigestText(digest, 0, 0, text, 1), 0);
    EXPECT_EQ(FormatDigestText(digest, 1, 0, text, 0), -1);
}
