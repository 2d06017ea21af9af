// The file lookup, through the runtime's 64-bit directory search.
#include "core/fileinfo.h"

#include <io.h>

int QueryFileInfo(const char *path, uint64_t *size, int64_t *lastWriteTime)
{
    if (path == nullptr)
        return -1;
    struct __finddata64_t found;
    intptr_t search = _findfirst64(path, &found);
    if (search == -1)
        return -1;
    _findclose(search);
    if (found.attrib & _A_SUBDIR)
        return -2;
    if (size != nullptr)
        *size = (uint64_t)found.size;
    if (lastWriteTime != nullptr)
        *lastWriteTime = (int64_t)found.time_write;
    return 0;
}
