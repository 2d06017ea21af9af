// Every fast path of the engines against deliberately plain references: the
// byte-wise CRC step and an MD5 that copies every byte into its block buffer.
// All lengths up to a few thousand bytes, every alignment, random cuts, and
// both CRC paths (the table path forced where carry-less multiply exists).
#include "checksum/crc32.h"
#include "checksum/md5.h"

#include "unit_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string.h>
#include <vector>

namespace {

uint32_t ReferenceCrc(uint32_t crc, const unsigned char *bytes, size_t length)
{
    for (size_t i = 0; i < length; i++)
        crc = Crc32Table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

// MD5 fed one byte at a time into the block buffer; the compression and the
// padding are the engine's own, checked against RFC 1321 elsewhere.
struct ReferenceMd5 {
    Md5Context ctx;
    ReferenceMd5() { Md5Init(&ctx); }
    void Update(const unsigned char *bytes, size_t length)
    {
        for (size_t i = 0; i < length; i++) {
            unsigned pos = (ctx.BitCount[0] >> 3) & 0x3F;
            ctx.BitCount[0] += 8;
            if (ctx.BitCount[0] < 8)
                ctx.BitCount[1]++;
            ctx.Buffer[pos] = bytes[i];
            if (pos == 63) {
                uint32_t words[16];
                for (int w = 0; w < 16; w++)
                    words[w] = (uint32_t)ctx.Buffer[4 * w] | ((uint32_t)ctx.Buffer[4 * w + 1] << 8) |
                               ((uint32_t)ctx.Buffer[4 * w + 2] << 16) | ((uint32_t)ctx.Buffer[4 * w + 3] << 24);
                Md5Transform(ctx.State, words);
            }
        }
    }
    std::vector<unsigned char> Digest()
    {
        Md5Final(&ctx);
        return std::vector<unsigned char>(ctx.Digest, ctx.Digest + 16);
    }
};

std::vector<unsigned char> Md5Of(const unsigned char *bytes, size_t length)
{
    Md5Context ctx;
    Md5Init(&ctx);
    Md5Update(&ctx, bytes, (uint32_t)length);
    Md5Final(&ctx);
    return std::vector<unsigned char>(ctx.Digest, ctx.Digest + 16);
}

// Runs check under each CRC path this processor has, restoring the default.
template <typename Check>
void ForEachCrcPath(Check check)
{
    Crc32Path initial = Crc32ActivePath();
    for (Crc32Path path : { CRC32_PATH_TABLES, CRC32_PATH_CLMUL }) {
        if (path == CRC32_PATH_CLMUL && !Crc32ClmulAvailable())
            continue;
        ASSERT_EQ(Crc32SelectPath(path), path);
        SCOPED_TRACE(path == CRC32_PATH_CLMUL ? "carry-less multiply" : "tables");
        check();
    }
    Crc32SelectPath(initial);
}

const size_t MaxLength = 3000;

} // namespace

TEST(CrcPaths, TheFastestPathIsChosenAtStartUp)
{
    EXPECT_EQ(Crc32ActivePath(), Crc32ClmulAvailable() ? CRC32_PATH_CLMUL : CRC32_PATH_TABLES);
    Crc32Path initial = Crc32ActivePath();
    EXPECT_EQ(Crc32SelectPath(CRC32_PATH_TABLES), CRC32_PATH_TABLES);
    Crc32SelectPath(initial);
}

TEST(CrcPaths, EveryLengthAndAlignmentMatchesTheByteWiseStep)
{
    std::vector<unsigned char> data = RandomBytes(MaxLength + 16, 1);
    ForEachCrcPath([&] {
        for (size_t align = 0; align < 16; align++)
            for (size_t length = 0; length <= MaxLength; length += align == 0 ? 1 : 7) {
                const unsigned char *p = data.data() + align;
                uint32_t start = (uint32_t)(length * 2654435761u);   // any running value
                ASSERT_EQ(Crc32Update(start, p, (uint32_t)length), ReferenceCrc(start, p, length))
                    << "length " << length << ", alignment " << align;
            }
    });
}

TEST(CrcPaths, RandomCutsAndLongInputs)
{
    std::vector<unsigned char> data = RandomBytes(1 << 20, 2);
    uint32_t reference = ReferenceCrc(CRC32_START, data.data(), data.size());
    ForEachCrcPath([&] {
        EXPECT_EQ(Crc32Update(CRC32_START, data.data(), (uint32_t)data.size()), reference);
        std::mt19937 random(3);
        uint32_t crc = CRC32_START;
        for (size_t at = 0; at < data.size();) {
            size_t piece = std::min<size_t>(random() % 5000, data.size() - at);
            crc = Crc32Update(crc, data.data() + at, (uint32_t)piece);
            at += piece;
        }
        EXPECT_EQ(crc, reference);
    });
}

TEST(Md5Blocks, EveryLengthAndAlignmentMatchesTheByteCopyingReference)
{
    std::vector<unsigned char> data = RandomBytes(MaxLength + 16, 4);
    for (size_t align = 0; align < 8; align++)
        for (size_t length = 0; length <= MaxLength; length += align == 0 ? 1 : 13) {
            const unsigned char *p = data.data() + align;
            ReferenceMd5 reference;
            reference.Update(p, length);
            ASSERT_EQ(Md5Of(p, length), reference.Digest()) << "length " << length << ", alignment " << align;
        }
}

TEST(Md5Blocks, RandomCutsAcrossBlockBoundaries)
{
    std::vector<unsigned char> data = RandomBytes(200000, 5);
    ReferenceMd5 reference;
    reference.Update(data.data(), data.size());
    std::vector<unsigned char> expected = reference.Digest();
    for (unsigned seed = 0; seed < 20; seed++) {
        std::mt19937 random(seed);
        Md5Context ctx;
        Md5Init(&ctx);
        for (size_t at = 0; at < data.size();) {
            size_t piece = std::min<size_t>(random() % (seed < 10 ? 130 : 9000), data.size() - at);
            Md5Update(&ctx, data.data() + at, (uint32_t)piece);
            at += piece;
        }
        Md5Final(&ctx);
        EXPECT_EQ(std::vector<unsigned char>(ctx.Digest, ctx.Digest + 16), expected) << "seed " << seed;
    }
}
