// The store of collected files: one FileEntry per file, addressed by an index
// that never changes and is never reused.
#ifndef ZUNTA_FILELIST_H
#define ZUNTA_FILELIST_H

#include <mutex>
#include <stddef.h>
#include <stdint.h>

enum { HAS_CRC32 = 1, HAS_MD5 = 2 };

struct FileEntry {
    char *Path;         // owned
    uint64_t Size;
    uint32_t Crc32;     // valid when HAS_CRC32 is set
    float Duration;     // seconds of the last successful run; -1.0 = none
    char Md5Text[33];   // valid when HAS_MD5 is set, in the case it was made in
    uint8_t Flags;
};

// The process-wide array of the entries. Appends may move Items; the reads
// of this header are the ones that are safe from another thread while an
// append runs.
struct FileList {
    FileEntry **Items;  // owned entries; a removed one leaves a null slot
    int32_t Count;      // slots in use, removed ones included
    int32_t Capacity;   // slots allocated
    std::mutex Guard;   // held while Items moves or is read across threads
};

extern FileList Files;

// The reallocation the store grows and shrinks with (realloc; tests replace it).
extern void *(*FileListReallocate)(void *block, size_t size);

// Allocates capacity slots and returns the list, or null when out of memory.
// Only the first slot is cleared.
FileList *FileListInit(FileList *list, int32_t capacity);
// Stores item in a new slot and returns its index, or -1 (nothing changed)
// for no list or when the slots cannot grow.
int32_t FileListAppend(FileList *list, FileEntry *item);
// Grows a full list or shrinks a sparse one before a store. Returns 0, or -1
// when a full list cannot grow; every stored pointer stays valid either way.
int FileListFit(FileList *list);
// Releases the slot storage, not what the slots point to.
void FileListFree(FileList *list);
// Slot index, or null when it is empty or out of range.
FileEntry *FileListEntry(FileList *list, int32_t index);
// Frees entry index and clears its slot; Count stays.
void FileListRemoveEntry(FileList *list, int32_t index);
// Frees every entry and clears every slot; Count stays.
void FileListClearEntries(FileList *list);
// Frees every entry, then the slot storage.
void FileListRelease(FileList *list);

// The result fields of entries (Size, Crc32, Duration, Md5Text, Flags) are
// written by a run's worker and read by the window's thread: both hold this
// lock while they do, so a reader never sees half a result.
void LockEntryResults(void);
void UnlockEntryResults(void);

// A new entry owning a copy of path (or no path), or null when out of memory.
FileEntry *NewFileEntry(const char *path);
void FreeFileEntry(FileEntry *entry);

#endif
