// The record store: its lines read from the left, fields of fixed forms
// first and the path last.
#include "core/historystore.h"

#include "base/program.h"
#include "base/textutil.h"
#include "core/history.h"
#include "core/sessionlog.h"

#include <string.h>

static const size_t DigestDigits[STORE_DIGEST_KINDS] = { 8, 32, 40, 64, 128 };
enum { LONGEST_DIGITS = 128, DECIMAL_DIGITS = 20, HEAD_SIZE = 384 };
static_assert(HEAD_SIZE > 2 * (DECIMAL_DIGITS + 1) + HISTORY_TIME_SIZE + 8 + 32 + 40 + 64 + 128 + STORE_DIGEST_KINDS,
              "the fields before the path fit");

static const char NoField[] = "-";

// The field at *at up to the next blank, moving *at past the blank; null
// when no blank comes before end.
static const char *NextField(const char **at, const char *end, size_t *length)
{
    const char *start = *at;
    const char *blank = (const char *)memchr(start, ' ', (size_t)(end - start));
    if (blank == nullptr)
        return nullptr;
    *length = (size_t)(blank - start);
    *at = blank + 1;
    return start;
}

static bool IsNoField(const char *field, size_t length)
{
    return length == 1 && field[0] == NoField[0];
}

// A decimal number of at most limit, without a leading zero. Returns 0 or -1.
static int ReadDecimal(const char *text, size_t length, uint64_t limit, uint64_t *value)
{
    if (length == 0 || length > DECIMAL_DIGITS || (text[0] == '0' && length > 1))
        return -1;
    uint64_t number = 0;
    for (size_t i = 0; i < length; i++) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        unsigned digit = (unsigned)(text[i] - '0');
        if (number > (limit - digit) / 10)
            return -1;
        number = number * 10 + digit;
    }
    *value = number;
    return 0;
}

int ParseStoreRecord(const char *line, size_t length, StoreRecord *out)
{
    if (line == nullptr)
        return -1;
    const char *at = line, *end = line + HistoryLineLength(line, length), *field;
    size_t fieldLength;
    StoreRecord record;
    uint64_t lastWrite;
    if ((field = NextField(&at, end, &fieldLength)) == nullptr ||
        ReadDecimal(field, fieldLength, UINT64_MAX, &record.Size) != 0 ||
        (field = NextField(&at, end, &fieldLength)) == nullptr ||
        ReadDecimal(field, fieldLength, INT64_MAX, &lastWrite) != 0 ||
        (field = NextField(&at, end, &fieldLength)) == nullptr)
        return -1;
    record.LastWrite = (int64_t)lastWrite;
    record.LogStamp = 0;
    if (!IsNoField(field, fieldLength) && ParseStoreTime(field, fieldLength, &record.LogStamp) != 0)
        return -1;
    unsigned char crc[4];
    unsigned char *const digests[STORE_DIGEST_KINDS] = { crc, record.Md5, record.Sha1, record.Sha256,
                                                         record.Sha512 };
    record.Kinds = 0;
    for (int kind = 0; kind < STORE_DIGEST_KINDS; kind++) {
        if ((field = NextField(&at, end, &fieldLength)) == nullptr)
            return -1;
        if (IsNoField(field, fieldLength))
            continue;
        if (fieldLength != DigestDigits[kind] || ReadHexDigits(field, fieldLength, digests[kind]) != 0)
            return -1;
        record.Kinds |= (uint8_t)(HISTORY_CRC32 << kind);
    }
    if (!(record.Kinds & (HISTORY_CRC32 | HISTORY_MD5)) || at == end)
        return -1;
    for (const char *p = at; p < end; p++)
        if ((unsigned char)*p < ' ')
            return -1;
    record.Crc32 = (uint32_t)crc[0] << 24 | (uint32_t)crc[1] << 16 | (uint32_t)crc[2] << 8 | crc[3];
    record.Path = at;
    record.PathLength = (size_t)(end - at);
    *out = record;
    return 0;
}

// Appends " " and the digest text in lower case, or "-" when there is none,
// to the head. Returns 0, or -1 for a text of another form.
static int AppendDigest(char *head, size_t size, const char *text, size_t digits)
{
    if (text == nullptr)
        return AppendText(head, size, " -");
    unsigned char bytes[LONGEST_DIGITS / 2];
    if (strlen(text) != digits || ReadHexDigits(text, digits, bytes) != 0)
        return -1;
    size_t used = strlen(head);
    if (used + 1 + digits >= size)
        return -1;
    head[used] = ' ';
    for (size_t i = 0; i < digits; i++)
        head[used + 1 + i] = AsciiLower(text[i]);
    head[used + 1 + digits] = '\0';
    return 0;
}

