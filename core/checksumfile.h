// Checksum files and checksums as text: a checksum copied to the clipboard,
// the lines of .sfv and .md5 files read and written, the names they list
// resolved to paths, and the summaries shown after saving and verifying.
#ifndef ZUNTA_CHECKSUMFILE_H
#define ZUNTA_CHECKSUMFILE_H

#include "checksum/kinds.h"

#include <stddef.h>
#include <stdint.h>

// A kind of checksum in what follows is its MASK_... bit (checksum/kinds.h);
// CRC32 and MD5 are also the HAS_CRC32 / HAS_MD5 flags of core/filelist.h.

// Formats of a checksum file. SFV, MD5 and SHA256 are also the first filter
// indexes of the save dialog's filter list (TEXT_SAVE_FILTER_SHA256 of
// base/texts.h). MD5 and the SHA formats read alike: each line's kind
// comes from its count of digits. B3 reads 64 digits as BLAKE3; the XXH
// formats read 16 digits as XXH3 (XXH64 in XXH64) and 32 as XXH128.
enum {
    CHECKSUM_FORMAT_ANY = 0,
    CHECKSUM_FORMAT_SFV = 1,
    CHECKSUM_FORMAT_MD5 = 2,
    CHECKSUM_FORMAT_SHA256 = 3,
    CHECKSUM_FORMAT_SHA1 = 4,
    CHECKSUM_FORMAT_SHA512 = 5,
    CHECKSUM_FORMAT_B3 = 6,
    CHECKSUM_FORMAT_XXH3 = 7,
    CHECKSUM_FORMAT_XXH128 = 8,
    CHECKSUM_FORMAT_XXH64 = 9,
    CHECKSUM_FORMAT_LAST = CHECKSUM_FORMAT_XXH64,
};

enum {
    CHECKSUM_NAME_SIZE = 1024,      // a listed name with its terminator
    SUMMARY_NAME_LIMIT = 20,        // names shown in each list of a verification summary
};

// ---- A checksum copied as text ----

// The count of hexadecimal digits of a checksum of kind: 8, 32, 40, 64,
// 128; 0 for another value.
size_t ChecksumDigits(int kind);

struct ExpectedChecksum {
    int Kinds;                              // the MASK_... bits of the kinds found
    int Alternative;                        // a kind the found digits may be instead, or 0
    // The digits of each kind found, by kind: the CRC32's in upper case, the
    // others in lower case; "" for a kind not found.
    char Digits[KIND_COUNT][KIND_TEXT_SIZE];
};

// Finds the checksum in text (blanks, tabs, CR and LF around it ignored, any
// letter case): a bare 8-digit CRC32, 16-digit XXH3 or XXH64, 32-digit MD5 or
// XXH128, 40-digit SHA-1, 64-digit SHA-256 or BLAKE3, or 128-digit SHA-512,
// with or without "0x" (40 digits and more also in blank-separated groups);
// one line of a checksum file (md5sum's, sha*sum's, b3sum's or xxhsum's text
// or binary form, or BSD's "MD5 (name) = hex", "BLAKE3 (name) = hex"...) or
// of an .sfv file ("name CRC"); the result box's "CRC : <8>", "MD5 : <32>" or
// "CRC : <8>\tMD5 : <32>" line; "SHA1:", "SHA-256 :", "BLAKE3:", "b3:"... (any
// case, blanks around ':') and digits; or the result box's whole text, in
// either language: the path line, then every checksum line it shows (all
// kinds found are kept), its "Expected" and warning lines passed over. Digits
// that do not say their kind (bare, or a line of the md5sum form) are kept as
// the first kind of their count and as its Alternative. Returns 0, or -1
// (*out emptied) when nothing usable is found: no text, a comment, digits of
// another count, a letter that is not hexadecimal, a kind given twice, or
// several lines that are not the result box.
int ParseChecksumText(const char *text, ExpectedChecksum *out);

