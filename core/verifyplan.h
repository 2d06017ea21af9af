// What the verification of a checksum file does: the distinct files it
// lists, each with its distinct expected checksums; where each was found;
// the rows that hash them, in row order; and the expectations failed files
// keep for the result box.
//
// The phases; the window's thread does only what needs the window:
//   1. window thread: VerifyPlanInit;
//   2. run thread: read the checksum file, VerifyPlanRead (no file access);
//      if AbsoluteCount > 0, have the window ask the user, and on No
//      VerifyPlanRefuseAbsolute;
//   3. run thread: for each file whose State is VERIFY_FILE_PENDING, look
//      its Path up and call VerifyPlanSetFound (or VerifyPlanSetOutside),
//      then VerifyPlanFindSameFiles;
//   4. window thread: give each VERIFY_FILE_FOUND file its row (adding it to
//      the list when needed) with VerifyPlanSetRow, then VerifyPlanGroup;
//   5. run thread: for each of RowCount rows, hash it and VerifyPlanJudge;
//   6. FormatVerifySummary(&plan->Summary), VerifyPlanFree.
#ifndef ZUNTA_VERIFYPLAN_H
#define ZUNTA_VERIFYPLAN_H

#include "core/checksumfile.h"

#include <stddef.h>
#include <stdint.h>

enum {
    VERIFY_MAX_FILE_SIZE = 256 << 20,   // larger files are refused as no checksum files
    VERIFY_MAX_FILES = 4000000,         // distinct files one checksum file may list
};

// What VerifyPlanRead returns.
enum {
    VERIFY_READ_DONE = 0,
    VERIFY_READ_NO_MEMORY = -1,     // the plan is then only to be freed, as after the others
    VERIFY_READ_TOO_LARGE = -2,     // a text longer than VERIFY_MAX_FILE_SIZE: nothing read
    VERIFY_READ_TOO_MANY = -3,      // more files than the plan's MaxFiles, or more than its budget holds
    VERIFY_READ_CANCELLED = -4,     // the progress report said stop
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
    int Kind;               // a MASK_... kind
    int Alternative;        // the kind the digits are checked as when Kind fails, or 0
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

// What the run's look-up found of a file: its size, and its identity on
// its volume (Index 0 when the file system gives none); Same is filled by
// VerifyPlanFindSameFiles.
struct VerifyFound {
    uint64_t Size;
    uint64_t Index;
    uint32_t Volume;
    int32_t Same;
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
    // What a crafted file can make it hold: bytes in its blocks, at most
    // Budget while it is read (see VerifyPlanRead), and files at most
    // MaxFiles (VERIFY_MAX_FILES; tests lower it). Exceeded once a read
    // passed either.
    size_t Bytes, Budget;
    int32_t MaxFiles;
    bool Exceeded;
};

// The computed checksums of a row's file as text, any case; null for a
// kind not computed.
struct VerifyComputed {
    const char *Texts[KIND_COUNT];  // by kind; null for a kind not computed
};

// Every allocation of a plan goes through this (realloc's contract; size 0
// frees block and returns null). Tests replace it to fail allocations.
extern void *(*VerifyReallocate)(void *block, size_t size);

// An empty plan with a hash key of its own.
void VerifyPlanInit(VerifyPlan *plan);
// Called with the percentage of the text read; returns 0 to go on, -1 to stop.
typedef int (*VerifyReportFn)(void *context, int32_t percentage);

// The most a plan of a text of length bytes holds while it is read: four
// times the text, at least 64 MiB, at most 512 MiB (see verifyplan.cpp).
size_t VerifyPlanBudget(size_t length);

// Reads the length bytes at text, a checksum file that lies in folder, in
// format (see ChecksumReaderInit), into an empty plan: each name classified
// (ClassifyListedName), identical listings merged into one file and one
// value, lines not understood counted in the summary, Summary.Listed set to
// FileCount. Refused names start VERIFY_FILE_NOT_OPENED, names too long
// VERIFY_FILE_MISSING, the others VERIFY_FILE_PENDING. Touches no file.
// report (or null) hears the progress now and then and may stop the read.
// Returns a VERIFY_READ_...; the plan holds at most VerifyPlanBudget(length)
// bytes meanwhile.
int VerifyPlanRead(VerifyPlan *plan, const char *folder, const char *text, size_t length, int format,
                   VerifyReportFn report, void *context);
// Marks the pending files with absolute names not opened.
void VerifyPlanRefuseAbsolute(VerifyPlan *plan);
// Records whether pending file fileIndex was found: VERIFY_FILE_FOUND or
// VERIFY_FILE_MISSING. Other files are left as they are.
void VerifyPlanSetFound(VerifyPlan *plan, int32_t fileIndex, bool found);
// Records that pending file fileIndex, looked up, lies outside the folder
// (through a link): VERIFY_FILE_NOT_OPENED.
void VerifyPlanSetOutside(VerifyPlan *plan, int32_t fileIndex);
// Sets found[i].Same of each found file i to the first found file that is
// the same file: the same identity where the look-up knows it, else the same
// path (A-Z as a-z, '/' as '\'); i itself when none comes before. found has
// FileCount records. Returns 0, or -1 when memory ran out.
int VerifyPlanFindSameFiles(const VerifyPlan *plan, VerifyFound *found);
// Gives found file fileIndex its row and that row's FileList index. Other
// files are left as they are.
void VerifyPlanSetRow(VerifyPlan *plan, int32_t fileIndex, int32_t row, int32_t entryIndex);
// Once, after the rows are given: the found files with rows become Rows,
// in row order; files given one row are one file, the first of them, with
// the values of all (each distinct one once), verified and counted once.
// Every file without a row counts in the summary, not opened or missing, in
// listed order; Summary.Listed becomes the count of distinct files.
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
