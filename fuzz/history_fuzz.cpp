// Fuzzing the history of checksums: a record written by the session log's
// writer, and by the record store's, reads back field by field, and any
// text indexed as a log, then as the store, answers as a plain map of the
// oldest checksums per key does, the log keys the store stands for aside.
//
// Input: a flags byte (bit 0 CRC, bit 1 MD5, bit 2 digits in upper case,
// bits 3 to 5 SHA-1, SHA-256 and SHA-512 in the store's record), the size
// and the time (eight bytes each, little-endian; the time taken within the
// years the writer gives a local form), the CRC (four bytes), the MD5
// (sixteen bytes, the SHA digests made from them), the file name (a length
// byte, then the name), then the text of a log or of the store.
#include "core/history.h"
#include "core/historystore.h"
#include "core/sessionlog.h"

#include "fuzz_support.h"


#include <map>
#include <set>
#include <string>
#include <tuple>

namespace {

enum { STREAM_SIZE = 1 << 12 };
const int64_t LastTimeWithLocalForm = 32535215999;   // 3000-12-31 23:59:59 UTC

char StreamBytes[STREAM_SIZE];

// What write writes to a stream in memory.
template <typename Write> std::string Written(Write write)
{
    FILE *stream = fmemopen(StreamBytes, sizeof StreamBytes, "w+");
    FUZZ_CHECK(stream != nullptr, "no stream in memory");
    write(stream);
    fflush(stream);
    long length = ftell(stream);
    fclose(stream);
    return std::string(StreamBytes, length > 0 ? (size_t)length : 0);
}

std::string WrittenRecord(const std::string &name, uint64_t size, int64_t when, const char *crc, const char *md5)
{
    std::string path = "C:\\" + name;
    return Written([&](FILE *log) { WriteSessionRecord(log, path.c_str(), size, when, crc, md5); });
}

// The store's record of the same file, at a time within the second, reads
// back whole; a record the reader could not read back is not written.
void CheckStoreRoundTrip(uint8_t flags, uint64_t size, int64_t when, const unsigned char *crc,
                         const unsigned char *md5, const std::string &name)
{
    unsigned char sha[64];
    for (size_t i = 0; i < sizeof sha; i++)
        sha[i] = (unsigned char)(md5[i % 16] ^ i);
    const unsigned char *bytes[STORE_DIGEST_KINDS] = { crc, md5, sha, sha, sha };
    const size_t lengths[STORE_DIGEST_KINDS] = { 4, 16, 20, 32, 64 };
    const uint8_t bits[STORE_DIGEST_KINDS] = { 1, 2, 8, 16, 32 };
    std::string texts[STORE_DIGEST_KINDS];
    const char *digests[STORE_DIGEST_KINDS] = {};
    uint8_t kinds = 0;
    for (int kind = 0; kind < STORE_DIGEST_KINDS; kind++) {
        if (!(flags & bits[kind]))
            continue;
        texts[kind] = HexText(bytes[kind], lengths[kind], flags & 4);
        digests[kind] = texts[kind].c_str();
        kinds |= (uint8_t)(HISTORY_CRC32 << kind);
    }
    FileStamp stamp = { size, (when + 11644473600) * 10000000 + crc[0] * 39062 };
    std::string path = "C:\\" + name;
    int result = 0;
    std::string line = Written([&](FILE *store) { result = WriteStoreRecord(store, path.c_str(), &stamp, digests); });
    bool control = false;
    for (unsigned char c : path)
        control |= c < ' ';
    if (control || !(kinds & (HISTORY_CRC32 | HISTORY_MD5))) {
        FUZZ_CHECK(result == -1 && line.empty(), "a store record the reader cannot read written: %s", line.c_str());
        return;
    }
    StoreRecord record;
    ExactBuffer exact(line.size());
    memcpy(exact.Bytes, line.data(), line.size());
    FUZZ_CHECK(result == 0 && ParseStoreRecord(exact.Bytes, exact.Size, &record) == 0, "not read: %s", line.c_str());
    FUZZ_CHECK(std::string(record.Path, record.PathLength) == path && record.Size == size &&
                   record.LastWrite == stamp.LastWrite && record.Kinds == kinds,
               "read otherwise: %s", line.c_str());
    char logTime[HISTORY_TIME_SIZE], readTime[HISTORY_TIME_SIZE];
    FormatLogTime(when, logTime, sizeof logTime);
    FormatHistoryTime(record.LogStamp, readTime);
    FUZZ_CHECK(strcmp(logTime, readTime) == 0, "log time %s read as %s", logTime, readTime);
    unsigned char *read[STORE_DIGEST_KINDS] = { nullptr, record.Md5, record.Sha1, record.Sha256, record.Sha512 };
    FUZZ_CHECK(!(kinds & HISTORY_CRC32) ||
                   record.Crc32 == ((uint32_t)crc[0] << 24 | (uint32_t)crc[1] << 16 | crc[2] << 8 | crc[3]),
               "CRC read otherwise: %s", line.c_str());
    for (int kind = 1; kind < STORE_DIGEST_KINDS; kind++)
        FUZZ_CHECK(!(kinds & (HISTORY_CRC32 << kind)) || memcmp(read[kind], bytes[kind], lengths[kind]) == 0,
                   "digest %d read otherwise: %s", kind, line.c_str());
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
    CheckStoreRoundTrip(flags, size, when, crc, md5, name);

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

    void Add(const char *name, size_t length, uint8_t kinds, uint32_t crc32, const unsigned char *md5)
    {
        Name.assign(name, length);
        if ((kinds & HISTORY_CRC32) && !(Kinds & HISTORY_CRC32))
            Crc32 = crc32;
        if ((kinds & HISTORY_MD5) && !(Kinds & HISTORY_MD5))
            Md5.assign((const char *)md5, 16);
        Kinds |= kinds & (HISTORY_CRC32 | HISTORY_MD5);
    }
};

typedef std::tuple<std::string, uint64_t, uint64_t> ModelKey;

std::string Folded(const char *name, size_t length)
{
    std::string folded(name, length);
    for (auto &c : folded)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return folded;
}

// The index answers for the key with the oldest checksums of each kind.
void CheckFound(const HistoryIndex *index, const ModelKey &key, const Oldest &oldest)
{
    HistoryReference reference;
    FUZZ_CHECK(HistoryIndexFind(index, oldest.Name.data(), oldest.Name.size(), std::get<1>(key), std::get<2>(key),
                                &reference) == 1, "key of %s not found", oldest.Name.c_str());
    FUZZ_CHECK(reference.Kinds == oldest.Kinds, "kinds %d, not %d", reference.Kinds, oldest.Kinds);
    if (oldest.Kinds & HISTORY_CRC32)
        FUZZ_CHECK(reference.Crc32 == oldest.Crc32, "CRC %08X, not the oldest %08X", reference.Crc32, oldest.Crc32);
    if (oldest.Kinds & HISTORY_MD5)
        FUZZ_CHECK(memcmp(reference.Md5, oldest.Md5.data(), 16) == 0, "not the oldest MD5");
}

// Indexes the text as the store, then as a log, and checks every key
// against maps built line by line.
void CheckIndex(const std::string &text)
{
    std::map<ModelKey, Oldest> model, stored;
    std::set<ModelKey> stoodFor;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        bool whole = end != std::string::npos;
        end = whole ? end + 1 : text.size();
        ExactBuffer line(end - at);
        memcpy(line.Bytes, text.data() + at, end - at);
        HistoryRecord record;
        if (ParseSessionRecord(line.Bytes, line.Size, &record) == 0 && record.Stamp != 0 &&
            record.NameLength <= HISTORY_MAX_NAME) {
            FUZZ_CHECK(record.Kinds != 0 && record.Name == line.Bytes, "a record of no checksum");
            model[{ Folded(record.Name, record.NameLength), record.Size, record.Stamp }].Add(
                record.Name, record.NameLength, record.Kinds, record.Crc32, record.Md5);
        }
        StoreRecord store;
        if (whole && ParseStoreRecord(line.Bytes, line.Size, &store) == 0) {
            std::string path(store.Path, store.PathLength), folded(store.PathLength, '\0');
            HistoryFoldPath(store.Path, store.PathLength, &folded[0]);
            stored[{ folded, store.Size, (uint64_t)store.LastWrite }].Add(store.Path, store.PathLength, store.Kinds,
                                                                           store.Crc32, store.Md5);
            std::string name = path.substr(path.find_last_of('\\') + 1);
            name = name.substr(0, name.find_last_not_of(' ') + 1);
            if (store.LogStamp != 0)
                stoodFor.insert({ Folded(name.data(), name.size()), store.Size, store.LogStamp });
        }
        at = end;
    }

