// What the verification of a checksum file does: the distinct files it
// lists, each with its distinct expected checksums; where each was found;
// the rows that hash them, in row order; and the expectations failed files
// keep for the result box.
//
// The phases, none of which looks at the file system on the window's thread:
//   1. window thread: VerifyPlanInit, VerifyPlanRead (no file access);
//      if AbsoluteCount > 0, ask the user, and on No VerifyPlanRefuseAbsolute;
//   2. run thread: for each file whose State is VERIFY_FILE_PENDING, look
//      its Path up and call VerifyPlanSetFound;
//   3. window thread: give each VERIFY_FILE_FOUND file its row (adding it to
//      the list when needed) with VerifyPlanSetRow, then VerifyPlanGroup;
//   4. run thread: for each of RowCount rows, hash it and VerifyPlanJudge;
//   5. FormatVerifySummary(&plan->Summary), VerifyPlanFree.
#ifndef ZUNTA_VERIFYPLAN_H
#define ZUNTA_VERIFYPLAN_H

#include "core/checksumfile.h"

#include <stddef.h>
#include <stdint.h>

enum {
    VERIFY_MAX_FILE_SIZE = 256 << 20,   // larger files are refused as no checksum files
};

// Where a listed file stands.
enum {
    VERIFY_FILE_PENDING = 0,    // to be looked up
    VERIFY_FILE_NOT_OPENED,     // refused, or an absolute name the user declined
    VERIFY_FILE_MISSING,        // not found, or its path does not fit
    VERIFY_FILE_FOUND,          // found: to be given a row
};

// One distinct expected checksum of a file.
struct VerifyValue {
    int32_t File;           // the file it is listed for
    int Kind;               // a CHECKSUM_... kind
    const char *Text;       // CRC upper case, other kinds lower case
    int32_t Next;           // the file's next value, as listed; -1 after the last
};

// One distinct file the checksum file lists: one per full path (ASCII
// letters without case); a refused or too long name is its own key.
struct VerifyFile {
    const char *Path;       // full path; the listed name for LISTED_REFUSED / LISTED_TOO_LONG
    const char *Name;       // as first listed (UTF-8), for the summary
    int Listing;            // LISTED_... of ClassifyListedName
    int State;              // VERIFY_FILE_...
    int Mask;               // the kinds of its values
    int32_t FirstValue, LastValue, ValueCount;
    size_t ExpectedLength;  // its values' text with separators
    int32_t Row, EntryIndex;    // -1 until VerifyPlanSetRow
};

// One row to hash: a found file with a row.
struct VerifyRow {
    int32_t Row;
    int32_t EntryIndex;     // the FileList index the row carries
    int Mask;               // the kinds to compute
    int32_t File;           // index into Files
};

// An open-addressing table of indexes with their hashes.
struct VerifySlot {
    int32_t Index;          // -1 for an empty slot
    uint32_t Hash;
};
struct VerifyTable {
    VerifySlot *Slots;
    size_t Size, Used;      // Size: a power of two, or 0 before the first entry
};

struct VerifyArenaBlock;

struct VerifyPlan {
    VerifyFile *Files;      // as first listed
    int32_t FileCount, FileCapacity;
    VerifyValue *Values;
    int32_t ValueCount, ValueCapacity;
    int32_t AbsoluteCount;  // files with LISTED_ABSOLUTE names
    VerifyRow *Rows;        // after VerifyPlanGroup, in row order
    int32_t RowCount;
    int32_t RowsDone;       // rows the run has finished
    int32_t FirstFailedRow; // the first row (in row order) that failed; -1 for none
    char *ExpectedText;     // VerifyPlanJudge's text of failed values
    size_t ExpectedSize;
    VerifySummary Summary;
    // The plan's own: its tables, their hash key, and the texts' blocks.
    VerifyTable PathTable, ValueTable;
    uint64_t Key[2];
    VerifyArenaBlock *Arena;
};

// The computed checksums of a row's file as text, any case; null for a
// kind not computed.
struct VerifyComputed {
    const char *Crc32, *Md5, *Sha1, *Sha256, *Sha512;
};

// Every allocation of a plan goes through this (realloc's contract; size 0
// frees block and returns null). Tests replace it to fail allocations.
extern void *(*VerifyReallocate)(void *block, size_t size);

// An empty plan with a hash key of its own.
void VerifyPlanInit(VerifyPlan *plan);
// Reads the length bytes at text, a checksum file that lies in folder, in
// format (see ChecksumReaderInit), into an empty plan: each name classified
// (ClassifyListedName), identical listings merged into one file and one
// value, lines not understood counted in the summary, Summary.Listed set to
// FileCount. Refused names start VERIFY_FILE_NOT_OPENED, names too long
// VERIFY_FILE_MISSING, the others VERIFY_FILE_PENDING. Touches no file.
// Returns 0, -1 when memory ran out (the plan is then only to be freed), or
// -2 for a text longer than VERIFY_MAX_FILE_SIZE (nothing read).
int VerifyPlanRead(VerifyPlan *plan, const char *folder, const char *text, size_t length, int format);
// Marks the pending files with absolute names not opened.
void VerifyPlanRefuseAbsolute(VerifyPlan *plan);
// Records whether pending file fileIndex was found: VERIFY_FILE_FOUND or
// VERIFY_FILE_MISSING. Other files are left as they are.
void VerifyPlanSetFound(VerifyPlan *plan, int32_t fileIndex, bool found);
// Gives found file fileIndex its row and that row's FileList index. Other
// files are left as they are.
void VerifyPlanSetRow(VerifyPlan *plan, int32_t fileIndex, int32_t row, int32_t entryIndex);
// Once, after the rows are given: the found files with rows become Rows,
// in row order (a row given to two files is verified for each); every other
// file counts in the summary, not opened or missing, in listed order.
// Returns 0, or -1 when memory ran out.
int VerifyPlanGroup(VerifyPlan *plan);
// Judges the file of row rowIndex against its computed checksums, or
// against nothing when it could not be read (computed false): it counts once
// in the summary, OK when every value matches, else FAILED. ExpectedText then
// holds every value that did not match, two spaces apart ("" for none).
// Returns the number of values that did not match (0 for a rowIndex out of
// range, which counts nothing).
int VerifyPlanJudge(VerifyPlan *plan, int32_t rowIndex, bool computed, const VerifyComputed *found);
// Frees everything; the plan is then as after VerifyPlanInit.
void VerifyPlanFree(VerifyPlan *plan);

#endif
