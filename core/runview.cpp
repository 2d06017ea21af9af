// What a run's worker and the window share, each part under its own lock.
#include "core/runview.h"

#include <stdlib.h>
#include <string.h>

typedef std::lock_guard<std::mutex> Hold;

// Room for at least needed items of size bytes in *items, grown by halves.
static int Reserve(void **items, int32_t *capacity, int32_t needed, size_t size)
{
    if (needed <= *capacity)
        return 0;
    int32_t grown = *capacity < 16 ? 16 : *capacity + *capacity / 2;
    if (grown < needed)
        grown = needed;
    void *larger = realloc(*items, (size_t)grown * size);
    if (larger == nullptr)
        return -1;
    *items = larger;
    *capacity = grown;
    return 0;
}

int RunRowsReset(RunRows *rows, int32_t count)
{
    Hold hold(rows->Guard);
    rows->Count = 0;
    return Reserve((void **)&rows->Indexes, &rows->Capacity, count, sizeof *rows->Indexes);
}

int RunRowsInsert(RunRows *rows, int32_t position, int32_t index)
{
    Hold hold(rows->Guard);
    if (rows->Count == INT32_MAX ||
        Reserve((void **)&rows->Indexes, &rows->Capacity, rows->Count + 1, sizeof *rows->Indexes) != 0)
        return -1;
    if (position < 0 || position > rows->Count)
        position = rows->Count;
    memmove(rows->Indexes + position + 1, rows->Indexes + position,
            (size_t)(rows->Count - position) * sizeof *rows->Indexes);
    rows->Indexes[position] = index;
    rows->Count++;
    return 0;
}

int32_t RunRowsCount(RunRows *rows)
{
    Hold hold(rows->Guard);
    return rows->Count;
}

int32_t RunRowsIndex(RunRows *rows, int32_t row)
{
    Hold hold(rows->Guard);
    return row >= 0 && row < rows->Count ? rows->Indexes[row] : -1;
}

void RunRowsFree(RunRows *rows)
{
    Hold hold(rows->Guard);
    free(rows->Indexes);
    rows->Indexes = nullptr;
    rows->Count = rows->Capacity = 0;
}

int32_t RunEventsAdd(RunEvents *events, const RunEvent *event)
{
    Hold hold(events->Guard);
    if (events->Count == INT32_MAX ||
        Reserve((void **)&events->Items, &events->Capacity, events->Count + 1, sizeof *events->Items) != 0)
        return -1;
    events->Items[events->Count++] = *event;
    return events->Count;
}

int32_t RunEventsTake(RunEvents *events, RunEvent **taken)
{
    Hold hold(events->Guard);
    int32_t count = events->Count;
    *taken = count > 0 ? events->Items : nullptr;
    if (count > 0) {
        // The next batch starts from nothing: the window frees this one.
        events->Items = nullptr;
        events->Count = events->Capacity = 0;
    }
    return count;
}

void RunEventsFreeTaken(RunEvent *taken, int32_t count)
{
    for (int32_t i = 0; i < count; i++)
        free(taken[i].Text);
    free(taken);
}

bool RunEventsWaiting(RunEvents *events)
{
    Hold hold(events->Guard);
    return events->Count > 0;
}
