// What a run's worker and the window share while a run goes: the rows the
// worker takes, as the window handed them over and added since, and what
// the worker has done that the window is still to show, in order.
#ifndef ZUNTA_RUNVIEW_H
#define ZUNTA_RUNVIEW_H

#include <mutex>
#include <stdint.h>

// The FileList index of each row of the list, in row order. The window
// fills it before a run starts and adds the rows it inserts during the
// run; the worker reads it. Rows neither move nor go during a run.
struct RunRows {
    int32_t *Indexes;
    int32_t Count, Capacity;
    std::mutex Guard;
};

// Empties rows. Returns 0, or -1 when memory for count rows ran out (rows
// empty then).
int RunRowsReset(RunRows *rows, int32_t count);
// Inserts index as row position (past the end: at the end). Returns 0, or
// -1 when memory ran out (nothing changed then).
int RunRowsInsert(RunRows *rows, int32_t position, int32_t index);
int32_t RunRowsCount(RunRows *rows);
// The index of row, or -1 past the end.
int32_t RunRowsIndex(RunRows *rows, int32_t row);
void RunRowsFree(RunRows *rows);

// What a run changed that the window shows.
enum RunEventKind {
    RUN_EVENT_ROW,          // Row's entry changed (its state, column or size): the row is drawn again
    RUN_EVENT_COUNTER,      // the counter: Value of Total, or cleared when Total < 0
    RUN_EVENT_POSITION,     // the bar's position: Value
    RUN_EVENT_RESULT,       // Row's result box when it is selected: Text (null: kept), Seconds (RUN_DURATION)
};

enum { RUN_DURATION = 1 };  // the status text shows Seconds

struct RunEvent {
    uint8_t Kind;
    uint8_t Flags;
    int32_t Row;
    int32_t Value, Total;
    float Seconds;
    char *Text;     // heap, owned by the event
};

struct RunEvents {
    RunEvent *Items;
    int32_t Count, Capacity;
    std::mutex Guard;
};

// Appends event, which takes its Text along. Returns the number of events
// waiting, or -1 when memory ran out (nothing taken then).
int32_t RunEventsAdd(RunEvents *events, const RunEvent *event);
// Takes every waiting event, oldest first, into *taken (null when none);
// none waits afterwards. Returns how many.
int32_t RunEventsTake(RunEvents *events, RunEvent **taken);
// The events taken, their texts with them.
void RunEventsFreeTaken(RunEvent *taken, int32_t count);
// Whether events wait.
bool RunEventsWaiting(RunEvents *events);

#endif
