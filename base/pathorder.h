// The order of paths in a folder scan.
#ifndef ZUNTA_PATHORDER_H
#define ZUNTA_PATHORDER_H

// Compares two paths character by character, A-Z folded to a-z, by unsigned
// value; a prefix comes first. Negative, zero or positive.
int ComparePaths(const char *a, const char *b);
// As ComparePaths, with '/' taken as '\' too when slashes is set.
int ComparePathsFolded(const char *a, const char *b, bool slashes);
// The same for qsort over an array of text pointers.
int ComparePathPointers(const void *a, const void *b);

#endif
