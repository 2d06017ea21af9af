// The file hashing job: progress polls, cancel, timing and checksums of
// real files.
#include "base/lang.h"
#include "checksum/checksum_text.h"
#include "checksum/crc32.h"
#include "checksum/hashjob.h"
#include "checksum/md5.h"

#include "unit_support.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Records every progress call and answers -1 from the n-th one on; calls
// that only ask whether to go on are counted apart.
struct ProgressLog {
    std::vector<int32_t> calls;
    int cancelAt = 0;   // 0: never
    int checks = 0;
    bool cancelAtCheck = false;
};

int RecordProgress(void *context, int32_t percentage)
{
    ProgressLog *log = (ProgressLog *)context;
    if (percentage == PROGRESS_CHECK_ONLY) {
        log->checks++;
        return log->cancelAtCheck ? -1 : 0;
    }
    log->calls.push_back(percentage);
    return log->cancelAt > 0 && (int)log->calls.size() >= log->cancelAt ? -1 : 0;
}

std::string WriteFileOfSize(const std::string &name, size_t size, char fill = 'z')
{
    std::string path = ScratchPath(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << std::string(size, fill);
    return path;
}

std::string CrcText(const HashOutcome &outcome)
{
    char text[CRC32_TEXT_SIZE];
    FormatCrc32Text(outcome.Crc32, 0, text);
    return text;
}

std::string Md5Text(const HashOutcome &outcome)
{
    char text[MD5_TEXT_SIZE];
    FormatMd5Text(outcome.Md5, 0, text);
    return text;
}

std::string HexOf(const unsigned char *digest, size_t length)
{
    char text[129];
    EXPECT_EQ(FormatDigestText(digest, length, true, text, sizeof text), 0);
    return text;
}

} // namespace

TEST(ProgressStep, DivisorChangesAtTheBoundaries)
{
    EXPECT_EQ(ProgressStepFor(0), 0u);
    EXPECT_EQ(ProgressStepFor(1), 0u);
    EXPECT_EQ(ProgressStepFor(4096), 40u);
    EXPECT_EQ(ProgressStepFor(1000000000ull), 10000000u);
    EXPECT_EQ(ProgressStepFor(1000000001ull), 3333333u);
    EXPECT_EQ(ProgressStepFor(2000000000ull), 6666666u);
    EXPECT_EQ(ProgressStepFor(2000000001ull), 3333333u);
    EXPECT_EQ(ProgressStepFor(5000000000ull), 8333333u);
}

TEST(ElapsedTime, BorrowsASecondWhenTheMillisecondsWrap)
{
    int64_t seconds;
    int32_t ms;
    ElapsedTime(10, 900, 12, 150, &seconds, &ms);
    EXPECT_EQ(seconds, 1);
    EXPECT_EQ(ms, 250);
    EXPECT_FLOAT_EQ(DurationSeconds(seconds, ms), 1.25f);
    ElapsedTime(10, 100, 12, 150, &seconds, &ms);
    EXPECT_EQ(seconds, 2);
    EXPECT_EQ(ms, 50);

    char text[DURATION_TEXT_SIZE];
    SelectLanguageTable(LANGUAGE_ID_ENGLISH);
    FormatDurationText(DurationSeconds(1, 250), text, sizeof text);
    EXPECT_STREQ(text, "Duration : 1.250 sec");
}

TEST(DurationText, BothLanguagesAndNoDuration)
{
    char text[DURATION_TEXT_SIZE] = "x";
    SelectLanguageTable(LANGUAGE_ID_ENGLISH);
    FormatDurationText(0.0f, text, sizeof text);
    EXPECT_STREQ(text, "Duration : 0.000 sec");
    FormatDurationText(0.125f, text, sizeof text);
    EXPECT_STREQ(text, "Duration : 0.125 sec");
    FormatDurationText(-1.0f, text, sizeof text);
    EXPECT_STREQ(text, "");
    SelectLanguageTable(LANGUAGE_ID_FRENCH);
    FormatDurationText(0.0f, text, sizeof text);
    EXPECT_STREQ(text, "Dur\xE9" "e : 0.000 sec");
    SelectLanguageTable(LANGUAGE_ID_ENGLISH);
}

