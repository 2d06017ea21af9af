// Sorting the list by a click on a column header, with the header's arrow.
#ifndef ZUNTA_LISTSORT_H
#define ZUNTA_LISTSORT_H

#include <windows.h>

// A click on column's header (LVN_COLUMNCLICK): sorts the rows by that
// column, the other way when it was the last one sorted, and shows the
// direction with the header's arrow. Rows move as Move up and Move down
// move them, with their entries, texts and selection. Nothing while a run
// goes or a row is dragged. Returns 0, or -1 when memory ran out.
int SortRowsByColumn(HWND list, int column);
// The rows were put in another order (moved, added): the arrow goes away.
void ForgetRowSort(HWND list);
// A new window's columns show no arrow.
void ResetRowSort(void);

#endif
