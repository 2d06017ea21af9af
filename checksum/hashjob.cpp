// The file hashing job.
#include "checksum/hashjob.h"

#include "base/texts.h"
#include "checksum/blake3_engine.h"
#include "checksum/clock.h"
#include "checksum/crc32.h"
#include "checksum/md5.h"
#include "checksum/sha1.h"
#include "checksum/sha256.h"
#include "checksum/sha512.h"
#include "checksum/xxhash_engine.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>


static size_t ReadWithStdio(FILE *file, void *buffer, size_t size, bool *failed)
{
    size_t got = fread(buffer, 1, size, file);
    *failed = ferror(file) != 0;
    clearerr(file);
    return got;
}

HashReadFn HashRead = ReadWithStdio;

static FILE *OpenWithStdio(const char *path)
{
    return fopen(path, "rb");
}

HashOpenFn HashOpen = OpenWithStdio;

static int SeekTo(FILE *file, uint64_t position)
{
#ifdef _WIN32
    return _fseeki64(file, (__int64)position, SEEK_SET);
#else
    return fseeko(file, (off_t)position, SEEK_SET);
#endif
}

uint64_t ProgressStepFor(uint64_t size)
{
    if (size == 0)
        return 0;
    if (size <= 1000000000ull)
        return size / 100;
    if (size <= 2000000000ull)
        return size / 300;
    return size / 600;
}

// The first chunk end past last that lies beyond threshold: a poll falls
// on the first chunk end past the threshold, and on no other.
static uint64_t PollAfter(uint64_t last, uint64_t threshold)
{
    uint64_t position = last + HASH_CHUNK_SIZE;
    if (position <= threshold)
        position = (threshold / HASH_CHUNK_SIZE + 1) * HASH_CHUNK_SIZE;
    return position;
}

void ProgressTickerInit(ProgressTicker *ticker, uint64_t recordedSize)
{
    ticker->Size = recordedSize;
    ticker->Step = ProgressStepFor(recordedSize);
    ticker->Threshold = ticker->Step;
    ticker->NextPosition = recordedSize == 0 ? 0 : PollAfter(0, ticker->Threshold);
}

int32_t ProgressTickerAdvance(ProgressTicker *ticker)
{
    uint64_t computed = ticker->NextPosition * 100 / ticker->Size;
    int32_t percentage = computed > INT32_MAX ? INT32_MAX : (int32_t)computed;
    ticker->Threshold += ticker->Step;
    ticker->NextPosition = PollAfter(ticker->NextPosition, ticker->Threshold);
    return percentage;
}

void ElapsedTime(int64_t startSeconds, int32_t startMs, int64_t endSeconds, int32_t endMs,
                 int64_t *seconds, int32_t *milliseconds)
{
    if (endMs < startMs) {
        *seconds = endSeconds - startSeconds - 1;
        *milliseconds = endMs - startMs + 1000;
    } else {
        *seconds = endSeconds - startSeconds;
        *milliseconds = endMs - startMs;
    }
}

float DurationSeconds(int64_t seconds, int32_t milliseconds)
{
    return (float)milliseconds / 1000.0f + (float)seconds;
}

// Reads the open file to its end (or to a cancel at a poll) into the
// engines, chunk by chunk. The chunks are 4096-byte windows of a larger
// block that is read at once, so a long file costs few system calls; with a
// block of one chunk this is a plain 4096-byte read loop.
//
// A large read fails as a whole when any byte in it cannot be read (a bad
// sector, a lost network drive, a range locked by another process), where a
// 4096-byte reader would have read every chunk before that byte. So after a
// failed block the whole chunks that came are kept, the stream goes back to
// where they end and the rest is read chunk by chunk: the file ends where a
// 4096-byte reader's would, with the same checksums and the same polls.
// Every engine a job may feed; one read of the file feeds those of its mask.
struct Engines {
    uint32_t Crc;
    Md5Context Md5;
    Sha1Context Sha1;
    Sha256Context Sha256;
    Sha512Context Sha512;
    Blake3Context Blake3;
    Xxh3Context Xxh3, Xxh128;   // the same engine, its own state for each
    Xxh64Context Xxh64;
};