TEST(HashFile, EmptyFileIsNeverPolled)
{
    std::string path = WriteFileOfSize("empty.bin", 0);
    ProgressLog log;
    HashOutcome outcome;
    EXPECT_EQ(HashFile(path.c_str(), 0, MASK_CRC32 | MASK_MD5, RecordProgress, &log, &outcome), 0);
    EXPECT_EQ(CrcText(outcome), "00000000");
    EXPECT_EQ(Md5Text(outcome), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(log.calls, std::vector<int32_t>{ 100 }) << "only the final call";
}

TEST(HashFile, OneChunkFileIsPolledOnceAtOneHundred)
{
    std::string path = WriteFileOfSize("chunk.bin", 4096);
    ProgressLog log;
    HashOutcome outcome;
    EXPECT_EQ(HashFile(path.c_str(), 4096, MASK_CRC32, RecordProgress, &log, &outcome), 0);
    EXPECT_EQ(log.calls, (std::vector<int32_t>{ 100, 100 }));
}

TEST(HashFile, ShortFilesAndEmptyRecordedSizesAreNotPolled)
{
    std::string path = WriteFileOfSize("short.bin", 4095);
    ProgressLog log;
    HashOutcome outcome;
    EXPECT_EQ(HashFile(path.c_str(), 4095, MASK_MD5, RecordProgress, &log, &outcome), 0);
    EXPECT_EQ(log.calls, std::vector<int32_t>{ 100 });

    path = WriteFileOfSize("recorded_empty.bin", 20000);
    log.calls.clear();
    EXPECT_EQ(HashFile(path.c_str(), 0, MASK_CRC32, RecordProgress, &log, &outcome), 0);
    EXPECT_EQ(log.calls, std::vector<int32_t>{ 100 }) << "a size of 0 means no polls";
}

TEST(HashFile, PollsAreSpacedByTheRecordedSize)
{
    const size_t size = 2 * 1024 * 1024;
    std::string path = WriteFileOfSize("two_mib.bin", size);
    ProgressLog log;
    HashOutcome outcome;
    EXPECT_EQ(HashFile(path.c_str(), size, MASK_CRC32, RecordProgress, &log, &outcome), 0);
    ASSERT_GE(log.calls.size(), 90u);
    EXPECT_LE(log.calls.size(), 102u) << "about one poll per hundredth";
    for (size_t i = 1; i < log.calls.size(); i++)
        EXPECT_LE(log.calls[i - 1], log.calls[i]);
    EXPECT_EQ(log.calls.back(), 100);

    // Recorded smaller than it is: the percentage runs above 100 as computed.
    log.calls.clear();
    EXPECT_EQ(HashFile(path.c_str(), size / 2, MASK_CRC32, RecordProgress, &log, &outcome), 0);
    EXPECT_EQ(log.calls[log.calls.size() - 2], 200);
}

TEST(HashFile, CancelStopsReadingAtThatPoll)
{
    const size_t size = 1024 * 1024;
    std::string path = WriteFileOfSize("cancel.bin", size);
    ProgressLog log;
    log.cancelAt = 5;
    HashOutcome outcome;
    EXPECT_EQ(HashFile(path.c_str(), size, MASK_CRC32 | MASK_MD5, RecordProgress, &log, &outcome), -1);
    // Five polls, then only the final call (whose answer is ignored).
    ASSERT_EQ(log.calls.size(), 6u);
    EXPECT_LT(log.calls[4], 10);
    EXPECT_EQ(log.calls[5], 100);
    EXPECT_EQ(outcome.Result, -1);
}

TEST(HashFile, CancelIsHeardWithinAReadBlockWhereverThePollsFall)
{
    // Recorded empty (no polls at all), or recorded far larger than it is
    // (polls 16 MiB apart): a cancel still ends the read within 1 MiB.
    const size_t size = 3 * HASH_READ_BLOCK_SIZE + 100;
    std::string path = WriteFileOfSize("grown_from_empty.bin", size);
    for (uint64_t recorded : { 0ull, 10000000000ull }) {
        ProgressLog log;
        log.cancelAtCheck = true;
        HashOutcome outcome;
        EXPECT_EQ(HashFile(path.c_str(), recorded, MASK_MD5, RecordProgress, &log, &outcome), -1)
            << "recorded " << recorded << ": a cancel waited for the whole file";
        EXPECT_EQ(log.checks, 1);
        EXPECT_EQ(log.calls, std::vector<int32_t>{ 100 }) << "the bar moved by a check";
    }

    // A file far past its recorded size: its percentages never wrap.
    ProgressTicker ticker;
    ProgressTickerInit(&ticker, 1);
    int32_t last = 0;
    for (int i = 0; i < 6000; i++)
        last = ProgressTickerAdvance(&ticker);
    EXPECT_EQ(last, INT32_MAX);
}

TEST(HashFile, MissingFileAndMaskZero)
{
    ProgressLog log;
    HashOutcome outcome;
    std::string missing = ScratchPath("no such file.bin");
    EXPECT_EQ(HashFile(missing.c_str(), 10, MASK_CRC32, RecordProgress, &log, &outcome), -1);
    EXPECT_TRUE(log.calls.empty()) << "no progress for a file that cannot be opened";
    EXPECT_GE(outcome.Seconds, 0);

    EXPECT_EQ(HashFile(missing.c_str(), 10, 0, RecordProgress, &log, &outcome), 0)
        << "mask 0 reads nothing";
    EXPECT_TRUE(log.calls.empty());
}

namespace {

// A file that cannot be read at one byte: every read that covers it fails,
// as a whole (as a large ReadFile does) or after the bytes before it.
struct BadByte {
    uint64_t offset;
    bool partial;
};
BadByte Bad;

uint64_t StreamPosition(FILE *file)
{
#ifdef _WIN32
    return (uint64_t)_ftelli64(file);
#else
    return (uint64_t)ftello(file);
#endif
}

size_t ReadFailingAtTheBadByte(FILE *file, void *buffer, size_t size, bool *failed)
{
    uint64_t position = StreamPosition(file);
    *failed = false;
    if (Bad.offset < position || Bad.offset >= position + size)
        return fread(buffer, 1, size, file);
    *failed = true;
    size_t before = Bad.partial ? (size_t)(Bad.offset - position) : 0;
    size_t got = fread(buffer, 1, before, file);
    fseek(file, 12345, SEEK_CUR);   // where the stream stands after an error is not known
    return got;
}

// The plain 4096-byte reader: chunks until one comes short, polls by the same rule.
HashOutcome ReadChunkByChunk(const std::string &path, uint64_t size, ProgressLog *log)
{
    HashOutcome outcome = {};
    FILE *file = fopen(path.c_str(), "rb");
    uint32_t crc = CRC32_START;
    Md5Context md5;
    Md5Init(&md5);
    uint64_t step = ProgressStepFor(size), threshold = step, position = 0;
    unsigned char chunk[HASH_CHUNK_SIZE];
    for (;;) {
        bool failed;
        size_t got = HashRead(file, chunk, sizeof chunk, &failed);
        Md5Update(&md5, chunk, (uint32_t)got);
        crc = Crc32Update(crc, chunk, (uint32_t)got);
        if (got < sizeof chunk)
            break;
        position += sizeof chunk;
        if (position > threshold) {
            threshold += step;
            RecordProgress(log, (int32_t)(position * 100 / size));
        }
    }
    RecordProgress(log, 100);
    fclose(file);
    Md5Final(&md5);
    outcome.Crc32 = crc ^ 0xFFFFFFFFu;
    memcpy(outcome.Md5, md5.Digest, sizeof outcome.Md5);
    return outcome;
}

} // namespace

TEST(HashFile, ReadErrorEndsTheFileWhereAChunkReaderWould)
{
    const size_t size = 3 * 1024 * 1024 + 1234;
    std::vector<unsigned char> bytes = RandomBytes(size, 77);
    std::string path = ScratchPath("bad_byte.bin");
    FILE *out = fopen(path.c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), out);
    fclose(out);

    HashReadFn normal = HashRead;
    HashRead = ReadFailingAtTheBadByte;
    const uint64_t offsets[] = { 100, 512 * 1024 + 100, 1024 * 1024, 2 * 1024 * 1024 - 1, size - 10, size + 5 };
    for (uint64_t offset : offsets) {
        for (bool partial : { false, true }) {
            Bad = { offset, partial };
            ProgressLog expectedLog, log;
            HashOutcome expected = ReadChunkByChunk(path, size, &expectedLog);
            HashOutcome outcome;
            EXPECT_EQ(HashFile(path.c_str(), size, MASK_CRC32 | MASK_MD5, RecordProgress, &log, &outcome), 0)
                << "a read error ends the file, it is no failure";
            EXPECT_EQ(CrcText(outcome), CrcText(expected)) << "bad byte at " << offset << (partial ? " (partial read)" : "");
            EXPECT_EQ(Md5Text(outcome), Md5Text(expected)) << "bad byte at " << offset;
            EXPECT_EQ(log.calls, expectedLog.calls) << "the polls of the chunks before the bad byte, bad byte at " << offset;
        }
    }
    HashRead = normal;
}