// ---- Reading checksum files ----

// The format a checksum file's name gives: .sfv is SFV; .md5, .md5sum and
// MD5SUMS are MD5; .sha1, .sha1sum and SHA1SUMS are SHA1, and so on for
// SHA256 and SHA512; .b3, B3SUMS and BLAKE3SUMS are B3; .xxh3, .xxh128 and
// .xxh64 are XXH3, XXH128 and XXH64; any other (.txt) is ANY, where each line
// is read in the form it has. Names are compared without case.
int ChecksumFormatOfName(const char *fileName);

struct ChecksumLine {
    int Kind;                       // a MASK_... kind
    int Alternative;                // another kind the digits may be (ANY only), or 0
    char Expected[129];             // CRC: 8 digits upper case; others lower case
    char Name[CHECKSUM_NAME_SIZE];  // the listed name in UTF-8, md5sum's escapes undone
};

// Walks a whole checksum file held in memory, one line at a time. Lines end
// with CR LF, LF, a lone CR or the end of the text; a UTF-8 byte-order mark
// at the very start is skipped; blanks and tabs around a line are ignored. A
// line that is valid UTF-8 gives its name as it is; any other line is taken
// as Windows-1252 and its name converted to UTF-8. Comment
// lines start with ';' in SFV, '#' in MD5 (md5sum skips them too), either
// in ANY. Line forms:
//   SFV  "name CRC": the CRC is the last blank-separated token, 8 digits; the
//        name is what comes before the blanks in front of it (spaces allowed).
//   MD5, SHA1, SHA256, SHA512  "<digits> <mode><name>" with 32, 40, 64 or
//        128 digits (MD5, SHA-1, SHA-256, SHA-512 by their count) and
//        exactly one space after them, then ' ' (text mode) or '*' (binary
//        mode): "hex  *a" lists "*a", "hex *a" lists "a"; BSD's
//        "MD5 (name) = <32 digits>", "SHA1 (name) = <40 digits>", "SHA256
//        (name) = <64>", "SHA512 (name) = <128>"; either form behind a
//        backslash is md5sum's escaped form, where "\\" in the name stands
//        for a backslash, "\n" for LF and "\r" for CR.
//        BSD lines name BLAKE3, XXH3, XXH128 and XXH64 too.
//   B3, XXH3, XXH128, XXH64  as MD5, with the kinds their digits give there.
//   ANY  md5sum, then BSD, then SFV: the first form that fits the line. The
//        md5sum form's digits may be either of two kinds there: 64 are
//        SHA-256 or BLAKE3, 32 MD5 or XXH128, 16 XXH3 or XXH64; the line's
//        Kind is the first, its Alternative the second.
// A line that fits no form, names nothing, names more than
// CHECKSUM_NAME_SIZE - 1 bytes (once in UTF-8) or a control byte (below
// 0x20, also from md5sum's escapes) is not understood.
struct ChecksumReader {
    const char *Text;
    size_t Length;
    size_t Next;            // offset of the next line
    int Format;
    int32_t LineNumber;     // 1-based number of the line just read; 0 before the first
};

// The names of a line that is UTF-8 (utf8 set) are taken as UTF-8, those of
// another line as Windows-1252, converted to UTF-8. Where the program's code
// page is not UTF-8, the program sets this to bring every name into it:
// returns 0 to keep name as it is, 1 when it wrote it converted to out of
// size bytes, -1 when the name has no form there (the line is then not
// understood).
extern int (*ListedNameConverter)(const char *name, bool utf8, char *out, size_t size);

// Starts reading the length bytes at text (not copied: they must outlive the
// reader) in format (a CHECKSUM_FORMAT_...; another value reads as ANY).
void ChecksumReaderInit(ChecksumReader *reader, const char *text, size_t length, int format);
// What ChecksumReaderNext read.
enum {
    READ_CHECKSUM_LINE = 1,     // *line filled; with any other result its contents mean nothing
    READ_BLANK_OR_COMMENT = 0,
    READ_NOT_UNDERSTOOD = -1,
    READ_END = -2,              // the end of the text: LineNumber stays on the last line
};

