// Small text helpers shared by the program: bounded copies and ASCII-only
// case folding (the code page's other letters are never folded).
#ifndef ZUNTA_TEXTUTIL_H
#define ZUNTA_TEXTUTIL_H

#include <stddef.h>

#define ARRAY_SIZE(a) (sizeof(a) / sizeof((a)[0]))

char AsciiLower(char c);
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

// A heap copy of text, or null when out of memory.
char *DuplicateText(const char *text);

// The part of a path after its last backslash, or the whole path without one.
const char *PathFileName(const char *path);

// '\' or '/', which Windows takes alike in paths.
bool IsPathSeparator(char c);
bool IsDriveLetter(char c);
// Length of the root at the start of path: 2 for a drive ("C:"), the
// "\\server\share" of a UNC path (or "\\server" without a share); 0 for none.
size_t PathRootLength(const char *path);

#endif
