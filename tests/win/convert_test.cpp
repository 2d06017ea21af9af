// Conversions between code pages, and the program's texts in the process
// code page.
#include "base/texts.h"
#include "base/textutil.h"
#include "core/checksumfile.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

struct Converted {
    int Length;
    std::string Text;
};

Converted Convert(UINT from, UINT to, const char *in, bool exact, size_t size = 64)
{
    char out[64];
    memset(out, '#', sizeof out);
    int length = ConvertText(from, to, in, out, size, exact);
    return { length, out };
}

} // namespace

TEST(ConvertText, BetweenCodePagesAndIntoTheProcessCodePage)
{
    struct { UINT from, to; const char *in, *out; bool exact; } cases[] = {
        { 1252, CP_ACP, "Fran\xE7" "ais", "Fran\xC3\xA7" "ais", true },
        { 1252, CP_UTF8, "\x80 \xE9", "\xE2\x82\xAC \xC3\xA9", true },
        { CP_UTF8, 1252, "\xC3\xA9t\xC3\xA9", "\xE9t\xE9", true },
        { CP_UTF8, 932, "\xE6\x97\xA5\xE6\x9C\xAC", "\x93\xFA\x96\x7B", true },
        { CP_UTF8, 1252, "\xE6\x97\xA5", "?", false },
        { CP_UTF8, CP_UTF8, "a\xE9z", "a\xEF\xBF\xBDz", false },
        { 1252, CP_ACP, "", "", true },
    };
    for (const auto &c : cases) {
        Converted got = Convert(c.from, c.to, c.in, c.exact);
        EXPECT_EQ(got.Text, c.out) << c.from << " to " << c.to << ": " << c.in;
        EXPECT_EQ(got.Length, (int)strlen(c.out)) << c.in;
        EXPECT_EQ(ConvertText(c.from, c.to, c.in, nullptr, 0, c.exact), (int)strlen(c.out)) << "measured: " << c.in;
    }
}

TEST(ConvertText, RefusesWhatIsLostOrDoesNotFit)
{
    Converted got = Convert(CP_UTF8, 1252, "\xE6\x97\xA5", true);
    EXPECT_EQ(got.Length, -1) << "a character code page 1252 lacks";
    EXPECT_EQ(got.Text, "");
    EXPECT_EQ(Convert(CP_UTF8, CP_UTF8, "a\xE9z", true).Length, -1) << "a byte that is no UTF-8";
    got = Convert(1252, CP_UTF8, "Fran\xE7" "ais", true, 9);
    EXPECT_EQ(got.Length, -1) << "9 bytes leave no room for the terminator";
    EXPECT_EQ(got.Text, "") << "nothing half written";
    EXPECT_EQ(Convert(1252, CP_UTF8, "Fran\xE7" "ais", true, 10).Length, 9);
    EXPECT_EQ(ConvertText(1252, CP_UTF8, nullptr, nullptr, 0, true), -1);
}

TEST(ConvertText, ProgramTextsAndTheProcessCodePage)
{
    char out[32];
    ASSERT_EQ(ConvertProgramText("Pr\xEAt", out, sizeof out, nullptr), 5);
    EXPECT_STREQ(out, "Pr\xC3\xAAt");
    EXPECT_STREQ(FrenchStrings[TEXT_READY], out) << "the tables were converted at start";
    TextUseProcessCodePage();
    EXPECT_EQ(TextCodePage(), TEXT_UTF8);
    EXPECT_EQ(TextCharSize("\xF0\x9F\x98\x80"), 4u);
}

namespace {

UINT Japanese(void)
{
    return 932;
}

} // namespace

TEST(ConvertText, ChecksumFileNamesIntoTheProcessCodePage)
{
    // "日本.txt" and "é.txt" in a line of a UTF-8 checksum file, or in a
    // line in the system's code page.
    const char *japanese = "\xE6\x97\xA5\xE6\x9C\xAC.txt", *accent = "\xC3\xA9.txt";
    char out[64];
    EXPECT_EQ(ListedNameToProcessCodePage(japanese, true, out, sizeof out), 0) << "UTF-8 names stay";
    EXPECT_EQ(ListedNameToProcessCodePage("\xE9.txt", false, out, sizeof out), 1);
    EXPECT_STREQ(out, accent) << "another line is Windows-1252";

    UINT (*before)(void) = LegacyCodePage;
    LegacyCodePage = Japanese;
    EXPECT_EQ(ListedNameToProcessCodePage(japanese, true, out, sizeof out), 1);
    EXPECT_STREQ(out, "\x93\xFA\x96\x7B.txt");
    EXPECT_EQ(ListedNameToProcessCodePage("\x83\x5C.txt", false, out, sizeof out), 1);
    EXPECT_STREQ(out, "\x83\x5C.txt") << "a line in the system's code page is taken as it is";
    EXPECT_EQ(ListedNameToProcessCodePage("\xF0\x9F\x98\x80.txt", true, out, sizeof out), -1)
        << "a name code page 932 cannot spell";

    // The reader: a name 932 lacks makes its line not understood.
    std::string text = std::string(japanese) + " CBF43926\n\xF0\x9F\x98\x80.txt CBF43926\n";
    ChecksumReader reader;
    ChecksumReaderInit(&reader, text.c_str(), text.size(), CHECKSUM_FORMAT_ANY);
    ChecksumLine line;
    EXPECT_EQ(ChecksumReaderNext(&reader, &line), 1);
    EXPECT_STREQ(line.Name, "\x93\xFA\x96\x7B.txt");
    EXPECT_EQ(ChecksumReaderNext(&reader, &line), -1);
    LegacyCodePage = before;
}
