// Texts kept beside the entries of the file list.
#include "core/entrytexts.h"

#include "base/textutil.h"
#include "core/filelist.h"

#include <stdlib.h>
#include <string.h>

typedef char *EntryTexts[EXTRA_KINDS];

// Texts by FileList index; null where there is none. Indices are never
// reused, so a text never outlives its file's place in the table.
static EntryTexts *Texts;
static int32_t TextCount;

int SetEntryText(int32_t index, int kind, const char *text)
{
    if (index < 0 || kind < 0 || kind >= EXTRA_KINDS)
        return -1;
    char *copy = DuplicateText(text);
    if (copy == nullptr)
        return -1;
    LockEntryResults();
    if (index >= TextCount) {
        int32_t count = index + 1 > TextCount * 2 ? index + 1 : TextCount * 2;
        EntryTexts *grown = (size_t)count > SIZE_MAX / sizeof *grown
                                ? nullptr
                                : (EntryTexts *)realloc(Texts, (size_t)count * sizeof *grown);
        if (grown == nullptr) {
            UnlockEntryResults();
            free(copy);
            return -1;
        }
        memset(grown + TextCount, 0, (size_t)(count - TextCount) * sizeof *grown);
        Texts = grown;
        TextCount = count;
    }
    char *old = Texts[index][kind];
    Texts[index][kind] = copy;
    UnlockEntryResults();
    free(old);
    return 0;
}

char *DuplicateEntryText(int32_t index, int kind)
{
    LockEntryResults();
    bool kept = index >= 0 && index < TextCount && kind >= 0 && kind < EXTRA_KINDS && Texts[index][kind] != nullptr;
    char *copy = kept ? DuplicateText(Texts[index][kind]) : nullptr;
    UnlockEntryResults();
    return copy;
}

void ClearEntryText(int32_t index, int kind)
{
    char *text = nullptr;
    LockEntryResults();
    if (index >= 0 && index < TextCount && kind >= 0 && kind < EXTRA_KINDS) {
        text = Texts[index][kind];
        Texts[index][kind] = nullptr;
    }
    UnlockEntryResults();
    free(text);
}

void ClearEntryExtras(int32_t index)
{
    for (int kind = 0; kind < EXTRA_KINDS; kind++)
        ClearEntryText(index, kind);
}

void ClearAllEntryExtras(void)
{
    LockEntryResults();
    EntryTexts *texts = Texts;
    int32_t count = TextCount;
    Texts = nullptr;
    TextCount = 0;
    UnlockEntryResults();
    for (int32_t i = 0; i < count; i++)
        for (int kind = 0; kind < EXTRA_KINDS; kind++)
            free(texts[i][kind]);
    free(texts);
}
