// The store of collected files: one FileEntry per file, addressed by an index
// that never changes and is never reused.
#ifndef ZUNTA_FILELIST_H
#define ZUNTA_FILELIST_H

#include <mutex>
#include <stddef.h>
#include <stdint.h>

enum { HAS_CRC32 = 1, HAS_MD5 = 2 };

// Where a file stands, shown as its row's status. A new entry is ready.
enum EntryState {
    ENTRY_READY = 0,
    ENTRY_DISABLED,
    ENTRY_PROCESSING,   // a run's worker is at it
    ENTRY_DONE,
    ENTRY_ERROR,
};

struct FileEntry {
    char *Path;         // owned
    uint64_t Size;
    uint32_t Crc32;     // valid when HAS_CRC32 is set
    float Duration;     // seconds of the last successful run; -1.0 = none
    char Md5Text[33];   // valid when HAS_MD5 is set, in the case it was made in
    uint8_t Flags;
    uint8_t State;      // an EntryState, read and written with the two calls below
    uint64_t Column;    // what the row's checksum column shows: CRC << 32 | COLUMN_..., read and written whole
};

// What a file row's checksum column shows, as a run's result or the
// rebuilt rows of a language switch left it: nothing until then.
enum {
    COLUMN_SHOWN = 1,       // the column shows the CRC (or spaces as wide)...
    COLUMN_CRC = 2,         // ...the CRC...
    COLUMN_CRC_LOWER = 4,   // ...in lower case...
    COLUMN_MD5 = 8,         // ...and the mark of an MD5
    COLUMN_REBUILT = 16,    // made for the rebuilt rows: the spaces are counted as then
};

// The state of an entry, read and written whole from any thread without a
// lock: the window draws it while a worker changes it.
inline int EntryStateOf(const FileEntry *entry)
{
    return __atomic_load_n(&entry->State, __ATOMIC_ACQUIRE);
}

inline void SetEntryState(FileEntry *entry, int state)
{
    __atomic_store_n(&entry->State, (uint8_t)state, __ATOMIC_RELEASE);
}

inline uint64_t EntryColumnOf(const FileEntry *entry)
{
    return __atomic_load_n(&entry->Column, __ATOMIC_ACQUIRE);
}

inline void SetEntryColumn(FileEntry *entry, uint32_t crc, int flags)
{
    __atomic_store_n(&entry->Column, (uint64_t)crc << 32 | (uint32_t)flags, __ATOMIC_RELEASE);
}

// The size the window shows, read whole while a run's worker may write it
// (under the entry lock, with SetEntrySize).
inline uint64_t EntrySizeOf(const FileEntry *entry)
{
    return __atomic_load_n(&entry->Size, __ATOMIC_ACQUIRE);
}

inline void SetEntrySize(FileEntry *entry, uint64_t size)
{
    __atomic_store_n(&entry->Size, size, __ATOMIC_RELEASE);
}

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
