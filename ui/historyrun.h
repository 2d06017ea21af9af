// The history of checksums during runs: the session logs loaded once into
// an index on a run's thread, the warning of a file changed without a write
// (its result box line and the box at the run's end), and Check against
// history, whose rows are hashed with the kinds their records hold.
#ifndef ZUNTA_HISTORYRUN_H
#define ZUNTA_HISTORYRUN_H

#include "core/filelist.h"

#include <stdint.h>
#include <windows.h>

// Run's thread, before its work: forgets the files warned about and the
// check's counts, and the first time loads the archive then the session
// log into the index (progress on the bar, a cancel answered). A cancelled
// load is dropped and tried again at the next run; memory running out
// turns the history off for the session.
void BeginHistoryRun(HWND window);
// Run's thread, for a file just hashed (its texts null when not computed):
// judges it against the history and, when it changed without a write,
// keeps the warning with its entry index's lines and names it for the
// run's end. Returns HISTORY_UNKNOWN, _SAME or _CHANGED.
int JudgeRowHistory(const FileEntry *entry, int32_t index, uint64_t size, int64_t lastWriteTime, const char *crcText,
                    const char *md5Text);
// Run's thread: a record was just written to the session log; the index
// holds it too.
void AddRecordToHistory(const char *path, uint64_t size, int64_t lastWriteTime, const char *crcText,
                        const char *md5Text);

// Check against history, run's thread: the checksum mask (MASK_...) that
// the records of the entry's name, size and time hold; 0 when none, the
// row then counted as not in the history.
int HistoryCheckMask(const FileEntry *entry);
// Check against history, run's thread: counts a row hashed with result
// (the job's) and returns its status text ("Done", "Error", or "Ready"
// after a cancel).
const char *HistoryCheckStatus(int32_t result, bool cancelled);

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
