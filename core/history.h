// The history of checksums: the records of the record store indexed by full
// path, size and last-write time to 100 ns, and those of the session logs by
// file name, size and time to the second, so that a file hashed again whose
// contents changed although its size and time did not ("changed without a
// write") can be told from one that is the same as when first recorded.
#ifndef ZUNTA_HISTORY_H
#define ZUNTA_HISTORY_H

#include "core/fileinfo.h"
#include "core/sessionlog.h"

#include <stddef.h>
#include <stdint.h>

// The checksum kinds a record or a key holds; the index keeps CRC32 and MD5.
enum { HISTORY_CRC32 = 1, HISTORY_MD5 = 2, HISTORY_SHA1 = 4, HISTORY_SHA256 = 8, HISTORY_SHA512 = 16 };
// "HH:MM.SS YYYY-MM-DD" and its terminator.
enum { HISTORY_TIME_LENGTH = LOG_TIME_LENGTH, HISTORY_TIME_SIZE = LOG_TIME_LENGTH + 1 };
// Longest file name the index by name keeps (a file name of 255 UTF-16
// units fits), and longest path the index by path keeps (a path of 32,767
// UTF-16 units, three bytes each at most, fits).
enum { HISTORY_MAX_NAME = 4096, HISTORY_MAX_PATH = 3 * 32767 };

// One record of a session log. Name and TimeText point into the line.
struct HistoryRecord {
    const char *Name;       // the file name without its padding blanks, not terminated
    size_t NameLength;
    uint64_t Size;
    const char *TimeText;   // HISTORY_TIME_LENGTH bytes
    uint64_t Stamp;         // the six time fields (ParseHistoryTime); 0 for a time with no local form
    uint8_t Kinds;          // HISTORY_CRC32 and/or HISTORY_MD5, never 0
    uint32_t Crc32;         // when HISTORY_CRC32
    unsigned char Md5[16];  // when HISTORY_MD5
};

// The length of a line without its line end (LF or CR LF).
size_t HistoryLineLength(const char *line, size_t length);
// Reads one record of a session log, with or without its line end (LF or
// CR LF). Returns 0, or -1 (out unchanged) for a line that is not a whole
// record: damaged, cut short, or with neither a CRC nor an MD5.
int ParseSessionRecord(const char *line, size_t length, HistoryRecord *out);
// Reads a time field "HH:MM.SS YYYY-MM-DD" into a stamp that keeps its six
// fields (and sorts as the times do). Returns 0, or -1 for another text,
// the placeholder of a time with no local form included.
int ParseHistoryTime(const char *text, size_t length, uint64_t *stamp);
// Writes the time field of a stamp from ParseHistoryTime.
void FormatHistoryTime(uint64_t stamp, char text[HISTORY_TIME_SIZE]);
// The same six fields as the record store writes them: "YYYY-MM-DDTHH:MM:SS".
int ParseStoreTime(const char *text, size_t length, uint64_t *stamp);
void FormatStoreTime(uint64_t stamp, char text[HISTORY_TIME_SIZE]);
// count hex digits (either case) into count / 2 bytes. Returns 0 or -1.
int ReadHexDigits(const char *text, size_t count, unsigned char *bytes);

// The allocation the index grows with (malloc; tests replace it).
extern void *(*HistoryAllocate)(size_t size);

struct HistoryEntry;
struct HistorySlot;

// Keys and the checksums of the oldest record of each kind with that key.
// By name (the session logs): the file name with A-Z folded to a-z, the
// size, the time field's stamp. By path (the record store): the full path
// folded as HistoryPathsEqual says, the size, the last-write time in 100 ns.
// Entries and names live in blocks that never move; the slots hold entry
// numbers.
struct HistoryIndex {
    uint64_t Seed[2];           // key of the slots' hash, drawn per index
    bool ByPath;
    HistorySlot *Slots;
    uint32_t SlotMask;          // slot count - 1; no slots while 0 and Slots is null
    uint32_t Count;             // entries
    HistoryEntry **Blocks;      // entry blocks of HISTORY_BLOCK_ENTRIES
    uint32_t BlockCount;
    uint32_t BlockCapacity;
    char *Names;                // newest name block; each block begins with a link to the one before
    size_t NamesUsed;
    size_t NamesSize;
    uint64_t Bytes;             // bytes allocated, for the figures of the benchmark
    // By name: the log keys that store records stand for, by their 64-bit
    // hashes (two keys of one hash count as one: a log record then left out
    // is only lost to Check against history).
    HistorySlot *StoodFor;
    uint32_t StoodForMask;
    uint32_t StoodForCount;
};

// What the index knows of one key.
struct HistoryReference {
    uint8_t Kinds;          // kinds the key's records hold
    uint32_t Crc32;         // the oldest CRC, when HISTORY_CRC32
    unsigned char Md5[16];  // the oldest MD5, when HISTORY_MD5
    uint64_t Stamp;
};

// Called after every HISTORY_PROGRESS_STEP bytes of text; -1 cancels.
enum { HISTORY_PROGRESS_STEP = 1 << 20 };
typedef int (*HistoryProgressFn)(void *context, uint64_t done, uint64_t total);