// The engine of each kind, in the order of the kinds' table.
struct Engine {
    void (*Init)(Engines *engines);
    void (*Update)(Engines *engines, const unsigned char *bytes, uint32_t length);
    void (*Final)(Engines *engines, unsigned char *digest);
};

// The engine of a context in Engines (Member) whose Init, Update and Final
// functions leave Size bytes of its digest in the context's Digest.
template <auto Member, auto Init, auto Update, auto Final, size_t Size>
constexpr Engine EngineOver()
{
    return { [](Engines *e) { Init(&(e->*Member)); },
             [](Engines *e, const unsigned char *bytes, uint32_t length) { Update(&(e->*Member), bytes, length); },
             [](Engines *e, unsigned char *digest) {
                 Final(&(e->*Member));
                 memcpy(digest, (e->*Member).Digest, Size);
             } };
}

static const Engine EngineOf[KIND_COUNT] = {
    { [](Engines *e) { e->Crc = CRC32_START; },
      [](Engines *e, const unsigned char *bytes, uint32_t length) { e->Crc = Crc32Update(e->Crc, bytes, length); },
      [](Engines *e, unsigned char *digest) {
          uint32_t value = e->Crc ^ 0xFFFFFFFFu;
          for (int i = 0; i < 4; i++)
              digest[i] = (unsigned char)(value >> (24 - 8 * i));
      } },
    EngineOver<&Engines::Md5, Md5Init, Md5Update, Md5Final, 16>(),
    EngineOver<&Engines::Sha1, Sha1Init, Sha1Update, Sha1Final, 20>(),
    EngineOver<&Engines::Sha256, Sha256Init, Sha256Update, Sha256Final, 32>(),
    EngineOver<&Engines::Sha512, Sha512Init, Sha512Update, Sha512Final, 64>(),
    // The states lie on their boundaries in Engines (on the stack): their
    // Init cannot fail there.
    EngineOver<&Engines::Blake3, Blake3Init, Blake3Update, Blake3Final, 32>(),
    EngineOver<&Engines::Xxh3, Xxh3Init, Xxh3Update, Xxh3Final, 8>(),
    EngineOver<&Engines::Xxh128, Xxh3Init, Xxh3Update, Xxh128Final, 16>(),
    EngineOver<&Engines::Xxh64, Xxh64Init, Xxh64Update, Xxh64Final, 8>(),
};

static void FeedEngines(Engines *engines, int mask, const unsigned char *chunk, uint32_t length)
{
    // MD5 first: it is the slowest of the two the check boxes give.
    if (mask & MASK_MD5)
        Md5Update(&engines->Md5, chunk, length);
    if (mask & MASK_CRC32)
        engines->Crc = Crc32Update(engines->Crc, chunk, length);
    for (int kind = KIND_FIRST_STORED; kind < KIND_COUNT; kind++)
        if (mask & (1 << kind))
            EngineOf[kind].Update(engines, chunk, length);
}

