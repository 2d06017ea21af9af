// The path a file is reached by.
#include "core/fileaccess.h"

#include "base/textutil.h"

#include <string.h>

static const char System32[] = "System32";
static const char Sysnative[] = "Sysnative";

int MapRedirectedPath(const char *windowsFolder, const char *path, char *out, size_t size)
{
    const char *name = PathInFolder(windowsFolder, path);
    size_t nameLength = sizeof System32 - 1;
    if (name == nullptr || !AsciiEqualNoCaseN(name, System32, nameLength) ||
        (name[nameLength] != '\0' && !IsPathSeparator(name[nameLength])))
        return 0;
    size_t folderLength = (size_t)(name - path) - 1;
    size_t length = folderLength + 1 + (sizeof Sysnative - 1) + strlen(name + nameLength);
    if (length >= size)
        return -1;
    memcpy(out, path, folderLength + 1);
    memcpy(out + folderLength + 1, Sysnative, sizeof Sysnative - 1);
    strcpy(out + folderLength + 1 + sizeof Sysnative - 1, name + nameLength);
    return 1;
}

static char RedirectedFolder[FILE_ACCESS_PATH_SIZE];

void SetRedirectedWindowsFolder(const char *windowsFolder)
{
    if (windowsFolder == nullptr || CopyText(RedirectedFolder, sizeof RedirectedFolder, windowsFolder) != 0)
        RedirectedFolder[0] = '\0';
}

const char *FileAccessPath(const char *path, char *buffer)
{
    if (RedirectedFolder[0] == '\0' || path == nullptr)
        return path;
    return MapRedirectedPath(RedirectedFolder, path, buffer, FILE_ACCESS_PATH_SIZE) == 1 ? buffer : path;
}
