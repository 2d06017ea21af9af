// The job that hashes one file in 4096-byte chunks, reports its progress,
// can be cancelled at each progress poll, and measures how long it took.
#ifndef ZUNTA_HASHJOB_H
#define ZUNTA_HASHJOB_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include "checksum/kinds.h"


enum {
    HASH_CHUNK_SIZE = 4096,
    HASH_READ_BLOCK_SIZE = 256 * HASH_CHUNK_SIZE,  // read at once beneath the chunks
    DURATION_TEXT_SIZE = 64,
};

// Called with the percentage read; returns 0 to go on, -1 to stop. Between
// polls far apart (a file much larger than its recorded size, or a large
// recorded size) the job also asks at least once a read block whether to go
// on, with PROGRESS_CHECK_ONLY in place of a percentage: that call moves
// nothing.
typedef int (*ReportProgressFn)(void *context, int32_t percentage);
enum { PROGRESS_CHECK_ONLY = -1 };

struct HashOutcome {
    int32_t Result;             // 0 done; -1 not opened or cancelled
    int Mask;                   // the kinds computed: those of the mask that are kinds
    uint32_t Crc32;             // final value, when the mask has MASK_CRC32
    unsigned char Md5[16];      // digest, when the mask has MASK_MD5
    // The digest of each kind of the mask, ChecksumKinds[kind].DigestSize
    // bytes (the CRC32's in big-endian order, as its digits read).
    unsigned char Digests[KIND_COUNT][KIND_DIGEST_MAX];
    int64_t Seconds;            // elapsed time, always measured
    int32_t Milliseconds;
};

// Distance in bytes between two progress polls for a file recorded with
// this size: size / 100, 300 or 600; 0 for an empty file (no polls).
uint64_t ProgressStepFor(uint64_t recordedSize);

// The progress polls of a file recorded with Size bytes: where each one
// falls (a chunk end) and the percentage it reports, the same for every
// reader of the file, so that a poll can be told again from its number.
struct ProgressTicker {
    uint64_t Size, Step, Threshold;
    uint64_t NextPosition;      // the file offset of the next poll; 0 when there are none
};
void ProgressTickerInit(ProgressTicker *ticker, uint64_t recordedSize);
// The percentage of the poll at ticker->NextPosition (past the recorded size
// above 100, as computed, but never past INT32_MAX); moves on to the next.
int32_t ProgressTickerAdvance(ProgressTicker *ticker);

// How the job opens a file for reading: null when it cannot be opened, or
// when it is not a regular disk file (a pipe, a device, a console). fopen
// by default; the Windows program and tests replace it.
typedef FILE *(*HashOpenFn)(const char *path);
extern HashOpenFn HashOpen;

// How the job reads the open file: up to size bytes at the stream's position
// into buffer, the count read returned; *failed set when a read error (not
// the end of the file) cut the read short. fread by default; tests replace it.
typedef size_t (*HashReadFn)(FILE *file, void *buffer, size_t size, bool *failed);
extern HashReadFn HashRead;

// Hashes the file at path. recordedSize spaces the polls and scales the
// percentage. Returns outcome->Result.
int32_t HashFile(const char *path, uint64_t recordedSize, int mask, ReportProgressFn report,
                 void *context, HashOutcome *outcome);

// HashFile reading into the caller's block of blockSize bytes (whole
// chunks of it are used), so that a thread that hashes many files keeps one
// block from file to file: getting a large block afresh for each file costs
// more than reading a small file. Without a block the file is read chunk by
// chunk.
int32_t HashFileWith(const char *path, uint64_t recordedSize, int mask, ReportProgressFn report, void *context,
                     unsigned char *block, size_t blockSize, HashOutcome *outcome);

// The time between two clock readings, with a borrow from the seconds when
// the second reading's milliseconds are below the first's.
void ElapsedTime(int64_t startSeconds, int32_t startMs, int64_t endSeconds, int32_t endMs,
                 int64_t *seconds, int32_t *milliseconds);
// The elapsed time as the seconds kept in a FileEntry.
float DurationSeconds(int64_t seconds, int32_t milliseconds);

// "Duration : 1.250 sec" in the current language; empty for a negative value.
void FormatDurationText(float seconds, char *text, size_t size);

#endif
