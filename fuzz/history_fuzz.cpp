// Fuzzing the history of checksums: a record written by the session log's
// writer reads back field by field, and any text indexed answers as a plain
// map of the oldest checksums per key does.
//
// Input: a flags byte (bit 0 CRC, bit 1 MD5, bit 2 digits in upper case),
// the size and the time (eight bytes each, little-endian; the time taken
// within the years the writer gives a local form), the CRC (four bytes), the
// MD5 (sixteen bytes), the file name (a length byte, then the name), then
// the text of a log.
#include "core/history.h"
#include "core/sessionlog.h"

#include "fuzz_support.h"


#include <map>
#include <string>
#include <tuple>

namespace {

enum { STREAM_SIZE = 1 << 12 };
const int64_t LastTimeWithLocalForm = 32535215999;   // 3000-12-31 23:59:59 UTC

char StreamBytes[STREAM_SIZE];

std::string WrittenRecord(const std::string &name, uint64_t size, int64_t when, const char *crc, const char *md5)
{
    FILE *log = fmemopen(StreamBytes, sizeof StreamBytes, "w+");
    FUZZ_CHECK(log != nullptr, "no stream in memory");
    std::string path = "C:\\" + name;
    WriteSessionRecord(log, path.c_str(), size, when, crc, md5);
    fflush(log);
    long length = ftell(log);
    fclose(log);
    return std::string(StreamBytes, length > 0 ? (size_t)length : 0);
}

void CheckRoundTrip(FuzzInput &in)
{
    uint8_t flags = in.Byte();
    uint64_t size = in.U64();
    int64_t when = (int64_t)(in.U64() % (uint64_t)(LastTimeWithLocalForm + 1));
    unsigned char crc[4], md5[16];
    for (auto &b : crc)
        b = in.Byte();
    for (auto &b : md5)
        b = in.Byte();
    std::string name = in.Text();
    name = name.substr(0, strnlen(name.c_str(), name.size()));
    for (auto &c : name)
        if (c == '\\')
            c = '/';
    bool upper = flags & 4;
    std::string crcText = HexText(crc, sizeof crc, upper), md5Text = HexText(md5, sizeof md5, upper);
    const char *crcArgument = flags & 1 ? crcText.c_str() : nullptr;
    const char *md5Argument = flags & 2 ? md5Text.c_str() : nullptr;
    std::string line = WrittenRecord(name, size, when, crcArgument, md5Argument);

    HistoryRecord record;
    ExactText exact(line);
    int result = ParseSessionRecord(exact.Bytes, line.size(), &record);
    bool control = false;
    for (unsigned char c : name)
        control |= c < ' ';
    if (crcArgument == nullptr && md5Argument == nullptr) {
        FUZZ_CHECK(line.empty() && result == -1, "a line without checksums read: %s", line.c_str());
        return;
    }
    if (control) {
        FUZZ_CHECK(result == -1, "a name with a control character read: %s", line.c_str());
        return;
    }
    FUZZ_CHECK(result == 0, "the writer's record not read: %s", line.c_str());
    std::string kept = name.substr(0, name.find_last_not_of(' ') + 1);
    FUZZ_CHECK(std::string(record.Name, record.NameLength) == kept, "name %s read as %.*s", name.c_str(),
               (int)record.NameLength, record.Name);
    FUZZ_CHECK(record.Size == size, "size %llu read as %llu", (unsigned long long)size,
               (unsigned long long)record.Size);
    FUZZ_CHECK(record.Kinds == (flags & 3), "kinds %d read as %d", flags & 3, record.Kinds);
    if (flags & 1)
        FUZZ_CHECK(record.Crc32 == ((uint32_t)crc[0] << 24 | (uint32_t)crc[1] << 16 | crc[2] << 8 | crc[3]),
                   "CRC %s read as %08X", crcText.c_str(), record.Crc32);
    if (flags & 2)
        FUZZ_CHECK(memcmp(record.Md5, md5, sizeof md5) == 0, "MD5 %s read otherwise", md5Text.c_str());
    char timeText[HISTORY_TIME_SIZE];
    FormatHistoryTime(record.Stamp, timeText);
    FUZZ_CHECK(record.Stamp != 0 && memcmp(timeText, record.TimeText, HISTORY_TIME_LENGTH) == 0,
               "time %.19s read as %s", record.TimeText, timeText);
}

struct Oldest {
    uint8_t Kinds = 0;
    uint32_t Crc32 = 0;
    std::string Md5;
    std::string Name;
};

std::string Folded(const char *name, size_t length)
{
    std::string folded(name, length);
    for (auto &c : folded)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return folded;
}

// Indexes the text and checks every key against a map built line by line.
void CheckIndex(const std::string &text)
{
    std::map<std::tuple<std::string, uint64_t, uint64_t>, Oldest> model;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        ExactBuffer line(end - at);
        memcpy(line.Bytes, text.data() + at, end - at);
        HistoryRecord record;
        if (ParseSessionRecord(line.Bytes, line.Size, &record) == 0 && record.Stamp != 0 &&
            record.NameLength <= HISTORY_MAX_NAME) {
            FUZZ_CHECK(record.Kinds != 0 && record.Name == line.Bytes, "a record of no checksum");
            Oldest &oldest = model[{ Folded(record.Name, record.NameLength), record.Size, record.Stamp }];
            oldest.Name.assign(record.Name, record.NameLength);
            if ((record.Kinds & HISTORY_CRC32) && !(oldest.Kinds & HISTORY_CRC32))
                oldest.Crc32 = record.Crc32;
            if ((record.Kinds & HISTORY_MD5) && !(oldest.Kinds & HISTORY_MD5))
                oldest.Md5.assign((const char *)record.Md5, 16);
            oldest.Kinds |= record.Kinds;
        }
        at = end;
    }

