// Throughput of the checksum engines and of the hashing job, printed in MB/s
// (1 MB = 1,000,000 bytes), each the median of several runs.
//   zunta_bench FILE [MIB]   writes FILE of MIB mebibytes (256) when it is not that size
//   zunta_bench --process-all FOLDER   64 files of 16 MiB hashed as Process All
//                                      hashes them: by one thread, and with helpers
#include "checksum/crc32.h"
#include "checksum/hashjob.h"
#include "checksum/md5.h"
#include "checksum/sha_common.h"
#include "core/hashahead.h"

#include <algorithm>
#include <chrono>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
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

// Each SHA engine from memory on every path the processor has, and over the file.
void BenchSha(const std::vector<unsigned char> &memory, const char *path, uint64_t size)
{
    volatile unsigned char sink = 0;
    const char *pathNames[] = { "portable", "vector", "SHA-NI" };
    for (const auto &engine : ShaEngines) {
        ShaPath fastest = ShaActivePath(engine.Algorithm);
        for (int choice = SHA_PATH_PORTABLE; choice <= fastest; choice++) {
            if (!ShaPathAvailable(engine.Algorithm, (ShaPath)choice))
                continue;
            ShaSelectPath(engine.Algorithm, (ShaPath)choice);
            char name[64];
            snprintf(name, sizeof name, "%s %s (memory)", engine.Name, pathNames[choice]);
            printf("%-28s %10.0f MB/s\n", name, MedianRate(memory.size(), [&] {
                ShaContext ctx;
                ShaInit(&ctx, engine.Algorithm);
                ShaUpdate(&ctx, memory.data(), (uint32_t)memory.size());
                size_t digestSize;
                sink = sink + ShaFinal(&ctx, &digestSize)[0];
            }));
        }
        ShaSelectPath(engine.Algorithm, fastest);
        char name[64];
        snprintf(name, sizeof name, "%s (file, 1 MiB reads)", engine.Name);
        printf("%-28s %10.0f MB/s\n", name, MedianRate(size, [&] { sink = sink + ShaOfFile(engine.Algorithm, path); }));
    }
}

const int ProcessAllFiles = 64;
const uint64_t ProcessAllFileSize = 16 << 20;

bool NoCancel(void)
{
    return false;
}

// The files of a Process All, one after the other, as its worker does: each
// file taken from a helper when one hashed it, else hashed by the worker,
// which then offers the next files to the helpers.
void HashAll(const std::vector<std::string> &paths, int mask, int helpers)
{
    int started = HashAheadStart(helpers, NoCancel);
    std::vector<unsigned char> block(HASH_READ_BLOCK_SIZE);
    size_t nextOffer = 0;
    for (size_t i = 0; i < paths.size(); i++) {
        HashOutcome outcome;
        if (HashAheadTake((int32_t)i, NoProgress, nullptr, &outcome))
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

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "--process-all") == 0)
        return BenchProcessAll(argv[2]);
    if (argc < 2) {
        fprintf(stderr, "usage: zunta_bench FILE [MIB]\n");
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
    BenchSha(memory, path, size);
    return 0;
}