TEST(HashFile, RandomFilesMatchChecksumsComputedOutsideTheProgram)
{
    std::string folder = ScratchPath("hash-fixtures");
    std::ifstream expected(folder + "/expected.txt");
    ASSERT_TRUE(expected.good()) << "the fixture files were not made";
    std::string line;
    int files = 0;
    while (std::getline(expected, line)) {
        std::istringstream fields(line);
        std::string name, crc, md5, digests[KIND_COUNT];
        uint64_t size;
        fields >> name >> size >> crc >> md5;
        for (int kind = KIND_FIRST_STORED; kind < KIND_COUNT; kind++)
            fields >> digests[kind];
        std::string path = folder + "/" + name;
        for (int mask : { 1, 2, 3, MASK_STORED | MASK_MD5, -1 }) {
            // -1: the CRC once more on the table path, the fallback of
            // processors without carry-less multiply.
            Crc32Path initial = Crc32ActivePath();
            if (mask == -1) {
                Crc32SelectPath(CRC32_PATH_TABLES);
                mask = MASK_CRC32;
            }
            ProgressLog log;
            HashOutcome outcome;
            ASSERT_EQ(HashFile(path.c_str(), size, mask, RecordProgress, &log, &outcome), 0) << name;
            Crc32SelectPath(initial);
            if (mask & MASK_CRC32)
                EXPECT_EQ(CrcText(outcome), crc) << name;
            if (mask & MASK_MD5)
                EXPECT_EQ(Md5Text(outcome), md5) << name;
            EXPECT_EQ(outcome.Mask, mask) << "every kind has its engine";
            for (int kind = KIND_FIRST_STORED; kind < KIND_COUNT; kind++)
                if (mask & (1 << kind))
                    EXPECT_EQ(HexOf(outcome.Digests[kind], ChecksumKinds[kind].DigestSize), digests[kind])
                        << ChecksumKinds[kind].Name << " of " << name;
        }
        files++;
    }
    EXPECT_GE(files, 20);
}
