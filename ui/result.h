// The result box and the status text below the list.
#ifndef ZUNTA_RESULT_H
#define ZUNTA_RESULT_H

#include "core/filelist.h"

#include <windows.h>

// Writes the entry's path and checksums into the result box and its
// duration into the status text. The caller sets CurrentEntry first.
void ShowEntryResult(const FileEntry *entry);
// The entry's checksums as the result box shows them (the case of the
// settings); returns its flags, HAS_CRC32 and HAS_MD5 telling which are known.
uint8_t EntryChecksumTexts(const FileEntry *entry, char crc[9], char md5[33]);
// ShowEntryResult for the entry of FileList index index, with the lines of
// EntryExtraLines below.
void ShowEntryResultOf(const FileEntry *entry, int32_t index);
// Sets the result box of window to the result text of path and the given
// checksum texts (either may be null), however long the path, followed by
// extraLines (each starting with CR LF) when given.
void SetResultText(HWND window, const char *path, const char *crcText, const char *md5Text,
                   const char *extraLines = nullptr);
// Replaces the template's result box with one that wraps its lines and has a
// vertical scroll bar (a box takes these styles only when it is created), in
// the same place, order and font: every line it holds can be reached.
void RebuildResultBox(HWND window);
// The text SetResultText sets, on the heap; null when memory ran out.
char *MakeResultText(const char *path, const char *crcText, const char *md5Text, const char *extraLines);
// The lines the result box shows below the checksums of the entry of
// FileList index index: the expected checksums of a failed verification,
// the SHA digests known, a warning. A heap text, or null for none.
char *EntryExtraLines(int32_t index);
// The digest of kind (KIND_SHA1 and on: a kind kept outside the entry) kept for
// the entry of FileList index, in the MD5's letter case as the result box
// shows it; a heap text, or null when it is not known.
char *DuplicateShownDigest(int32_t index, int kind);

#endif
