// The order of paths in a folder scan.
#include "ui/pathorder.h"

#include "app/textutil.h"

int ComparePaths(const char *a, const char *b)
{
    bool trailA = false, trailB = false;
    for (;; a++, b++) {
        unsigned char ca = (unsigned char)PathFoldByte(*a, false, &trailA);
        unsigned char cb = (unsigned char)PathFoldByte(*b, false, &trailB);
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
