// The order of the list's rows by one of its columns: file names as people
// read them (letters without case, numbers by their value), other texts by
// their letters without case, sizes by their bytes.
#ifndef ZUNTA_ROWSORT_H
#define ZUNTA_ROWSORT_H

#include <stdint.h>

// How a column orders its rows.
enum RowSortKind { ROW_SORT_NAME, ROW_SORT_TEXT, ROW_SORT_SIZE };

// One row as a sort takes it.
struct RowSortKey {
    const char *Text;   // names and texts: the row's text (null as "")
    uint64_t Size;      // sizes: the file's bytes
    bool HasSize;       // a row without a size comes last either way
};

// The rows of keys, in row order, sorted by kind, ascending or descending:
// order[i] is the index in keys of the row that comes i-th. Rows with equal
// keys keep their order. Returns 0, or -1 (order unset) when memory ran out.
int RowSortOrder(const RowSortKey *keys, int32_t count, int kind, bool descending, int32_t *order);

#endif
