// Checksum files and checksums as text, from string literals: the reader's
// lines in each format, the clipboard's checksum, listed names and paths, the
// lines written, the summaries and the texts in both languages.
#include "base/lang.h"
#include "base/texts.h"
#include "base/textutil.h"
#include "core/checksumfile.h"
#include "core/result_text.h"
#include "core/verifyplan.h"

#include <gtest/gtest.h>

#include <ctype.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <set>
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
            EXPECT_EQ(ChecksumDigits(line.Kind), strlen(line.Expected)) << line.Expected;
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
    const auto digits = [&](int kind) { return std::string(found.Digits[kind]); };
    if (result != 0)
        return found.Kinds == 0 && digits(KIND_CRC32).empty() && digits(KIND_MD5).empty() ? "-1" : "-1 not emptied";
    std::string parsed = std::to_string(found.Kinds) + ":" + digits(KIND_CRC32) + ":" + digits(KIND_MD5);
    if (found.Kinds & (MASK_SHA1 | MASK_SHA256 | MASK_SHA512))
        parsed += ":" + digits(KIND_SHA1) + ":" + digits(KIND_SHA256) + ":" + digits(KIND_SHA512);
    return parsed;
}

// "in <path>", "absolute <path>", "refused" or "too long": how a listed name is taken.
std::string Classify(const char *folder, const char *name, size_t size = 260)
{
    char out[260];
    switch (ClassifyListedName(folder, name, out, size)) {
    case LISTED_INSIDE: return std::string("in ") + out;
    case LISTED_ABSOLUTE: return std::string("absolute ") + out;
    case LISTED_REFUSED: return "refused";
    case LISTED_TOO_LONG: return "too long";
    default: return "unknown result";
    }
}

// A summary text, freed.
std::string Taken(char *text)
{
    std::string copy = text ? text : "(null)";
    free(text);
    return copy;
}

// Switches the current language for one test.
struct InLanguage {
    explicit InLanguage(uint16_t id) { SelectLanguageTable(id); }
    ~InLanguage() { SelectLanguageTable(LANGUAGE_ID_ENGLISH); }
};

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
    EXPECT_EQ(Read(text, CHECKSUM_FORMAT_MD5), (Lines{ "?", "?", Md5Of("dir\\file"), "?", "?" }))
        << "an escaped line end is a control byte in the name";
    EXPECT_EQ(Read("\\" + hex + "  a\\\\b", CHECKSUM_FORMAT_MD5), (Lines{ Md5Of("a\\b") }));
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
    EXPECT_EQ(Read(text, 99), Read(text, CHECKSUM_FORMAT_ANY)) << "an unknown format reads as ANY";
}

TEST(ChecksumFileReader, LinesEndWithLfCrLfOrALoneCr)
{
    int32_t last = 0;
    EXPECT_EQ(Read("a.txt CBF43926\rb.txt CBF43926\r\n\rc.txt CBF43926\n\r\nd.txt CBF43926\r", CHECKSUM_FORMAT_SFV, &last),
              (Lines{ "a.txt=CBF43926", "b.txt=CBF43926", "", "c.txt=CBF43926", "", "d.txt=CBF43926" }));
    EXPECT_EQ(last, 6);
}

TEST(ChecksumFileReader, ControlBytesInANameAreNotUnderstood)
{
    std::string hex = Md5Empty;
    std::string text = "a\tb.txt CBF43926\na\x01.txt CBF43926\n" + hex + " *x\x1F.txt\n" + hex + " *x\x7F.txt\n";
    EXPECT_EQ(Read(text, CHECKSUM_FORMAT_ANY), (Lines{ "?", "?", "?", Md5Of("x\x7F.txt") }));
}

TEST(ChecksumFileReader, NamesInUtf8FromUtf8OrWindows1252Lines)
{
    const struct {
        const char *Name, *Read;
    } cases[] = {
        { "\xC3\xA9t\xC3\xA9.txt", "\xC3\xA9t\xC3\xA9.txt" },          // UTF-8 as it is
        { "\xE2\x82\xAC\xF0\x9F\x98\x80", "\xE2\x82\xAC\xF0\x9F\x98\x80" },
        { "\xE9t\xE9.txt", "\xC3\xA9t\xC3\xA9.txt" },                  // 1252
        { "\xC3\xA9\xE9", "\xC3\x83\xC2\xA9\xC3\xA9" },                 // not UTF-8 as a whole: all 1252
        { "\x80\x81\x8D\x8F\x90\x9D\x9F\xA0\xFF",
          "\xE2\x82\xAC\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D\xC5\xB8\xC2\xA0\xC3\xBF" },
        { "\xC0\x80", "\xC3\x80\xE2\x82\xAC" },                      // overlong
        { "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC" },             // surrogate
        { "\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC" }, // above U+10FFFF
        { "\xE2\x82", "\xC3\xA2\xE2\x80\x9A" },                      // cut short
    };
    for (const auto &test : cases) {
        EXPECT_EQ(Read(std::string(test.Name) + " CBF43926", CHECKSUM_FORMAT_SFV), Lines{ std::string(test.Read) + "=CBF43926" })
            << test.Name;
        EXPECT_EQ(Read(std::string(Md5Empty) + " *" + test.Name, CHECKSUM_FORMAT_MD5), Lines{ Md5Of(test.Read) }) << test.Name;
    }
    EXPECT_EQ(Read("\xEF\xBB\xBF\xC3\xA9 CBF43926", CHECKSUM_FORMAT_SFV), Lines{ "\xC3\xA9=CBF43926" });
    std::string longest(CHECKSUM_NAME_SIZE / 2 - 1, '\xE9'), converted;
    for (size_t i = 0; i < longest.size(); i++)
        converted += "\xC3\xA9";
    EXPECT_EQ(Read(longest + " CBF43926\n" + longest + "\xE9 CBF43926", CHECKSUM_FORMAT_SFV),
              (Lines{ converted + "=CBF43926", "?" }))
        << "the name must fit once converted";
    char out[4] = "xyz";
    EXPECT_EQ(Cp1252ToUtf8("\x80", 1, out, 3), -1);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(Cp1252ToUtf8("\x80", 1, out, 4), 0);
    EXPECT_STREQ(out, "\xE2\x82\xAC");
}

TEST(ChecksumFileReader, ReadsOnlyTheGivenLength)
{
    std::string text = "a.txt CBF43926\nb.txt CBF43926";
    EXPECT_EQ(Read(text.substr(0, 19), CHECKSUM_FORMAT_SFV), (Lines{ "a.txt=CBF43926", "?" }));
}

