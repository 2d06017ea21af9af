// The path a file is reached by, which is not always the path the user
// named: Windows shows a 32-bit program on 64-bit Windows the folder
// SysWOW64 in place of System32, and only the alias Sysnative reaches the
// real one. Every look-up, search and open of a file goes through
// FileAccessPath; what is shown, logged, handed over and saved stays the
// path the user named.
#ifndef ZUNTA_FILEACCESS_H
#define ZUNTA_FILEACCESS_H

#include <stddef.h>

enum { FILE_ACCESS_PATH_SIZE = 272 };

// The rule, given the Windows folder ("C:\Windows"): a path below
// "<windows>\System32" (any letter case, '/' taken as '\') is written to out
// with "Sysnative" in place of "System32". Returns 1 when mapped, 0 when the
// path is elsewhere, -1 when the mapped path would not fit in size (the
// path is then used as it is).
int MapRedirectedPath(const char *windowsFolder, const char *path, char *out, size_t size);

// Set once at start-up: the Windows folder when this process's view of
// System32 is redirected, or null (the default) when it is not.
void SetRedirectedWindowsFolder(const char *windowsFolder);
// The path to reach path by: path itself, or the mapped path written to
// buffer (FILE_ACCESS_PATH_SIZE bytes).
const char *FileAccessPath(const char *path, char *buffer);

#endif
