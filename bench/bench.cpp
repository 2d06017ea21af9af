// Throughput of the checksum engines and of the hashing job, printed in MB/s
// (1 MB = 1,000,000 bytes), each the median of several runs.
//   zunta_bench FILE [MIB]   writes FILE of MIB mebibytes (256) when it is not that size
//   zunta_bench --process-all FOLDER   64 files of 16 MiB hashed as Process All
//                                      hashes them: by one thread, and with helpers
//   zunta_bench --sha                   the SHA engines on each path, from one
//                                       block of 1 MiB in the cache
//   zunta_bench --engines FILE [MIB]    BLAKE3, XXH3, XXH128 and XXH64 from memory and
//                                       over FILE (written as above) in 1 MiB reads
//   zunta_bench --history               an archive log of a million records and the
//                                       record store of the same records, made in
//                                       memory, indexed: seconds and bytes per key
#include "checksum/blake3_engine.h"
#include "checksum/crc32.h"
#include "checksum/hashjob.h"
#include "checksum/md5.h"
#include "checksum/sha_common.h"
#include "checksum/xxhash_engine.h"
#include "core/hashahead.h"
#include "core/history.h"
#include "core/historystore.h"

#include <filesystem>
#include <algorithm>
#include <random>
#include <chrono>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <string>
#include <thread>
#include <vector>

