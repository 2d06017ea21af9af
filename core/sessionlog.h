// The session logs: LastSession.log receives a record for every new or
// changed result; at exit it is appended to AllSessions.log.
#ifndef ZUNTA_SESSIONLOG_H
#define ZUNTA_SESSIONLOG_H

#include <stdint.h>
#include <stdio.h>

// A record's layout, which the writer here and the history's reader share:
// the file name padded with blanks to LOG_NAME_WIDTH characters, LOG_GAP
// blanks, the CRC's LOG_CRC_DIGITS digits (LogNoCrcField without one),
// LOG_GAP blanks, the grouped size right-aligned in LOG_SIZE_WIDTH, LOG_GAP
// blanks, the time field of LOG_TIME_LENGTH characters and, with an MD5,
// LOG_GAP blanks and its LOG_MD5_DIGITS digits; then a line end.
enum {
    LOG_NAME_WIDTH = 64,
    LOG_SIZE_WIDTH = 13,
    LOG_GAP = 4,
    LOG_CRC_DIGITS = 8,
    LOG_MD5_DIGITS = 32,
    LOG_TIME_LENGTH = 19,   // "HH:MM.SS YYYY-MM-DD", local time
};

extern const char LogNoCrcField[];      // the CRC field of a record without one
extern const char NoLocalTimeText[];    // the time field of a time with no local form

// Writes the time field of a record for a last-write time (seconds since
// 1970): local "HH:MM.SS YYYY-MM-DD", or NoLocalTimeText when it has none.
void FormatLogTime(int64_t lastWriteTime, char *text, size_t size);
// The same local time in ISO 8601, "YYYY-MM-DDTHH:MM:SS"; empty when it has
// no local form.
void FormatIsoLocalTime(int64_t lastWriteTime, char *text, size_t size);
// Writes one record (name padded to LOG_NAME_WIDTH characters, CRC field,
// size, last-write time, MD5 field, line end) for path to log. Returns 0, or -1 (nothing written) for no path,
// no checksum, or a path without a backslash.
int WriteSessionRecord(FILE *log, const char *path, uint64_t size, int64_t lastWriteTime,
                       const char *crcText, const char *md5Text);
// Appends one record to the session log, opened and closed for it (see
// AppendWhole). Returns 0 when the record is on file, else -1 (the log as
// it was: a record written in part is taken back).
int AppendSessionRecord(const char *path, uint64_t size, int64_t lastWriteTime, const char *crcText,
                        const char *md5Text);
// Appends the session log's contents to the archive log, unchanged.
// Returns 0, or -1 when the archive or the session log cannot be opened or
// written (the archive as it was).
int ArchiveSessionLog(void);

// Writes a whole piece (a record, a log) to an open file. Returns 0 or -1.
typedef int (*AppendWriter)(FILE *file, const void *piece);
// Appends what write writes to the file at path, opened with mode ("a" or
// "ab+") and closed for it. Returns 0 when it is all on file; else -1, and
// what was written of it is cut off again.
int AppendWhole(const char *path, const char *mode, AppendWriter write, const void *piece);
// A run of many records keeps the files it appends to (two at most) open
// from their first piece until CloseKeptLogs, each piece handed to the
// system before AppendWhole returns: the bytes on file are the same, and
// the file is opened once. One thread appends meanwhile.
void KeepLogsOpen(void);
void CloseKeptLogs(void);

// A session's log reaches the archive once however the session ends. While
// it has not, a mark file lies beside it: a session that Windows ended or
// that was killed leaves it behind, and the next start archives that log.
//
// At start-up: archives the previous session's log when its mark says it
// was not, deletes the log, and marks this session as not archived yet.
// When that log cannot be archived (the archive locked, read-only, or the
// disk full), it stays with its mark and this session appends to it: the
// end of the session or the next start archives all of it, once.
void BeginSessionLog(void);
// At the end of the session: archives the log, once, and takes the mark away.
void EndSessionLog(void);

#endif
