// Hashing ahead of a run's worker: while the worker is at one row, helper
// threads hash the files of the rows after it, so that a run over many
// files uses every processor. The helpers only hash: they touch no window
// and no entry; the worker takes their results, one file at a time, in its
// own order, and records them as it records its own.
#ifndef ZUNTA_HASHAHEAD_H
#define ZUNTA_HASHAHEAD_H

#include "checksum/hashjob.h"
#include "core/fileinfo.h"

#include <stdint.h>

enum {
    HASH_AHEAD_MAX_HELPERS = 7,
    HASH_AHEAD_MAX_KEPT = 4096,     // offers kept at once, hashed ones included
};

// Reads the stamp of path. Returns 0, or -1 when there is no such file.
typedef int (*ReadFileStampFn)(const char *path, FileStamp *stamp);

// Starts helpers threads (at most HASH_AHEAD_MAX_HELPERS) for a run.
// cancelled is asked at each progress poll of a helper: a job stops there
// when it answers true. readStamp is read before a helper opens a file and
// after it closes it, and again when the worker takes the result: a result
// is used only when the three agree. Returns the number of helpers started.
int HashAheadStart(int helpers, bool (*cancelled)(void), ReadFileStampFn readStamp);
// Offers a file to hash ahead: the entry it belongs to, its path, recorded
// size and checksums. Returns 0, or -1 when no helper runs, a discard came
// before, HASH_AHEAD_MAX_KEPT offers are kept, or memory ran out.
int HashAheadOffer(int32_t entryIndex, const char *path, uint64_t size, int mask);
// Offers that keep a helper busy or wait for one: hashed results waiting
// for the worker do not count.
int HashAheadPending(void);
// The worker's turn at an entry. Returns 1 with its outcome when a helper
// hashed it or is hashing it: the helper's progress polls go to report in
// order, as the worker's own job would have made them (waiting for those
// still to come), and an answer of -1 at a poll ends the file there with
// the result -1, as a cancel at that poll would have. A whole reading
// also gives the file's stamp (when stamp is not null), the same before,
// during and after it. Returns 0 when the entry was not offered, its
// hashing had not begun, the helper could not open the file, or the file
// changed while or after it was hashed (the offer is withdrawn): the
// worker hashes it itself. While it waits for the helper, whileWaiting (when not null)
// is called without the pool's lock, at each change in the pool, so that
// the worker can offer more work.
int HashAheadTake(int32_t entryIndex, ReportProgressFn report, void *context, void (*whileWaiting)(void *),
                  void *waitContext, HashOutcome *outcome, FileStamp *stamp);
// After a cancel: every result not taken is thrown away and nothing new
// starts; what is being hashed stops at its next poll.
void HashAheadDiscard(void);
// Ends the helpers: what they hash stops at its next poll, and every
// helper has ended when this returns.
void HashAheadStop(void);

// Helpers alive now, and jobs begun since the start (for tests).
int HashAheadLiveHelpers(void);
int HashAheadJobsBegun(void);

#endif
