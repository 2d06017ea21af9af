// The order of paths in a folder scan, and the list of a scan's sub-folders.
#include "base/pathorder.h"

#include "base/textutil.h"

#include <stdlib.h>

int ComparePaths(const char *a, const char *b)
{
    return ComparePathsFolded(a, b, false);
}

int ComparePathsFolded(const char *a, const char *b, bool slashes)
{
    bool secondA = false, secondB = false;
    for (;; a++, b++) {
        unsigned char ca = (unsigned char)PathFoldAt(a, slashes, &secondA);
        unsigned char cb = (unsigned char)PathFoldAt(b, slashes, &secondB);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

int ComparePathPointers(const void *a, const void *b)
{
    return ComparePaths(*(const char *const *)a, *(const char *const *)b);
}

int PathListAppend(PathList *list, char *path)
{
    if (list->Count == list->Capacity) {
        if (list->Capacity > INT32_MAX / 2)
            return -1;
        int32_t capacity = list->Capacity == 0 ? 32 : list->Capacity * 2;
        char **paths = (char **)realloc(list->Paths, (size_t)capacity * sizeof(char *));
        if (paths == nullptr)
            return -1;
        list->Paths = paths;
        list->Capacity = capacity;
    }
    list->Paths[list->Count++] = path;
    return 0;
}

void PathListSort(PathList *list)
{
    if (list->Count > 1)
        qsort(list->Paths, (size_t)list->Count, sizeof list->Paths[0], ComparePathPointers);
}

void PathListRelease(PathList *list)
{
    for (int32_t i = 0; i < list->Count; i++)
        free(list->Paths[i]);
    free(list->Paths);
    *list = PathList();
}
