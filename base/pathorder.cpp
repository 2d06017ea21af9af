// The order of paths in a folder scan.
#include "base/pathorder.h"

#include "base/textutil.h"

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
