// The path a file is reached by, which is not always the path the user
// named. Windows shows a 32-bit program on 64-bit Windows the folder
// SysWOW64 in place of System32, and only the alias Sysnative reaches the
// real one; and a path of MAX_PATH characters or more reaches the system
// only in its extended form ("\\?\C:\..." or "\\?\UNC\server\share\...").
// Every look-up, search and open of a file goes through SystemPath; what is
// shown, logged, handed over and saved stays the path the user named.
#ifndef ZUNTA_FILEACCESS_H
#define ZUNTA_FILEACCESS_H

#include <stddef.h>

// The length in UTF-16 units from which a path is given in its extended
// form: below MAX_PATH by the room a folder's search pattern or a file name
// the system adds takes.
enum { LONG_PATH_FROM = 248 };

// Set once at start-up: the Windows folder ("C:\Windows") when this
// process's view of System32 is redirected, or null (the default) when it
// is not. Returns 0, or -1 when memory ran out (nothing redirected then).
int SetRedirectedWindowsFolder(const char16_t *windowsFolder, size_t length);

// The path the system is given for path (length UTF-16 units): below
// "<windows>\System32" (any letter case, '/' taken as '\') with "Sysnative"
// in place of "System32" where the view is redirected; then, when it is
// LONG_PATH_FROM units or more, a drive path as "\\?\" and the path, a UNC
// path as "\\?\UNC\" and the path after its "\\". Anything else stays as it
// is: a short path, a path already in the extended or the device form, a
// relative one (the caller makes a long path full first, with its "." and
// ".." resolved and '\' separators). Returns a heap text, NUL-ended, its
// length in *outLength, or null when memory ran out.
char16_t *SystemPathForm(const char16_t *path, size_t length, size_t *outLength);

#ifdef _WIN32
// SystemPathForm of path in the process code page, made full first when it
// is long: a heap text for the caller to free, or null when path is null,
// cannot be read in the code page or memory ran out.
wchar_t *SystemPath(const char *path);
#endif

#endif