namespace {

const int Runs = 5;

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

template <typename Work>
double MedianRate(uint64_t bytes, Work work)
{
    std::vector<double> rates;
    for (int i = 0; i < Runs; i++) {
        auto start = std::chrono::steady_clock::now();
        work();
        rates.push_back((double)bytes / 1e6 / Seconds(start));
    }
    std::sort(rates.begin(), rates.end());
    return rates[Runs / 2];
}

uint64_t FileSize(const char *path)
{
    FILE *file = fopen(path, "rb");
    if (file == nullptr)
        return 0;
    uint64_t size = 0;
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        size += got;
    fclose(file);
    return size;
}

bool WriteRandomFile(const char *path, uint64_t size)
{
    FILE *file = fopen(path, "wb");
    if (file == nullptr)
        return false;
    std::vector<unsigned char> chunk(1 << 20);
    uint32_t state = 12345;
    for (uint64_t written = 0; written < size; written += chunk.size()) {
        for (auto &byte : chunk) {
            state = state * 1664525u + 1013904223u;
            byte = (unsigned char)(state >> 24);
        }
        fwrite(chunk.data(), 1, chunk.size(), file);
    }
    return fclose(file) == 0;
}

int NoProgress(void *, int32_t) { return 0; }

void ReadLoop(const char *path)
{
    FILE *file = fopen(path, "rb");
    if (file == nullptr)
        return;
    unsigned char chunk[HASH_CHUNK_SIZE];
    while (fread(chunk, 1, sizeof chunk, file) == sizeof chunk) {
    }
    fclose(file);
}

const struct {
    const char *Name;
    ShaAlgorithm Algorithm;
} ShaEngines[] = { { "SHA-1", SHA_1 }, { "SHA-256", SHA_256 }, { "SHA-512", SHA_512 } };

// The engine over the file read in blocks of 1 MiB, as a hashing job reads.
unsigned char ShaOfFile(ShaAlgorithm algorithm, const char *path)
{
    FILE *file = fopen(path, "rb");
    if (file == nullptr)
        return 0;
    std::vector<unsigned char> block(1 << 20);
    ShaContext ctx;
    ShaInit(&ctx, algorithm);
    size_t got;
    while ((got = fread(block.data(), 1, block.size(), file)) > 0)
        ShaUpdate(&ctx, block.data(), (uint32_t)got);
    fclose(file);
    size_t digestSize;
    return ShaFinal(&ctx, &digestSize)[0];
}

// Each SHA engine from memory on every path the processor has: the whole of
// memory as one message, or (oneBlock) memory as a block of 1 MiB in the
// cache hashed as 64 messages, as OpenSSL's speed command measures.
void BenchShaMemory(const std::vector<unsigned char> &memory, bool oneBlock)
{
    volatile unsigned char sink = 0;
    const char *pathNames[] = { "portable", "vector", "SHA-NI" };
    const int messages = oneBlock ? 64 : 1;
    for (const auto &engine : ShaEngines) {
        ShaPath fastest = ShaActivePath(engine.Algorithm);
        for (int choice = SHA_PATH_PORTABLE; choice <= fastest; choice++) {
            if (!ShaPathAvailable(engine.Algorithm, (ShaPath)choice))
                continue;
            ShaSelectPath(engine.Algorithm, (ShaPath)choice);
            char name[64];
            snprintf(name, sizeof name, "%s %s (memory)", engine.Name, pathNames[choice]);
            printf("%-28s %10.0f MB/s\n", name, MedianRate(memory.size() * messages, [&] {
                for (int i = 0; i < messages; i++) {
                    ShaContext ctx;
                    ShaInit(&ctx, engine.Algorithm);
                    ShaUpdate(&ctx, memory.data(), (uint32_t)memory.size());
                    size_t digestSize;
                    sink = sink + ShaFinal(&ctx, &digestSize)[0];
                }
            }));
        }
        ShaSelectPath(engine.Algorithm, fastest);
    }
}

// Each SHA engine over the file, read in blocks of 1 MiB as a hashing job reads.
void BenchShaFile(const char *path, uint64_t size)
{
    volatile unsigned char sink = 0;
    for (const auto &engine : ShaEngines) {
        char name[64];
        snprintf(name, sizeof name, "%s (file, 1 MiB reads)", engine.Name);
        printf("%-28s %10.0f MB/s\n", name, MedianRate(size, [&] { sink = sink + ShaOfFile(engine.Algorithm, path); }));
    }
}

// One of the engines over memory, or (path) over the file read in blocks of
// 1 MiB as a hashing job reads; returns a digest byte.
template <typename Context, typename Init, typename Update, typename Final>
unsigned char FastEngineRun(Init init, Update update, Final final, const std::vector<unsigned char> &memory,
                            const char *path)
{
    static Context ctx;
    init(&ctx);
    if (path == nullptr) {
        update(&ctx, memory.data(), (uint32_t)memory.size());
    } else {
        FILE *file = fopen(path, "rb");
        if (file == nullptr)
            return 0;
        std::vector<unsigned char> buffer(1 << 20);
        size_t got;
        while ((got = fread(buffer.data(), 1, buffer.size(), file)) > 0)
            update(&ctx, buffer.data(), (uint32_t)got);
        fclose(file);
    }
    final(&ctx);
    return ctx.Digest[0];
}

typedef unsigned char (*FastEngineFn)(const std::vector<unsigned char> &memory, const char *path);

const struct {
    const char *Name;
    FastEngineFn Run;
} FastEngines[] = {
    { "BLAKE3", [](const std::vector<unsigned char> &m, const char *p) {
         return FastEngineRun<Blake3Context>(Blake3Init, Blake3Update, Blake3Final, m, p);
     } },
    { "XXH3", [](const std::vector<unsigned char> &m, const char *p) {
         return FastEngineRun<Xxh3Context>(Xxh3Init, Xxh3Update, Xxh3Final, m, p);
     } },
    { "XXH128", [](const std::vector<unsigned char> &m, const char *p) {
         return FastEngineRun<Xxh3Context>(Xxh3Init, Xxh3Update, Xxh128Final, m, p);
     } },
    { "XXH64", [](const std::vector<unsigned char> &m, const char *p) {
         return FastEngineRun<Xxh64Context>(Xxh64Init, Xxh64Update, Xxh64Final, m, p);
     } },
};

// The engines of the reference implementations from memory, then over the
// file in reads of 1 MiB, as a hashing job reads.
void BenchFastEngines(const std::vector<unsigned char> &memory, const char *path, uint64_t size)
{
    volatile unsigned char sink = 0;
    char name[64];
    for (const auto &engine : FastEngines) {
        snprintf(name, sizeof name, "%s (memory)", engine.Name);
        printf("%-28s %10.0f MB/s\n", name,
               MedianRate(memory.size(), [&] { sink = sink + engine.Run(memory, nullptr); }));
    }
    ReadLoop(path); // into the page cache
    for (const auto &engine : FastEngines) {
        snprintf(name, sizeof name, "%s (file, 1 MiB reads)", engine.Name);
        printf("%-28s %10.0f MB/s\n", name, MedianRate(size, [&] { sink = sink + engine.Run(memory, path); }));
    }
}

const int ProcessAllFiles = 64;
const uint64_t ProcessAllFileSize = 16 << 20;

bool NoCancel(void)
{
    return false;
}

// The look-ups a run makes around each file a helper hashes.
int Stamp(const char *path, FileStamp *stamp)
{
    std::error_code error;
    stamp->Size = std::filesystem::file_size(path, error);
    stamp->LastWrite = (int64_t)std::filesystem::last_write_time(path, error).time_since_epoch().count();
    return error ? -1 : 0;
}

// The files of a Process All, one after the other, as its worker does: each
// file taken from a helper when one hashed it, else hashed by the worker,
// which then offers the next files to the helpers.
void HashAll(const std::vector<std::string> &paths, int mask, int helpers)
{
    int started = HashAheadStart(helpers, NoCancel, Stamp);
    std::vector<unsigned char> block(HASH_READ_BLOCK_SIZE);
    size_t nextOffer = 0;
    for (size_t i = 0; i < paths.size(); i++) {
        HashOutcome outcome;
        if (HashAheadTake((int32_t)i, NoProgress, nullptr, nullptr, nullptr, &outcome, nullptr))
            continue;
        if (nextOffer <= i)
            nextOffer = i + 1;
        while (started > 0 && nextOffer < paths.size() && HashAheadPending() < started) {
            HashAheadOffer((int32_t)nextOffer, paths[nextOffer].c_str(), ProcessAllFileSize, mask);
            nextOffer++;
        }
        HashFileWith(paths[i].c_str(), ProcessAllFileSize, mask, NoProgress, nullptr, block.data(), block.size(),
                     &outcome);
    }
    HashAheadStop();
}

int BenchProcessAll(const char *folder)
{
    std::vector<std::string> paths;
    for (int i = 0; i < ProcessAllFiles; i++) {
        std::string path = std::string(folder) + "/process-all-" + std::to_string(i) + ".bin";
        if (FileSize(path.c_str()) != ProcessAllFileSize && !WriteRandomFile(path.c_str(), ProcessAllFileSize)) {
            fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        paths.push_back(path);
    }
    unsigned processors = std::thread::hardware_concurrency();
    int helpers = processors > 1 ? (int)processors - 1 : 0;
    if (helpers > HASH_AHEAD_MAX_HELPERS)
        helpers = HASH_AHEAD_MAX_HELPERS;
    uint64_t bytes = ProcessAllFiles * ProcessAllFileSize;
    HashAll(paths, MASK_CRC32, 0);  // into the page cache
    const struct {
        const char *Name;
        int Mask;
    } choices[] = { { "MD5", MASK_MD5 }, { "CRC32+MD5", MASK_CRC32 | MASK_MD5 }, { "CRC32", MASK_CRC32 } };
    for (const auto &choice : choices) {
        double one = MedianRate(bytes, [&] { HashAll(paths, choice.Mask, 0); });
        double all = MedianRate(bytes, [&] { HashAll(paths, choice.Mask, helpers); });
        printf("Process All, %d files x %d MiB, %s: one thread %.0f MB/s, all threads (%u processors) %.0f MB/s, "
               "%.2fx\n",
               ProcessAllFiles, (int)(ProcessAllFileSize >> 20), choice.Name, one, processors, all, all / one);
    }
    return 0;
}

const int HistoryRecords = 1000000;

// An archive log as years of sessions leave it: names of 20 to 40
// characters, in both letter cases, sizes from bytes to gigabytes, one record
// in ten a file recorded again with the same key; CRC and MD5, or one alone.
// The record store receives the same records, in folders of a user's.
std::string MakeArchive(int records, int *distinct, std::string *store)
{
    static const char *const folders[] = { "C:\\Users\\Ann\\Pictures\\2019-07 Holidays\\",
                                           "C:\\Users\\Ann\\Documents\\Invoices\\",
                                           "D:\\Backup\\Music\\",
                                           "C:\\Users\\Ann\\Downloads\\" };
    static const char *const stems[] = { "IMG_", "Report ", "backup-", "Invoice ", "track ", "DSC", "setup_v" };
    static const char *const tails[] = { ".jpg", ".docx", ".tar.gz", ".PDF", ".flac", ".NEF", ".exe" };
    std::string text;
    text.reserve((size_t)records * 140);
    store->clear();
    store->reserve((size_t)records * 140);
    std::minstd_rand random(20240501);
    char name[64], size[32], line[256], stored[512];
    *distinct = 0;
    for (int i = 0; i < records; i++) {
        bool again = i > 0 && random() % 10 == 0;
        unsigned key = again ? (unsigned)(random() % *distinct) : (unsigned)(*distinct)++;
        std::minstd_rand keyed(key + 1);
        int stem = (int)(keyed() % 7);
        snprintf(name, sizeof name, "%s%0*u%s", stems[stem], 10 + (int)(keyed() % 20), key * 2654435761u % 1000000007u,
                 tails[stem]);
        uint64_t bytes = (uint64_t)keyed() * (keyed() % 4 + 1) >> (keyed() % 24);
        std::string grouped = std::to_string(bytes);
        for (size_t at = grouped.size(); at > 3; at -= 3)
            grouped.insert(at - 3, " ");
        snprintf(size, sizeof size, "%13s", grouped.c_str());
        unsigned checksums = (unsigned)random() % 4;   // 1: CRC only, 2: MD5 only, else both
        char crc[16] = "########", md5[48] = "", storeCrc[16] = "-";
        if (checksums != 2) {
            unsigned value = (unsigned)random();
            snprintf(crc, sizeof crc, "%08X", value);
            snprintf(storeCrc, sizeof storeCrc, "%08x", value);
        }
        if (checksums != 1)
            snprintf(md5, sizeof md5, "    %08x%08x%08x%08x", (unsigned)random(), (unsigned)random(),
                     (unsigned)random(), (unsigned)random());
        unsigned when = (unsigned)keyed();
        snprintf(line, sizeof line, "%-64s    %s    %s    %02u:%02u.%02u %04u-%02u-%02u%s\r\n", name, crc, size,
                 when % 24, when / 24 % 60, when / 1440 % 60, 1995 + when % 30, 1 + when / 7 % 12, 1 + when / 13 % 28,
                 md5);
        text += line;
        snprintf(stored, sizeof stored, "%llu %llu %04u-%02u-%02uT%02u:%02u:%02u %s %s - - - %s%s\r\n",
                 (unsigned long long)bytes, 125000000000000000ull + (uint64_t)when * 10000019, 1995 + when % 30,
                 1 + when / 7 % 12, 1 + when / 13 % 28, when % 24, when / 24 % 60, when / 1440 % 60,
                 storeCrc, checksums != 1 ? md5 + 4 : "-", folders[key % 4], name);
        *store += stored;
    }
    return text;
}

// The bytes of the keys of every line of text (keyLength: of one line).
template <typename KeyLength> uint64_t KeyBytes(const std::string &text, KeyLength keyLength)
{
    uint64_t bytes = 0;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at) + 1;
        bytes += keyLength(text.data() + at, end - at);
        at = end;
    }
    return bytes;
}