TEST(ChecksumFileReader, AHundredThousandLinesInOnePass)
{
    // Lone CRs too: a scan for an LF that never comes would read the rest of
    // the text for every line.
    for (const char *end : { "\r\n", "\r" }) {
        std::string text;
        for (int i = 0; i < 100000; i++)
            text += "file" + std::to_string(i) + ".bin " + (i % 2 ? "CBF43926" : "0000abcd") + end;
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
}

namespace {

// Digits of the SHA kinds: "0123456789abcdef" repeated, upper case where asked.
std::string Hex(size_t count, bool upper = false)
{
    // Not (upper ? "..." : "...")[i]: g++ 12 with -fsanitize=undefined reads '0' from that.
    const char *set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string digits;
    for (size_t i = 0; i < count; i++)
        digits += set[i % 16];
    return digits;
}

} // namespace

TEST(ChecksumFileSha, SumLinesAndBsdLinesOfEveryKind)
{
    std::string sha1 = Hex(40), sha256 = Hex(64), sha512 = Hex(128);
    std::string text = sha256 + "  text.bin\n" + Hex(64, true) + " *binary.bin\n" + sha1 + " *one.bin\n" + sha512 +
                       "  five.bin\nSHA256 (bsd.bin) = " + sha256 + "\nsha1 (b1.bin) = " + Hex(40, true) +
                       "\nSHA512 (b5.bin) = " + sha512 + "\n" + std::string(Md5Empty) + " *m.bin\n# comment\n" +
                       Hex(63) + "  short.bin\n" + Hex(65) + "  long.bin\nSHA256 (x.bin) = " + sha1 +
                       "\nSHA1 (x.bin) = " + sha256 + "\nSHA2 (x.bin) = " + sha256 + "\n\\" + sha256 + " *e\\\\f\n";
    Lines expected = { "text.bin=" + sha256, "binary.bin=" + sha256, "one.bin=" + sha1, "five.bin=" + sha512,
                       "bsd.bin=" + sha256, "b1.bin=" + sha1, "b5.bin=" + sha512, Md5Of("m.bin"), "", "?", "?",
                       "?", "?", "?", "e\\f=" + sha256 };
    for (int format : { CHECKSUM_FORMAT_SHA256, CHECKSUM_FORMAT_SHA1, CHECKSUM_FORMAT_SHA512, CHECKSUM_FORMAT_MD5,
                        CHECKSUM_FORMAT_ANY })
        EXPECT_EQ(Read(text, format), expected) << "format " << format;
    EXPECT_EQ(Read(sha256 + " *a.bin\na.bin CBF43926", CHECKSUM_FORMAT_SFV), (Lines{ "?", "a.bin=CBF43926" }));
    EXPECT_EQ(Read("a.bin CBF43926", CHECKSUM_FORMAT_SHA256), (Lines{ "?" }));
}

TEST(ChecksumFileFormat, DigitsTakeTheKindTheirFileNamesAndTheOtherKindWhereItDoesNot)
{
    std::string h16 = Hex(16), h32 = Hex(32), h64 = Hex(64);
    const struct {
        int Format;
        std::string Line;
        const char *Kind;   // "kind/alternative", "?" for a line not understood
    } cases[] = {
        { CHECKSUM_FORMAT_B3, h64 + "  a", "BLAKE3/" },
        { CHECKSUM_FORMAT_SHA256, h64 + "  a", "SHA-256/" },
        { CHECKSUM_FORMAT_ANY, h64 + "  a", "SHA-256/BLAKE3" },
        { CHECKSUM_FORMAT_ANY, "BLAKE3 (a) = " + h64, "BLAKE3/" },
        { CHECKSUM_FORMAT_SHA256, "blake3 (a) = " + h64, "BLAKE3/" },
        { CHECKSUM_FORMAT_XXH3, h16 + "  a", "XXH3/" },
        { CHECKSUM_FORMAT_XXH64, h16 + "  a", "XXH64/" },
        { CHECKSUM_FORMAT_XXH128, h32 + "  a", "XXH128/" },
        { CHECKSUM_FORMAT_XXH3, "XXH3 (a) = " + h16, "XXH3/" },
        { CHECKSUM_FORMAT_MD5, "XXH128 (a) = " + h32, "XXH128/" },
        { CHECKSUM_FORMAT_ANY, "XXH64 (a) = " + h16, "XXH64/" },
        { CHECKSUM_FORMAT_ANY, h16 + "  a", "XXH3/XXH64" },
        { CHECKSUM_FORMAT_ANY, h32 + "  a", "MD5/" },
        { CHECKSUM_FORMAT_MD5, h16 + "  a", "?" },
        { CHECKSUM_FORMAT_XXH3, h64 + "  a", "?" },
        { CHECKSUM_FORMAT_ANY, "XXH3 (a) = " + h32, "?" },
    };
    const auto name = [](int mask) { return mask == 0 ? "" : ChecksumKinds[KindOfMask(mask)].Name; };
    for (const auto &test : cases) {
        ChecksumReader reader;
        ChecksumReaderInit(&reader, test.Line.data(), test.Line.size(), test.Format);
        ChecksumLine line;
        std::string seen = "?";
        if (ChecksumReaderNext(&reader, &line) == READ_CHECKSUM_LINE)
            seen = std::string(name(line.Kind)) + "/" + name(line.Alternative);
        EXPECT_EQ(seen, test.Kind) << test.Line << " in format " << test.Format;
    }
}

TEST(ChecksumFileFormat, FromTheExtensionWithoutCase)
{
    const struct {
        const char *Name;
        int Format;
    } cases[] = {
        { "x.sha1", CHECKSUM_FORMAT_SHA1 },         { "x.SHA1SUM", CHECKSUM_FORMAT_SHA1 },
        { "x.sha256", CHECKSUM_FORMAT_SHA256 },     { "x.Sha256Sum", CHECKSUM_FORMAT_SHA256 },
        { "x.sha512", CHECKSUM_FORMAT_SHA512 },     { "x.sha512sum", CHECKSUM_FORMAT_SHA512 },
        { "C:\\d\\SHA256SUMS", CHECKSUM_FORMAT_SHA256 }, { "d/sha1sums", CHECKSUM_FORMAT_SHA1 },
        { "Sha512Sums", CHECKSUM_FORMAT_SHA512 },   { "MD5SUMS", CHECKSUM_FORMAT_MD5 },
        { "SHA256SUMS.txt", CHECKSUM_FORMAT_ANY },  { "my-SHA256SUMS", CHECKSUM_FORMAT_ANY },
        { "x.sha", CHECKSUM_FORMAT_ANY },           { "SHA256SUMS\\x", CHECKSUM_FORMAT_ANY },
        { "x.B3", CHECKSUM_FORMAT_B3 },             { "b3sums", CHECKSUM_FORMAT_B3 },
        { "d\\BLAKE3SUMS", CHECKSUM_FORMAT_B3 },    { "x.xxh3", CHECKSUM_FORMAT_XXH3 },
        { "x.XXH128", CHECKSUM_FORMAT_XXH128 },     { "x.xxh64", CHECKSUM_FORMAT_XXH64 },
        { "x.xxh", CHECKSUM_FORMAT_ANY },
    };
    for (const auto &test : cases)
        EXPECT_EQ(ChecksumFormatOfName(test.Name), test.Format) << test.Name;
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

TEST(ChecksumClipboardText, ShaForms)
{
    std::string sha1 = Hex(40), sha256 = Hex(64), sha512 = Hex(128);
    std::string one = "4:::" + sha1 + "::", two = "8::::" + sha256 + ":", five = "16:::::" + sha512;
    const struct {
        std::string Text, Parsed;
    } cases[] = {
        { Hex(40, true), one },
        { " 0x" + sha256 + "\r\n", two },
        { Hex(128, true), five },
        { sha256.substr(0, 8) + " " + sha256.substr(8, 8) + "\t" + sha256.substr(16), two },
        { sha256 + "  a b.txt", two },
        { Hex(64, true) + " *a.txt", two },
        { "\\" + sha512 + " *a\\\\b", five },
        { "SHA1 (a.txt) = " + sha1, one },
        { "sha256 (a.txt) = " + Hex(64, true), two },
        { "SHA512 (a) = " + sha512, five },
        { "SHA256:" + Hex(64, true), two },
        { "sha256 : " + sha256, two },
        { "sha1:" + sha1, one },
        { "SHA512:" + sha512, five },
        { "CRC : CBF43926\tSHA256 : " + sha256, "9:CBF43926:::" + sha256 + ":" },
        { "SHA-512 : " + sha512, five },
        // The result box's whole text, whatever lines it shows, in either language.
        { "C:\\a.txt\r\nCRC : CBF43926\tMD5 : " + std::string(Md5Empty) + "\r\nExpected : 12345678\r\nSHA-1 : " +
              sha1 + "\r\nSHA-256 : " + sha256 + "\r\nWarning : contents changed, same size and time as on 2026-12-01",
          "15:CBF43926:" + std::string(Md5Empty) + ":" + sha1 + ":" + sha256 + ":" },
        { "C:\\a.txt\r\nCRC : CBF43926\r\nAttendu : 12345678\r\nSHA-512 : " + sha512 +
              "\r\nAttention : contenu modifi\xE9, m\xEAme taille et m\xEAme heure que le 01/12/2026",
          "17:CBF43926::::" + sha512 },
        { "C:\\a.txt\r\nExpected : CBF43926", "-1" },
        { "C:\\a.txt\r\nSHA-256 : " + sha256 + "\r\nSHA256 : " + sha256, "-1" },
        { "C:\\a.txt\r\nSHA-256 : " + sha256 + "\r\nWarning: " + sha1, "-1" },
        // Refused.
        { Hex(63), "-1" },
        { Hex(65), "-1" },
        { Hex(40) + "g", "-1" },
        { Hex(16) + " " + Hex(16), "-1" },
        { "SHA256:" + sha1, "-1" },
        { "SHA1:" + sha256, "-1" },
        { "SHA256 (a.txt) = " + sha512, "-1" },
        { "SHA256:" + sha256 + "\nSHA256:" + sha256, "-1" },
        { "SHA3:" + sha256, "-1" },
    };
    for (const auto &test : cases)
        EXPECT_EQ(Parse(test.Text.c_str()), test.Parsed) << "clipboard text: " << test.Text;
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

TEST(ChecksumListedNames, ClassifiedInsideAbsoluteOrRefused)
{
    const char *folder = "C:\\data\\sums";
    const struct {
        const char *Folder, *Name, *Expected;
    } cases[] = {
        // Inside the folder or its sub-folders.
        { folder, "a.txt", "in C:\\data\\sums\\a.txt" },
        { folder, "sub/b c.txt", "in C:\\data\\sums\\sub\\b c.txt" },
        { folder, ".\\a.txt", "in C:\\data\\sums\\a.txt" },
        { folder, "sub\\..\\x.txt", "in C:\\data\\sums\\x.txt" },
        { folder, "sub\\\\.\\x.txt", "in C:\\data\\sums\\sub\\x.txt" },
        { folder, " lead.txt", "in C:\\data\\sums\\ lead.txt" },
        { folder, "a..b", "in C:\\data\\sums\\a..b" },
        { folder, "console.txt", "in C:\\data\\sums\\console.txt" },
        { folder, "COM10", "in C:\\data\\sums\\COM10" },
        { folder, "lpt", "in C:\\data\\sums\\lpt" },
        { folder, "nul_x\\com", "in C:\\data\\sums\\nul_x\\com" },
        { folder, "\xC3\xA9t\xC3\xA9.txt", "in C:\\data\\sums\\\xC3\xA9t\xC3\xA9.txt" },
        { "C:\\", "a.txt", "in C:\\a.txt" },
        { "C:\\data\\", "sub\\..", "in C:\\data\\" },
        { "\\\\srv\\share\\dir", "a.txt", "in \\\\srv\\share\\dir\\a.txt" },
        { "\\\\srv\\share\\dir\\", "s/a.txt", "in \\\\srv\\share\\dir\\s\\a.txt" },
        // Absolute local paths: the user is asked.
        { folder, "C:\\Windows\\win.ini", "absolute C:\\Windows\\win.ini" },
        { folder, "d:/x/./y/../z.txt", "absolute d:\\x\\z.txt" },
        { folder, "D:\\", "absolute D:\\" },
        // Never opened.
        { folder, "\\\\host\\share\\x.bin", "refused" },
        { folder, "//host/share/x.bin", "refused" },
        { folder, "\\/host/share/x.bin", "refused" },
        { folder, "\\\\?\\UNC\\host\\share\\x", "refused" },
        { folder, "\\\\?\\C:\\x", "refused" },
        { folder, "\\\\host@80\\dav\\x", "refused" },
        { folder, "\\\\.\\pipe\\x", "refused" },
        { folder, "\\\\.\\COM1", "refused" },
        { folder, "..\\..\\..\\Windows\\win.ini", "refused" },
        { folder, "..\\x.txt", "refused" },
        { folder, "..", "refused" },
        { folder, "sub\\..\\..\\secret.txt", "refused" },
        { folder, "a\\..\\..\\b\\c\\d", "refused" },
        { folder, "C:\\..\\x", "refused" },
        { folder, "\\Windows\\win.ini", "refused" },
        { folder, "/x.txt", "refused" },
        { folder, "C:x.txt", "refused" },
        { folder, "file.txt:stream", "refused" },
        { folder, "C:\\a\\b:c", "refused" },
        { folder, "a.txt.", "refused" },
        { folder, "dir \\x", "refused" },
        { folder, "sub\\x.txt ", "refused" },
        { folder, "...", "refused" },
        { folder, "a\tb.txt", "refused" },
        { folder, "a\x1F.txt", "refused" },
        { folder, "a<b", "refused" },
        { folder, "a>b", "refused" },
        { folder, "a\"b", "refused" },
        { folder, "a|b", "refused" },
        { folder, "a?b", "refused" },
        { folder, "a*", "refused" },
        { folder, "NUL", "refused" },
        { folder, "COM1", "refused" },
        { folder, "com0.log", "refused" },
        { folder, "LpT9", "refused" },
        { folder, "CONIN$", "refused" },
        { folder, "conout$.txt", "refused" },
        { folder, "aux.txt", "refused" },
        { folder, "prn.tar.gz", "refused" },
        { folder, "Con .txt", "refused" },
        { folder, "sub\\CON\\x.txt", "refused" },
        { folder, "C:\\Windows\\nul", "refused" },
        { folder, "COM\xB9", "refused" },
        { folder, "lpt\xB2.txt", "refused" },
        { folder, "COM\xC2\xB3", "refused" },
        { folder, "LPT\xC2\xB9.log", "refused" },
        { folder, "", "refused" },
        { "\\\\srv\\share\\dir", "..\\a.txt", "refused" },
        { "\\\\srv\\share\\dir", "/a.txt", "refused" },
        // Counted missing: no full folder.
        { "data", "a.txt", "too long" },
    };
    for (const auto &test : cases)
        EXPECT_EQ(Classify(test.Folder, test.Name), test.Expected) << "folder " << test.Folder << ", name " << test.Name;
}

TEST(ChecksumListedNames, SecondBytesOfADoubleByteCodePage)
{
    // Windows before 1903 in Japanese: "ã½" is 83 5C, "ã" 83 7C.
    const uint8_t leads[TEXT_LEAD_BYTES_SIZE] = { 0x81, 0x9F, 0xE0, 0xFC };
    TextSetCodePage(932, 2, leads);
    const std::string so = "\x83\x5C", po = "\x83\x7C";
    char out[260];
    EXPECT_EQ(ClassifyListedName("C:\\sums", (so + "\\x.bin").c_str(), out, sizeof out), LISTED_INSIDE);
    EXPECT_EQ(std::string(out), "C:\\sums\\" + so + "\\x.bin");
    EXPECT_EQ(ClassifyListedName(("C:\\" + so).c_str(), (po + ".bin").c_str(), out, sizeof out), LISTED_INSIDE);
    EXPECT_EQ(std::string(out), "C:\\" + so + "\\" + po + ".bin") << "the folder keeps its last byte";
    EXPECT_EQ(ClassifyListedName("C:\\sums", ("a\\" + so + "..\\..\\..\\x").c_str(), out, sizeof out),
              LISTED_REFUSED);
    EXPECT_EQ(ClassifyListedName("C:\\sums", std::string(LISTED_SHAPE_SIZE, so[0]).c_str(), out, sizeof out),
              LISTED_TOO_LONG);
    EXPECT_STREQ(ListedNameOf(("C:\\" + so).c_str(), ("C:\\" + so + "\\x.bin").c_str()), "x.bin");
    char line[128];
    ASSERT_EQ(FormatMd5Line(line, sizeof line, (so + "\\x.bin").c_str(), Md5Empty), 0);
    EXPECT_EQ(std::string(line), std::string(Md5Empty) + " *" + so + "/x.bin\r\n");
    EXPECT_EQ(ChecksumFormatOfName(("C:\\" + so + ".sfv").c_str()), CHECKSUM_FORMAT_SFV);
    TextSetCodePage(TEXT_CODE_PAGE_UTF8, 4, nullptr);
}

TEST(ChecksumListedNames, ResolvedOnlyWhenTheResultFits)
{
    std::string name(256, 'n');
    EXPECT_EQ(Classify("C:\\", name.c_str()), "in C:\\" + name) << "259 characters";
    EXPECT_EQ(Classify("C:\\", (name + "n").c_str()), "too long");
    EXPECT_EQ(Classify("C:\\data", (std::string(300, 'x') + "\\..\\b.txt").c_str()), "in C:\\data\\b.txt")
        << "what \"..\" removes never counts";
    EXPECT_EQ(Classify("C:\\data", "b.txt", 13), "too long");
    EXPECT_EQ(Classify("C:\\data", "b.txt", 14), "in C:\\data\\b.txt");
    EXPECT_EQ(Classify("C:\\data", "C:\\b.txt", 9), "absolute C:\\b.txt");
    EXPECT_EQ(Classify("C:\\data", "C:\\b.txt", 8), "too long");
}

TEST(ChecksumListedNames, RelativeInsideTheFolderFullOutside)
{
    const char *path = "c:\\data\\Sub\\a.txt";
    EXPECT_EQ(ListedNameOf("C:\\DATA", path), path + 8);
    EXPECT_EQ(ListedNameOf("C:\\Data\\", path), path + 8);
    EXPECT_EQ(ListedNameOf("c:\\data\\sub", path), path + 12);
    EXPECT_EQ(ListedNameOf("C:\\", path), path + 3);
    EXPECT_EQ(ListedNameOf("C:\\Dat", path), path) << "a folder whose name starts the same";
    EXPECT_EQ(ListedNameOf("D:\\data", path), path);
    EXPECT_EQ(ListedNameOf("C:\\data\\Sub\\a.txt", path), path);
    EXPECT_EQ(ListedNameOf("C:\\data\\Sub\\a.txt\\more", path), path);
    const char *accented = "C:\\\xE9t\xE9\\a.txt";
    EXPECT_EQ(ListedNameOf("C:\\\xC9t\xC9", accented), accented) << "only A-Z are folded";
}

namespace {

// A line written into a buffer of size bytes, or "-1" with the buffer emptied.
std::string Sfv(size_t size, const char *name, uint32_t crc)
{
    char line[80] = "x";
    return FormatSfvLine(line, size, name, crc) == 0 ? line : line[0] ? "not emptied" : "-1";
}

std::string Md5(size_t size, const char *name, const char *md5)
{
    char line[80] = "x";
    return FormatMd5Line(line, size, name, md5) == 0 ? line : line[0] ? "not emptied" : "-1";
}

// "format:name" of a checksum file saved under a typed name, "-1" when refused.
std::string SaveName(const char *typed, int selected)
{
    char name[16];
    int format = ChooseSaveName(typed, selected, name, sizeof name);
    return format < 0 ? "-1" : std::to_string(format) + ":" + name;
}

std::string Saved(int format, int32_t written, int32_t leftOut)
{
    return Taken(FormatSaveSummary(format, "out.sums", written, leftOut));
}

} // namespace

TEST(ChecksumFileWriters, ExactBytesThatReadBack)
{
    EXPECT_EQ(Sfv(80, "sub\\a b.txt", 0xcbf43926u), "sub\\a b.txt CBF43926\r\n");
    EXPECT_EQ(Sfv(17, "x.txt", 0xabcdu), "x.txt 0000ABCD\r\n");
    EXPECT_EQ(Sfv(17, "xy.txt", 0xabcdu), "-1");
    std::string md5Line = std::string(Md5Empty) + " *../a b.txt\r\n";
    EXPECT_EQ(Md5(80, "..\\a b.txt", Md5EmptyUpper), md5Line);
    EXPECT_EQ(Md5(md5Line.size(), "..\\a b.txt", Md5Empty), "-1");
    EXPECT_EQ(Md5(80, "a.txt", Md5Empty + 1), "-1");
    EXPECT_EQ(Md5(80, "a.txt", "g41d8cd98f00b204e9800998ecf8427e"), "-1");
    char header[80];
    EXPECT_EQ(FormatSfvHeader(header, sizeof header, 2026, 12, 9, 14, 5, 9), 0);
    EXPECT_STREQ(header, "; Generated by Zunta Calculator on 2026-12-09 at 14:05.09\r\n");
    EXPECT_EQ(Read(header + Sfv(80, "*odd name.txt", 0xabcdu), CHECKSUM_FORMAT_SFV),
              (Lines{ "", "*odd name.txt=0000ABCD" }));
    EXPECT_EQ(Read(Md5(80, "*odd name.txt", Md5Empty), CHECKSUM_FORMAT_MD5), (Lines{ Md5Of("*odd name.txt") }));
    EXPECT_EQ(FormatSfvHeader(header, strlen(header), 2026, 12, 9, 14, 5, 9), -1);
    char line[100] = "x";
    EXPECT_EQ(FormatDigestLine(line, sizeof line, "a.txt", Hex(64, true).c_str(), MASK_SHA256), 0);
    EXPECT_EQ(line, Hex(64) + " *a.txt\r\n");
    EXPECT_EQ(Read(line, CHECKSUM_FORMAT_SHA256), (Lines{ "a.txt=" + Hex(64) }));
    EXPECT_EQ(FormatDigestLine(line, sizeof line, "a.txt", Hex(63).c_str(), MASK_SHA256), -1);
    EXPECT_STREQ(line, "");
    EXPECT_EQ(FormatDigestLine(line, sizeof line, "a.txt", Md5Empty, MASK_SHA256), -1);
    EXPECT_EQ(FormatDigestLine(line, 73, "a.txt", Hex(64).c_str(), MASK_SHA256), -1);
    EXPECT_EQ(FormatDigestLine(line, sizeof line, "d\\a.txt", Hex(64, true).c_str(), MASK_BLAKE3), 0);
    EXPECT_EQ(line, Hex(64) + "  d/a.txt\n") << "the one form b3sum --check takes";
    EXPECT_EQ(Read(line, CHECKSUM_FORMAT_B3), (Lines{ "d/a.txt=" + Hex(64) }));
}

TEST(ChecksumFileWriters, SavedNamesReadBackToTheSamePath)
{
    const char *folder = "C:\\sums";
    for (const char *name : { ";notes.txt", " lead.txt", "trail .txt", "sub\\x.txt", "#hash.txt", "a b\\ c\\d.txt",
                              "C:\\other\\o.txt" }) {
        std::string path = Classify(folder, name);
        EXPECT_EQ(path.substr(0, 3) == "in " || path.substr(0, 9) == "absolute ", true) << name;
        char line[300];
        ASSERT_EQ(FormatSfvLine(line, sizeof line, name, 0xCBF43926u), 0);
        Lines sfv = Read(line, CHECKSUM_FORMAT_SFV);
        ASSERT_EQ(sfv.size(), 1u) << line;
        EXPECT_EQ(Classify(folder, sfv[0].substr(0, sfv[0].find('=')).c_str()), path) << "SFV line " << line;
        ASSERT_EQ(FormatMd5Line(line, sizeof line, name, Md5Empty), 0);
        EXPECT_EQ(strchr(name, ':') != nullptr, strchr(line, '\\') != nullptr)
            << "'/' in relative names, which md5sum reads everywhere: " << line;
        Lines md5 = Read(line, CHECKSUM_FORMAT_MD5);
        ASSERT_EQ(md5.size(), 1u) << line;
        EXPECT_EQ(Classify(folder, md5[0].substr(0, md5[0].find('=')).c_str()), path) << "MD5 line " << line;
        ASSERT_EQ(FormatDigestLine(line, sizeof line, name, Hex(64).c_str(), MASK_SHA256), 0);
        Lines sha = Read(line, CHECKSUM_FORMAT_SHA256);
        ASSERT_EQ(sha.size(), 1u) << line;
        EXPECT_EQ(Classify(folder, sha[0].substr(0, sha[0].find('=')).c_str()), path) << "SHA-256 line " << line;
    }
    EXPECT_EQ(Sfv(80, ";x", 0xabcdu), ".\\;x 0000ABCD\r\n");
    EXPECT_EQ(Sfv(80, "x\t", 0xabcdu), ".\\x\t 0000ABCD\r\n");
    EXPECT_EQ(Sfv(15, " x", 0xabcdu), "-1");
    EXPECT_EQ(Sfv(16, " x", 0xabcdu), ".\\ x 0000ABCD\r\n");
}

TEST(ChecksumFileWriters, SaveNameAndFormat)
{
    EXPECT_EQ(SaveName("sums", CHECKSUM_FORMAT_SFV), "1:sums.sfv");
    EXPECT_EQ(SaveName("sums.txt", CHECKSUM_FORMAT_MD5), "2:sums.txt.md5");
    EXPECT_EQ(SaveName("a.SFV", CHECKSUM_FORMAT_MD5), "1:a.SFV");
    EXPECT_EQ(SaveName("a.Md5", CHECKSUM_FORMAT_SFV), "2:a.Md5");
    EXPECT_EQ(SaveName("a.md5sum", CHECKSUM_FORMAT_SFV), "2:a.md5sum");
    EXPECT_EQ(SaveName("x.md5\\sums", CHECKSUM_FORMAT_SFV), "1:x.md5\\sums.sfv");
    EXPECT_EQ(SaveName("12345678901", CHECKSUM_FORMAT_SFV), "1:12345678901.sfv");
    EXPECT_EQ(SaveName("123456789012", CHECKSUM_FORMAT_SFV), "-1") << "16 bytes do not hold 16 characters";
    EXPECT_EQ(SaveName("", CHECKSUM_FORMAT_SFV), "-1");
    EXPECT_EQ(SaveName("sums", CHECKSUM_FORMAT_ANY), "-1");
    EXPECT_EQ(SaveName("sums", CHECKSUM_FORMAT_SHA256), "3:sums.sha256");
    EXPECT_EQ(SaveName("a.SHA256sum", CHECKSUM_FORMAT_SFV), "3:a.SHA256sum");
    EXPECT_EQ(SaveName("SHA256SUMS", CHECKSUM_FORMAT_MD5), "3:SHA256SUMS");
    EXPECT_EQ(SaveName("a.sha1", CHECKSUM_FORMAT_SHA256), "3:a.sha1.sha256") << "no SHA-1 files are written";
    EXPECT_EQ(SaveName("sums", CHECKSUM_FORMAT_SHA1), "-1");
}

TEST(ChecksumSummaries, AfterSavingInBothLanguages)
{
    EXPECT_EQ(Saved(CHECKSUM_FORMAT_MD5, 12, 3), "12 checksums written to out.sums, 3 without an MD5 left out");
    EXPECT_EQ(Saved(CHECKSUM_FORMAT_SFV, 1, 0), "1 checksum written to out.sums");
    EXPECT_EQ(Saved(CHECKSUM_FORMAT_SFV, 2, 1), "2 checksums written to out.sums, 1 without a CRC32 left out");
    EXPECT_EQ(Saved(CHECKSUM_FORMAT_SFV, 0, 3),
              "No file was written: none of the 3 files has a CRC32 yet. Process them first.");
    EXPECT_EQ(Saved(CHECKSUM_FORMAT_MD5, 0, 1),
              "No file was written: the file in the list does not have an MD5 yet. Process it first.");
    EXPECT_EQ(Saved(CHECKSUM_FORMAT_MD5, 0, 0), "No file was written: the list holds no file.");
    EXPECT_EQ(Saved(CHECKSUM_FORMAT_SHA256, 4, 2), "4 checksums written to out.sums, 2 without a SHA-256 left out");
    EXPECT_EQ(Saved(CHECKSUM_FORMAT_SHA256, 0, 1),
              "No file was written: the file in the list does not have a SHA-256 yet. Process it first.");
    InLanguage french(LANGUAGE_ID_FRENCH);
    EXPECT_EQ(Saved(CHECKSUM_FORMAT_MD5, 12, 3), "12 sommes de contr\xF4le \xE9"
              "crites dans out.sums, 3 sans MD5 laiss\xE9s de c\xF4t\xE9");
    EXPECT_EQ(Saved(CHECKSUM_FORMAT_SFV, 1, 1), "1 somme de contr\xF4le \xE9"
              "crite dans out.sums, 1 sans CRC32 laiss\xE9 de c\xF4t\xE9");
    EXPECT_EQ(Saved(CHECKSUM_FORMAT_SHA256, 2, 2), "2 sommes de contr\xF4le \xE9"
              "crites dans out.sums, 2 sans SHA-256 laiss\xE9s de c\xF4t\xE9");
    EXPECT_EQ(Saved(CHECKSUM_FORMAT_SFV, 0, 2), "Aucun fichier n'a \xE9t\xE9 \xE9" "crit : aucun des 2 fichiers "
                                                "n'a encore de CRC32. Calculez-les d'abord.");
}

namespace {

// Every allocation of a plan, counted: live blocks and their bytes, the
// most held at once, and the call that fails (0: none).
struct AllocationCount {
    std::map<void *, size_t> Live;
    size_t Bytes = 0, Peak = 0;
    long Calls = 0, FailAt = 0;
};
AllocationCount *Counting;

void *CountedReallocate(void *block, size_t size)
{
    AllocationCount &count = *Counting;
    if (size > 0 && ++count.Calls == count.FailAt)
        return nullptr;
    if (block != nullptr) {
        count.Bytes -= count.Live.at(block);
        count.Live.erase(block);
    }
    if (size == 0) {
        free(block);
        return nullptr;
    }
    void *moved = realloc(block, size);
    count.Live[moved] = size;
    count.Bytes += size;
    count.Peak = count.Bytes > count.Peak ? count.Bytes : count.Peak;
    return moved;
}

// Plan allocations counted for one test.
struct CountedPlan {
    AllocationCount Count;
    VerifyPlan Plan;
    CountedPlan()
    {
        Counting = &Count;
        VerifyReallocate = CountedReallocate;
        VerifyPlanInit(&Plan);
    }
    ~CountedPlan()
    {
        VerifyPlanFree(&Plan);
        EXPECT_TRUE(Count.Live.empty()) << Count.Live.size() << " blocks of the plan left";
        VerifyReallocate = DefaultReallocate;
        Counting = nullptr;
    }
    static void *(*DefaultReallocate)(void *, size_t);
};
void *(*CountedPlan::DefaultReallocate)(void *, size_t) = VerifyReallocate;

int ReadPlan(VerifyPlan *plan, const std::string &text, int format = CHECKSUM_FORMAT_ANY)
{
    return VerifyPlanRead(plan, "C:\\sums", text.data(), text.size(), format, nullptr, nullptr);
}

// Each file of a plan: "state path: values".
Lines Files(const VerifyPlan &plan)
{
    static const char *const states[] = { "pending", "not opened", "missing", "found" };
    Lines files;
    for (int32_t i = 0; i < plan.FileCount; i++) {
        const VerifyFile &file = plan.Files[i];
        std::string line = std::string(states[file.State]) + " " + file.Path + ":";
        for (int32_t v = file.FirstValue; v >= 0; v = plan.Values[v].Next)
            line += std::string(" ") + plan.Values[v].Text;
        files.push_back(line);
    }
    return files;
}

} // namespace

TEST(ChecksumVerifyPlan, IdenticalListingsMergeAsTheyAreRead)
{
    CountedPlan counted;
    VerifyPlan &plan = counted.Plan;
    std::string md5 = Md5Empty;
    std::string text = "a.txt CBF43926\r\nA.TXT cbf43926\n" + md5 + " *sub/b.bin\n" + md5 + " *SUB\\B.bin\n" +
                       "MD5 (./a.txt) = " + md5 + "\n\\\\srv\\share\\x.bin 12345678\n//srv/share/x.bin 12345678\n" +
                       "C:\\Windows\\win.ini 12345678\nc:/windows/WIN.INI 12345678\nd:\\y.bin 12345678\n" +
                       "not a line\nsub\\b.bin 00000001\n";
    ASSERT_EQ(ReadPlan(&plan, text), 0);
    EXPECT_EQ(Files(plan), (Lines{ "pending C:\\sums\\a.txt: CBF43926 " + md5,
                                   "pending C:\\sums\\sub\\b.bin: " + md5 + " 00000001",
                                   "not opened \\\\srv\\share\\x.bin: 12345678",
                                   "pending C:\\Windows\\win.ini: 12345678", "pending d:\\y.bin: 12345678" }))
        << "one file per path, one value per kind and value; a refused name merges only with itself";
    EXPECT_EQ(plan.Files[0].Mask, MASK_CRC32 | MASK_MD5);
    EXPECT_EQ(plan.AbsoluteCount, 2);
    EXPECT_EQ(plan.Summary.Listed, 5);
    EXPECT_EQ(plan.Summary.NotUnderstood, 1);
    EXPECT_EQ(plan.Summary.FirstNotUnderstood, 11);
    VerifyPlanRefuseAbsolute(&plan);
    EXPECT_EQ(plan.Files[3].State, VERIFY_FILE_NOT_OPENED);
    EXPECT_EQ(plan.Files[0].State, VERIFY_FILE_PENDING);
}

TEST(ChecksumVerifyPlan, Utf16FilesWithAMarkReadAsUtf8AndLongNamesResolve)
{
    // "\xC3\xA9.txt", a name past U+FFFF, a lone surrogate, an odd last byte.
    const std::u16string units = u"\u00E9.txt CBF43926\r\n\U0001F600 12345678\n\xD800x 00000001\n";
    const std::string utf8 = "\xC3\xA9.txt CBF43926\r\n\xF0\x9F\x98\x80 12345678\n\xEF\xBF\xBDx 00000001\n";
    for (bool little : { true, false }) {
        std::string text = little ? "\xFF\xFE" : "\xFE\xFF";
        for (char16_t unit : units) {
            char low = (char)(unit & 0xFF), high = (char)(unit >> 8);
            text += little ? std::string{ low, high } : std::string{ high, low };
        }
        Lines read[2];
        for (int utf16 = 0; utf16 < 2; utf16++) {
            CountedPlan counted;
            ASSERT_EQ(ReadPlan(&counted.Plan, utf16 ? text + "x" : utf8), 0);
            read[utf16] = Files(counted.Plan);
        }
        EXPECT_EQ(read[1], read[0]) << (little ? "little-endian" : "big-endian");
        EXPECT_EQ(read[1].size(), 3u);
    }
    // A relative name whose path is far past MAX_PATH is still a file to look for.
    CountedPlan deep;
    std::string name = std::string(300, 'd') + "\\f.bin";
    ASSERT_EQ(ReadPlan(&deep.Plan, name + " CBF43926\n"), 0);
    EXPECT_EQ(Files(deep.Plan), Lines{ "pending C:\\sums\\" + name + ": CBF43926" });
}

int KeepNames(const char *, bool, char *, size_t)
{
    return 0;
}

TEST(ChecksumVerifyPlan, CharactersThatDifferOnlyInASecondByteAreTwoFiles)
{
    // An older Japanese system keeps a line in its code page: 83 41 and 83 61
    // are two katakana, not "A" and "a" after a lead byte.
    const uint8_t leads[TEXT_LEAD_BYTES_SIZE] = { 0x81, 0x9F, 0xE0, 0xFC };
    TextSetCodePage(932, 2, leads);
    ListedNameConverter = KeepNames;
    {
        CountedPlan counted;
        ASSERT_EQ(ReadPlan(&counted.Plan, "\x83\x41.bin CBF43926\n\x83\x61.bin CBF43926\nA.bin CBF43926\na.bin CBF43926\n"), 0);
        EXPECT_EQ(counted.Plan.FileCount, 3);
    }
    ListedNameConverter = nullptr;
    TextSetCodePage(TEXT_CODE_PAGE_UTF8, 4, nullptr);
}

TEST(ChecksumVerifyPlan, FoundFilesInRowOrderEveryFailedValueShown)
{
    CountedPlan counted;
    VerifyPlan &plan = counted.Plan;
    std::string text, values;
    for (int i = 0; i < 5; i++) {
        char md5[33];
        snprintf(md5, sizeof md5, "%032d", i);
        text += std::string(md5) + " *five.bin\n";
        values += (i ? "  " : "") + std::string(md5);
    }
    text += "ok.bin CBF43926\nbad.bin CBF43926\ngone.bin CBF43926\nunread.bin 12345678\n..\\up.bin CBF43926\n"
            "D:\\abs.bin CBF43926\nlater.bin CBF43926\n";
    ASSERT_EQ(ReadPlan(&plan, text), 0);
    ASSERT_EQ(plan.FileCount, 8);
    VerifyPlanRefuseAbsolute(&plan);
    const int rows[] = { 7, 3, 9, -1, 5, -1, -1, -1 };  // later.bin found without a row: missing
    for (int32_t i = 0; i < plan.FileCount; i++)
        VerifyPlanSetFound(&plan, i, i != 3);
    for (int32_t i = 0; i < 5; i++)
        VerifyPlanSetRow(&plan, i, rows[i], 100 + i);
    VerifyPlanSetRow(&plan, 5, 1, 1) /* refused: no row */;
    ASSERT_EQ(VerifyPlanGroup(&plan), 0);
    ASSERT_EQ(plan.RowCount, 4);
    std::string order;
    for (int32_t i = 0; i < plan.RowCount; i++)
        order += std::to_string(plan.Rows[i].Row) + ":" + std::to_string(plan.Rows[i].EntryIndex) + " ";
    EXPECT_EQ(order, "3:101 5:104 7:100 9:102 ");
    EXPECT_EQ(plan.Rows[2].Mask, MASK_MD5);

    VerifyComputed found = {};
    found.Texts[KIND_CRC32] = "cbf43926";
    found.Texts[KIND_MD5] = "00000000000000000000000000000003";
    EXPECT_EQ(VerifyPlanJudge(&plan, 0, true, &found), 0) << "ok.bin";
    EXPECT_STREQ(plan.ExpectedText, "");
    EXPECT_EQ(VerifyPlanJudge(&plan, 1, false, &found), 1) << "unread.bin, not read";
    EXPECT_STREQ(plan.ExpectedText, "12345678");
    EXPECT_EQ(VerifyPlanJudge(&plan, 2, true, &found), 4) << "five.bin";
    std::string four = values;
    four.erase(four.find("  00000000000000000000000000000003"), 34);
    EXPECT_EQ(plan.ExpectedText, four) << "every failed value, no stray separator";
    EXPECT_EQ(VerifyPlanJudge(&plan, 2, false, &found), 5);
    EXPECT_EQ(plan.ExpectedText, values);
    found.Texts[KIND_CRC32] = nullptr;
    EXPECT_EQ(VerifyPlanJudge(&plan, 3, true, &found), 1) << "bad.bin: a kind not computed does not match";
    EXPECT_EQ(plan.FirstFailedRow, 5);
    EXPECT_EQ(Taken(FormatVerifySummary(&plan.Summary)),
              "Verified 7 files: 1 OK, 4 FAILED, 2 missing\r\n\r\nFAILED:\r\nunread.bin\r\nfive.bin\r\nfive.bin\r\n"
              "bad.bin\r\n\r\nMissing:\r\ngone.bin\r\nlater.bin\r\n\r\n"
              "Not opened, outside the checksum file's folder: 2\r\n..\\up.bin\r\nD:\\abs.bin");
    InLanguage french(LANGUAGE_ID_FRENCH);
    std::string summary = Taken(FormatVerifySummary(&plan.Summary));
    EXPECT_NE(summary.find("\r\n\r\nNon ouverts, hors du dossier du fichier de sommes de contr\xF4le : 2\r\n..\\up.bin"),
              std::string::npos)
        << summary;
}

TEST(ChecksumVerifyPlan, AMillionIdenticalLinesMakeOneSmallFile)
{
    CountedPlan counted;
    std::string line = std::string(Md5Empty) + " *sub\\file.bin\n";
    std::string text;
    text.reserve(line.size() * 1000000);
    for (int i = 0; i < 1000000; i++)
        text += line;
    ASSERT_EQ(ReadPlan(&counted.Plan, text), 0);
    EXPECT_EQ(counted.Plan.FileCount, 1);
    EXPECT_EQ(counted.Plan.ValueCount, 1);
    EXPECT_EQ(counted.Plan.Summary.Listed, 1);
    EXPECT_LT(counted.Count.Peak, 128u * 1024) << "bytes held at most";
}

TEST(ChecksumVerifyPlan, OneFileUnderManyNamesIsOneRowReadOnce)
{
    CountedPlan counted;
    VerifyPlan &plan = counted.Plan;
    ASSERT_EQ(ReadPlan(&plan, "a.bin CBF43926\nb.bin CBF43926\nC:\\sums\\A.BIN 12345678\n"
                              "c.bin CBF43926\nc.bin 00000000\nd.bin CBF43926\n"),
              0);
    ASSERT_EQ(plan.FileCount, 5);
    // The look-ups: b.bin and c.bin one file on volume 1, d.bin another on
    // volume 2; a.bin and A.BIN have no identity but one path.
    VerifyFound found[5] = { { 9, 0, 0, -1 }, { 9, 7, 1, -1 }, { 9, 0, 0, -1 }, { 9, 7, 1, -1 }, { 9, 7, 2, -1 } };
    for (int32_t i = 0; i < plan.FileCount; i++)
        VerifyPlanSetFound(&plan, i, true);
    ASSERT_EQ(VerifyPlanFindSameFiles(&plan, found), 0);
    std::string same;
    for (const VerifyFound &file : found)
        same += std::to_string(file.Same) + " ";
    EXPECT_EQ(same, "0 1 0 1 4 ");
    // As the window gives rows: a file that is an earlier one takes its row.
    for (int32_t i = 0, next = 0; i < plan.FileCount; i++)
        VerifyPlanSetRow(&plan, i, found[i].Same < i ? plan.Files[found[i].Same].Row : next++, 100 + i);
    ASSERT_EQ(VerifyPlanGroup(&plan), 0);
    ASSERT_EQ(plan.RowCount, 3) << "one row, one read each";
    VerifyComputed found0 = {};
    found0.Texts[KIND_CRC32] = "cbf43926";
    EXPECT_EQ(VerifyPlanJudge(&plan, 0, true, &found0), 1);
    EXPECT_STREQ(plan.ExpectedText, "12345678") << "the values of both names";
    VerifyComputed other = {};
    other.Texts[KIND_CRC32] = "11111111";
    EXPECT_EQ(VerifyPlanJudge(&plan, 1, true, &other), 2);
    EXPECT_STREQ(plan.ExpectedText, "CBF43926  00000000") << "a value listed under both names, once";
    EXPECT_EQ(VerifyPlanJudge(&plan, 2, true, &found0), 0);
    EXPECT_EQ(Taken(FormatVerifySummary(&plan.Summary)),
              "Verified 3 files: 1 OK, 2 FAILED, 0 missing\r\n\r\nFAILED:\r\na.bin\r\nb.bin");
    EXPECT_EQ(plan.Summary.Listed, 3);
}

namespace {

// Each percentage heard, and the call (1-based) that says stop (0: none).
struct HeardReport {
    std::vector<int32_t> Percentages;
    size_t StopAt = 0;
};

int Hear(void *context, int32_t percentage)
{
    HeardReport *heard = (HeardReport *)context;
    heard->Percentages.push_back(percentage);
    return heard->Percentages.size() == heard->StopAt ? -1 : 0;
}

} // namespace

TEST(ChecksumVerifyPlan, AReadStopsAtItsBoundsOrWhenToldTo)
{
    std::string hundred;
    for (int i = 0; i < 100; i++)
        hundred += "f" + std::to_string(i) + " CBF43926\n";
    for (int32_t maxFiles : { 100, 99 }) {
        CountedPlan counted;
        counted.Plan.MaxFiles = maxFiles;
        EXPECT_EQ(ReadPlan(&counted.Plan, hundred), maxFiles == 100 ? VERIFY_READ_DONE : VERIFY_READ_TOO_MANY)
            << "100 files, " << maxFiles << " allowed";
    }
    EXPECT_GE(VERIFY_MAX_FILES, 4000000);
    EXPECT_EQ(VerifyPlanBudget(100u << 20), 400u << 20) << "four times the text";
    EXPECT_EQ(VerifyPlanBudget(1000), 64u << 20) << "at least";
    EXPECT_EQ(VerifyPlanBudget(VERIFY_MAX_FILE_SIZE), 512u << 20) << "at most, with a 32-bit address space in mind";

    // Distinct files of 17 bytes each, 10 MiB of them: more plan than the
    // budget, and it stops there.
    std::string text;
    for (int i = 0; text.size() < (10u << 20); i++) {
        char line[32];
        snprintf(line, sizeof line, "%07d 00000000\n", i);
        text += line;
    }
    {
        CountedPlan counted;
        HeardReport heard;
        EXPECT_EQ(VerifyPlanRead(&counted.Plan, "C:\\sums", text.data(), text.size(), CHECKSUM_FORMAT_SFV, Hear, &heard),
                  VERIFY_READ_TOO_MANY);
        EXPECT_LE(counted.Count.Peak, VerifyPlanBudget(text.size())) << "bytes held at most";
        EXPECT_GT(heard.Percentages.size(), 2u) << "the progress is heard along the read";
        EXPECT_TRUE(std::is_sorted(heard.Percentages.begin(), heard.Percentages.end()));
    }
    CountedPlan counted;
    HeardReport heard;
    heard.StopAt = 2;
    EXPECT_EQ(VerifyPlanRead(&counted.Plan, "C:\\sums", text.data(), text.size(), CHECKSUM_FORMAT_SFV, Hear, &heard),
              VERIFY_READ_CANCELLED);
    EXPECT_EQ(heard.Percentages.size(), 2u) << "read on after the cancel";
}

TEST(ChecksumVerifyPlan, EachFailedAllocationEndsTheReadCleanly)
{
    std::string text;
    for (int i = 0; i < 300; i++)
        text += "f" + std::to_string(i) + ".bin " + (i % 2 ? "CBF43926" : "12345678") + "\n" + std::string(Md5Empty) +
                " *f" + std::to_string(i % 7) + ".bin\n";
    // Read, rows for every file, grouped: -1 from the step whose allocation failed.
    auto plan = [&](VerifyPlan *plan) {
        if (ReadPlan(plan, text) != 0)
            return -1;
        for (int32_t i = 0; i < plan->FileCount; i++) {
            VerifyPlanSetFound(plan, i, true);
            VerifyPlanSetRow(plan, i, i / 2, i);    // two files a row: merged
        }
        return VerifyPlanGroup(plan);
    };
    long calls;
    {
        CountedPlan counted;
        ASSERT_EQ(plan(&counted.Plan), 0);
        calls = counted.Count.Calls;
    }
    ASSERT_GT(calls, 10);
    for (long failing = 1; failing <= calls; failing++) {
        CountedPlan counted;
        counted.Count.FailAt = failing;
        EXPECT_EQ(plan(&counted.Plan), -1) << "allocation " << failing << " of " << calls << " failed unnoticed";
    }
}

TEST(ChecksumVerifyPlan, TextsUpTo256MiB)
{
    // One long comment line, quick to skip, then a checksum line.
    std::string text(VERIFY_MAX_FILE_SIZE, 'x');
    text[0] = ';';
    std::string last = "\na.txt CBF43926";
    text.replace(text.size() - last.size(), last.size(), last);
    VerifyPlan plan;
    VerifyPlanInit(&plan);
    EXPECT_EQ(VerifyPlanRead(&plan, "C:\\sums", text.data(), text.size(), CHECKSUM_FORMAT_SFV, nullptr, nullptr), 0);
    EXPECT_EQ(plan.FileCount, 1);
    VerifyPlanFree(&plan);
    text += "\n";
    EXPECT_EQ(VerifyPlanRead(&plan, "C:\\sums", text.data(), text.size(), CHECKSUM_FORMAT_SFV, nullptr, nullptr),
              VERIFY_READ_TOO_LARGE);
    EXPECT_EQ(plan.FileCount, 0);
}

TEST(ChecksumSummaries, AfterVerifyingTheFirstTwentyNamesOfEachList)
{
    VerifySummary summary;
    VerifySummaryInit(&summary);
    VerifySummaryAdd(&summary, VERIFY_OK, "ok.txt");
    std::string failed;
    for (int i = 0; i < 23; i++) {
        std::string name = "f" + std::to_string(i) + ".txt";
        VerifySummaryAdd(&summary, VERIFY_FAILED, name.c_str());
        if (i < 20)
            failed += "\r\n" + name;
    }
    VerifySummaryAdd(&summary, VERIFY_MISSING, "gone %s.txt");
    VerifySummaryAddNotUnderstood(&summary, 7);
    VerifySummaryAddNotUnderstood(&summary, 9);
    EXPECT_EQ(Taken(FormatVerifySummary(&summary)),
              "Verified 25 files: 1 OK, 23 FAILED, 1 missing\r\n\r\nFAILED:" + failed +
                  "\r\nand 3 more\r\n\r\nMissing:\r\ngone %s.txt\r\n\r\n2 lines not understood (first: line 7)");
    {
        InLanguage french(LANGUAGE_ID_FRENCH);
        EXPECT_EQ(Taken(FormatVerifySummary(&summary)),
                  "25 fichiers v\xE9rifi\xE9s : 1 OK, 23 en \xC9" "CHEC, 1 manquant\r\n\r\nEn \xC9" "CHEC :" + failed +
                      "\r\net 3 autres\r\n\r\nManquants :\r\ngone %s.txt\r\n\r\n"
                      "2 lignes non reconnues (premi\xE8re : ligne 7)");
    }
    VerifySummaryFree(&summary);
    EXPECT_EQ(summary.Failed.Count, 0);
    EXPECT_EQ(summary.Failed.Names[0], nullptr);
}

TEST(ChecksumSummaries, SingularsCancellingAndVeryLongLists)
{
    VerifySummary summary;
    VerifySummaryInit(&summary);
    VerifySummaryAdd(&summary, VERIFY_OK, "a.txt");
    EXPECT_EQ(Taken(FormatVerifySummary(&summary)), "Verified 1 file: 1 OK, 0 FAILED, 0 missing");
    {
        InLanguage french(LANGUAGE_ID_FRENCH);
        EXPECT_EQ(Taken(FormatVerifySummary(&summary)), "1 fichier v\xE9rifi\xE9 : 1 OK, 0 en \xC9" "CHEC, 0 manquant");
    }
    for (int i = 0; i < 100000; i++)
        VerifySummaryAdd(&summary, VERIFY_MISSING, "m.txt");
    VerifySummaryAddNotUnderstood(&summary, 4);
    summary.Cancelled = 1;
    summary.Listed = 200000;
    std::string text = Taken(FormatVerifySummary(&summary));
    std::string start = "Verification cancelled after 100001 of 200000 files.\r\n"
                        "Verified 100001 files: 1 OK, 0 FAILED, 100000 missing\r\n\r\nMissing:\r\nm.txt";
    EXPECT_EQ(text.substr(0, start.size()), start);
    EXPECT_EQ(text.find("FAILED:"), std::string::npos) << "no empty list";
    EXPECT_NE(text.find("m.txt\r\nand 99980 more\r\n\r\n1 line not understood (line 4)"), std::string::npos) << text;
    EXPECT_EQ(summary.Missing.Count, 100000);
    InLanguage french(LANGUAGE_ID_FRENCH);
    text = Taken(FormatVerifySummary(&summary));
    start = "V\xE9rification annul\xE9" "e apr\xE8s 100001 sur 200000 fichiers.\r\n";
    EXPECT_EQ(text.substr(0, start.size()), start);
    EXPECT_NE(text.find("1 ligne non reconnue (ligne 4)"), std::string::npos) << text;
    VerifySummaryFree(&summary);
}

TEST(ChecksumSummaries, HistoryCheckCountsEachAgreeWithTheirOwnNoun)
{
    struct {
        int32_t Counts[5];
        const char *English, *French;
    } cases[] = {
        { { 1, 1, 0, 0, 0 }, "Checked 1 file against its history: 1 unchanged, 0 changed without a write, "
                             "0 not in the history",
          "1 fichier compar\xE9 \xE0 son historique : 1 inchang\xE9, 0 modifi\xE9 sans \xE9" "criture, "
          "0 absent de l'historique" },
        { { 5, 1, 2, 1, 1 }, "Checked 5 files against their history: 1 unchanged, 2 changed without a write, "
                             "1 not in the history, 1 could not be read",
          "5 fichiers compar\xE9s \xE0 leur historique : 1 inchang\xE9, 2 modifi\xE9s sans \xE9" "criture, "
          "1 absent de l'historique, 1 illisible" },
        { { 9, 2, 1, 3, 3 }, "Checked 9 files against their history: 2 unchanged, 1 changed without a write, "
                             "3 not in the history, 3 could not be read",
          "9 fichiers compar\xE9s \xE0 leur historique : 2 inchang\xE9s, 1 modifi\xE9 sans \xE9" "criture, "
          "3 absents de l'historique, 3 illisibles" },
    };
    char text[512];
    for (const auto &c : cases) {
        const int32_t *n = c.Counts;
        FormatHistoryCounts(text, sizeof text, n[0], n[1], n[2], n[3], n[4]);
        EXPECT_STREQ(text, c.English);
        InLanguage french(LANGUAGE_ID_FRENCH);
        FormatHistoryCounts(text, sizeof text, n[0], n[1], n[2], n[3], n[4]);
        EXPECT_STREQ(text, c.French);
    }
}

namespace {

// The printf conversions of a text, in order.
std::string Conversions(const char *text)
{
    std::string found;
    for (const char *at = strchr(text, '%'); at; at = strchr(at + 2, '%'))
        found += at[1];
    return found;
}

// The items of a double-NUL-ended filter list.
Lines FilterItems(const char *filter)
{
    Lines items;
    for (; *filter; filter += strlen(filter) + 1)
        items.push_back(filter);
    return items;
}

} // namespace

TEST(ChecksumMoreTexts, BothTablesCompleteWithTheSameArgumentsAndUniqueMnemonics)
{
    std::set<char> french;
    for (int i = 0; i < TEXT_COUNT; i++) {
        ASSERT_NE(EnglishStrings[i], nullptr) << "English entry " << i;
        ASSERT_NE(FrenchStrings[i], nullptr) << "French entry " << i;
        EXPECT_EQ(Conversions(EnglishStrings[i]), Conversions(FrenchStrings[i])) << "entry " << i;
        if (i >= TEXT_MENU_FIRST && i <= TEXT_MENU_OPEN_FOLDER)
            EXPECT_TRUE(french.insert((char)tolower(strchr(FrenchStrings[i], '&')[1])).second) << i;
    }
    EXPECT_EQ(Conversions(EnglishStrings[TEXT_NOT_UNDERSTOOD_ONE]), "dd");
    EXPECT_STREQ(strchr(EnglishStrings[TEXT_MENU_COPY_RESULTS], '\t'), "\tCtrl+Shift+C");
    EXPECT_STREQ(strchr(FrenchStrings[TEXT_MENU_COPY_RESULTS], '\t'), "\tCtrl+Maj+C");
    for (int i : { TEXT_MENU_COPY_ROW, TEXT_MENU_COMPARE, TEXT_MENU_SAVE, TEXT_MENU_VERIFY })
        EXPECT_STREQ(strchr(EnglishStrings[i], '\t'), strchr(FrenchStrings[i], '\t')) << i;
}

TEST(ChecksumMoreTexts, FilterListsAndTheCurrentLanguage)
{
    for (const char *const *table : { EnglishStrings, FrenchStrings }) {
        Lines save = FilterItems(table[TEXT_SAVE_FILTER]);
        ASSERT_EQ(save.size(), 4u);
        EXPECT_EQ(save[2 * CHECKSUM_FORMAT_SFV - 1], "*.sfv");
        EXPECT_EQ(save[2 * CHECKSUM_FORMAT_MD5 - 1], "*.md5");
        Lines verify = FilterItems(table[TEXT_VERIFY_FILTER]);
        ASSERT_EQ(verify.size(), 4u);
        EXPECT_EQ(verify[1], "*.sfv;*.md5;*.md5sum;*.txt");
        EXPECT_EQ(verify[3], "*.*");
        Lines save3 = FilterItems(table[TEXT_SAVE_FILTER_SHA256]);
        ASSERT_EQ(save3.size(), 8u);
        for (int filter = 1; filter <= 4; filter++) {
            char named[16];
            EXPECT_EQ(ChooseSaveName("x", SavedFormatOfFilter(filter), named, sizeof named), SavedFormatOfFilter(filter));
            EXPECT_EQ("*" + std::string(named + 1), save3[2 * filter - 1]) << "the filter's type is what Save writes";
        }
        EXPECT_EQ(SavedFormatOfFilter(4), CHECKSUM_FORMAT_B3);
        Lines verifySha = FilterItems(table[TEXT_VERIFY_FILTER_SHA]);
        ASSERT_EQ(verifySha.size(), 4u);
        EXPECT_NE(verifySha[1].find("*.sha256;*.sha256sum;"), std::string::npos);
        EXPECT_NE(verifySha[1].find("*SUMS"), std::string::npos);
    }
    char text[300];
    snprintf(text, sizeof text, CountText(TEXT_VERIFY_ABSOLUTE_ONE, 2), 2);
    EXPECT_STREQ(text, "This checksum file lists 2 files by absolute path, outside its folder.\r\nVerify them too?");
    snprintf(text, sizeof text, LanguageStrings[TEXT_VERIFY_TOO_LARGE], "C:\\big.sfv");
    EXPECT_STREQ(text, "The file C:\\big.sfv is too large for a checksum file (more than 256 MB).");
    EXPECT_STREQ(LanguageStrings[TEXT_COMPARE_NO_MATCH], "DOES NOT MATCH");
    EXPECT_STREQ(LanguageText(LANGUAGE_ID_ENGLISH, TEXT_COUNT), "");
    EXPECT_STREQ(CountText(TEXT_SAVED_ONE, 0), "%d checksums written to %s");
    InLanguage french(LANGUAGE_ID_FRENCH);
    EXPECT_STREQ(LanguageStrings[TEXT_COMPARE_NO_MATCH], "NE CORRESPOND PAS");
    EXPECT_STREQ(LanguageText(LANGUAGE_ID_FRENCH, -1), "");
    EXPECT_STREQ(CountText(TEXT_VERIFIED_MISSING_ONE, 0), "%d manquant");
    EXPECT_STREQ(CountText(TEXT_VERIFIED_MISSING_ONE, 2), "%d manquants");
}
