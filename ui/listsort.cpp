// Sorting the list by a column. The rows are put in order by the list view
// itself (LVM_SORTITEMS), so each keeps its item data, texts and states;
// each row's place is decided first, once, from its keys.
#include "ui/listsort.h"

#include "base/settings.h"
#include "base/textutil.h"
#include "core/filelist.h"
#include "core/rowsort.h"
#include "platform/runlock.h"
#include "ui/listview.h"
#include "ui/mainwnd.h"

#include <commctrl.h>
#include <stdlib.h>

static int SortedColumn = -1;   // the column whose arrow shows; -1 for none
static bool SortedDescending;

enum { COLUMN_STATUS, COLUMN_NAME, COLUMN_CHECKSUMS, COLUMN_UNIT_SIZE, COLUMN_EXACT_SIZE };

static int ColumnSortKind(int column)
{
    if (column == COLUMN_NAME)
        return ROW_SORT_NAME;
    if (column == COLUMN_UNIT_SIZE || column == COLUMN_EXACT_SIZE)
        return ROW_SORT_SIZE;
    return ROW_SORT_TEXT;
}

// arrow: HDF_SORTUP, HDF_SORTDOWN or 0 for none.
static void ShowSortArrow(HWND list, int column, int arrow)
{
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    if (header == nullptr || !SendMessageA(header, HDM_GETITEMA, column, (LPARAM)&item))
        return;
    item.fmt = (item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN)) | arrow;
    SendMessageA(header, HDM_SETITEMA, column, (LPARAM)&item);
}

void ForgetRowSort(HWND list)
{
    if (SortedColumn >= 0)
        ShowSortArrow(list, SortedColumn, 0);
    SortedColumn = -1;
}

void ResetRowSort(void)
{
    SortedColumn = -1;
}

// LVM_SORTITEMS: rows compared by the places given to their entries.
static int CALLBACK CompareByPlace(LPARAM first, LPARAM second, LPARAM places)
{
    const int32_t *place = (const int32_t *)places;
    return place[first] < place[second] ? -1 : place[first] > place[second];
}

// The keys of every row for column, each row's entry index, and the texts
// read from its cells (heap copies the caller frees). Returns 0, or -1 when
// memory ran out.
static int ReadRowKeys(HWND list, int column, int kind, int rows, RowSortKey *keys, char **texts, int32_t *indexes)
{
    LockEntryResults();
    for (int row = 0; row < rows; row++) {
        indexes[row] = RowIndex(list, row);
        const FileEntry *entry = indexes[row] < 0 ? nullptr : FileListEntry(&Files, indexes[row]);
        keys[row].HasSize = entry != nullptr;
        keys[row].Size = entry != nullptr ? entry->Size : 0;
        keys[row].Text = entry != nullptr ? PathFileName(entry->Path) : "";
    }
    UnlockEntryResults();
    if (kind != ROW_SORT_TEXT)
        return 0;
    for (int row = 0; row < rows; row++) {
        char text[ROW_TEXT_SIZE];
        GetRowText(list, row, column, text, sizeof text);
        texts[row] = DuplicateText(text);
        if (texts[row] == nullptr)
            return -1;
        keys[row].Text = texts[row];
    }
    return 0;
}

// Puts the rows in order: row order[i] goes to place i. Returns 0, 1 when a
// row without an entry leaves them as they are, or -1 out of memory.
static int PlaceRows(HWND list, const int32_t *order, const int32_t *indexes, int rows)
{
    int32_t highest = -1;
    for (int row = 0; row < rows; row++) {
        if (indexes[row] < 0)
            return 1;
        highest = indexes[row] > highest ? indexes[row] : highest;
    }
    int32_t *places = (int32_t *)calloc((size_t)highest + 1, sizeof *places);
    if (places == nullptr)
        return -1;
    for (int i = 0; i < rows; i++)
        places[indexes[order[i]]] = i;
    // The selection and focus travel with their rows; the mark is an index.
    int mark = (int)SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0);
    int32_t markIndex = mark >= 0 && mark < rows ? indexes[mark] : -1;
    SendMessageA(list, LVM_SORTITEMS, (WPARAM)places, (LPARAM)CompareByPlace);
    if (markIndex >= 0) {
        SendMessageA(list, LVM_SETSELECTIONMARK, 0, places[markIndex]);
        SendMessageA(list, LVM_ENSUREVISIBLE, places[markIndex], FALSE);
    }
    free(places);
    return 0;
}

int SortRowsByColumn(HWND list, int column)
{
    int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (ReadRunState() != RUN_IDLE || MainWnd.Dragging || MainWnd.NoFileRows || rows <= 0 || column < 0 ||
        column >= COLUMN_COUNT)
        return 0;
    bool descending = column == SortedColumn && !SortedDescending;
    int kind = ColumnSortKind(column);
    RowSortKey *keys = (RowSortKey *)calloc((size_t)rows, sizeof *keys);
    char **texts = (char **)calloc((size_t)rows, sizeof *texts);
    int32_t *indexes = (int32_t *)calloc((size_t)rows, sizeof *indexes);
    int32_t *order = (int32_t *)calloc((size_t)rows, sizeof *order);
    int result = -1;
    if (keys != nullptr && texts != nullptr && indexes != nullptr && order != nullptr &&
        ReadRowKeys(list, column, kind, rows, keys, texts, indexes) == 0 &&
        RowSortOrder(keys, rows, kind, descending, order) == 0)
        result = PlaceRows(list, order, indexes, rows);
    for (int row = 0; texts != nullptr && row < rows; row++)
        free(texts[row]);
    free(order);
    free(indexes);
    free(texts);
    free(keys);
    if (result != 0)
        return result < 0 ? -1 : 0;
    ForgetRowSort(list);
    SortedColumn = column;
    SortedDescending = descending;
    ShowSortArrow(list, column, descending ? HDF_SORTDOWN : HDF_SORTUP);
    return 0;
}
