// The result box and the status text below the list.
#ifndef ZUNTA_RESULT_H
#define ZUNTA_RESULT_H

#include "core/filelist.h"

#include <windows.h>

// Writes the entry's path and checksums into the result box and its
// duration into the status text. The caller sets CurrentEntry first.
void ShowEntryResult(const FileEntry *entry);
// Sets the result box of window to the result text of path and the given
// checksum texts (either may be null), however long the path.
void SetResultText(HWND window, const char *path, const char *crcText, const char *md5Text);

#endif
