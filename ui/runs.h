// Processing runs: Process hashes the selected row, Process All every
// "Ready" row, on a worker thread whose changes the window shows in batches.
#ifndef ZUNTA_RUNS_H
#define ZUNTA_RUNS_H

#include "core/verifyplan.h"

#include <windows.h>

enum RunKind {
    RUN_KIND_PROCESS,       // the selected row, with the check boxes' checksums
    RUN_KIND_PROCESS_ALL,   // every "Ready" row
    RUN_KIND_COMPARE,       // one row, with the checksums a comparison needs
    RUN_KIND_VERIFY,        // the rows of a checksum file's plan
    RUN_KIND_ROWS,          // given rows, with given checksums, for a command that needs them
    RUN_KIND_HISTORY,       // every row with a record in the history, with the kinds it holds
};

// What a run of given rows is for: its follow-up.
enum { ROWS_FOR_SAVE = 1, ROWS_FOR_COPY };

// What the run going (or the last one) was asked to do, and how it ended.
// The window fills it before the run starts and reads it once the run has
// ended; the worker writes the results in between.
struct RunRequest {
    int Kind;
    int Mask;               // process, compare, rows: the checksums to compute
    int Row;                // process: the selected file row (-1: none); compare: the row; and the entry it carries
    int32_t EntryIndex;
    int32_t JobResult;      // compare: 0 when computed, else -1
    bool Cancelled;         // a cancel was requested before the run ended
    VerifyPlan *Plan;       // verify
    const char *SumsPath;   // verify: the checksum file (held by ui/saveverify.cpp)
    bool Planned;           // verify: the checksum file was read and planned whole
    bool RowsGiven;         // verify: the files found have their rows
    int32_t *Rows;          // rows: the rows (owned), and the entries they carry
    int32_t *Indexes;
    int32_t RowCount;
    int Purpose;            // rows: ROWS_FOR_...
    int VerifyProblem;      // verify: the TEXT_VERIFY_... text said instead of a summary; 0 for none
};
extern RunRequest CurrentRun;

// The run buttons: start a run when idle, else ask the running one to stop.
void OnRunButton(HWND window, int id);
// Starts the run CurrentRun describes, buttonId being the run button that
// turns into Cancel. Returns 0, or -1 when a run is going, its end is still
// on its way, or its thread cannot start.
int StartRun(HWND window, int buttonId);
// No run goes, and the end of the last one, with its follow-up, has been
// handled: StartRun would start one.
bool RunCanStart(void);
// The worker's last message: the window gets its buttons back. A compare,
// verify or history run, or one that found files changed without a write,
// then posts MSG_RUN_FOLLOW_UP for what comes after; no run
// starts until that has been taken (RunFollowUpTaken), or the window goes.
void OnRunFinished(HWND window);
void RunFollowUpTaken(void);
// MSG_RUN_SHOW, window's thread: shows, in order, what the worker did
// since the window last caught up (statuses, checksum and size columns,
// the counter, the bar, and the result box of a row that is selected when
// its turn comes). MSG_RUN_FINISHED shows what is left first.
void ShowRunEvents(HWND window);
// Worker: has the window show what waits before the worker moves the bar
// itself (ReportProgress), and returns once it has.
void ShowRunBacklog(HWND window);
// Window's thread: a file row went in at row; while a run goes, its worker
// takes it too (rows are added at the end of a run's rows, or after them).
void RunRowInserted(int row, int32_t index);
// Asks a running run to stop and returns once its worker has ended,
// carrying out the messages the worker sends meanwhile. Nothing when idle.
void EndRunAndWait(void);

// Starts a run of the given rows (and the FileList indexes they carry, both
// arrays then owned by CurrentRun) with the checksums of mask. Returns 0, or
// -1 when it cannot start (the arrays are freed).
int StartRowsRun(HWND window, int32_t *rows, int32_t *indexes, int32_t count, int mask, int purpose);
// The rows a run of given rows was given, let go.
void ReleaseRunRows(void);

// How often a run's worker has the window show what it did, in ms (30):
// the window then catches up while the worker goes on. With 0 the window
// shows each change at once, the worker waiting, one row after the other.
extern DWORD RunShowEvery;

// How a run's worker thread is started (CreateThread; tests replace it).
extern HANDLE(WINAPI *CreateRunThread)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID,
                                       DWORD, LPDWORD);

#endif
