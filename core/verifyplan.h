// What the verification of a checksum file does: the listed files that are
// in the list, grouped by row, each row with the checksums the file lists for
// it; what it found; and the expected checksums that files did not match.
#ifndef ZUNTA_VERIFYPLAN_H
#define ZUNTA_VERIFYPLAN_H

#include "core/checksumfile.h"

#include <stddef.h>
#include <stdint.h>

enum { EXPECTED_TEXT_SIZE = 96 };   // the expected checksums of one file, for the result box

// One checksum line whose file is in the list.
struct VerifyItem {
    int32_t Row;            // the file's row
    int32_t EntryIndex;     // the FileList index the row carries
    int32_t Order;          // its place among the items, as listed
    int Kind;               // CHECKSUM_CRC32 or CHECKSUM_MD5
    char Expected[33];      // CRC upper case, MD5 lower case
    char *Name;             // as listed (owned)
};

// One row to hash, with every item that lists its file.
struct VerifyRow {
    int32_t Row;
    int32_t EntryIndex;     // the FileList index the row carries
    int Mask;               // the kinds its items list
    int32_t FirstItem, ItemCount;
};

struct VerifyPlan {
    VerifyItem *Items;
    int32_t ItemCount, ItemCapacity;
    VerifyRow *Rows;        // in row order, after VerifyPlanGroup
    int32_t RowCount;
    int32_t RowsDone;       // rows the run has finished
    int32_t FirstFailedRow; // the first row (in row order) that failed; -1 for none
    VerifySummary Summary;
};

void VerifyPlanInit(VerifyPlan *plan);
// Adds the checksum of a listed file that is in the list at row, with entry
// index entryIndex. Returns 0, or -1 when memory ran out.
int VerifyPlanAddItem(VerifyPlan *plan, int32_t row, int32_t entryIndex, const ChecksumLine *line);
// Groups the items by row, rows in row order, items as listed. Returns 0,
// or -1 when memory ran out.
int VerifyPlanGroup(VerifyPlan *plan);
// Judges the items of plan row rowIndex against the checksums the row's
// file was found to have (crc and md5Text in any case), or against nothing
// when it could not be read (computed false): each item counts as OK or
// FAILED in the summary. The expected checksums of the failed ones are
// written to expected (empty when none failed). Returns the number failed.
int VerifyPlanJudge(VerifyPlan *plan, int32_t rowIndex, bool computed, const char *crcText, const char *md5Text,
                    char *expected, size_t size);
void VerifyPlanFree(VerifyPlan *plan);

// The expected checksums that a verification found a file without, by its
// FileList index, kept until the file is processed again or leaves the
// list. Read and written under the entry lock of core/filelist.h.
// Returns 0, or -1 when memory ran out (nothing kept then).
int SetFailedExpectation(int32_t index, const char *text);
// Copies the text kept for index into out; false when there is none.
bool CopyFailedExpectation(int32_t index, char *out, size_t size);
void ClearFailedExpectation(int32_t index);
void ClearFailedExpectations(void);

#endif