    ExactBuffer bytes(text.size());
    memcpy(bytes.Bytes, text.data(), text.size());
    HistoryIndex index, store;
    HistoryIndexInit(&index);
    HistoryIndexInitByPath(&store);
    // The store first: the logs then leave out the records it stands for.
    FUZZ_CHECK(HistoryIndexAddStoreText(&store, &index, bytes.Bytes, bytes.Size, nullptr, nullptr) == 0,
               "indexing the store failed");
    FUZZ_CHECK(store.Count == stored.size(), "%u paths indexed, %zu in the text", store.Count, stored.size());
    for (const auto &[key, oldest] : stored)
        CheckFound(&store, key, oldest);
    FUZZ_CHECK(HistoryIndexAddText(&index, bytes.Bytes, bytes.Size, nullptr, nullptr) == 0, "indexing failed");
    size_t left = 0;
    for (const auto &[key, oldest] : model) {
        HistoryReference reference;
        if (stoodFor.count(key)) {
            FUZZ_CHECK(HistoryIndexFind(&index, oldest.Name.data(), oldest.Name.size(), std::get<1>(key),
                                        std::get<2>(key), &reference) == 0,
                       "%s answers though a store record stands for it", oldest.Name.c_str());
            continue;
        }
        left++;
        CheckFound(&index, key, oldest);

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
    FUZZ_CHECK(index.Count == left, "%u keys indexed, %zu in the text not stood for", index.Count, left);
    HistoryIndexFree(&store);
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
