// Fuzzing the session log record: any path (long, short, without a
// backslash), any size, any last-write time (before 1970, after the year
// 3000), with and without each checksum; a name of characters of several
// bytes takes as much room as one of as many letters. The record is written
// into a stream in memory and read back field by field.
//
// Input: a flags byte (bit 0 CRC, bit 1 MD5, bit 2 digits in upper case,
// bit 3 backslashes taken out of the path, bit 4 no path at all), the size
// and the time (eight bytes each, little-endian), the CRC (four bytes), the
// MD5 (sixteen bytes), then the path.
#include "core/sessionlog.h"

#include "fuzz_support.h"

#include <inttypes.h>
#include <time.h>

#include <string>

namespace {

enum { STREAM_SIZE = 1 << 16 };
// 3000-12-31 23:59:59 UTC: every time from 1970 to the end of that year has a
// local form wherever the program runs.
const int64_t LastTimeWithLocalForm = 32535215999;

char StreamBytes[STREAM_SIZE];

// The name padded to width characters of UTF-8, the code page the tree measures in.
std::string PadTo(const std::string &text, size_t width)
{
    size_t chars = ModelUtf8Count(text);
    return chars < width ? text + std::string(width - chars, ' ') : text;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day)
{
    year -= month <= 2;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    int64_t yearOfEra = year - era * 400;
    int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// Reads "HH:MM.SS YYYY-MM-DD" (the year may be longer or negative) as
// seconds since 1970 in UTC; false for another form.
bool ReadTime(const std::string &text, int64_t *when)
{
    int hour, minute, second, month, day, used = 0;
    long long year;
    if (sscanf(text.c_str(), "%2d:%2d.%2d %lld-%2d-%2d%n", &hour, &minute, &second, &year, &month, &day, &used) != 6 ||
        (size_t)used != text.size() || text.size() < 16 || text[2] != ':' || text[5] != '.')
        return false;
    if (hour > 23 || minute > 59 || second > 60 || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    if (text.compare(text.size() - 6, 1, "-") != 0 || text.compare(text.size() - 3, 1, "-") != 0)
        return false;
    *when = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return true;
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
    uint8_t flags = in.Byte();
    uint64_t fileSize = in.U64();
    int64_t lastWrite = (int64_t)in.U64();
    unsigned char crc[4], md5[16];
    for (auto &b : crc)
        b = in.Byte();
    for (auto &b : md5)
        b = in.Byte();
    std::string path = in.Take(4096);
    path = path.substr(0, strnlen(path.c_str(), path.size()));
    if (flags & 8)
        for (auto &c : path)
            if (c == '\\')
                c = '/';

    bool upper = flags & 4;
    std::string crcText = HexText(crc, sizeof crc, upper), md5Text = HexText(md5, sizeof md5, upper);
    ExactText pathText(path), crcField(crcText), md5Field(md5Text);
    const char *pathArgument = flags & 16 ? nullptr : pathText.Bytes;
    const char *crcArgument = flags & 1 ? crcField.Bytes : nullptr;
    const char *md5Argument = flags & 2 ? md5Field.Bytes : nullptr;

    FILE *log = fmemopen(StreamBytes, sizeof StreamBytes, "w+");
    FUZZ_CHECK(log != nullptr, "no stream in memory");
    int result = WriteSessionRecord(log, pathArgument, fileSize, lastWrite, crcArgument, md5Argument);
    fflush(log);
    long length = ftell(log);
    fclose(log);
    std::string record(StreamBytes, length > 0 ? (size_t)length : 0);

    size_t slash = path.rfind('\\');
    if (pathArgument == nullptr || (crcArgument == nullptr && md5Argument == nullptr) || slash == std::string::npos) {
        FUZZ_CHECK(result == -1 && record.empty(), "no record expected, got %d and %zu bytes", result, record.size());
        return 0;
    }
    FUZZ_CHECK(result == 0, "record refused: %d", result);

    // Name padded to its width, CRC field, size right-aligned, then the time,
    // the MD5 field and the line end.
    std::string head = PadTo(path.substr(slash + 1), LOG_NAME_WIDTH);
    head += crcArgument ? "    " + crcText + "    " : std::string("    ########    ");
    std::string grouped = Grouped(fileSize);
    head += std::string(grouped.size() < LOG_SIZE_WIDTH ? LOG_SIZE_WIDTH - grouped.size() : 0, ' ') + grouped;
    head += "    ";
    std::string tail = (md5Argument ? "    " + md5Text : std::string()) + "\n";
    FUZZ_CHECK(record.size() > head.size() + tail.size() && record.compare(0, head.size(), head) == 0 &&
                   record.compare(record.size() - tail.size(), tail.size(), tail) == 0,
               "record\n%s\nnot of the form\n%s<time>%s", record.c_str(), head.c_str(), tail.c_str());

    std::string timeText = record.substr(head.size(), record.size() - head.size() - tail.size());
    if (timeText == NoLocalTimeText) {
        FUZZ_CHECK(lastWrite < 0 || lastWrite > LastTimeWithLocalForm, "time %lld written without its local form",
                   (long long)lastWrite);
    } else {
        int64_t back;
        FUZZ_CHECK(ReadTime(timeText, &back) && back == lastWrite, "time %lld written \"%s\"", (long long)lastWrite,
                   timeText.c_str());
    }
    return 0;
}
