// Checksum files and checksums as text, from string literals: the reader's
// lines in each format and the clipboard's checksum.
#include "core/checksumfile.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

const char Md5Empty[] = "d41d8cd98f00b204e9800998ecf8427e";
const char Md5EmptyUpper[] = "D41D8CD98F00B204E9800998ECF8427E";

using Lines = std::vector<std::string>;

// Each line as the reader saw it: "name=digits" for a checksum line, "" for a
// blank or comment line, "?" for a line not understood.
Lines Read(const std::string &text, int format, int32_t *lastLine = nullptr)
{
    ChecksumReader reader;
    ChecksumReaderInit(&reader, text.data(), text.size(), format);
    ChecksumLine line;
    Lines seen;
    int result;
    while ((result = ChecksumReaderNext(&reader, &line)) != -2) {
        EXPECT_EQ(reader.LineNumber, (int32_t)seen.size() + 1);
        seen.push_back(result == 1 ? std::string(line.Name) + "=" + line.Expected : result == 0 ? "" : "?");
        if (result == 1)
            EXPECT_EQ(line.Kind, strlen(line.Expected) == 8 ? CHECKSUM_CRC32 : CHECKSUM_MD5);
    }
    if (lastLine)
        *lastLine = reader.LineNumber;
    return seen;
}

std::string Md5Of(const char *name)
{
    return std::string(name) + "=" + Md5Empty;
}

// "kinds:crc:md5" of the checksum found in a copied text, "-1" when refused.
std::string Parse(const char *text)
{
    ExpectedChecksum found;
    memset(&found, 'x', sizeof found);
    int result = ParseChecksumText(text, &found);
    if (result != 0)
        return found.Kinds == 0 && found.Crc32[0] == '\0' && found.Md5[0] == '\0' ? "-1" : "-1 not emptied";
    return std::to_string(found.Kinds) + ":" + found.Crc32 + ":" + found.Md5;
}

} // namespace

TEST(ChecksumFileSfv, NamesWithSpacesRelativeNamesCommentsAndLineEnds)
{
    std::string text = "; made by hand\r\nmy file.txt CBF43926\r\n\r\n  sub dir\\a b.bin\t 0000abcd  \r\n"
                       ".\\x.txt 12345678\n..\\up.txt ffffffff";
    int32_t last = 0;
    EXPECT_EQ(Read(text, CHECKSUM_FORMAT_SFV, &last),
              (Lines{ "", "my file.txt=CBF43926", "", "sub dir\\a b.bin=0000ABCD", ".\\x.txt=12345678",
                      "..\\up.txt=FFFFFFFF" }));
    EXPECT_EQ(last, 6) << "the last line needs no line end, and no empty line follows it";
    EXPECT_EQ(Read("#a.txt CBF43926", CHECKSUM_FORMAT_SFV), (Lines{ "#a.txt=CBF43926" }))
        << "'#' starts a name in an .sfv file";
}

TEST(ChecksumFileSfv, MalformedLines)
{
    std::string longest(CHECKSUM_NAME_SIZE - 1, 'n');
    std::string text = "CBF43926\na.txt CBF4392\na.txt CBF439260\na.txt CBF4392G\na.txt\n" +
                       std::string(Md5Empty) + " *a.txt\n" + longest + " CBF43926\n" + longest +
                       "n CBF43926\n";
    EXPECT_EQ(Read(text, CHECKSUM_FORMAT_SFV), (Lines{ "?", "?", "?", "?", "?", "?", longest + "=CBF43926", "?" }));
}

