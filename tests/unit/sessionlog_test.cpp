// Session log records byte for byte, the archive at exit, and the path order
// of folder scans.
#include "base/pathorder.h"
#include "base/program.h"
#include "core/sessionlog.h"

#include "unit_support.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadBytes(const std::string &path);

// One record as the log receives it, through a file in text mode.
std::string Record(const char *path, uint64_t size, int64_t when, const char *crc, const char *md5,
                   int *result = nullptr)
{
    std::string logPath = ScratchPath("record.log");
    FILE *file = fopen(logPath.c_str(), "w");
    int written = WriteSessionRecord(file, path, size, when, crc, md5);
    fclose(file);
    if (result)
        *result = written;
    return ReadBytes(logPath);
}

bool WriteBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return out.good();
}

std::string ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The line end that text mode writes.
#ifdef _WIN32
const std::string LineEnd = "\r\n";
#else
const std::string LineEnd = "\n";
#endif

} // namespace

TEST(SessionRecord, CrcOnlyRecordColumnByColumn)
{
    int64_t when = LocalTime(2020, 4, 14, 14, 5, 9);
    std::string record = Record("C:\\data\\a.txt", 5, when, "CBF43926", nullptr);
    std::string expected = "a.txt" + std::string(59, ' ') + "    CBF43926    " + std::string(12, ' ') +
                           "5    14:05.09 2020-04-14" + LineEnd;
    EXPECT_EQ(record, expected);
    EXPECT_EQ(record.substr(68, 8), "CBF43926");
}

TEST(SessionRecord, SizesMd5OnlyAndBoth)
{
    int64_t when = LocalTime(2021, 12, 31, 23, 59, 58);
    std::string md5 = "d41d8cd98f00b204e9800998ecf8427e";
    std::string record = Record("C:\\x\\big.bin", 1234567, when, nullptr, md5.c_str());
    EXPECT_EQ(record.substr(64, 16), "    ########    ");
    EXPECT_EQ(record.substr(80, 13), "    1 234 567");
    EXPECT_EQ(record.substr(93, 4 + 19), "    23:59.58 2021-12-31");
    EXPECT_EQ(record.substr(116), "    " + md5 + LineEnd);

    record = Record("C:\\x\\empty.bin", 0, when, "00000000", md5.c_str());
    EXPECT_EQ(record.substr(80, 13), std::string(12, ' ') + "0");
    EXPECT_EQ(record.substr(64, 16), "    00000000    ");
    EXPECT_EQ(record.substr(116), "    " + md5 + LineEnd);
}

TEST(SessionRecord, LongNameShiftsTheRestOfTheLine)
{
    std::string name(70, 'n');
    std::string record = Record(("D:\\" + name).c_str(), 1, 0, "0000ABCD", nullptr);
    EXPECT_EQ(record.substr(0, 70), name);
    EXPECT_EQ(record.substr(70, 16), "    0000ABCD    ") << "the CRC field follows directly";
}

TEST(SessionRecord, NameFieldIsPaddedToSixtyFourCharactersNotBytes)
{
    // "日本語 😀.txt": 18 bytes, 9 characters; 63 "é": 126 bytes.
    std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xF0\x9F\x98\x80.txt";
    std::string accents;
    for (int i = 0; i < 63; i++)
        accents += "\xC3\xA9";
    struct { std::string name; size_t padding; } cases[] = {
        { japanese, 64 - 9 },
        { accents, 1 },
        { accents + "\xC3\xA9", 0 },
        { accents + "\xC3", 0 },   // a broken sequence counts as one character
        { std::string(63, 'a') + "\xE6\x97", 0 },
    };
    for (const auto &c : cases) {
        std::string record = Record(("C:\\data\\" + c.name).c_str(), 5, 0, "CBF43926", nullptr);
        EXPECT_EQ(record.substr(0, c.name.size() + c.padding + 16),
                  c.name + std::string(c.padding, ' ') + "    CBF43926    ")
            << "the CRC column of \"" << c.name << "\" is not where 64 characters put it";
    }
}

TEST(SessionRecord, NothingIsWrittenWithoutAPathAChecksumOrABackslash)
{
    int result = 0;
    EXPECT_EQ(Record(nullptr, 1, 0, "0000ABCD", nullptr, &result), "");
    EXPECT_EQ(result, -1);
    EXPECT_EQ(Record("C:\\a.txt", 1, 0, nullptr, nullptr, &result), "");
    EXPECT_EQ(result, -1);
    EXPECT_EQ(Record("a.txt", 1, 0, "0000ABCD", nullptr, &result), "");
    EXPECT_EQ(result, -1);
}