// The median of the figures.
double Median(std::vector<double> figures)
{
    std::sort(figures.begin(), figures.end());
    return figures[figures.size() / 2];
}

// The logs alone, as from an earlier version; then the store and the same
// logs after it, as a run loads them when every log record has its store
// record.
int BenchHistory(void)
{
    int distinct;
    std::string store;
    std::string archive = MakeArchive(HistoryRecords, &distinct, &store);
    std::vector<double> seconds, processor, storeSeconds, afterSeconds;
    uint64_t bytes = 0, storeBytes = 0;
    uint32_t keys = 0, storeKeys = 0, logKeys = 0;
    for (int i = 0; i < Runs; i++) {
        HistoryIndex index, stored, logs;
        HistoryIndexInit(&index);
        HistoryIndexInitByPath(&stored);
        HistoryIndexInit(&logs);
        auto start = std::chrono::steady_clock::now();
        clock_t ticks = clock();
        int result = HistoryIndexAddText(&index, archive.data(), archive.size(), nullptr, nullptr);
        seconds.push_back(Seconds(start));
        processor.push_back((double)(clock() - ticks) / CLOCKS_PER_SEC);
        start = std::chrono::steady_clock::now();
        if (result == 0)
            result = HistoryIndexAddStoreText(&stored, &logs, store.data(), store.size(), nullptr, nullptr);
        storeSeconds.push_back(Seconds(start));
        start = std::chrono::steady_clock::now();
        if (result == 0)
            result = HistoryIndexAddText(&logs, archive.data(), archive.size(), nullptr, nullptr);
        afterSeconds.push_back(Seconds(start));
        if (result != 0) {
            fprintf(stderr, "indexing failed: %d\n", result);
            return 1;
        }
        bytes = index.Bytes;
        keys = index.Count;
        storeBytes = stored.Bytes + logs.Bytes;
        storeKeys = stored.Count;
        logKeys = logs.Count;
        HistoryIndexFree(&logs);
        HistoryIndexFree(&stored);
        HistoryIndexFree(&index);
    }
    // The names' and paths' own bytes, as the indexes keep them (names without their padding).
    uint64_t names = KeyBytes(archive, [](const char *line, size_t length) {
        HistoryRecord record;
        return ParseSessionRecord(line, length, &record) == 0 ? record.NameLength : 0;
    });
    uint64_t paths = KeyBytes(store, [](const char *line, size_t length) {
        StoreRecord record;
        return ParseStoreRecord(line, length, &record) == 0 ? record.PathLength : 0;
    });
    names = names * keys / HistoryRecords;   // about: repeated keys keep one name
    paths = paths * storeKeys / HistoryRecords;
    // clock() counts the processor time of the process, except on Windows (where it is the wall clock).
    printf("History index, %d records (%.0f MB), %u keys (%d made): %.3f s (median of %d; clock() %.3f s), "
           "%.1f bytes per key, %.1f of them besides the name\n",
           HistoryRecords, archive.size() / 1e6, keys, distinct, Median(seconds), Runs, Median(processor),
           (double)bytes / keys, (double)(bytes - names) / keys);
    printf("History store, %d records (%.0f MB), %u paths: %.3f s (median of %d), then the logs it stands for, "
           "%u keys left: %.3f s; %.1f bytes per path, %.1f of them besides the path\n",
           HistoryRecords, store.size() / 1e6, storeKeys, Median(storeSeconds), Runs, logKeys, Median(afterSeconds),
           (double)storeBytes / storeKeys, (double)(storeBytes - paths) / storeKeys);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "--process-all") == 0)
        return BenchProcessAll(argv[2]);
    if (argc == 2 && strcmp(argv[1], "--history") == 0)
        return BenchHistory();
    if (argc == 2 && strcmp(argv[1], "--sha") == 0) {
        std::vector<unsigned char> block(1 << 20);
        for (size_t i = 0; i < block.size(); i++)
            block[i] = (unsigned char)(i * 2654435761u >> 13);
        BenchShaMemory(block, true);
        return 0;
    }
    bool engines = argc >= 3 && strcmp(argv[1], "--engines") == 0;
    if (engines) {
        argc--;
        argv++;
    }
    // An unknown option is no file name: "--help" once wrote 256 MiB under that name.
    if (argc < 2 || argv[1][0] == '-') {
        fprintf(stderr, "usage: zunta_bench [--engines] FILE [MIB] | --sha | --history | --process-all FOLDER\n");
        return 2;
    }
    const char *path = argv[1];
    uint64_t size = (uint64_t)(argc > 2 ? atoi(argv[2]) : 256) << 20;
    if (FileSize(path) != size && !WriteRandomFile(path, size)) {
        fprintf(stderr, "cannot write %s\n", path);
        return 1;
    }

    std::vector<unsigned char> memory(64 << 20);
    for (size_t i = 0; i < memory.size(); i++)
        memory[i] = (unsigned char)(i * 2654435761u >> 13);
    if (engines) {
        BenchFastEngines(memory, path, size);
        return 0;
    }
    volatile uint32_t sink = 0;

    printf("%-28s %10.0f MB/s\n", "Crc32Update (memory)", MedianRate(memory.size(), [&] {
        sink = sink + Crc32Update(CRC32_START, memory.data(), (uint32_t)memory.size());
    }));
    printf("%-28s %10.0f MB/s\n", "Md5Update (memory)", MedianRate(memory.size(), [&] {
        Md5Context ctx;
        Md5Init(&ctx);
        Md5Update(&ctx, memory.data(), (uint32_t)memory.size());
        Md5Final(&ctx);
        sink = sink + ctx.Digest[0];
    }));
    ReadLoop(path); // into the page cache
    printf("%-28s %10.0f MB/s\n", "4096-byte read loop (file)", MedianRate(size, [&] { ReadLoop(path); }));
    const char *names[] = { "", "HashFile CRC32", "HashFile MD5", "HashFile CRC32+MD5" };
    for (int mask = 1; mask <= 3; mask++) {
        printf("%-28s %10.0f MB/s\n", names[mask], MedianRate(size, [&] {
            HashOutcome outcome;
            HashFile(path, size, mask, NoProgress, nullptr, &outcome);
            sink = sink + outcome.Crc32;
        }));
    }
    BenchShaMemory(memory, false);
    BenchShaFile(path, size);
    return 0;
}
