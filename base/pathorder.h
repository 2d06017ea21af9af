// The order of paths in a folder scan, and the list of a scan's sub-folders.
#ifndef ZUNTA_PATHORDER_H
#define ZUNTA_PATHORDER_H

#include <stdint.h>

// Compares two paths character by character, A-Z folded to a-z, by unsigned
// value; a prefix comes first. Negative, zero or positive.
int ComparePaths(const char *a, const char *b);
// As ComparePaths, with '/' taken as '\' too when slashes is set.
int ComparePathsFolded(const char *a, const char *b, bool slashes);
// The same for qsort over an array of text pointers.
int ComparePathPointers(const void *a, const void *b);


// A list of owned path texts (the sub-folders a folder scan collects).
struct PathList {
    char **Paths;
    int32_t Count;
    int32_t Capacity;
};

// Takes path (a heap text) into the list. Returns 0, or -1 when the list
// cannot grow (the text stays the caller's then).
int PathListAppend(PathList *list, char *path);
// Sorts the paths by ComparePaths.
void PathListSort(PathList *list);
// Frees every path and the list's storage; the list is empty after.
void PathListRelease(PathList *list);

#endif
