// Texts the result box shows below a file's checksums, kept by FileList
// index until the file is processed again or leaves the list: the expected
// checksums a verification found it without, its other digests, and the
// warning of contents changed without a write. Read and written under the
// entry lock of core/filelist.h.
#ifndef ZUNTA_ENTRYTEXTS_H
#define ZUNTA_ENTRYTEXTS_H

#include "checksum/kinds.h"

#include <stdint.h>

enum {
    EXTRA_EXPECTED = 0,     // the expected checksums, two spaces apart
    EXTRA_WARNING,          // a whole line of its own
    EXTRA_DIGESTS,          // the digest of each kind kept outside the entry, as text, lower case
    EXTRA_KINDS = EXTRA_DIGESTS + KIND_COUNT - KIND_FIRST_STORED
};

// The text kind that keeps the digest of a kind from KIND_FIRST_STORED on.
inline int DigestText(int kind)
{
    return EXTRA_DIGESTS + kind - KIND_FIRST_STORED;
}

// Keeps a copy of text for index. Returns 0, or -1 when memory ran out
// (nothing kept then).
int SetEntryText(int32_t index, int kind, const char *text);
// A heap copy of the text kept for index, or null when there is none (or
// no memory for the copy).
char *DuplicateEntryText(int32_t index, int kind);
void ClearEntryText(int32_t index, int kind);
// Every text of index, or of every index.
void ClearEntryExtras(int32_t index);
void ClearAllEntryExtras(void);

#endif
