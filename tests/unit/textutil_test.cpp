// Text measured and cut by characters of the process code page.
#include "base/textutil.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

#ifdef _WIN32
#include <windows.h>

TEST(ProcessCodePage, IsUtf8AsTheManifestDeclares)
{
    EXPECT_EQ(GetACP(), 65001u) << "names outside the system's code page would be lost";
}
#endif

namespace {

// Measures as the given code page for one test, UTF-8 again after it.
class TextChars : public ::testing::Test {
protected:
    void TearDown() override { TextSetCodePage(TEXT_CODE_PAGE_UTF8, 4, nullptr); }
};

// "a", "é" (2 bytes), "日" (3 bytes), "😀" (4 bytes).
const std::string E = "\xC3\xA9", Sun = "\xE6\x97\xA5", Smile = "\xF0\x9F\x98\x80";

} // namespace

TEST_F(TextChars, Utf8SizesAndBrokenSequences)
{
    struct { std::string text; size_t size; const char *what; } cases[] = {
        { "a", 1, "ASCII" },
        { E + "x", 2, "two bytes" },
        { Sun, 3, "three bytes" },
        { Smile, 4, "four bytes" },
        { "", 0, "the terminator" },
        { "\xC3", 1, "a lead byte at the end" },
        { "\xE6\x97", 1, "a three-byte character cut after two" },
        { "\xF0\x9F\x98" "a", 1, "a four-byte character with a letter in its last place" },
        { "\xA9\xA9", 1, "a continuation byte alone" },
        { "\xC0\xAF", 1, "an overlong slash" },
        { "\xE0\x80\xAF", 1, "an overlong three-byte form" },
        { "\xED\xA0\x80", 1, "a surrogate" },
        { "\xF4\x90\x80\x80", 1, "past U+10FFFF" },
        { "\xF5\x80\x80\x80", 1, "a lead byte that starts nothing" },
        { "\xFF", 1, "0xFF" },
        { "\xEF\xBF\xBD", 3, "the replacement character" },
        { "\xF4\x8F\xBF\xBF", 4, "U+10FFFF" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(TextCharSize(c.text.c_str()), c.size) << c.what;
}

TEST_F(TextChars, CountsFitsAndPrefixesNeverSplitACharacter)
{
    std::string text = "a" + E + Sun + Smile + "z";   // 11 bytes, 5 characters
    EXPECT_EQ(TextCharCount(text.c_str(), text.size()), 5u);
    EXPECT_EQ(TextCharCount(text.c_str(), 2), 2u) << "\"a\" and the first byte of \"é\", alone";
    EXPECT_EQ(TextCharCount(text.c_str(), 6), 3u);
    EXPECT_EQ(TextCharCount(text.c_str(), 0), 0u);

    // The longest start within each byte budget ends after a whole character.
    const size_t fit[] = { 0, 1, 1, 3, 3, 3, 6, 6, 6, 6, 10, 11, 11 };
    for (size_t max = 0; max < sizeof fit / sizeof fit[0]; max++)
        EXPECT_EQ(TextFitLength(text.c_str(), max), fit[max]) << "within " << max << " bytes";

    const size_t prefix[] = { 0, 1, 3, 6, 10, 11, 11 };
    for (size_t chars = 0; chars < sizeof prefix / sizeof prefix[0]; chars++)
        EXPECT_EQ(TextPrefixLength(text.c_str(), chars), prefix[chars]) << chars << " characters";

    std::string broken = "\xE6\x97" "b";
    EXPECT_EQ(TextCharCount(broken.c_str(), broken.size()), 3u) << "each byte of a broken sequence counts";
    EXPECT_EQ(TextFitLength(broken.c_str(), 1), 1u);
}

TEST_F(TextChars, CutCopyEndsOnACharacterBoundary)
{
    std::string text = "ab" + Smile;
    char buffer[7];
    EXPECT_EQ(CopyTextCut(buffer, 6, text.c_str()), 1);
    EXPECT_STREQ(buffer, "ab") << "no part of the emoji";
    EXPECT_EQ(CopyTextCut(buffer, sizeof buffer, text.c_str()), 0);
    EXPECT_EQ(std::string(buffer), text);
    EXPECT_EQ(CopyTextCut(buffer, 1, text.c_str()), 1);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(CopyTextCut(buffer, 0, text.c_str()), -1);
}

TEST_F(TextChars, DoubleByteCodePageTakesItsLeadBytesWithTheNextByte)
{
    // Code page 932's lead-byte ranges, as the code page information lists them.
    const uint8_t leads[TEXT_LEAD_BYTES_SIZE] = { 0x81, 0x9F, 0xE0, 0xFC };
    TextSetCodePage(932, 2, leads);
    EXPECT_EQ(TextCodePage(), TEXT_DOUBLE_BYTE);
    std::string text = "a\x93\xfa\x96\x7b" "b";   // "a日本b": a trail byte may be ASCII ('{')
    EXPECT_EQ(TextCharSize(text.c_str() + 1), 2u);
    EXPECT_EQ(TextCharSize(text.c_str() + 3), 2u);
    EXPECT_EQ(TextCharSize("\x81"), 1u) << "a lead byte before the terminator";
    EXPECT_EQ(TextCharSize("\xA0\xA0"), 1u) << "not a lead byte";
    EXPECT_EQ(TextCharCount(text.c_str(), text.size()), 4u);
    EXPECT_EQ(TextFitLength(text.c_str(), 4), 3u);
    EXPECT_EQ(TextPrefixLength(text.c_str(), 3), 5u);
    EXPECT_EQ(TextCharSize(Sun.c_str()), 2u) << "0xE6 leads a pair here, not a UTF-8 sequence of 3";

    // A second byte is never a letter or a separator of its own: "ソ" ends
    // in '\\', "ポ" in '|', two katakana differ only in a second byte 'A' / 'a'.
    const std::string so = "\x83\x5C";
    EXPECT_STREQ(PathFileName(("C:\\d\\" + so + ".txt").c_str()), (so + ".txt").c_str());
    EXPECT_EQ(PathTrimSeparators(("C:\\" + so).c_str(), 5), 5u);
    EXPECT_EQ(PathTrimSeparators("C:\\d\\/", 6), 4u);
    EXPECT_EQ(PathRootLength(("\\\\srv" + so + "\\share" + so + "\\x").c_str()), 15u);
    EXPECT_FALSE(AsciiEqualNoCase("\x83\x41", "\x83\x61"));
    EXPECT_TRUE(AsciiEqualNoCase("A\x83\x41", "a\x83\x41"));
    std::string upper = "a\x83\x61";
    AsciiUpperText(&upper[0]);
    EXPECT_EQ(upper, "A\x83\x61");
    bool second = false;
    const char *slashes = "\x83//";
    EXPECT_EQ(PathFoldAt(slashes, true, &second), '\x83');
    EXPECT_EQ(PathFoldAt(slashes + 1, true, &second), '/') << "a second byte";
    EXPECT_EQ(PathFoldAt(slashes + 2, true, &second), '\\');

    TextSetCodePage(1252, 1, nullptr);
    EXPECT_EQ(TextCodePage(), TEXT_SINGLE_BYTE);
    EXPECT_STREQ(PathFileName(("C:\\d\\" + so + ".txt").c_str()), ".txt") << "one byte each in 1252";
    EXPECT_EQ(TextCharSize(Smile.c_str()), 1u);
    EXPECT_EQ(TextFitLength(Smile.c_str(), 3), 3u);
    const uint8_t none[TEXT_LEAD_BYTES_SIZE] = {};
    TextSetCodePage(936, 2, none);
    EXPECT_EQ(TextCodePage(), TEXT_SINGLE_BYTE) << "no lead byte range";
}