TEST(ChecksumFileMd5, TextBinaryAndBsdFormsWithTheBom)
{
    std::string hex = Md5Empty;
    std::string text = "\xEF\xBB\xBF" + hex + "  text mode.txt\r\n" + Md5EmptyUpper + " *binary.txt\r\n" + hex +
                       "  *star.txt\r\n" + hex + " *..\\up\\a b.txt\r\n# a comment\r\nmd5 (bsd name.txt) = " +
                       hex + "\r\nMD5 (odd) = name) = " + Md5EmptyUpper;
    EXPECT_EQ(Read(text, CHECKSUM_FORMAT_MD5),
              (Lines{ Md5Of("text mode.txt"), Md5Of("binary.txt"), Md5Of("*star.txt"), Md5Of("..\\up\\a b.txt"), "",
                      Md5Of("bsd name.txt"), Md5Of("odd) = name") }));
    EXPECT_EQ(Read("\xEF\xBB\xBF", CHECKSUM_FORMAT_MD5), Lines{});
    EXPECT_EQ(Read("", CHECKSUM_FORMAT_MD5), Lines{});
}

TEST(ChecksumFileMd5, EscapedNamesAreUndoneOnlyBehindABackslash)
{
    std::string hex = Md5Empty;
    std::string text = "\\" + hex + "  a\\\\b\\nc\n\\MD5 (x\\\\y\\r) = " + hex + "\n" + hex + "  dir\\file\n\\" +
                       hex + "  bad\\q\n\\" + hex + "  ends\\\n";
    EXPECT_EQ(Read(text, CHECKSUM_FORMAT_MD5),
              (Lines{ Md5Of("a\\b\nc"), Md5Of("x\\y\r"), Md5Of("dir\\file"), "?", "?" }));
}

TEST(ChecksumFileMd5, MalformedLines)
{
    std::string hex = Md5Empty;
    std::string longest(CHECKSUM_NAME_SIZE - 1, 'n');
    std::string text = hex + " one space\n" + hex + "\ttab\n" + hex.substr(1) + "  short\n" + hex + "0  long\n" +
                       "g" + hex.substr(1) + "  bad\n" + hex + " *\n" + "MD5 () = " + hex + "\n" +
                       "a.txt CBF43926\n; comment\n" + hex + "  nul" + std::string(1, '\0') + "\n" + hex + "  " +
                       longest + "\n" + hex + "  n" + longest + "\n";
    EXPECT_EQ(Read(text, CHECKSUM_FORMAT_MD5),
              (Lines{ "?", "?", "?", "?", "?", "?", "?", "?", "?", "?", Md5Of(longest.c_str()), "?" }));
}

TEST(ChecksumFileAny, EachLineInTheFirstFormThatFits)
{
    std::string hex = Md5Empty;
    std::string text = "; sfv comment\n# md5 comment\n" + hex + " *a.txt\nMD5 (b.txt) = " + hex +
                       "\nc d.txt CBF43926\n\\dir\\e.txt 0000ABCD\n" + hex + "  f 12345678\nCBF43926\n";
    EXPECT_EQ(Read(text, CHECKSUM_FORMAT_ANY),
              (Lines{ "", "", Md5Of("a.txt"), Md5Of("b.txt"), "c d.txt=CBF43926", "\\dir\\e.txt=0000ABCD",
                      Md5Of("f 12345678"), "?" }));
    EXPECT_EQ(Read(text, 0), Read(text, CHECKSUM_FORMAT_ANY)) << "an unknown format reads as ANY";
}

TEST(ChecksumFileReader, ReadsOnlyTheGivenLength)
{
    std::string text = "a.txt CBF43926\nb.txt CBF43926";
    EXPECT_EQ(Read(text.substr(0, 19), CHECKSUM_FORMAT_SFV), (Lines{ "a.txt=CBF43926", "?" }));
}

TEST(ChecksumFileReader, AHundredThousandLinesInOnePass)
{
    std::string text;
    for (int i = 0; i < 100000; i++)
        text += "file" + std::to_string(i) + ".bin " + (i % 2 ? "CBF43926" : "0000abcd") + "\r\n";
    ChecksumReader reader;
    ChecksumReaderInit(&reader, text.data(), text.size(), CHECKSUM_FORMAT_ANY);
    ChecksumLine line;
    int understood = 0, result;
    while ((result = ChecksumReaderNext(&reader, &line)) != -2)
        understood += result == 1;
    EXPECT_EQ(understood, 100000);
    EXPECT_EQ(reader.LineNumber, 100000);
    EXPECT_STREQ(line.Name, "file99999.bin");
}

