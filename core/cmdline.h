// Splitting the command line's argument text into paths.
#ifndef ZUNTA_CMDLINE_H
#define ZUNTA_CMDLINE_H

#include <stddef.h>

enum {
    ADD_LOCALLY = 1,        // each path is added to the own list
    SEND_TO_INSTANCE = 2,   // each path is handed to the running instance
    COMMAND_PATH_SIZE = 260,    // the room a form of a path is first given beyond its own length
};

// What is done with the paths, supplied by the caller. The two forms are
// written into out of size bytes as the system's calls write them: their
// length, or when out is too small the size they need (with the
// terminator), or 0 when they cannot be made.
struct CommandLineActions {
    // The full path of a path as written (a relative one taken against the
    // folder the process was started in); one that cannot be made is
    // skipped.
    unsigned (*FullPath)(const char *path, char *out, unsigned size);
    // The long form of path; without one the full path is used.
    unsigned (*LongPath)(const char *path, char *out, unsigned size);
    // Handles one path; 0, or -1 to stop because memory ran out.
    int (*HandlePath)(void *context, const char *path);
    void *Context;
};

// Parses the text at *cursor: quoted paths as written, unquoted ones split
// before a drive letter and given their long form, relative ones of either
// kind made full first, at any length; empty paths are skipped. Returns 0
// when *cursor is already null, -1 for a bad mode or when memory ran out
// (*cursor is then left on that path), and 1 when the text has been handled
// (*cursor is then null).
int ParseCommandLineText(const char **cursor, int mode, const CommandLineActions *actions);

// A first argument "/verify" (any letter case, unquoted) followed by a
// blank and one checksum file's path, quoted (as written between the quotes,
// the rest ignored) or not (the whole rest, blanks at its end dropped), made
// full as ParseCommandLineText makes it. Returns 1 with the path (*path, for
// the caller to free), 0 when the text asks for no verification (it is read
// as paths), -1 when memory ran out.
int ParseVerifyRequest(const char *text, const CommandLineActions *actions, char **path);

// Joins a relative path to folder: "a\b.txt" and ".\b.txt" go below it, a
// path that starts with one separator goes below its drive or share. A path
// with a drive and a separator, a UNC path, a drive-relative "C:x" and any
// path with no folder given are left as they are. Returns 1 when joined,
// 0 when out holds path unchanged, -1 when the result does not fit in size.
int MakeArgumentAbsolute(const char *folder, const char *path, char *out, size_t size);

#endif