static int32_t HashStream(FILE *file, uint64_t size, int mask, ReportProgressFn report, void *context,
                          Engines *engines, unsigned char *block, size_t blockSize)
{
    ProgressTicker ticker;
    ProgressTickerInit(&ticker, size);
    uint64_t position = 0;
    uint64_t blockStart = 0;    // file offset of block[0]
    size_t filled = 0, offset = 0;
    uint64_t unpolled = 0;      // bytes read since the last call to report
    bool ended = false;

    for (;;) {
        if (offset == filled && !ended) {
            blockStart += filled;
            bool failed = false;
            filled = HashRead(file, block, blockSize, &failed);
            offset = 0;
            ended = filled < blockSize;     // the end of the file, or a read error
            if (failed && blockSize > HASH_CHUNK_SIZE) {
                filled -= filled % HASH_CHUNK_SIZE;
                blockSize = HASH_CHUNK_SIZE;
                ended = SeekTo(file, blockStart + filled) != 0;
            }
        }
        size_t got = filled - offset < (size_t)HASH_CHUNK_SIZE ? filled - offset : (size_t)HASH_CHUNK_SIZE;
        const unsigned char *chunk = block + offset;
        offset += got;
        if (got > 0)
            FeedEngines(engines, mask, chunk, (uint32_t)got);
        if (got < HASH_CHUNK_SIZE) {
            if (!ended)
                continue;   // the whole chunks of a failed block are used: read on
            return 0;   // what was read until the end or an error counts
        }
        position += HASH_CHUNK_SIZE;
        if (position != ticker.NextPosition) {
            // Polls may lie far apart, or never come (a file recorded
            // empty): a cancel is still heard within a read block.
            unpolled += HASH_CHUNK_SIZE;
            if (unpolled < HASH_READ_BLOCK_SIZE)
                continue;
            unpolled = 0;
            if (report(context, PROGRESS_CHECK_ONLY) == -1)
                return -1;
            continue;
        }
        unpolled = 0;
        if (report(context, ProgressTickerAdvance(&ticker)) == -1)
            return -1;
    }
}

int32_t HashFileWith(const char *path, uint64_t recordedSize, int mask, ReportProgressFn report, void *context,
                     unsigned char *block, size_t blockSize, HashOutcome *outcome)
{
    int64_t startSeconds, endSeconds;
    int32_t startMs, endMs;
    memset(outcome, 0, sizeof *outcome);
    ReadWallClock(&startSeconds, &startMs);
    mask &= MASK_ALL;
    outcome->Mask = mask;

    if (mask != 0) {
        FILE *file = HashOpen(path);
        if (file == nullptr) {
            outcome->Result = -1;
        } else {
            unsigned char chunk[HASH_CHUNK_SIZE];
            Engines engines;
            for (int kind = 0; kind < KIND_COUNT; kind++)
                if (mask & (1 << kind))
                    EngineOf[kind].Init(&engines);
            if (block != nullptr && blockSize >= HASH_CHUNK_SIZE)
                outcome->Result = HashStream(file, recordedSize, mask, report, context, &engines, block,
                                             blockSize - blockSize % HASH_CHUNK_SIZE);
            else
                outcome->Result = HashStream(file, recordedSize, mask, report, context, &engines, chunk,
                                             sizeof chunk);
            report(context, 100);
            fclose(file);
            for (int kind = 0; kind < KIND_COUNT; kind++)
                if (mask & (1 << kind))
                    EngineOf[kind].Final(&engines, outcome->Digests[kind]);
            if (mask & MASK_CRC32)
                outcome->Crc32 = engines.Crc ^ 0xFFFFFFFFu;
            if (mask & MASK_MD5)
                memcpy(outcome->Md5, outcome->Digests[KIND_MD5], sizeof outcome->Md5);
        }
    }

    ReadWallClock(&endSeconds, &endMs);
    ElapsedTime(startSeconds, startMs, endSeconds, endMs, &outcome->Seconds, &outcome->Milliseconds);
    return outcome->Result;
}

int32_t HashFile(const char *path, uint64_t recordedSize, int mask, ReportProgressFn report,
                 void *context, HashOutcome *outcome)
{
    // Without a block (no memory) the file is read chunk by chunk.
    unsigned char *block = (unsigned char *)malloc(HASH_READ_BLOCK_SIZE);
    int32_t result = HashFileWith(path, recordedSize, mask, report, context, block,
                                  block ? HASH_READ_BLOCK_SIZE : 0, outcome);
    free(block);
    return result;
}

void FormatDurationText(float seconds, char *text, size_t size)
{
    if (size == 0)
        return;
    if (seconds < 0.0f)
        text[0] = '\0';
    else
        snprintf(text, size, LanguageStrings[TEXT_DURATION_FORMAT], LanguageStrings[TEXT_DURATION], (double)seconds);
}
