// Splitting the command line's argument text into paths.
#ifndef ZUNTA_CMDLINE_H
#define ZUNTA_CMDLINE_H

#include <stddef.h>

enum {
    ADD_LOCALLY = 1,        // each path is added to the own list
    SEND_TO_INSTANCE = 2,   // each path is handed to the running instance
    COMMAND_PATH_SIZE = 260,
};

// What is done with the paths, supplied by the caller.
struct CommandLineActions {
    // The full path of a path as written (a relative one taken against the
    // folder the process was started in) into out; the length written, or
    // 0 when it cannot be made (the path is then skipped).
    unsigned (*FullPath)(const char *path, char *out, unsigned size);
    // The long form of path into out; the length written, or 0 on failure.
    unsigned (*LongPath)(const char *path, char *out, unsigned size);
    // Handles one path; 0, or -1 to stop because memory ran out.
    int (*HandlePath)(void *context, const char *path);
    void *Context;
};

// Parses the text at *cursor: quoted paths as written, unquoted ones split
// before a drive letter and given their long form, relative ones of either
// kind made full first; empty paths and paths of
// COMMAND_PATH_SIZE characters or more are skipped. Returns 0 when *cursor
// is already null, -1 for a bad mode or when HandlePath ran out of memory
// (*cursor is then left on that path), and 1 when the text has been handled
// (*cursor is then null).
int ParseCommandLineText(const char **cursor, int mode, const CommandLineActions *actions);

// Joins a relative path to folder: "a\b.txt" and ".\b.txt" go below it, a
// path that starts with one separator goes below its drive or share. A path
// with a drive and a separator, a UNC path, a drive-relative "C:x" and any
// path with no folder given are left as they are. Returns 1 when joined,
// 0 when out holds path unchanged, -1 when the result does not fit in size.
int MakeArgumentAbsolute(const char *folder, const char *path, char *out, size_t size);

#endif