    HistoryIndex index;
    HistoryIndexInit(&index);
    ExactBuffer bytes(text.size());
    memcpy(bytes.Bytes, text.data(), text.size());
    FUZZ_CHECK(HistoryIndexAddText(&index, bytes.Bytes, bytes.Size, nullptr, nullptr) == 0, "indexing failed");
    FUZZ_CHECK(index.Count == model.size(), "%u keys indexed, %zu in the text", index.Count, model.size());
    for (const auto &[key, oldest] : model) {
        HistoryReference reference;
        FUZZ_CHECK(HistoryIndexFind(&index, oldest.Name.data(), oldest.Name.size(), std::get<1>(key),
                                    std::get<2>(key), &reference) == 1, "key of %s not found", oldest.Name.c_str());
        FUZZ_CHECK(reference.Kinds == oldest.Kinds, "kinds %d, not %d", reference.Kinds, oldest.Kinds);
        if (oldest.Kinds & HISTORY_CRC32)
            FUZZ_CHECK(reference.Crc32 == oldest.Crc32, "CRC %08X, not the oldest %08X", reference.Crc32,
                       oldest.Crc32);
        if (oldest.Kinds & HISTORY_MD5)
            FUZZ_CHECK(memcmp(reference.Md5, oldest.Md5.data(), 16) == 0, "not the oldest MD5");

        // The oldest checksums judge the same; a changed CRC judges changed.
        char time[HISTORY_TIME_SIZE], crc[9];
        FormatHistoryTime(std::get<2>(key), time);
        snprintf(crc, sizeof crc, "%08x", oldest.Crc32 ^ 1);
        std::string md5 = HexText((const unsigned char *)oldest.Md5.data(), oldest.Md5.size(), false);
        HistoryJudgement judgement;
        HistoryJudge(&index, oldest.Name.data(), oldest.Name.size(), std::get<1>(key), time, nullptr,
                     oldest.Kinds & HISTORY_MD5 ? md5.c_str() : nullptr, &judgement);
        FUZZ_CHECK(judgement.Verdict == (oldest.Kinds & HISTORY_MD5 ? HISTORY_SAME : HISTORY_UNKNOWN) &&
                       judgement.Kinds == oldest.Kinds && strcmp(judgement.TimeText, time) == 0,
                   "judged %d for the oldest MD5 of %s", judgement.Verdict, oldest.Name.c_str());
        HistoryJudge(&index, oldest.Name.data(), oldest.Name.size(), std::get<1>(key), time, crc, nullptr, &judgement);
        FUZZ_CHECK(judgement.Verdict == (oldest.Kinds & HISTORY_CRC32 ? HISTORY_CHANGED : HISTORY_UNKNOWN),
                   "judged %d for another CRC of %s", judgement.Verdict, oldest.Name.c_str());
    }
    HistoryIndexFree(&index);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    UseUtcAsLocalTime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    CheckRoundTrip(in);
    CheckIndex(in.Rest());
    return 0;
}
