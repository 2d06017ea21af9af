// Small text helpers shared by the program: bounded copies, ASCII-only
// case folding (the code page's other letters are never folded), and the
// measure of narrow text by characters of the process code page.
#ifndef ZUNTA_TEXTUTIL_H
#define ZUNTA_TEXTUTIL_H

#include <stddef.h>
#include <stdint.h>

#define ARRAY_SIZE(a) (sizeof(a) / sizeof((a)[0]))

// A-Z as a-z, one byte: PathFoldAt folds the bytes of a text.
char AsciiLower(char c);
// These fold the letters of characters of one byte only: in a double-byte
// code page the second byte of a character is never a letter of its own.
// 1 when the texts are equal once A-Z are mapped to a-z, else 0.
int AsciiEqualNoCase(const char *a, const char *b);
// Like AsciiEqualNoCase over at most n characters.
int AsciiEqualNoCaseN(const char *a, const char *b, size_t n);
void AsciiLowerText(char *text);
void AsciiUpperText(char *text);

// Copies src into dst of the given size. Returns 0, or -1 (dst unchanged)
// when src does not fit with its terminator.
int CopyText(char *dst, size_t size, const char *src);
// Appends src to the text in dst. Returns 0, or -1 (dst unchanged) when the
// result would not fit.
int AppendText(char *dst, size_t size, const char *src);
// Formats into dst like snprintf. Returns 0, or -1 (dst emptied) when the
// result would not fit.
int FormatText(char *dst, size_t size, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// How narrow text is cut into characters: UTF-8 (1 to 4 bytes), a
// double-byte code page (a lead byte and the byte after it), or one byte each.
enum TextCodePageKind { TEXT_UTF8, TEXT_DOUBLE_BYTE, TEXT_SINGLE_BYTE };
enum { TEXT_CODE_PAGE_UTF8 = 65001, TEXT_LEAD_BYTES_SIZE = 12 };

// Sets the process code page from the platform's answers, once at start-up
// before any other thread runs: its number, the largest size of one of its
// characters, and its lead-byte ranges (pairs of first and last byte, ended
// by a 0 pair, as the code page information gives them; null for none).
// Until then text is measured as UTF-8.
void TextSetCodePage(uint32_t codePage, uint32_t maxCharSize, const uint8_t *leadBytes);
TextCodePageKind TextCodePage(void);

// Text read byte by byte: in a double-byte code page a lead byte and the
// byte after it make one character, neither of them a letter, '\\' or '/'
// of its own. Returns whether the byte at at (in a text with its
// terminator) is one of such a pair, moving *second past it (false at the
// start of a text).
bool TextInPair(bool *second, const char *at);
// As TextInPair for text without a terminator, available bytes from at on.
bool TextInPairWithin(bool *second, const char *at, size_t available);
// The byte at at of a path as comparisons take it: A-Z as a-z, '/' as '\\'
// too with slashes; a byte of a two-byte character as it is.
char PathFoldAt(const char *at, bool slashes, bool *second);

// Bytes of the well-formed UTF-8 character at text (no overlong form, no
// surrogate, nothing past U+10FFFF, as the system's conversion takes them)
// within the available bytes (at least 1): 2 to 4, or 1 for ASCII and for a
// byte that starts no such character.
size_t Utf8CharSize(const char *text, size_t available);
// Bytes of the character at text: 1 to 4, 0 at the terminator. A byte that
// does not start a whole, well-formed character counts as one of its own.
size_t TextCharSize(const char *text);
// As TextCharSize for the available bytes at text, which need no terminator
// (at least 1 when available is above 0).
size_t TextCharSizeWithin(const char *text, size_t available);
// Characters in the first length bytes of text (a terminator among them
// counts as one); a character cut by length counts as its bytes, one each.
size_t TextCharCount(const char *text, size_t length);
// Length of the longest start of text that has at most maxBytes bytes and
// ends on a character boundary.
size_t TextFitLength(const char *text, size_t maxBytes);
// Bytes of the first maxChars characters of text (all of it when shorter).
size_t TextPrefixLength(const char *text, size_t maxChars);
// Copies as much of src as fits in dst of the given size, ending on a
// character boundary. Returns 0 when all of src fits, 1 when it was cut,
// -1 for a size of 0.
int CopyTextCut(char *dst, size_t size, const char *src);

// A heap copy of text, or null when out of memory.
char *DuplicateText(const char *text);
// A heap text of first, second and third (null for none) one after the
// other, or null when out of memory.
char *JoinTexts(const char *first, const char *second, const char *third);

// The part of a path after its last backslash, or the whole path without one.
const char *PathFileName(const char *path);
// The part of path after folder and a separator (letters without case,
// '/' as '\\', folder's trailing separators dropped), or null when path
// does not lie in folder or below it.
const char *PathInFolder(const char *folder, const char *path);
// Length of the first length bytes of path without the separators that end them.
size_t PathTrimSeparators(const char *path, size_t length);

// '\' or '/', which Windows takes alike in paths.
bool IsPathSeparator(char c);
bool IsDriveLetter(char c);
// Length of the root at the start of path: 2 for a drive ("C:"), the
// "\\server\share" of a UNC path (or "\\server" without a share); 0 for none.
size_t PathRootLength(const char *path);

#endif
