// The history of checksums during runs: the session logs loaded once into
// an index on a run's thread, the warning of a file changed without a write
// (its result box line and the box at the run's end), and Check against
// history, whose rows are hashed with the kinds their records hold.
#ifndef ZUNTA_HISTORYRUN_H
#define ZUNTA_HISTORYRUN_H

#include "core/fileinfo.h"
#include "core/filelist.h"

#include <stdint.h>
#include <windows.h>

// Run's thread, before its work: forgets the files warned about and the
// check's counts, and the first time loads the archive, the session log and
// the record store into the indexes (progress on the bar, a cancel
// answered). A cancelled load is dropped and tried again at the next run;
// memory running out turns the history off for the session.
void BeginHistoryRun(HWND window);
// Run's thread, for a file just hashed (its texts null when not computed,
// stamp read after it): judges it against the store's records of its path,
// size and last-write time and, when it changed without a write, keeps the
// warning with its entry index's lines and names it for the run's end. In Check against history, a file the store has no record of
// is judged by the records of the logs alone with its name, size and time
// to the second. Returns HISTORY_UNKNOWN, _SAME or _CHANGED.
int JudgeRowHistory(const FileEntry *entry, int32_t index, const FileStamp *stamp, const char *crcText,
                    const char *md5Text);
// Run's thread: a record was just written to the session log for the file
// of entry index. Writes its store record (with the SHA digests kept for the
// entry) and indexes it as a load would read it from the files.
void AddRecordToHistory(const char *path, int32_t index, const FileStamp *stamp, const char *crcText,
                        const char *md5Text);

// Check against history, run's thread: the checksum mask (MASK_...) that
// the records of the entry's file hold (as JudgeRowHistory finds them in
// a check); 0 when none, the row then counted as not in the history.
int HistoryCheckMask(const FileEntry *entry);
// Check against history, run's thread: counts a row hashed with result
// (the job's) and returns the entry's new state (ENTRY_DONE, ENTRY_ERROR,
// or ENTRY_READY after a cancel).
int HistoryCheckState(int32_t result, bool cancelled);

// Window thread, once the run's end is handled: something to show.
bool HistoryFollowUpWanted(int runKind);
// Window thread: the check's summary (for RUN_KIND_HISTORY), then the box
// naming the files changed without a write in other runs.
void ShowHistoryAfterRun(HWND window, int runKind);
// Check against history from the menu or Ctrl+H.
void CheckAgainstHistory(HWND window);
// Forgets the index and every warning: the next run loads again.
void ResetHistory(void);

#endif
