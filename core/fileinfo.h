// The file lookup used wherever a path must name an existing file.
#ifndef ZUNTA_FILEINFO_H
#define ZUNTA_FILEINFO_H

#include <stdint.h>

// What QueryFileInfo found.
enum {
    QUERY_FILE = 0,         // size and time written to the outputs that are given
    QUERY_NOTHING = -1,     // no path, or nothing found
    QUERY_DIRECTORY = -2,
};

// Looks path up: QUERY_FILE when it names something that is not a directory
// (size in bytes and last-write time in seconds since 1970 UTC), else
// QUERY_DIRECTORY or QUERY_NOTHING. A search, not an open: unreadable files
// are found, and wildcards match the first file.
int QueryFileInfo(const char *path, uint64_t *size, int64_t *lastWriteTime);

// What a file looked like: its size and last-write time (any unit finer
// than a second). A file whose stamp did not change between two readings
// is taken to hold the same bytes.
struct FileStamp {
    uint64_t Size;
    int64_t LastWrite;
};

// A last-write time in 100 ns since 1601 as seconds since 1970 UTC, rounded
// down: the time QueryFileInfo gives, which the session logs hold.
inline int64_t FileStampSeconds(int64_t lastWrite)
{
    const int64_t unitsPerSecond = 10000000, secondsTo1970 = 11644473600;
    int64_t seconds = lastWrite / unitsPerSecond;
    if (lastWrite % unitsPerSecond < 0)
        seconds--;
    return seconds - secondsTo1970;
}

#ifdef _WIN32
#include <stddef.h>
#include <stdio.h>

// The stamp of the file at path (last-write time in 100 ns). Returns 0, or
// -1 when there is no such file or it is a directory.
int ReadFileStamp(const char *path, FileStamp *stamp);
// Opens path for reading when it is a regular disk file; null for anything
// else (a pipe, a device, a console), when it cannot be opened, or when a
// confinement (ConfineOpensToFolder) keeps it shut. Nothing is read before
// that is known.
FILE *OpenDiskFile(const char *path);
// What ReplaceFileWhole did.
enum {
    REPLACE_DONE = 0,
    REPLACE_FAILED = -1,        // not written: nothing left behind, the old file as it was
    REPLACE_NO_NEW_FILE = -2,   // no file could be made beside it (a folder that takes none): nothing done
};

// Writes length bytes of text to path through a new file beside it, on the
// disk before it takes the old file's place: a crash or a power cut leaves
// the old file or the new one, never a part. Returns a REPLACE_ result.
int ReplaceFileWhole(const char *path, const char *text, size_t length);

// What ReadWholeFile did. Each reader decides what a file it could not open
// means (a settings file or a log that is not there reads as empty).
enum {
    WHOLE_READ = 0,
    WHOLE_NOT_OPENED = -1,      // not there, shut to this process, or not a disk file
    WHOLE_UNREADABLE = -2,      // its size unknown, or a read failed
    WHOLE_TOO_LARGE = -3,       // over the reader's limit: nothing read
    WHOLE_NO_MEMORY = -4,
    WHOLE_CANCELLED = -5,       // progress asked to stop
};
// Called before each piece read with the bytes read so far and the file's
// size; another answer than 0 stops the read.
typedef int (*WholeProgressFn)(void *context, uint64_t done, uint64_t total);
// Reads the whole file at path (opened as OpenDiskFile opens, shared for
// deletion too), NUL-ended, into *text for the caller to free, its length
// in *length. Bytes written after its size was taken are not read; a file
// that shrank meanwhile gives what it still held. progress may be null.
// Returns a WHOLE_ result; *text is null but for WHOLE_READ.
int ReadWholeFile(const char *path, uint64_t limit, WholeProgressFn progress, void *context, char **text,
                  size_t *length);
// Asks once whether Windows redirects this process's System32 and prepares
// FileAccessPath, and lets the hashing job open files with OpenDiskFile.
void InitFileAccess(void);

// What a look-up of a file by LookUpFile found.
enum {
    LOOK_UP_FOUND = 0,
    LOOK_UP_MISSING = -1,       // nothing, a folder, or something that cannot be opened even for its attributes
    LOOK_UP_OUTSIDE = -2,       // named inside the confining folder, it lies outside it (through a link)
    LOOK_UP_NO_MEMORY = -3,
};

// While a verification runs, what it opens is confined to its checksum
// file's folder: a path that lies in folder by name (letters without case,
// as the file system takes them) is looked up and opened only when the
// file it reaches lies in folder or below it, wherever links lead (the
// final paths of both compared). Other paths are not confined. Returns
// LOOK_UP_FOUND, LOOK_UP_MISSING when folder cannot be opened, or
// LOOK_UP_NO_MEMORY (nothing confined then). Set and ended by the run's
// worker while no helper of its runs.
int ConfineOpensToFolder(const char *folder);
void EndOpensConfinement(void);
// Looks path up by opening it for its attributes alone: a file that is no
// folder, its size and its identity on its volume (index 0 when the file
// system gives none). Returns a LOOK_UP_...; the outputs only for FOUND.
int LookUpFile(const char *path, uint64_t *size, uint32_t *volume, uint64_t *index);
#endif

#endif
