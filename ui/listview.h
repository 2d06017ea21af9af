// The file list view: columns, hint rows, file rows and the list's own
// behaviour (showing results, the status toggle, Delete and Clear All).
#ifndef ZUNTA_LISTVIEW_H
#define ZUNTA_LISTVIEW_H

#include "core/filelist.h"

#include <windows.h>
#include <commctrl.h>

enum {
    STATUS_TEXT_SIZE = 32,      // a row's status as the exported table reads it
    ROW_TEXT_SIZE = 300,        // a cell as the Delete key and a language switch read it
    CRC_COLUMN_SIZE = 300,      // column 2: a CRC or its padding, and the MD5 mark
    MAX_RUN_PADDING = 260,      // spaces that stand for a missing CRC after a run
    MAX_REBUILD_PADDING = 48,   // the same when the rows are rebuilt
};

extern const char ProcessingStatus[];   // ">>"

HWND FileListView(void);

// Creates the five columns with the widths of the settings.
void InsertListColumns(HWND list);
// Shows the two hint rows of an empty list and sets NoFileRows.
void InsertHintRows(HWND list);
// Inserts a row for a file at position (negative: at the end), removing
// the hint rows first; its cells show its entry. Returns 1, or -1 without
// a path.
int InsertFileRow(const char *path, int32_t index, int position);

// Many rows going in at once: the list is drawn once, when the outermost
// resume comes.
void SuspendListRedraw(HWND list);
void ResumeListRedraw(HWND list);

// The FileList index a row carries, or -1.
int32_t RowIndex(HWND list, int row);
// The entry behind a row, or null (a hint row, or no such row).
FileEntry *RowEntry(HWND list, int row);
void GetRowText(HWND list, int row, int column, char *text, int size);
// The status of a file row is its entry's state: a status text written
// there sets that state. Every other text is the cell's own.
void SetRowText(HWND list, int row, int column, const char *text);

// The cells of a file row but its name show its entry: the list asks for
// them as it draws them. A text written into such a cell is its own from
// then on (the status excepted, see SetRowText). Whether a cell shows its
// entry, asked of the list (window's thread).
bool RowCellShowsEntry(HWND list, int row, int column);

// The status shown for an EntryState.
const char *StateStatusText(int state);
// Sets the state of the entry of a file row and draws its status again.
void SetRowState(HWND list, int row, int state);

// Appends spaces until text is as wide as "00000000" in the list's font
// (at most maxSpaces of them).
void PadToCrcWidth(HWND list, char *text, size_t size, int maxSpaces);
// Column 2 formed from the entry, as after a language switch.
void RebuildCrcColumn(HWND list, int row, FileEntry *entry);

// The selected row when it is a file row (its entry's index in *index), or
// -1: no row selected, or only the hint rows.
int SelectedFileRow(HWND list, int32_t *index);
// Selects and focuses row and makes it the selection mark.
void SelectRow(HWND list, int row);
// Shows the results of a row in the result box; nothing for no row.
void ShowRowResult(HWND list, int row);
// The list's notifications, after the gate that drops those of an empty list.
void OnListNotify(const NMHDR *header);
// Empties the list and the FileList (command Clear All).
void ClearAllRows(HWND window);

#endif
