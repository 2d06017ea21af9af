// The CRC-32 and MD5 engines and the text forms of their results.
#include "checksum/checksum_text.h"
#include "checksum/crc32.h"
#include "checksum/md5.h"

#include "unit_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// A bit-at-a-time CRC-32, written independently of the table-driven engine.
uint32_t ReferenceCrc32(const std::vector<unsigned char> &data)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; bit++)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

std::vector<unsigned char> Bytes(const std::string &text)
{
    return std::vector<unsigned char>(text.begin(), text.end());
}

std::string CrcText(uint32_t value, int lower = 0)
{
    char text[CRC32_TEXT_SIZE];
    FormatCrc32Text(value, lower, text);
    return text;
}

std::string Md5Text(const Md5Context &ctx, int lower = 0)
{
    char text[MD5_TEXT_SIZE];
    FormatMd5Text(ctx.Digest, lower, text);
    return text;
}

// Feeds data to both engines in pieces whose lengths come from cut(offset, left).
template <typename Cut>
std::pair<uint32_t, std::string> HashInPieces(const std::vector<unsigned char> &data, Cut cut)
{
    uint32_t crc = CRC32_START;
    Md5Context ctx;
    Md5Init(&ctx);
    size_t offset = 0;
    while (offset < data.size()) {
        size_t piece = std::min(cut(offset, data.size() - offset), data.size() - offset);
        crc = Crc32Update(crc, data.data() + offset, (uint32_t)piece);
        Md5Update(&ctx, data.data() + offset, (uint32_t)piece);
        offset += piece;
    }
    Md5Final(&ctx);
    return { crc ^ 0xFFFFFFFFu, Md5Text(ctx) };
}

std::string Md5Of(const std::string &text)
{
    return HashInPieces(Bytes(text), [](size_t, size_t left) { return left; }).second;
}

} // namespace

TEST(Crc32, CheckValueAndEmptyInput)
{
    auto digits = Bytes("123456789");
    EXPECT_EQ(Crc32Update(CRC32_START, digits.data(), 9) ^ 0xFFFFFFFFu, 0xCBF43926u);
    EXPECT_EQ(Crc32Update(CRC32_START, nullptr, 0), 0xFFFFFFFFu) << "length 0 keeps the value";
    EXPECT_EQ(CrcText(CRC32_START ^ 0xFFFFFFFFu), "00000000");
}

TEST(Crc32, TableIsTheReflectedPolynomialTable)
{
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t value = i;
        for (int bit = 0; bit < 8; bit++)
            value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
        ASSERT_EQ(Crc32Table[i], value) << "entry " << i;
    }
}

TEST(Crc32, MatchesBitwiseReferenceOnRandomData)
{
    for (size_t length : { 1u, 3u, 63u, 64u, 65u, 4095u, 4096u, 4097u, 100000u }) {
        auto data = RandomBytes(length, (unsigned)length);
        uint32_t crc = Crc32Update(CRC32_START, data.data(), (uint32_t)length) ^ 0xFFFFFFFFu;
        EXPECT_EQ(crc, ReferenceCrc32(data)) << "length " << length;
    }
}

TEST(ChecksumText, CrcHasEightDigitsInTheChosenCase)
{
    EXPECT_EQ(CrcText(0x0000ABCDu), "0000ABCD");
    EXPECT_EQ(CrcText(0x0000ABCDu, 1), "0000abcd");
    EXPECT_EQ(CrcText(0xCBF43926u), "CBF43926");
    EXPECT_EQ(CrcText(0xCBF43926u, 1), "cbf43926");
    EXPECT_EQ(CrcText(0xCBF43926u, 2), "CBF43926") << "only 1 means lower case";
}

TEST(ChecksumText, Md5HasThirtyTwoDigitsInTheChosenCase)
{
    Md5Context ctx;
    Md5Init(&ctx);
    Md5Final(&ctx);
    EXPECT_EQ(Md5Text(ctx), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(Md5Text(ctx, 1), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(Md5, Rfc1321TestSuite)
{
    EXPECT_EQ(Md5Of(""), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(Md5Of("a"), "0CC175B9C0F1B6A831C399E269772661");
    EXPECT_EQ(Md5Of("abc"), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(Md5Of("message digest"), "F96B697D7CB7938D525A2F31AAF161D0");
    EXPECT_EQ(Md5Of("abcdefghijklmnopqrstuvwxyz"), "C3FCD3D76192E4007DFB496CCA67E13B");
    EXPECT_EQ(Md5Of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "D174AB98D277D9F5A5611C2C9F419D9F");
    EXPECT_EQ(Md5Of("1234567890123456789012345678901234567890"
                    "1234567890123456789012345678901234567890"),
              "57EDF4A22BE3C955AC49DA2E2107B67A");
}

TEST(Md5, PaddingLengthsAroundTheBlockEnd)
{
    // Digests of n bytes 'a', from coreutils md5sum.
    const std::pair<size_t, const char *> cases[] = {
        { 55, "EF1772B6DFF9A122358552954AD0DF65" },
        { 56, "3B0C8AC703F828B04C6C197006D17218" },
        { 63, "B06521F39153D618550606BE297466D5" },
        { 64, "014842D480B571495A4A0363793F7367" },
        { 65, "C743A45E0D2E6A95CB859ADAE0248435" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(Md5Of(std::string(c.first, 'a')), c.second) << c.first << " bytes";
}

TEST(Md5, BitCountCarriesIntoHighWord)
{
    Md5Context ctx;
    Md5Init(&ctx);
    ctx.BitCount[0] = 0xFFFFFFF8u;
    unsigned char byte = 0;
    Md5Update(&ctx, &byte, 1);
    EXPECT_EQ(ctx.BitCount[0], 0u);
    EXPECT_EQ(ctx.BitCount[1], 1u);
}

TEST(Checksums, ResultDoesNotDependOnHowTheInputIsCut)
{
    auto data = RandomBytes(50000, 7);
    auto whole = HashInPieces(data, [](size_t, size_t left) { return left; });
    EXPECT_EQ(whole.first, ReferenceCrc32(data));

    auto chunks = HashInPieces(data, [](size_t, size_t) { return (size_t)4096; });
    auto bytes = HashInPieces(data, [](size_t, size_t) { return (size_t)1; });
    std::mt19937 random(11);
    auto randomCuts = HashInPieces(data, [&](size_t, size_t) { return (size_t)(random() % 200); });
    EXPECT_EQ(chunks, whole);
    EXPECT_EQ(bytes, whole);
    EXPECT_EQ(randomCuts, whole);
}
