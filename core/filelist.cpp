// The store of collected files. The window's thread appends while a worker
// may look entries up, so every move of Items and every cross-thread read of
// a slot happen under the list's guard; entries themselves never move.
#include "core/filelist.h"

#include "base/textutil.h"

#include <stdlib.h>
#include <string.h>

FileList Files;
void *(*FileListReallocate)(void *, size_t) = realloc;

typedef std::lock_guard<std::mutex> Hold;

static int Reallocate(FileList *list, int32_t capacity)
{
    FileEntry **items = (FileEntry **)FileListReallocate(list->Items, (size_t)capacity * sizeof(FileEntry *));
    if (items == nullptr)
        return -1;
    list->Items = items;
    list->Capacity = capacity;
    return 0;
}

static std::mutex EntryResultsLock;

void LockEntryResults(void)
{
    EntryResultsLock.lock();
}

void UnlockEntryResults(void)
{
    EntryResultsLock.unlock();
}

FileList *FileListInit(FileList *list, int32_t capacity)
{
    if (list == nullptr || capacity <= 0)
        return nullptr;
    FileEntry **items = (FileEntry **)malloc((size_t)capacity * sizeof(FileEntry *));
    if (items == nullptr)
        return nullptr;
    items[0] = nullptr;
    list->Items = items;
    list->Count = 0;
    list->Capacity = capacity;
    return list;
}

int FileListFit(FileList *list)
{
    if (list->Capacity == list->Count) {
        int32_t capacity = list->Capacity == 0 ? 10 : list->Capacity;
        return Reallocate(list, capacity * 2);
    }
    if (list->Count <= list->Capacity / 3 && list->Capacity / 2 > list->Count) {
        // A failed shrink keeps the larger array, which is still valid.
        Reallocate(list, list->Capacity / 2);
    }
    return 0;
}

int32_t FileListAppend(FileList *list, FileEntry *item)
{
    if (list == nullptr)
        return -1;
    Hold hold(list->Guard);
    if (list->Capacity >= list->Count && FileListFit(list) != 0)
        return -1;
    list->Items[list->Count] = item;
    return list->Count++;
}

void FileListFree(FileList *list)
{
    Hold hold(list->Guard);
    free(list->Items);
    list->Items = nullptr;
    list->Count = 0;
    list->Capacity = 0;
}

FileEntry *FileListEntry(FileList *list, int32_t index)
{
    Hold hold(list->Guard);
    if (index < 0 || index >= list->Count)
        return nullptr;
    return list->Items[index];
}

void FileListRemoveEntry(FileList *list, int32_t index)
{
    FileEntry *entry;
    {
        Hold hold(list->Guard);
        if (index < 0 || index >= list->Count)
            return;
        entry = list->Items[index];
        list->Items[index] = nullptr;
    }
    FreeFileEntry(entry);
}

void FileListClearEntries(FileList *list)
{
    for (int32_t i = 0; i < list->Count; i++)
        FileListRemoveEntry(list, i);
}

void FileListRelease(FileList *list)
{
    FileListClearEntries(list);
    FileListFree(list);
}

FileEntry *NewFileEntry(const char *path)
{
    FileEntry *entry = (FileEntry *)calloc(1, sizeof *entry);
    if (entry == nullptr)
        return nullptr;
    if (path != nullptr && (entry->Path = DuplicateText(path)) == nullptr) {
        free(entry);
        return nullptr;
    }
    return entry;
}

void FreeFileEntry(FileEntry *entry)
{
    if (entry == nullptr)
        return;
    free(entry->Path);
    free(entry);
}
