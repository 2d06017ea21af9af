// Reordering the list: dragging a row to a new place, Move up and Move down.
#ifndef ZUNTA_REORDER_H
#define ZUNTA_REORDER_H

#include <windows.h>
#include <commctrl.h>

// Starts dragging the selected row (LVN_BEGINDRAG of the list).
void BeginRowDrag(HWND window, const NMLISTVIEW *drag);

#endif