// Reads the next line; returns a READ_ result.
int ChecksumReaderNext(ChecksumReader *reader, ChecksumLine *line);

// A checksum file in UTF-16 with its byte-order mark, either byte order (as
// Windows PowerShell writes one), as UTF-8 without a mark: a heap text,
// NUL-ended, for the caller to free, its length in *outLength. A unit that
// is no character (a lone surrogate) becomes U+FFFD and an odd last byte is
// left out. Returns 1 when converted, 0 when text has no such mark (nothing
// made), -1 when memory ran out.
int Utf16ChecksumText(const char *text, size_t length, char **out, size_t *outLength);

// Whether the length bytes at text are well-formed UTF-8: no overlong form,
// no surrogate, nothing above U+10FFFF.
bool IsUtf8(const char *text, size_t length);
// Converts the length bytes at text from Windows-1252 to UTF-8 (the five
// undefined bytes 81 8D 8F 90 9D as U+0081... as Windows does) into out with
// a terminator. Returns 0, or -1 (out emptied) when it does not fit in size.
int Cp1252ToUtf8(const char *text, size_t length, char *out, size_t size);

// ---- Listed names and paths ----

// How a name listed in a checksum file (possibly downloaded, hostile) that
// lies in folder is taken: a checksum file reaches only what lies beside it.
enum {
    LISTED_TOO_LONG = -1,   // the result does not fit, or folder is no full path: counted missing
    LISTED_INSIDE = 0,      // a relative name that stays in folder or below it
    LISTED_ABSOLUTE = 1,    // a local drive path ("C:\x", "c:/x"): verified only if the user agrees
    LISTED_REFUSED = 2,     // never opened, never looked up
};

// Classifies name, listed in a checksum file that lies in folder (a full
// path with a drive or a UNC share, trailing backslash or not), and writes
// the full path of an inside or absolute name to out ('/' taken as '',
// "." dropped, ".." resolved, folder's trailing separators dropped).
// Refused: network and device names (two separators first, in either
// direction), a name starting with one separator, a ".." that climbs above
// folder (or above the drive of an absolute name) at any point, ':' other
// than a drive's "X:" first (streams, drive-relative "C:x"), control bytes,
// any of <>"|?*, a component ending in '.' or ' ', and a component that is a
// device name whatever its extension or letter case (CON, PRN, AUX, NUL,
// COM0-9, LPT0-9 with the superscript digits 1-3 in Windows-1252 or UTF-8,
// CONIN$, CONOUT$). In a double-byte code page the second byte of a
// character is none of these, and a name of such characters is too long from
// LISTED_SHAPE_SIZE bytes on. Returns a LISTED_...; out holds a path only for
// LISTED_INSIDE and LISTED_ABSOLUTE.
enum { LISTED_SHAPE_SIZE = 1024 };
int ClassifyListedName(const char *folder, const char *name, char *out, size_t size);

// How path is listed in a checksum file saved in folder: relative when it lies
// in folder or below it (A-Z compared as a-z, '/' as '\'), else the full
// path. Returns a pointer into path.
const char *ListedNameOf(const char *folder, const char *path);

// ---- Writing checksum files ----