TEST(SessionRecord, TimesFrom1970ToTheYear3000HaveALocalFormInEveryBuild)
{
    // Mid-day in UTC, so that any time zone keeps the month.
    std::string record = Record("C:\\far\\future.txt", 3, 2223374400 /* 2040-06-15 */, "0000ABCD", nullptr);
    EXPECT_EQ(record.substr(97 + 9, 8), "2040-06-") << "a date after 2038: " << record;
    record = Record("C:\\far\\future.txt", 3, 32535215999 - 43200 /* 3000-12-31 */, "0000ABCD", nullptr);
    EXPECT_EQ(record.substr(97 + 9, 8), "3000-12-") << record;

    for (int64_t none : { (int64_t)-1, (int64_t)32535216000 /* 3001 */, INT64_MAX, INT64_MIN }) {
        record = Record("C:\\far\\future.txt", 3, none, "0000ABCD", nullptr);
        EXPECT_EQ(record.substr(97, 19), NoLocalTimeText) << none;
    }
    EXPECT_EQ(std::string(NoLocalTimeText), "\?\?:\?\?.\?\? \?\?\?\?-\?\?-\?\?");
}

TEST(SessionRecord, TheTimeFieldAloneIsTheRecordsAndFitsTwentyBytes)
{
    // The history judges a file by this text: it must be the record's own.
    for (int64_t when : { (int64_t)2223374400, (int64_t)0, (int64_t)-1 }) {
        char text[20];
        FormatLogTime(when, text, sizeof text);
        EXPECT_EQ(strlen(text), 19u) << when;
        EXPECT_EQ(Record("C:\\a\\b.txt", 3, when, "0000ABCD", nullptr).substr(97, 19), text) << when;
    }
}

TEST(SessionLogs, TwoSessionsArchivedInOrderWithoutBlankLines)
{
    snprintf(Program.LastSessionLogPath, sizeof Program.LastSessionLogPath, "%s",
             ScratchPath("LastSession.log").c_str());
    snprintf(Program.AllSessionsLogPath, sizeof Program.AllSessionsLogPath, "%s",
             ScratchPath("AllSessions.log").c_str());
    remove(Program.AllSessionsLogPath);
    int64_t when = LocalTime(2020, 4, 14, 14, 5, 9);
    for (int records : { 3, 2 }) {
        remove(Program.LastSessionLogPath);
        for (int i = 0; i < records; i++) {
            std::string path = "C:\\s\\file" + std::to_string(records) + std::to_string(i) + ".txt";
            ASSERT_EQ(AppendSessionRecord(path.c_str(), 10, when, "0000ABCD", nullptr), 0);
        }
        ArchiveSessionLog();
    }
    std::string archive = ReadBytes(Program.AllSessionsLogPath);
    std::string last = ReadBytes(Program.LastSessionLogPath);
    size_t lines = 0;
    for (size_t at = 0; (at = archive.find(LineEnd, at)) != std::string::npos; at += LineEnd.size())
        lines++;
    EXPECT_EQ(lines, 5u);
    EXPECT_EQ(archive.find(LineEnd + LineEnd), std::string::npos);
    EXPECT_EQ(archive.find("file30.txt"), 0u);
    EXPECT_EQ(archive.substr(archive.size() - last.size()), last) << "the last session comes last";

    // A session without records leaves the archive as it was.
    remove(Program.LastSessionLogPath);
    ArchiveSessionLog();
    EXPECT_EQ(ReadBytes(Program.AllSessionsLogPath), archive);
}

