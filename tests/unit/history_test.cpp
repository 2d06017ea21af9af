// The history of checksums: session log records read back as the writer
// wrote them, damaged lines skipped, and the index's answers for a file
// hashed again.
#include "base/textutil.h"
#include "core/history.h"
#include "core/historystore.h"
#include "core/sessionlog.h"

#include "unit_support.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

// The bytes write writes into a file opened with mode.
template <typename Write> std::string Written(const char *mode, Write write)
{
    std::string logPath = ScratchPath("history-record.log");
    FILE *file = fopen(logPath.c_str(), mode);
    write(file);
    fclose(file);
    std::ifstream in(logPath, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// One line as WriteSessionRecord writes it into a file in text mode.
std::string WrittenRecord(const std::string &path, uint64_t size, int64_t when, const char *crc, const char *md5)
{
    return Written("w", [&](FILE *file) { WriteSessionRecord(file, path.c_str(), size, when, crc, md5); });
}

// One line of the record store; result: WriteStoreRecord's.
std::string StoreLine(const std::string &path, uint64_t size, int64_t lastWrite, const char *crc, const char *md5,
                      const char *sha256 = nullptr, int *result = nullptr)
{
    const char *digests[STORE_DIGEST_KINDS] = { crc, md5, nullptr, sha256, nullptr };
    FileStamp stamp = { size, lastWrite };
    return Written("wb", [&](FILE *file) {
        int written = WriteStoreRecord(file, path.c_str(), &stamp, digests);
        if (result != nullptr)
            *result = written;
    });
}

std::string FoldedPath(const std::string &path)
{
    std::string folded(path.size(), '\0');
    HistoryFoldPath(path.data(), path.size(), &folded[0]);
    return folded;
}

// The last-write time in 100 ns of a time in seconds since 1970, plus units.
int64_t FileTimeOf(int64_t seconds, int64_t units = 0)
{
    return (seconds + 11644473600) * 10000000 + units;
}

// The same bytes built here, for many records at once: the name padded to
// nameWidth characters (the caller counts them), with CR LF.
std::string Line(const std::string &name, const std::string &crc, const std::string &size, const std::string &time,
                 const std::string &md5 = "", size_t padding = std::string::npos)
{
    if (padding == std::string::npos)
        padding = name.size() < 64 ? 64 - name.size() : 0;
    std::string line = name + std::string(padding, ' ') + "    " + (crc.empty() ? "########" : crc) + "    ";
    line += std::string(size.size() < 13 ? 13 - size.size() : 0, ' ') + size + "    " + time;
    return line + (md5.empty() ? "" : "    " + md5) + "\r\n";
}

const char Md5Lower[] = "d41d8cd98f00b204e9800998ecf8427e";
const char Md5Upper[] = "D41D8CD98F00B204E9800998ECF8427E";
const unsigned char Md5Bytes[16] = { 0xd4, 0x1d, 0x8c, 0xd9, 0x8f, 0x00, 0xb2, 0x04,
                                     0xe9, 0x80, 0x09, 0x98, 0xec, 0xf8, 0x42, 0x7e };

int Parse(const std::string &line, HistoryRecord *record)
{
    return ParseSessionRecord(line.data(), line.size(), record);
}

} // namespace

TEST(HistoryRecord, EveryFormTheWriterProducesReadsBack)
{
    int64_t when = LocalTime(2021, 3, 7, 9, 4, 5);
    // Names over and at the width of the name field.
    std::string Long70 = "D:\\" + std::string(70, 'n'), Long64 = "D:\\" + std::string(64, 'n');
    const struct {
        const char *Path;
        uint64_t Size;
        const char *Crc, *Md5;
        const char *Name;
        uint8_t Kinds;
    } cases[] = {
        { "C:\\data\\a.txt", 5, "CBF43926", nullptr, "a.txt", HISTORY_CRC32 },
        { "C:\\data\\a.txt", 5, "cbf43926", nullptr, "a.txt", HISTORY_CRC32 },
        { "C:\\x\\big.bin", 1234567, nullptr, Md5Lower, "big.bin", HISTORY_MD5 },
        { "C:\\x\\big.bin", 0, "CBF43926", Md5Upper, "big.bin", HISTORY_CRC32 | HISTORY_MD5 },
        { "C:\\x\\my file  two.txt", 5000000000ull, "cbf43926", Md5Lower, "my file  two.txt", 3 },
        { "C:\\x\\t\xc3\xa9l\xc3\xa9 \xe6\x96\x87.txt", 1099511627776ull, "CBF43926", nullptr,
          "t\xc3\xa9l\xc3\xa9 \xe6\x96\x87.txt", HISTORY_CRC32 },
        { Long70.c_str(), UINT64_MAX, nullptr, Md5Upper, Long70.c_str() + 3, HISTORY_MD5 },
        { Long64.c_str(), 999, "CBF43926", nullptr, Long64.c_str() + 3, HISTORY_CRC32 },
    };
    for (const auto &c : cases) {
        std::string line = WrittenRecord(c.Path, c.Size, when, c.Crc, c.Md5);
        HistoryRecord record;
        ASSERT_EQ(Parse(line, &record), 0) << "a record the program wrote is lost from the history:\n" << line;
        EXPECT_EQ(std::string(record.Name, record.NameLength), c.Name) << line;
        EXPECT_EQ(record.Size, c.Size) << line;
        EXPECT_EQ(std::string(record.TimeText, HISTORY_TIME_LENGTH), "09:04.05 2021-03-07") << line;
        char again[HISTORY_TIME_SIZE];
        FormatHistoryTime(record.Stamp, again);
        EXPECT_STREQ(again, "09:04.05 2021-03-07");
        EXPECT_EQ(record.Kinds, c.Kinds) << line;
        if (c.Kinds & HISTORY_CRC32)
            EXPECT_EQ(record.Crc32, 0xCBF43926u) << line;
        if (c.Kinds & HISTORY_MD5)
            EXPECT_EQ(memcmp(record.Md5, Md5Bytes, 16), 0) << line;
    }

    // The bytes this file builds are the writer's (text mode adds the CR on Windows).
    std::string built = Line("a.txt", "CBF43926", "1 234 567", "09:04.05 2021-03-07", Md5Lower);
    std::string written = WrittenRecord("C:\\a.txt", 1234567, when, "CBF43926", Md5Lower);
    EXPECT_EQ(built.substr(0, built.size() - 2), written.substr(0, written.find_first_of("\r\n")));

    // A name of several bytes a character, padded by characters; a time with
    // no local form reads, with no stamp.
    HistoryRecord record;
    std::string line = Line("\xc3\xa9t\xc3\xa9 ", "CBF43926", "12", "23:59.59 2000-02-29", "", 60);
    ASSERT_EQ(Parse(line, &record), 0);
    EXPECT_EQ(std::string(record.Name, record.NameLength), "\xc3\xa9t\xc3\xa9");
    ASSERT_EQ(Parse(Line("x", "CBF43926", "12", NoLocalTimeText), &record), 0);
    EXPECT_EQ(record.Stamp, 0u);
}

TEST(HistoryRecord, DamagedLinesAreSkipped)
{
    const std::string time = "09:04.05 2021-03-07";
    const std::string damaged[] = {
        Line("a.txt", "", "5", time),                               // neither checksum
        Line("a.txt", "CBF4392", "5", time),                        // CRC of 7 digits
        Line("a.txt", "CBF4392G", "5", time),
        Line("a.txt", "CBF43926", "5", time, "d41d8cd98f00b204e9800998ecf8427"),
        Line("a.txt", "", "5", time, "d41d8cd98f00b204e9800998ecf8427g"),
        Line("a.txt", "CBF43926", "5", time, Md5Lower + std::string("    0")),   // a field too many
        Line("a.txt", "CBF43926", "1234 567", time),                // bad grouping
        Line("a.txt", "CBF43926", "1 234 56", time),
        Line("a.txt", "CBF43926", "0 234", time),                   // leading zero
        Line("a.txt", "CBF43926", "01", time),
        Line("a.txt", "CBF43926", "18 446 744 073 709 551 616", time),   // past 64 bits
        Line("a.txt", "CBF43926", "5 ", time),
        Line("a.txt", "CBF43926", "5", "24:04.05 2021-03-07"),      // bad times
        Line("a.txt", "CBF43926", "5", "09:60.05 2021-03-07"),
        Line("a.txt", "CBF43926", "5", "09:04.05 2021-02-29"),
        Line("a.txt", "CBF43926", "5", "09:04.05 2021-13-07"),
        Line("a.txt", "CBF43926", "5", "09:04:05 2021-03-07"),
        Line("a.txt", "CBF43926", "5", "9:04.05 2021-03-07"),
        Line("a\tb.txt", "CBF43926", "5", time),                    // a tab in the name
        "a.txt\t    CBF43926    " + std::string(12, ' ') + "5    " + time + "\r\n",
        "a.txt" + std::string(59, ' ') + "    CBF43926    " + std::string(11, ' ') + "5    " + time + "\r\n",
        std::string(70, 'n') + "   CBF43926    " + std::string(12, ' ') + "5    " + time + "\r\n",
        "a.txt" + std::string(59, ' ') + "    CBF43926    " + std::string(12, ' ') + "5\t" + time + "\r\n",
        "CBF43926    " + std::string(12, ' ') + "5    " + time + "\r\n",   // no blanks before the CRC
        "", "\r\n",
    };
    for (const auto &line : damaged) {
        HistoryRecord record;
        EXPECT_EQ(Parse(line, &record), -1) << "a damaged line taken as a record:\n" << line;
    }

    // Every cut of a line is skipped, except the cut of an MD5 field that
    // leaves a whole record with a CRC.
    for (const auto &md5 : { std::string(), std::string(Md5Upper) }) {
        for (const auto &crc : { std::string(), std::string("cbf43926") }) {
            std::string line = Line("a b.txt", crc, "5 000 000 000", time, md5);
            size_t whole = line.size() - 2, timeEnd = whole - (md5.empty() ? 0 : 36);
            for (size_t cut = 0; cut < whole; cut++) {
                HistoryRecord record;
                int expected = cut == timeEnd && !crc.empty() ? 0 : -1;
                EXPECT_EQ(Parse(line.substr(0, cut), &record), expected) << line.substr(0, cut);
            }
            HistoryRecord record;
            EXPECT_EQ(Parse(line.substr(0, whole), &record), md5.empty() && crc.empty() ? -1 : 0)
                << "a whole line without its line end";
        }
    }
}

TEST(HistoryStore, EveryRecordTheWriterWritesReadsBackAndOtherLinesAreSkipped)
{
    int64_t when = FileTimeOf(LocalTime(2020, 1, 1, 0, 0, 0), 1234567);
    const char sha256[] = "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855";
    EXPECT_EQ(StoreLine("C:\\data\\a b.txt", 5, when, "CBF43926", nullptr, sha256),
              "5 " + std::to_string(when) + " 2020-01-01T00:00:00 cbf43926 - - "
                  "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855 - C:\\data\\a b.txt\r\n");
    const struct {
        std::string Path;
        uint64_t Size;
        int64_t LastWrite;
        const char *Crc, *Md5;
        uint8_t Kinds;
    } cases[] = {
        { "C:\\x\\ - - 1 2 ", UINT64_MAX, INT64_MAX, nullptr, Md5Upper, HISTORY_MD5 },   // no local time
        { " \xc3\xa9t\xc3\xa9 \xe6\x96\x87", 0, 0, "cbf43926", Md5Lower, HISTORY_CRC32 | HISTORY_MD5 },
        { "D:\\" + std::string(70000, 'p'), 1234567, when, "CBF43926", nullptr, HISTORY_CRC32 },
    };
    for (const auto &c : cases) {
        std::string line = StoreLine(c.Path, c.Size, c.LastWrite, c.Crc, c.Md5);
        StoreRecord record;
        ASSERT_EQ(ParseStoreRecord(line.data(), line.size(), &record), 0) << line;
        EXPECT_EQ(std::string(record.Path, record.PathLength), c.Path);
        EXPECT_EQ(record.Size, c.Size);
        EXPECT_EQ(record.LastWrite, c.LastWrite);
        EXPECT_EQ(record.Kinds, c.Kinds);
        EXPECT_EQ(record.LogStamp == 0, c.LastWrite != when) << "the log record's time field, when it has one";
        if (c.Kinds & HISTORY_CRC32)
            EXPECT_EQ(record.Crc32, 0xCBF43926u);
        if (c.Kinds & HISTORY_MD5)
            EXPECT_EQ(memcmp(record.Md5, Md5Bytes, 16), 0);
    }

    // Nothing the reader could not read back unambiguously is written: a
    // control character in the path, no path, neither CRC nor MD5, a CRC of 7 digits.
    const char *const refused[][2] = { { "C:\\a\nb", "CBF43926" }, { "C:\\a\rb", "CBF43926" }, { "C:\\a\tb", "CBF43926" },
                                       { "", "CBF43926" }, { "C:\\a", nullptr }, { "C:\\a", "CBF4392" } };
    for (const auto &path : refused) {
        int result = 0;
        EXPECT_EQ(StoreLine(path[0], 1, when, path[1], nullptr, sha256, &result), "") << path[0];
        EXPECT_EQ(result, -1);
    }

    const std::string tail = " 2020-01-01T00:00:00 cbf43926 - - - - C:\\a.txt\r\n";
    const std::string damaged[] = {
        "5 1 2020-01-01T00:00:00 cbf43926 - - - - \r\n",                 // no path
        "5 1 2020-01-01T00:00:00 cbf43926 - - - C:\\a.txt\r\n",           // a field short
        "5 1 2020-01-01T00:00:00 - - - - - C:\\a.txt\r\n",               // no CRC nor MD5
        "5 1 2020-01-01T00:00:00 cbf4392 - - - - C:\\a.txt\r\n",
        "5 1 2020-01-01T00:00:00 cbf43926 d41d8cd98f00b204e9800998ecf8427 - - - C:\\a.txt\r\n",
        "5 1 2020-02-30T00:00:00 cbf43926 - - - - C:\\a.txt\r\n",
        "5 1 00:00.00 2020-01-01 cbf43926 - - - - C:\\a.txt\r\n",
        "05 1" + tail, "5 01" + tail, "-5 1" + tail, "5  1" + tail,
        "18446744073709551616 1" + tail, "5 9223372036854775808" + tail,    // past their ranges
        "5 1" + tail.substr(0, tail.size() - 2) + "\tx\r\n", "", "\r\n",
    };
    for (const auto &line : damaged) {
        StoreRecord record;
        EXPECT_EQ(ParseStoreRecord(line.data(), line.size(), &record), -1) << "taken as a record: " << line;
    }

    // The later kinds' line: read back, and a line of another form to
    // earlier readers.
    std::string b3(64, 'A'), xxh64 = "44bc2cf5ad770999";
    const char *more[STORE_MORE_KINDS] = { b3.c_str(), nullptr, nullptr, xxh64.c_str() };
    std::string line = Written("wb", [&](FILE *file) { EXPECT_EQ(WriteStoreMore(file, more), 1); });
    EXPECT_EQ(line, "+ " + std::string(64, 'a') + " - - " + xxh64 + "\r\n");
    StoreRecord record;
    EXPECT_EQ(ParseStoreRecord(line.data(), line.size(), &record), -1);
    unsigned char digests[STORE_MORE_KINDS][KIND_DIGEST_MAX];
    uint8_t kinds = 0;
    ASSERT_EQ(ParseStoreMore(line.data(), line.size(), digests, &kinds), 0);
    EXPECT_EQ(kinds, 1 | 8);
    EXPECT_EQ(digests[0][31], 0xAA);
    EXPECT_EQ(digests[3][0], 0x44);
    const char *none[STORE_MORE_KINDS] = {};
    EXPECT_EQ(Written("wb", [&](FILE *file) { EXPECT_EQ(WriteStoreMore(file, none), 0); }), "");
    for (const std::string &bad : { std::string("+ - - -\r\n"), std::string("+ - - - - -"), std::string("+  - - - -"),
                                    "+ " + xxh64 + " - - -" })
        EXPECT_EQ(ParseStoreMore(bad.data(), bad.size(), digests, &kinds), -1) << bad;
}

namespace {

const char Crc1[] = "1111AAAA", Crc2[] = "2222BBBB";
const char Md5A[] = "0123456789abcdef0123456789abcdef", Md5B[] = "fedcba9876543210fedcba9876543210";

struct HistoryFixture : ::testing::Test {
    HistoryIndex Index;
    void SetUp() override { HistoryIndexInit(&Index); }
    void TearDown() override { HistoryIndexFree(&Index); }

    int AddText(const std::string &text) { return HistoryIndexAddText(&Index, text.data(), text.size(), nullptr, nullptr); }
    HistoryJudgement Judge(const char *name, uint64_t size, const char *time, const char *crc, const char *md5)
    {
        HistoryJudgement judgement;
        HistoryJudge(&Index, name, strlen(name), size, time, crc, md5, &judgement);
        return judgement;
    }
};

const char T1[] = "10:00.00 2022-05-01", T2[] = "10:00.01 2022-05-01";

} // namespace

TEST_F(HistoryFixture, ChangedWithoutAWriteAgainstTheOldestRecords)
{
    // Archive: the file as first recorded, then its contents changed (a new
    // CRC, same size and time); the session log records the change again.
    std::string archive = Line("Report.DOC", Crc1, "1 000", T1) + "garbage\r\n" +
                          Line("Report.DOC", "2222bbbb", "1 000", T1) + Line("only md5.bin", "", "7", T1, Md5A) +
                          Line("\xc3\xa9t\xc3\xa9.txt", Crc1, "3", T1);
    ASSERT_EQ(AddText(archive), 0);
    ASSERT_EQ(AddText(Line("report.doc", "", "1 000", T1, Md5B) + Line("report.doc", Crc2, "1 000", T1, Md5A)), 0);
    ASSERT_EQ(HistoryIndexAddRecord(&Index, "REPORT.doc", 10, 1000, T1, "3333CCCC", Md5A), 0);

    const struct {
        const char *Name;
        uint64_t Size;
        const char *Time, *Crc, *Md5;
        int Verdict;
        uint8_t Changed;
    } cases[] = {
        { "Report.DOC", 1000, T1, Crc1, nullptr, HISTORY_SAME, 0 },           // contents as first recorded
        { "rEPORT.doc", 1000, T1, "1111aaaa", Md5B, HISTORY_SAME, 0 },        // case of name and digits
        { "Report.DOC", 1000, T1, Crc2, nullptr, HISTORY_CHANGED, HISTORY_CRC32 },   // recorded later: still changed
        { "Report.DOC", 1000, T1, "3333CCCC", nullptr, HISTORY_CHANGED, HISTORY_CRC32 },
        { "Report.DOC", 1000, T1, Crc1, Md5A, HISTORY_CHANGED, HISTORY_MD5 },
        { "Report.DOC", 1000, T2, Crc2, nullptr, HISTORY_UNKNOWN, 0 },        // another time
        { "Report.DOC", 1001, T1, Crc2, nullptr, HISTORY_UNKNOWN, 0 },        // another size
        { "Report.DOCX", 1000, T1, Crc2, nullptr, HISTORY_UNKNOWN, 0 },
        { "only md5.bin", 7, T1, nullptr, "0123456789ABCDEF0123456789ABCDEF", HISTORY_SAME, 0 },
        { "only md5.bin", 7, T1, Crc1, Md5B, HISTORY_CHANGED, HISTORY_MD5 },
        { "only md5.bin", 7, T1, Crc1, nullptr, HISTORY_UNKNOWN, 0 },        // no kind in common
        { "\xc3\xa9T\xc3\xa9.TXT", 3, T1, Crc1, nullptr, HISTORY_SAME, 0 },
        { "\xc3\x89T\xc3\x89.txt", 3, T1, Crc1, nullptr, HISTORY_UNKNOWN, 0 },   // only A-Z fold
    };
    for (const auto &c : cases) {
        HistoryJudgement judgement = Judge(c.Name, c.Size, c.Time, c.Crc, c.Md5);
        EXPECT_EQ(judgement.Verdict, c.Verdict) << c.Name << " " << c.Size << " " << c.Time << " " << c.Crc;
        EXPECT_EQ(judgement.ChangedKinds, c.Changed) << c.Name << " " << c.Crc;
    }
    HistoryJudgement judgement = Judge("report.doc", 1000, T1, Crc1, nullptr);
    EXPECT_EQ(judgement.Kinds, HISTORY_CRC32 | HISTORY_MD5);
    EXPECT_STREQ(judgement.TimeText, T1) << "the message names the time of the record";
    judgement = Judge("only md5.bin", 7, T1, Crc1, nullptr);
    EXPECT_EQ(judgement.Kinds, HISTORY_MD5) << "which kind to compute to check against the history";

    // A record without a time, checksum or with a malformed text is not taken.
    EXPECT_EQ(HistoryIndexAddRecord(&Index, "x", 1, 1, NoLocalTimeText, Crc1, nullptr), -2);
    EXPECT_EQ(HistoryIndexAddRecord(&Index, "x", 1, 1, T1, nullptr, nullptr), -2);
    EXPECT_EQ(HistoryIndexAddRecord(&Index, "x", 1, 1, T1, "1111AAA", nullptr), -2);
    EXPECT_EQ(Index.Count, 3u);
}

TEST(HistoryStore, PathsFoldAsTheFileSystemFoldsThem)
{
    const struct {
        const char *A, *B;
        bool Same;
    } cases[] = {
        { "C:\\Data/A.TXT", "c:/data\\a.txt", true },
        { "\xc3\x89T\xc3\x89 \xc3\x9f", "\xc3\xa9t\xc3\xa9 \xc3\x9f", true },                  // ÉTÉ ß
        { "\xc5\xbd\xc4\x8c\xc4\xb9", "\xc5\xbe\xc4\x8d\xc4\xba", true },                     // ŽČĹ
        { "\xce\xa9\xce\x86\xd0\x96\xd0\x81", "\xcf\x89\xce\xac\xd0\xb6\xd1\x91", true },    // ΩΆЖЁ
        { "\xc5\xb8", "\xc3\xbf", true },                                                  // Ÿ
        { "I\xc4\xb1", "i\xc4\xb1", true },
        { "\xc4\xb0", "\xc4\xb1", false },      // İ and ı fold to no i of their own
        { "\xcf\x82", "\xcf\x83", false },      // ς σ
        { "\xc3\x97", "\xc3\xb7", false },      // × ÷
        { "\xe6\x96\x87" "A", "\xe6\x96\x87" "a", true },
    };
    for (const auto &c : cases)
        EXPECT_EQ(FoldedPath(c.A) == FoldedPath(c.B), c.Same) << c.A << " and " << c.B;
    // Eight bytes at a time as one at a time.
    for (int c = 1; c < 0x80; c++) {
        char folded = c == '/' ? '\\' : c >= 'A' && c <= 'Z' ? (char)(c + 0x20) : (char)c;
        EXPECT_EQ(FoldedPath(std::string(9, (char)c)), std::string(9, folded)) << c;
    }
}

TEST_F(HistoryFixture, TheStoreJudgesByFullPathAndTimeAndStandsForItsLogRecords)
{
    int64_t when = FileTimeOf(LocalTime(2022, 5, 1, 10, 0, 0), 5000000);    // T1 and a half
    HistoryIndex store;
    HistoryIndexInitByPath(&store);
    std::string text = StoreLine("C:\\A\\data.bin", 9, when, Crc1, nullptr) +
                       StoreLine("C:\\A\\torn.bin", 9, when, Crc1, nullptr);
    text.resize(text.size() - 2);
    ASSERT_EQ(HistoryIndexAddStoreText(&store, &Index, text.data(), text.size(), nullptr, nullptr), 0);
    EXPECT_EQ(store.Count, 1u) << "a line without its end may be a path cut short";
    // data.bin was recorded in the log and the store, old.bin before the store was.
    ASSERT_EQ(AddText(Line("data.bin", Crc1, "9", T1) + Line("old.bin", Crc1, "9", T1)), 0);
    FileStamp stamp = { 9, when };
    ASSERT_EQ(HistoryIndexAddStamped(&store, "C:\\\xc3\x89t\xc3\xa9", 8, &stamp, Crc1, nullptr), 0);
    const struct {
        const char *Path;
        int64_t LastWrite;
        const char *Crc;
        int Verdict;
    } cases[] = {
        { "c:/a/DATA.bin", when, Crc1, HISTORY_SAME },
        { "C:\\A\\data.bin", when, Crc2, HISTORY_CHANGED },
        { "C:\\B\\data.bin", when, Crc2, HISTORY_UNKNOWN },             // another folder
        { "C:\\A\\data.bin", when + 1, Crc2, HISTORY_UNKNOWN },         // saved again 100 ns later
        { "C:\\A\\data.bin", when - 5000000, Crc2, HISTORY_UNKNOWN },   // in the same second
        { "c:\\\xc3\xa9T\xc3\x89", when, Crc2, HISTORY_CHANGED },
    };
    for (const auto &c : cases) {
        HistoryJudgement judgement;
        FileStamp file = { 9, c.LastWrite };
        EXPECT_EQ(HistoryJudgeStamped(&store, c.Path, strlen(c.Path), &file, c.Crc, nullptr, &judgement), c.Verdict)
            << c.Path << " " << c.LastWrite;
        if (c.Verdict == HISTORY_CHANGED)
            EXPECT_STREQ(judgement.TimeText, T1) << "the message names the time of the record";
    }
    // The logs answer for the records they alone hold.
    EXPECT_EQ(Judge("data.bin", 9, T1, Crc2, nullptr).Verdict, HISTORY_UNKNOWN);
    EXPECT_EQ(Judge("old.bin", 9, T1, Crc2, nullptr).Verdict, HISTORY_CHANGED);
    HistoryIndexFree(&store);
}

TEST_F(HistoryFixture, TwoKatakanaThatDifferOnlyInASecondByteAreTwoFiles)
{
    // An older Japanese system: 83 41 and 83 61 are two characters, not a
    // lead byte before "A" and "a".
    const uint8_t leads[TEXT_LEAD_BYTES_SIZE] = { 0x81, 0x9F, 0xE0, 0xFC };
    TextSetCodePage(932, 2, leads);
    ASSERT_EQ(AddText(Line("\x83\x41.bin", Crc1, "3", T1)), 0);
    EXPECT_EQ(Judge("\x83\x61.bin", 3, T1, Crc2, nullptr).Verdict, HISTORY_UNKNOWN) << "another file";
    EXPECT_EQ(Judge("\x83\x41.BIN", 3, T1, Crc1, nullptr).Verdict, HISTORY_SAME);
    EXPECT_NE(FoldedPath("C:\\\x83\x41"), FoldedPath("C:\\\x83\x61")) << "another path";
    TextSetCodePage(TEXT_CODE_PAGE_UTF8, 4, nullptr);
}

namespace {

// Records of distinct keys, a few mebibytes of text: CRC only, MD5 only, both.
std::string ManyRecords(int count)
{
    std::string text;
    char name[128], size[32];
    for (int i = 0; i < count; i++) {
        snprintf(name, sizeof name, "file number %07d with a name long enough for several name blocks.dat", i);
        snprintf(size, sizeof size, "%d", i % 1000);
        text += Line(name, i % 3 != 1 ? Crc1 : "", size, T1, i % 3 != 0 ? Md5A : "");
    }
    return text;
}

int FailAfter;
void *FailingAllocate(size_t size)
{
    return FailAfter-- > 0 ? malloc(size) : nullptr;
}

int CancelSecond(void *context, uint64_t done, uint64_t total)
{
    int *calls = (int *)context;
    EXPECT_LT(done, total);
    return ++*calls == 2 ? -1 : 0;
}

} // namespace

TEST_F(HistoryFixture, EveryAllocationFailureLeavesAUsableIndex)
{
    const int count = 20000;
    std::string text = ManyRecords(count);
    int result = -1;
    for (int allowed = 0; result != 0; allowed++) {
        ASSERT_LT(allowed, 100);
        HistoryIndexFree(&Index);
        FailAfter = allowed;
        HistoryAllocate = FailingAllocate;
        result = AddText(text);
        HistoryAllocate = malloc;
        EXPECT_TRUE(result == 0 || result == -1) << result;
        if (result == 0)
            break;
        EXPECT_LT(Index.Count, (uint32_t)count);
        // Once memory is back, what was indexed stays, and the rest goes in.
        ASSERT_EQ(AddText(text), 0) << "after " << allowed << " allocations";
        ASSERT_EQ(Index.Count, (uint32_t)count);
    }
    for (int i = 0; i < count; i += 997) {
        char name[128];
        snprintf(name, sizeof name, "FILE NUMBER %07d WITH A NAME LONG ENOUGH FOR SEVERAL NAME BLOCKS.DAT", i);
        EXPECT_EQ(Judge(name, (uint64_t)(i % 1000), T1, i % 3 != 1 ? Crc1 : nullptr, i % 3 != 0 ? Md5A : nullptr).Verdict,
                  HISTORY_SAME) << name;
    }

    int calls = 0;
    HistoryIndexFree(&Index);
    EXPECT_EQ(HistoryIndexAddText(&Index, text.data(), text.size(), CancelSecond, &calls), -2);
    EXPECT_GT(Index.Count, 0u);
    EXPECT_LT(Index.Count, (uint32_t)count);
}