// An empty index by name, or by path, with a hash key of its own. Nothing
// is allocated yet.
void HistoryIndexInit(HistoryIndex *index);
void HistoryIndexInitByPath(HistoryIndex *index);
// Writes the length bytes of path as the index by path compares them (two
// paths name one file when these are equal): A-Z as a-z and '/' as '\\'; in
// UTF-8 also the capital letters of Latin-1, Latin Extended-A (but I with a
// dot and the dotless i), Greek (but the final sigma) and Cyrillic (U+0400 to
// U+042F) as their small letters; in another code page A-Z alone, both bytes
// of a two-byte character as they are. As many bytes as path.
void HistoryFoldPath(const char *path, size_t length, char *folded);
// What adding to an index did.
enum {
    HISTORY_ADDED = 0,
    HISTORY_NO_MEMORY = -1,
    HISTORY_CANCELLED = -2,     // progress asked to stop
    HISTORY_NOT_A_RECORD = -2,  // a record that cannot be indexed: nothing changed
};

// Indexes every record in text (an archive's or a session log's bytes, in
// the order they were written); lines that are not records are skipped, and
// a last line without its line end counts when it is whole. Returns
// HISTORY_ADDED, HISTORY_NO_MEMORY or HISTORY_CANCELLED; after a stop the
// records before it stay indexed and the index stays usable. progress may
// be null.
int HistoryIndexAddText(HistoryIndex *index, const char *text, size_t length, HistoryProgressFn progress,
                        void *context);
// Indexes one parsed record: a kind the key holds already keeps its older
// value. Returns 0, -1 (nothing changed) when out of memory; a record with no
// local time, a name past HISTORY_MAX_NAME or a key a store record stands
// for is left out (0).
int HistoryIndexAddParsed(HistoryIndex *index, const HistoryRecord *record);
// Indexes a record as the session log receives it: the file name (trailing
// blanks do not count), size, time field, CRC and MD5 texts (either case,
// null when none). Returns HISTORY_ADDED, HISTORY_NO_MEMORY, or
// HISTORY_NOT_A_RECORD for no checksum, a checksum or time text of another
// form, or a name past HISTORY_MAX_NAME.
int HistoryIndexAddRecord(HistoryIndex *index, const char *name, size_t nameLength, uint64_t size,
                          const char *timeText, const char *crcText, const char *md5Text);
// Indexes the record store's text (see core/historystore.h) in an index by
// path: lines that are not whole records, a last line without its line end
// included, are skipped. The log records that the store's records stand for
// (their file name, size and time field) are left out of logs (null: none)
// when they come after, so that the logs answer only for records they alone
// hold: the store goes first. Returns as HistoryIndexAddText.
int HistoryIndexAddStoreText(HistoryIndex *index, HistoryIndex *logs, const char *text, size_t length,
                             HistoryProgressFn progress, void *context);
// Indexes a record just written to the store in an index by path: the path,
// the file's stamp, the CRC and MD5 texts (either case, null when none).
// Returns as HistoryIndexAddRecord.
int HistoryIndexAddStamped(HistoryIndex *index, const char *path, size_t pathLength, const FileStamp *stamp,
                           const char *crcText, const char *md5Text);
// Looks a key up (stamp: the time field's stamp by name, the last-write
// time by path). Returns 1 and fills out when the index holds it, else 0.
int HistoryIndexFind(const HistoryIndex *index, const char *name, size_t nameLength, uint64_t size, uint64_t stamp,
                     HistoryReference *out);
// Releases everything; the index is empty (and usable) again.
void HistoryIndexFree(HistoryIndex *index);

enum { HISTORY_UNKNOWN = 0, HISTORY_SAME = 1, HISTORY_CHANGED = 2 };

struct HistoryJudgement {
    int Verdict;                        // HISTORY_UNKNOWN, HISTORY_SAME or HISTORY_CHANGED
    uint8_t Kinds;                      // kinds the key's records hold (0 when unknown)
    uint8_t ChangedKinds;               // kinds whose value differs from the oldest record's
    char TimeText[HISTORY_TIME_SIZE];   // the key's time field ("" when unknown)
};

// Judges checksums just computed for a file (CRC and MD5 texts in either
// case, null when not computed) against the oldest records with its name,
// size and time field. Returns and stores in out: HISTORY_CHANGED when a
// kind computed differs from the oldest value of that kind, HISTORY_SAME
// when every kind computed that the key holds matches, HISTORY_UNKNOWN when
// no record has that key or none of its kinds was computed (then Kinds says
// which to compute). A checksum text of another form counts as not computed.
int HistoryJudge(const HistoryIndex *index, const char *name, size_t nameLength, uint64_t size,
                 const char *timeText, const char *crcText, const char *md5Text, HistoryJudgement *out);
// The same in an index by path, against the oldest records with the file's
// path, size and last-write time to 100 ns; TimeText is then the time field
// the file's log record has.
int HistoryJudgeStamped(const HistoryIndex *index, const char *path, size_t pathLength, const FileStamp *stamp,
                        const char *crcText, const char *md5Text, HistoryJudgement *out);

#endif