TEST(SessionLogs, EverySessionReachesTheArchiveOnceHoweverItEnds)
{
    snprintf(Program.LastSessionLogPath, sizeof Program.LastSessionLogPath, "%s", ScratchPath("Last.log").c_str());
    snprintf(Program.AllSessionsLogPath, sizeof Program.AllSessionsLogPath, "%s", ScratchPath("All.log").c_str());
    snprintf(Program.SessionMarkPath, sizeof Program.SessionMarkPath, "%s", ScratchPath("Last.pending").c_str());
    remove(Program.AllSessionsLogPath);
    remove(Program.SessionMarkPath);
    auto record = [](const char *name) {
        AppendSessionRecord((std::string("C:\\s\\") + name).c_str(), 1, 0, "0000ABCD", nullptr);
        return ReadBytes(Program.LastSessionLogPath);
    };

    BeginSessionLog();
    std::string first = record("closed.txt");
    EndSessionLog();    // Windows ended the session...
    EndSessionLog();    // ...and shutdown still ran
    BeginSessionLog();
    std::string second = record("killed.txt");
    // The process is ended here: no shutdown. The next start archives it.
    BeginSessionLog();
    EXPECT_EQ(ReadBytes(Program.AllSessionsLogPath), first + second);
    EXPECT_EQ(ReadBytes(Program.LastSessionLogPath), "") << "the previous log is deleted";
    EndSessionLog();

    // A log that an earlier version archived has no mark: not archived again.
    ASSERT_TRUE(WriteBytes(Program.LastSessionLogPath, "archived before\n"));
    remove(Program.SessionMarkPath);
    BeginSessionLog();
    EndSessionLog();
    EXPECT_EQ(ReadBytes(Program.AllSessionsLogPath), first + second);

    // A start that cannot write the archive keeps the log and its mark; this
    // session's records join them and reach the archive with them, once.
    BeginSessionLog();
    std::string third = record("killed again.txt");
    std::string archive = Program.AllSessionsLogPath;
    snprintf(Program.AllSessionsLogPath, sizeof Program.AllSessionsLogPath, "%s",
             ScratchPath("no such folder/All.log").c_str());
    BeginSessionLog();
    snprintf(Program.AllSessionsLogPath, sizeof Program.AllSessionsLogPath, "%s", archive.c_str());
    EXPECT_EQ(ReadBytes(Program.LastSessionLogPath), third) << "a log that was not archived was deleted";
    FILE *mark = fopen(Program.SessionMarkPath, "r");
    EXPECT_NE(mark, nullptr) << "the mark of a log not archived was taken away";
    if (mark != nullptr)
        fclose(mark);
    std::string both = record("after.txt");
    EndSessionLog();
    BeginSessionLog();
    EndSessionLog();
    EXPECT_EQ(ReadBytes(Program.AllSessionsLogPath), first + second + both);
    EXPECT_EQ(both.find(third), 0u);
}

#ifndef _WIN32
TEST(SessionLogs, ARecordOrAnArchiveWrittenInPartIsTakenBack)
{
    snprintf(Program.LastSessionLogPath, sizeof Program.LastSessionLogPath, "%s", ScratchPath("Cut.log").c_str());
    snprintf(Program.AllSessionsLogPath, sizeof Program.AllSessionsLogPath, "%s", ScratchPath("CutAll.log").c_str());
    const std::string log(60, 'l'), archive(50, 'a');
    ASSERT_TRUE(WriteBytes(Program.LastSessionLogPath, log));
    ASSERT_TRUE(WriteBytes(Program.AllSessionsLogPath, archive));
    // Files may not grow past 90 bytes: the disk is full in the middle of a write.
    struct rlimit saved, full;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    full = saved;
    full.rlim_cur = 90;
    signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    int appended = AppendSessionRecord("C:\\s\\a.txt", 1, 0, "0000ABCD", nullptr);
    int archived = ArchiveSessionLog();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(appended, -1) << "a record the disk did not take counted as written";
    EXPECT_EQ(ReadBytes(Program.LastSessionLogPath), log) << "a part of a record was left in the log";
    EXPECT_EQ(archived, -1);
    EXPECT_EQ(ReadBytes(Program.AllSessionsLogPath), archive) << "a part of the log was left in the archive";
}
#endif

TEST(PathOrder, LettersFoldedAndTheSeparatorSortsBeforeLetters)
{
    EXPECT_LT(ComparePaths("C:\\d\\a b\\", "C:\\d\\a\\"), 0);
    EXPECT_LT(ComparePaths("C:\\d\\a\\", "C:\\d\\ab\\"), 0);
    EXPECT_LT(ComparePaths("C:\\d\\A.txt", "C:\\d\\b.txt"), 0);
    EXPECT_LT(ComparePaths("C:\\d\\b.txt", "C:\\d\\C.txt"), 0);
    EXPECT_EQ(ComparePaths("C:\\D\\X.TXT", "c:\\d\\x.txt"), 0);
    EXPECT_LT(ComparePaths("abc", "abcd"), 0) << "a prefix comes first";
    EXPECT_LT(ComparePaths("z", "\xE9"), 0) << "unsigned character values";
    EXPECT_NE(ComparePaths("\xC9", "\xE9"), 0) << "only A-Z are folded";
}
