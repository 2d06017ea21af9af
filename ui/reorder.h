// Reordering the list: dragging a row to a new place, with a drag image and
// a black insertion line, and the Move up and Move down buttons.
#ifndef ZUNTA_REORDER_H
#define ZUNTA_REORDER_H

#include <windows.h>
#include <commctrl.h>
#include <stdint.h>

enum { DROP_LINE_HEIGHT = 7 };

// The insertion line of a row drag and what it needs to draw itself.
struct DropMarker {
    HWND Window;            // the main window, on whose client area the line is drawn
    int32_t ListId;
    int16_t Width;          // the list's client width at creation, minus 1
    int16_t Height;
    int16_t LineTop;        // top of the drawn line in window client coordinates; -1 = none
    int16_t Left;           // the list's left edge in window client coordinates
    int32_t DropIndex;      // row the dragged row goes before; -1 = no target
    int16_t RowHeight;
    int16_t FirstRowTop;    // top of row 0 in list client coordinates
    HDC ImageInUse;         // the line image of the current drag
    int32_t DragImageHeight;
    HDC LineImage, Background, SecondLineImage;     // off-screen images; null until built
    HBITMAP LineBitmap, BackgroundBitmap, SecondLineBitmap;
};

extern DropMarker MainDropMarker;

// Mode 0 (window creation): the line image and the background buffer for
// the list's width, and the marker's geometry. Mode 1: only the second line
// image, for the list's width now. Returns 0, or -1 without a marker, a
// window drawing context or the list.
int BuildDropMarker(DropMarker *marker, int mode);
// Deletes the marker's off-screen images (at shutdown).
void ReleaseDropMarker(DropMarker *marker);

// LVN_BEGINDRAG of the list: starts dragging the selected row.
void BeginRowDrag(HWND window, const NMLISTVIEW *drag);
// WM_MOUSEMOVE and WM_LBUTTONUP of the main window during a drag; x and y
// are signed client coordinates.
void DragMouseMove(HWND window, int x, int y);
void EndRowDrag(HWND window);
// Ends a drag that is going as a release without a target: the line taken
// away, the mouse released, no row moved. Nothing when no drag is going.
void CancelRowDrag(HWND window);

// Move up (-1) and Move down (+1): swaps the selected row with its neighbour.
// Returns 0, or -1 when memory ran out.
int MoveSelectedRow(HWND window, int direction);

#endif
