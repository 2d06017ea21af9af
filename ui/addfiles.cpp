// Every way a file gets into the list.
#include "ui/addfiles.h"

#include "core/fileinfo.h"
#include "core/filelist.h"
#include "ui/listview.h"

int AddFileToList(const char *path, int position)
{
    FileEntry *entry = NewFileEntry(path);
    if (entry == nullptr)
        return ADD_OUT_OF_MEMORY;
    if (QueryFileInfo(entry->Path, &entry->Size, nullptr) != 0) {
        FreeFileEntry(entry);
        return ADD_DROPPED;
    }
    entry->Duration = -1.0f;
    entry->Flags = 0;
    int32_t index = FileListAppend(&Files, entry);
    if (index < 0) {
        FreeFileEntry(entry);
        return ADD_OUT_OF_MEMORY;
    }
    InsertFileRow(entry->Path, index, (uint32_t)entry->Size, (uint32_t)(entry->Size >> 32), position);
    return ADD_ADDED;
}
