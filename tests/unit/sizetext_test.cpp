// The size texts of a row and the text of the result box.
#include "base/lang.h"
#include "base/sizetext.h"
#include "core/result_text.h"

#include <gtest/gtest.h>

#include <string.h>
#include <string>

namespace {

std::string Grouped(uint64_t value)
{
    char text[SIZE_TEXT_SIZE];
    EXPECT_EQ(FormatGroupedSize(text, sizeof text, value), 0);
    return text;
}

std::string WithUnit(uint64_t value, uint16_t language = LANGUAGE_ID_ENGLISH)
{
    char text[SIZE_TEXT_SIZE];
    FormatGroupedSize(text, sizeof text, value);
    FormatUnitSize(text, sizeof text, language);
    return text;
}

} // namespace

TEST(GroupedSize, DigitsGroupedByThree)
{
    EXPECT_EQ(Grouped(0), "0");
    EXPECT_EQ(Grouped(999), "999");
    EXPECT_EQ(Grouped(1000), "1 000");
    EXPECT_EQ(Grouped(1234567), "1 234 567");
    EXPECT_EQ(Grouped(100000), "100 000");
    EXPECT_EQ(Grouped(18446744073709551615ull), "18 446 744 073 709 551 615");
}

TEST(GroupedSize, NeverOverrunsItsBuffer)
{
    char small[8] = "xxxxxxx";
    EXPECT_EQ(FormatGroupedSize(small, sizeof small, 1234567), -1);
    EXPECT_STREQ(small, "");
    char exact[10];
    EXPECT_EQ(FormatGroupedSize(exact, sizeof exact, 1234567), 0);
    EXPECT_STREQ(exact, "1 234 567");
}

TEST(UnitSize, EnglishExamples)
{
    EXPECT_EQ(WithUnit(0), "0");
    EXPECT_EQ(WithUnit(999), "999");
    EXPECT_EQ(WithUnit(1000), "0.98 KB");
    EXPECT_EQ(WithUnit(1024), "1 KB");
    EXPECT_EQ(WithUnit(1536), "1.50 KB");
    EXPECT_EQ(WithUnit(123456), "120.56 KB");
    EXPECT_EQ(WithUnit(1000000), "0.95 MB");
    EXPECT_EQ(WithUnit(1048576), "1 MB");
    EXPECT_EQ(WithUnit(5000000000ull), "4.66 GB");
    EXPECT_EQ(WithUnit(1099511627776ull), "1024 GB") << "larger sizes stay in GB";
}

TEST(UnitSize, FrenchUnitsAndTheLargestSizes)
{
    EXPECT_EQ(WithUnit(1048576, LANGUAGE_ID_FRENCH), "1 Mo");
    EXPECT_EQ(WithUnit(1536, LANGUAGE_ID_FRENCH), "1.50 Ko");
    EXPECT_EQ(WithUnit(5000000000ull, LANGUAGE_ID_FRENCH), "4.66 Go");
    EXPECT_EQ(WithUnit(18446744073709551615ull), "17179869184 GB") << "2^64 as a double";
    EXPECT_EQ(WithUnit(999999999999ull), "931.32 GB");
    // A whole number of units above 2^31 is written in full.
    EXPECT_EQ(WithUnit(4611686018427387904ull), "4294967296 GB");
}

TEST(UnitSize, ReturnsTheUnitStepAndRefusesWhatDoesNotFit)
{
    char text[SIZE_TEXT_SIZE] = "5 000 000 000";
    EXPECT_EQ(FormatUnitSize(text, sizeof text, LANGUAGE_ID_ENGLISH), 3);
    char plain[SIZE_TEXT_SIZE] = "12";
    EXPECT_EQ(FormatUnitSize(plain, sizeof plain, LANGUAGE_ID_ENGLISH), 0);
    EXPECT_EQ(FormatUnitSize(nullptr, 10, LANGUAGE_ID_ENGLISH), -1);
    char tiny[6] = "1 536";
    EXPECT_EQ(FormatUnitSize(tiny, sizeof tiny, LANGUAGE_ID_ENGLISH), -1) << "1.50 KB needs 8 bytes, not 6";
}

TEST(ResultText, FourLayouts)
{
    char text[RESULT_TEXT_SIZE];
    FormatResultText(text, sizeof text, "C:\\a.txt", "CBF43926", "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_STREQ(text, "C:\\a.txt\r\nCRC : CBF43926\tMD5 : D41D8CD98F00B204E9800998ECF8427E");
    FormatResultText(text, sizeof text, "C:\\a.txt", "0000abcd", nullptr);
    EXPECT_STREQ(text, "C:\\a.txt\r\nCRC : 0000abcd");
    FormatResultText(text, sizeof text, "C:\\a.txt", nullptr, "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_STREQ(text, "C:\\a.txt\r\nMD5 : d41d8cd98f00b204e9800998ecf8427e");
    FormatResultText(text, sizeof text, "C:\\a.txt", nullptr, nullptr);
    EXPECT_STREQ(text, "C:\\a.txt");
}

TEST(ResultText, LongTextReportsItsWholeLength)
{
    std::string path = "C:\\" + std::string(300, 'p');
    char text[RESULT_TEXT_SIZE];
    size_t length = FormatResultText(text, sizeof text, path.c_str(), "CBF43926",
                                     "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(length, path.size() + strlen("\r\nCRC : CBF43926\tMD5 : ") + 32);
    EXPECT_EQ(std::string(text).size(), sizeof text - 1) << "cut, never overrun";
}