TEST(ChecksumFileFormat, FromTheExtensionWithoutCase)
{
    EXPECT_EQ(ChecksumFormatOfName("C:\\x\\sums.SFV"), CHECKSUM_FORMAT_SFV);
    EXPECT_EQ(ChecksumFormatOfName("sums.Md5"), CHECKSUM_FORMAT_MD5);
    EXPECT_EQ(ChecksumFormatOfName("sums.md5SUM"), CHECKSUM_FORMAT_MD5);
    EXPECT_EQ(ChecksumFormatOfName("sums.txt"), CHECKSUM_FORMAT_ANY);
    EXPECT_EQ(ChecksumFormatOfName("sums.sfv.bak"), CHECKSUM_FORMAT_ANY);
    EXPECT_EQ(ChecksumFormatOfName("C:\\in.sfv\\sums"), CHECKSUM_FORMAT_ANY);
}

TEST(ChecksumClipboardText, AcceptedForms)
{
    std::string md5 = std::string("2::") + Md5Empty;
    EXPECT_EQ(Parse("cbf43926"), "1:CBF43926:");
    EXPECT_EQ(Parse(" \t0xcbf43926\r\n"), "1:CBF43926:");
    EXPECT_EQ(Parse("0XCBF43926"), "1:CBF43926:");
    EXPECT_EQ(Parse(Md5EmptyUpper), md5);
    EXPECT_EQ(Parse(("0x" + std::string(Md5Empty)).c_str()), md5);
    EXPECT_EQ(Parse((std::string(Md5Empty) + "  a b.txt\r\n").c_str()), md5);
    EXPECT_EQ(Parse((std::string(Md5EmptyUpper) + " *a.txt").c_str()), md5);
    EXPECT_EQ(Parse((std::string("\\") + Md5Empty + " *a\\\\b").c_str()), md5);
    EXPECT_EQ(Parse((std::string("MD5 (a.txt) = ") + Md5Empty).c_str()), md5);
    EXPECT_EQ(Parse("my file.txt cbf43926"), "1:CBF43926:");
    EXPECT_EQ(Parse("CRC : cbf43926"), "1:CBF43926:");
    EXPECT_EQ(Parse("crc:CBF43926"), "1:CBF43926:");
    EXPECT_EQ(Parse((std::string("MD5 : ") + Md5EmptyUpper).c_str()), md5);
    std::string both = std::string("3:CBF43926:") + Md5Empty;
    EXPECT_EQ(Parse((std::string("CRC : cbf43926\tMD5 : ") + Md5Empty).c_str()), both);
    EXPECT_EQ(Parse((std::string("C:\\a b\\x.txt\r\nCRC : CBF43926\tMD5 : ") + Md5Empty).c_str()), both);
    EXPECT_EQ(Parse("C:\\x.txt\r\nCRC : CBF43926"), "1:CBF43926:");
    EXPECT_EQ(Parse((std::string("C:\\x 12345678\nMD5 : ") + Md5Empty + "\r\n").c_str()), md5);
}

TEST(ChecksumClipboardText, RefusedFormsLeaveNothing)
{
    for (const char *text : { "", " \r\n\t ", "CBF4392", "CBF439260", "CBF4392G", "0x", "0xCBF4392", "x CBF4392",
                              "CBF43926\r\n12345678", "a.txt CBF43926\r\nb.txt CBF43926", "; a.txt CBF43926",
                              "MD5 : CBF43926", "CRC : CBF43926 extra", "CRC : CBF43926\tCRC : CBF43926",
                              "CRC :", "C:\\x.txt\r\nnot a checksum", "C:\\x.txt\r\nCRC : CBF43926\r\nMore",
                              "CRC : CBF43926\r\nCRC : CBF43926" })
        EXPECT_EQ(Parse(text), "-1") << "clipboard text: " << text;
    EXPECT_EQ(Parse((std::string(Md5Empty).substr(1) + "  a.txt").c_str()), "-1");
}