// "name CRC\r\n" with the CRC in upper case; a name that starts with ';' or
// starts or ends with a blank is written behind ".\" so that it reads back.
// Returns 0, or -1 (out emptied) when it does not fit in size.
int FormatSfvLine(char *out, size_t size, const char *name, uint32_t crc);
// "<md5 in lower case> *<name>\r\n", the binary form that md5sum -c reads;
// a relative name is written with '/' between its folders.
// Returns 0, or -1 (out emptied) when it does not fit or md5Text is not 32
// hexadecimal digits.
int FormatMd5Line(char *out, size_t size, const char *name, const char *md5Text);
// The same line of any kind's digits, in lower case, as FormatMd5Line:
// what sha256sum reads; BLAKE3's in the one form b3sum --check takes,
// "<digits>  <name>\n".
int FormatDigestLine(char *out, size_t size, const char *name, const char *digits, int kind);
// The format of the save dialog's filter index (1: SFV, 2: MD5, 3: SHA256,
// 4: B3), or -1.
int SavedFormatOfFilter(int filterIndex);
// The kind a saved file of format holds, or 0 for a format Save does not write.
int SavedFormatKind(int format);
// The SFV file's first line from local date and time fields:
// "; Generated by Zunta Calculator on 2026-12-09 at 14:05.09\r\n".
// Returns 0, or -1 (out emptied) when it does not fit.
int FormatSfvHeader(char *out, size_t size, int year, int month, int day, int hour, int minute,
                    int second);
// The format and the final name of a checksum file to save from the name
// typed in the save dialog: a name of a format Save writes by
// ChecksumFormatOfName (.sfv, .md5, .md5sum, .sha256, .sha256sum,
// SHA256SUMS, .b3, B3SUMS...) keeps that name and format (any letter case,
// whatever type is selected); any other name gets the extension of
// selectedFormat (SFV, MD5, SHA256 or B3: the filter's choice) appended.
// Returns the format, or -1 for an empty name, another selected format, or
// a name that does not fit in size.
int ChooseSaveName(const char *typed, int selectedFormat, char *out, size_t size);

// ---- Summaries, in the current language; heap texts the caller frees ----

// After saving a checksum file of format (SFV, MD5, SHA256 or B3) named name:
// "12 checksums written to out.md5, 3 without an MD5 left out", the second
// part only when files were left out, or, when none was written, why and what
// to do. Null when out of memory.
char *FormatSaveSummary(int format, const char *name, int32_t written, int32_t leftOut);

enum { VERIFY_OK = 0, VERIFY_FAILED = 1, VERIFY_MISSING = 2, VERIFY_NOT_OPENED = 3 };

// The first names of one list of a verification summary, and how many there are.
struct SummaryNames {
    int32_t Count;
    char *Names[SUMMARY_NAME_LIMIT];    // owned copies of the first ones; null when memory ran out
};

// What a verification found, gathered one file at a time: counts, and the
// first SUMMARY_NAME_LIMIT names of each list, so that a very long list costs
// no more than a short one.
struct VerifySummary {
    int32_t Ok;
    SummaryNames Failed;
    SummaryNames Missing;
    SummaryNames NotOpened;         // refused names, and absolute ones the user declined
    int32_t NotUnderstood;          // lines not understood
    int32_t FirstNotUnderstood;     // the first one's line number; 0 for none
    int Cancelled;                  // 1 when the verification stopped before the end
    int32_t MatchedAs[KIND_COUNT];  // values that matched as a kind their file did not name
    int32_t Listed;                 // files the checksum file lists; shown when cancelled
};

void VerifySummaryInit(VerifySummary *summary);
// Counts one file with its outcome (VERIFY_...); name, as listed, is kept
// among the first of its list.
void VerifySummaryAdd(VerifySummary *summary, int outcome, const char *name);
// Counts one line not understood.
void VerifySummaryAddNotUnderstood(VerifySummary *summary, int32_t lineNumber);
// Frees the kept names; the record is then as after VerifySummaryInit.
void VerifySummaryFree(VerifySummary *summary);
// "Verified N files: K OK, B FAILED, M missing", after "Verification
// cancelled after K of N files." when cancelled; then the FAILED and the
// Missing lists ("and N more" after the first names), then "Not opened,
// outside the checksum file's folder: N" and its list, then the count of
// lines not understood; lines end with CR LF. Null when out of memory.
char *FormatVerifySummary(const VerifySummary *summary);

#endif