int WriteStoreRecord(FILE *store, const char *path, const FileStamp *stamp,
                     const char *const digests[STORE_DIGEST_KINDS])
{
    if (path == nullptr || path[0] == '\0' || stamp == nullptr || stamp->LastWrite < 0 ||
        (digests[0] == nullptr && digests[1] == nullptr))
        return -1;
    for (const char *p = path; *p != '\0'; p++)
        if ((unsigned char)*p < ' ')
            return -1;
    // The time field of the log record written with this one.
    char logTime[HISTORY_TIME_SIZE], storeTime[HISTORY_TIME_SIZE];
    uint64_t logStamp;
    FormatLogTime(FileStampSeconds(stamp->LastWrite), logTime, sizeof logTime);
    if (ParseHistoryTime(logTime, strlen(logTime), &logStamp) == 0)
        FormatStoreTime(logStamp, storeTime);
    else
        CopyText(storeTime, sizeof storeTime, NoField);
    char head[HEAD_SIZE];
    if (FormatText(head, sizeof head, "%llu %lld %s", (unsigned long long)stamp->Size,
                   (long long)stamp->LastWrite, storeTime) != 0)
        return -1;
    for (int kind = 0; kind < STORE_DIGEST_KINDS; kind++)
        if (AppendDigest(head, sizeof head, digests[kind], DigestDigits[kind]) != 0)
            return -1;
    fprintf(store, "%s %s\r\n", head, path);
    return 0;
}

// The line of the later kinds. A later kind's digits come from the kinds'
// table; "-" stands for one not known.
int WriteStoreMore(FILE *store, const char *const more[STORE_MORE_KINDS])
{
    char line[HEAD_SIZE] = "+";
    bool any = false;
    for (int k = 0; k < STORE_MORE_KINDS; k++) {
        any = any || more[k] != nullptr;
        if (AppendDigest(line, sizeof line, more[k], ChecksumKinds[STORE_DIGEST_KINDS + k].Digits) != 0)
            return -1;
    }
    if (!any)
        return 0;
    fprintf(store, "%s\r\n", line);
    return 1;
}

int ParseStoreMore(const char *line, size_t length, unsigned char digests[STORE_MORE_KINDS][KIND_DIGEST_MAX],
                   uint8_t *kinds)
{
    if (line == nullptr)
        return -1;
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r'))
        length--;
    if (length < 2 || line[0] != '+' || line[1] != ' ')
        return -1;
    const char *at = line + 2, *end = line + length;
    uint8_t found = 0;
    for (int k = 0; k < STORE_MORE_KINDS; k++) {
        const char *blank = (const char *)memchr(at, ' ', (size_t)(end - at));
        size_t fieldLength = blank ? (size_t)(blank - at) : (size_t)(end - at);
        if ((blank == nullptr) != (k == STORE_MORE_KINDS - 1))
            return -1;
        if (!IsNoField(at, fieldLength)) {
            if (fieldLength != ChecksumKinds[STORE_DIGEST_KINDS + k].Digits ||
                ReadHexDigits(at, fieldLength, digests[k]) != 0)
                return -1;
            found |= (uint8_t)(1 << k);
        }
        at += fieldLength + 1;
    }
    *kinds = found;
    return 0;
}

struct StorePiece {
    const char *Path;
    const FileStamp *Stamp;
    const char *const *Digests;
    const char *const *More;
};

static int WriteStorePiece(FILE *store, const void *piece)
{
    const StorePiece *record = (const StorePiece *)piece;
    // A line cut short by a crash would swallow this one: it is ended first.
    if (fseek(store, -1, SEEK_END) == 0 && fgetc(store) != '\n') {
        fseek(store, 0, SEEK_END);
        fputs("\r\n", store);
    }
    fseek(store, 0, SEEK_END);
    if (WriteStoreRecord(store, record->Path, record->Stamp, record->Digests) != 0)
        return -1;
    // A later kind of another form leaves the record without its line.
    if (record->More != nullptr)
        WriteStoreMore(store, record->More);
    return 0;
}

int AppendStoreRecord(const char *path, const FileStamp *stamp, const char *const digests[STORE_DIGEST_KINDS],
                      const char *const more[STORE_MORE_KINDS])
{
    StorePiece piece = { path, stamp, digests, more };
    return AppendWhole(Program.HistoryStorePath, "ab+", WriteStorePiece, &piece);
}
