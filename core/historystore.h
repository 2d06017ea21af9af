// The record store, History.log beside the session logs: each record the
// session log receives is followed by one here with what the log has no
// room for: the file's full path, its last-write time to 100 ns and every
// digest known then. The history judges files by it.
//
// A line holds, each followed by one blank: the size in bytes; the
// last-write time (100 ns since 1601, as Windows keeps it); the log
// record's time field as "YYYY-MM-DDTHH:MM:SS" ("-" when it had no local
// form); the CRC-32, MD5, SHA-1, SHA-256 and SHA-512 in lower-case digits
// ("-" for a digest not known). Then the path, up to the line end (CR LF).
// The fields before it have fixed forms and hold no blank, and a path holds
// no control character: the path is all that follows the eighth blank,
// blanks included, and never holds a line end.
#ifndef ZUNTA_HISTORYSTORE_H
#define ZUNTA_HISTORYSTORE_H

#include "checksum/kinds.h"
#include "core/fileinfo.h"

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

// CRC-32, MD5, SHA-1, SHA-256, SHA-512: the kinds HISTORY_CRC32 << 0 to 4.
// The kinds after them (BLAKE3, XXH3, XXH128, XXH64), when one is known,
// follow their record on a line of their own, written with it: "+", then
// each digest ("-" when not known), each after one blank, and the line end.
// Earlier versions skip that line as one of another form.
enum { STORE_DIGEST_KINDS = 5, STORE_MORE_KINDS = KIND_COUNT - STORE_DIGEST_KINDS };
static_assert(STORE_DIGEST_KINDS == KIND_SHA512 + 1, "a record's digests are the first kinds");

struct StoreRecord {
    const char *Path;       // into the line, not terminated
    size_t PathLength;
    uint64_t Size;
    int64_t LastWrite;      // 100 ns since 1601
    uint64_t LogStamp;      // the log record's time field (ParseHistoryTime's stamp), 0 for none
    uint8_t Kinds;          // HISTORY_CRC32 to HISTORY_SHA512, CRC32 or MD5 among them
    uint32_t Crc32;
    unsigned char Md5[16], Sha1[20], Sha256[32], Sha512[64];
};

// Reads one line of the store, with or without its line end (LF or CR LF).
// Returns 0, or -1 (out unchanged) for a line of another form, with no
// path, or with neither a CRC nor an MD5.
int ParseStoreRecord(const char *line, size_t length, StoreRecord *out);
// Writes the store record of a file with its line end (digests: the texts
// of the kinds in order, either case, null when not known). Returns 0, or
// -1 (nothing written) for no path, a path with a control character, a
// last-write time before 1601, neither a CRC nor an MD5, or a digest text
// of another form. The stream's errors are the caller's to see.
int WriteStoreRecord(FILE *store, const char *path, const FileStamp *stamp,
                     const char *const digests[STORE_DIGEST_KINDS]);
// Writes the line of the later kinds (more: their texts in order, either
// case, null when not known). Returns 1 when written, 0 when none is known
// (nothing written), -1 (nothing written) for a text of another form.
int WriteStoreMore(FILE *store, const char *const more[STORE_MORE_KINDS]);
// Reads such a line into digests (the bytes of each kind, in order) and
// *kinds (bit k: the kind STORE_DIGEST_KINDS + k is known). Returns 0, or
// -1 for a line of another form.
int ParseStoreMore(const char *line, size_t length, unsigned char digests[STORE_MORE_KINDS][KIND_DIGEST_MAX],
                   uint8_t *kinds);
// Appends the record (and the line of the later kinds, when more is not null
// and one is known) to the store, opened and closed for it; a last line that
// an earlier write left without its end is ended first. Returns 0 when the
// record is on file, else -1 (the store as it was).
int AppendStoreRecord(const char *path, const FileStamp *stamp, const char *const digests[STORE_DIGEST_KINDS],
                      const char *const more[STORE_MORE_KINDS] = nullptr);

#endif
