// The Windows half of the text helpers: the process code page as the
// system reports it, and conversions between code pages through UTF-16.
#ifndef ZUNTA_CODEPAGE_H
#define ZUNTA_CODEPAGE_H

#include <windows.h>
#include <stddef.h>

// Measures narrow text from now on by the process code page's characters
// (TextSetCodePage with GetACP's and GetCPInfo's answers). Once, at start-up.
void TextUseProcessCodePage(void);

// Converts the text in (ended by its terminator) from fromCodePage into
// toCodePage (CP_ACP: the process code page) through UTF-16. Writes the
// result and its terminator into out of size bytes; a size of 0 only
// measures (out may then be null). exact refuses a byte sequence that is not
// valid in fromCodePage and a character that toCodePage lacks; without it
// they become the code pages' replacement characters. Returns the result's
// length without terminator, or -1 (out emptied) when it is refused, does not
// fit, or memory runs out.
int ConvertText(UINT fromCodePage, UINT toCodePage, const char *in, char *out, size_t size, bool exact);

// Converts the wide text in (ended by its terminator) into codePage, as
// ConvertText does; exact refuses a character the code page lacks.
int WideToCodePage(const WCHAR *in, UINT codePage, char *out, size_t size, bool exact);

// Folds the length UTF-16 units of path in place as the file system
// compares names: each unit as the system upper-cases it, '/' as '\'.
void FoldWidePath(WCHAR *path, size_t length);
// Takes the extended form's prefix off a path the system gave, in place:
// "\\?\C:\x" as "C:\x", "\\?\UNC\server\share" as "\\server\share". Returns
// its length (length units before).
size_t DropExtendedPrefix(WCHAR *path, size_t length);
// Narrow text (process code page) in UTF-16, and back, exactly: heap texts,
// or null when memory ran out or a character has no form in the other.
WCHAR *WideText(const char *text);
char *NarrowText(const WCHAR *text);
// The narrow path (process code page) in UTF-16, folded (FoldWidePath): a
// heap text, or null when memory ran out or a byte is not of the code page.
WCHAR *FoldedWidePath(const char *path);

// The code page narrow names are written in when the process does not run
// under UTF-8 (Windows before 10 1903 ignores the manifest's declaration):
// 0 under UTF-8, else the code page. Tests replace it.
extern UINT (*LegacyCodePage)(void);

// A ListedNameConverter (core/checksumfile.h): a UTF-8 line's names as they
// are under UTF-8, else Windows-1252 ones converted; under LegacyCodePage()
// a UTF-8 line's names converted exactly into it, another line's names
// taken as written in it.
int ListedNameToProcessCodePage(const char *name, bool utf8, char *out, size_t size);

// A TextConverter (base/lang.h) of the program's own Windows-1252 texts into
// the process code page, exact.
int ConvertProgramText(const char *in, char *out, size_t size, void *context);

#endif
