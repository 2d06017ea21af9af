// Reordering the list. The insertion line is drawn straight onto the main
// window with a bitwise AND and removed by copying back the pixels it
// covered; the list itself is never repainted during a drag. Rows move with
// their texts and item data; the FileList keeps its order.
#include "ui/reorder.h"

#include "core/filelist.h"
#include "platform/runlock.h"
#include "resources/resource.h"
#include "ui/listsort.h"
#include "ui/listview.h"
#include "ui/mainwnd.h"

#include <stdlib.h>
#include <string.h>

DropMarker MainDropMarker;

static HIMAGELIST DragImage;

enum { MOVE_TEXT_SIZE = 260, ROW_COPY_SIZE = 300 };

static int ListClientWidth(HWND list)
{
    RECT client;
    GetClientRect(list, &client);
    return client.right;
}

static void FreeImage(HDC *dc, HBITMAP *bitmap)
{
    if (*dc != nullptr)
        DeleteDC(*dc);
    if (*bitmap != nullptr)
        DeleteObject(*bitmap);
    *dc = nullptr;
    *bitmap = nullptr;
}

static bool MakeImage(HDC windowDc, int width, HDC *dc, HBITMAP *bitmap)
{
    *dc = CreateCompatibleDC(windowDc);
    *bitmap = CreateCompatibleBitmap(windowDc, width, DROP_LINE_HEIGHT);
    if (*dc == nullptr || *bitmap == nullptr) {
        FreeImage(dc, bitmap);
        return false;
    }
    SelectObject(*dc, *bitmap);
    return true;
}

static int BitmapWidth(HBITMAP image)
{
    BITMAP bitmap = {};
    if (image == nullptr || !GetObjectA(image, sizeof bitmap, &bitmap))
        return 0;
    return bitmap.bmWidth;
}

// White, with the black line and its end marks.
static void DrawLineImage(HDC dc, int w)
{
    RECT all = { 0, 0, w, DROP_LINE_HEIGHT };
    FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    HGDIOBJ old = SelectObject(dc, CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    const int segments[][4] = {
        { 0, 3, w - 1, 3 }, { 0, 4, w - 1, 4 },                 // the line, to x = w - 2
        { 0, 1, 0, 3 }, { 1, 2, 2, 2 }, { 0, 5, 0, 7 }, { 1, 5, 2, 5 },                 // left end
        { w - 2, 1, w - 2, 3 }, { w - 3, 2, w - 2, 2 }, { w - 2, 5, w - 2, 7 }, { w - 3, 5, w - 2, 5 },
    };
    for (const auto &s : segments) {
        MoveToEx(dc, s[0], s[1], nullptr);
        LineTo(dc, s[2], s[3]);
    }
    DeleteObject(SelectObject(dc, old));
}

int BuildDropMarker(DropMarker *marker, int mode)
{
    if (marker == nullptr || marker->Window == nullptr)
        return -1;
    HWND list = GetDlgItem(marker->Window, marker->ListId);
    if (list == nullptr)
        return -1;
    HDC windowDc = GetDC(marker->Window);
    if (windowDc == nullptr)
        return -1;
    int width = ListClientWidth(list) - 1;
    if (mode == 1) {
        FreeImage(&marker->SecondLineImage, &marker->SecondLineBitmap);
        if (MakeImage(windowDc, width, &marker->SecondLineImage, &marker->SecondLineBitmap))
            DrawLineImage(marker->SecondLineImage, width);
        // The pixels beneath a wider line must fit in the background too.
        if (width > BitmapWidth(marker->BackgroundBitmap)) {
            FreeImage(&marker->Background, &marker->BackgroundBitmap);
            MakeImage(windowDc, width, &marker->Background, &marker->BackgroundBitmap);
        }
        ReleaseDC(marker->Window, windowDc);
        return 0;
    }

    marker->Width = (int16_t)width;
    marker->Height = DROP_LINE_HEIGHT;
    RECT bounds;
    GetWindowRect(list, &bounds);
    MapWindowPoints(HWND_DESKTOP, marker->Window, (POINT *)&bounds, 2);
    marker->Left = (int16_t)bounds.left;
    if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0) {
        RECT row = {};
        row.left = LVIR_SELECTBOUNDS;
        SendMessageA(list, LVM_GETITEMRECT, 0, (LPARAM)&row);
        marker->RowHeight = (int16_t)(row.bottom - row.top);
        marker->FirstRowTop = (int16_t)row.top;
    }
    FreeImage(&marker->LineImage, &marker->LineBitmap);
    FreeImage(&marker->Background, &marker->BackgroundBitmap);
    if (MakeImage(windowDc, width, &marker->LineImage, &marker->LineBitmap))
        DrawLineImage(marker->LineImage, width);
    MakeImage(windowDc, width, &marker->Background, &marker->BackgroundBitmap);
    ReleaseDC(marker->Window, windowDc);
    marker->LineTop = -1;
    marker->DropIndex = -1;
    return 0;
}

void ReleaseDropMarker(DropMarker *marker)
{
    FreeImage(&marker->LineImage, &marker->LineBitmap);
    FreeImage(&marker->Background, &marker->BackgroundBitmap);
    FreeImage(&marker->SecondLineImage, &marker->SecondLineBitmap);
}

// The width of the line image of the current drag: what is drawn, and
// what is saved beneath it and put back.
static int ImageWidth(const DropMarker *marker)
{
    return BitmapWidth(marker->ImageInUse == marker->SecondLineImage ? marker->SecondLineBitmap
                                                                      : marker->LineBitmap);
}

void BeginRowDrag(HWND window, const NMLISTVIEW *drag)
{
    DropMarker *marker = &MainDropMarker;
    HWND list = drag->hdr.hwndFrom;
    if (ListClientWidth(list) - 1 == marker->Width) {
        marker->ImageInUse = marker->LineImage;
    } else {
        if (marker->SecondLineImage == nullptr)
            BuildDropMarker(marker, 1);
        marker->ImageInUse = marker->SecondLineImage;
    }

    // One image per selected row, stacked (the list has one selected row).
    DragImage = nullptr;
    for (int row = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); row >= 0;
         row = (int)SendMessageA(list, LVM_GETNEXTITEM, row, LVNI_SELECTED)) {
        POINT origin;
        HIMAGELIST image = (HIMAGELIST)SendMessageA(list, LVM_CREATEDRAGIMAGE, row, (LPARAM)&origin);
        if (image == nullptr)
            continue;
        if (DragImage == nullptr) {
            DragImage = image;
        } else {
            HIMAGELIST merged = ImageList_Merge(DragImage, 0, image, 0, 0, marker->DragImageHeight);
            ImageList_Destroy(DragImage);
            ImageList_Destroy(image);
            DragImage = merged;
        }
        int width = 0, height = 0;
        ImageList_GetIconSize(DragImage, &width, &height);
        marker->DragImageHeight = height;
    }

    ImageList_BeginDrag(DragImage, 0, 0, 0);
    POINT at = drag->ptAction;
    ClientToScreen(list, &at);
    ImageList_DragEnter(GetDesktopWindow(), at.x, at.y);
    MainWnd.Dragging = 1;
    SetCapture(window);
}

static int RowTop(HWND list, int row)
{
    POINT position = {};
    SendMessageA(list, LVM_GETITEMPOSITION, row, (LPARAM)&position);
    return position.y;
}

// The row the dragged row would go before, and the line's top in window
// client coordinates; false when the cursor is over no target.
static bool FindDropTarget(HWND window, HWND list, int x, int y, int *dropIndex, int *lineTop)
{
    const DropMarker *marker = &MainDropMarker;
    POINT at = { x, y };
    MapWindowPoints(window, list, &at, 1);
    LVHITTESTINFO hit = {};
    hit.pt = at;
    int row = (int)SendMessageA(list, LVM_HITTEST, 0, (LPARAM)&hit);
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    int pointY = at.y;

    // Over the header some lists answer "nowhere", others "above" the rows.
    bool inList = row != -1 || (pointY >= 0 && (hit.flags & (LVHT_NOWHERE | LVHT_ABOVE)) &&
                                !(hit.flags & (LVHT_TOLEFT | LVHT_TORIGHT)));
    if (inList) {
        if (pointY <= marker->FirstRowTop) {
            // Over the header: the first visible row.
            LVHITTESTINFO first = {};
            first.pt.x = at.x;
            first.pt.y = marker->FirstRowTop + 3;
            row = (int)SendMessageA(list, LVM_HITTEST, 0, (LPARAM)&first);
            pointY = first.pt.y;
            if (row == -1)
                return false;
        } else if (row != -1) {
            if (!(hit.flags & (LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON)))
                return false;
        } else {
            row = count > 0 ? count - 1 : 0;
            pointY = RowTop(list, row) + marker->RowHeight;
        }
    } else if (hit.flags & LVHT_NOWHERE) {
        row = count > 0 ? count - 1 : 0;
        pointY = RowTop(list, row) + marker->RowHeight;
    } else {
        return false;
    }

    int drop = row;
    if (pointY - RowTop(list, row) >= marker->RowHeight / 2)
        drop = row + 1;
    POINT line = { 0, drop >= count ? RowTop(list, count - 1) + marker->RowHeight : RowTop(list, drop) };
    MapWindowPoints(list, window, &line, 1);
    *dropIndex = drop;
    *lineTop = line.y - 4;
    return true;
}

static void RestoreBackground(HDC dc, DropMarker *marker)
{
    BitBlt(dc, marker->Left, marker->LineTop, ImageWidth(marker), DROP_LINE_HEIGHT, marker->Background, 0, 0,
           SRCCOPY);
}

void DragMouseMove(HWND window, int x, int y)
{
    DropMarker *marker = &MainDropMarker;
    HDC dc = GetDC(window);
    POINT screen = { x, y };
    ClientToScreen(window, &screen);
    ImageList_DragMove(screen.x, screen.y);

    int drop = -1, lineTop = -1;
    if (!FindDropTarget(window, GetDlgItem(window, IDC_FILE_LIST), x, y, &drop, &lineTop)) {
        if (marker->LineTop != -1) {
            ImageList_DragShowNolock(FALSE);
            RestoreBackground(dc, marker);
            ImageList_DragShowNolock(TRUE);
        }
        marker->LineTop = -1;
        marker->DropIndex = -1;
    } else if (drop == marker->DropIndex) {
        BitBlt(dc, marker->Left, marker->LineTop, ImageWidth(marker), DROP_LINE_HEIGHT, marker->ImageInUse, 0,
               0, SRCAND);
    } else {
        ImageList_DragShowNolock(FALSE);
        if (marker->LineTop != -1)
            RestoreBackground(dc, marker);
        marker->DropIndex = drop;
        BitBlt(marker->Background, 0, 0, ImageWidth(marker), DROP_LINE_HEIGHT, dc, marker->Left, lineTop, SRCCOPY);
        ImageList_DragShowNolock(TRUE);
        BitBlt(dc, marker->Left, lineTop, ImageWidth(marker), DROP_LINE_HEIGHT, marker->ImageInUse, 0, 0,
               SRCAND);
        marker->LineTop = (int16_t)lineTop;
    }
    ReleaseDC(window, dc);
}

// Moves row source before row target with its texts and item data; returns
// the index of the inserted copy, or -1 when the list refused it.
static int CopyRowBefore(HWND list, int source, int target, int *sourceAfter)
{
    char text[ROW_COPY_SIZE];
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_INDENT | LVIF_STATE;
    item.iItem = source;
    item.stateMask = (UINT)~LVIS_SELECTED;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&item);
    item.state &= ~(UINT)LVIS_SELECTED;
    item.iItem = target;
    item.pszText = LPSTR_TEXTCALLBACKA;     // the status is the entry's state, which goes with it
    int inserted = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
    if (inserted < 0)
        return -1;
    if (inserted <= source)
        source++;
    for (int column = 1; column < 5; column++) {
        if (RowCellShowsEntry(list, source, column)) {
            SetRowText(list, inserted, column, LPSTR_TEXTCALLBACKA);
            continue;
        }
        GetRowText(list, source, column, text, sizeof text);
        SetRowText(list, inserted, column, text);
    }
    *sourceAfter = source;
    return inserted;
}

static void FinishRowDrag(HWND window, bool withTarget)
{
    DropMarker *marker = &MainDropMarker;
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    MainWnd.Dragging = 0;
    ImageList_DragLeave(GetDesktopWindow());
    ImageList_EndDrag();
    ImageList_Destroy(DragImage);
    DragImage = nullptr;
    if (marker->LineTop != -1) {
        HDC dc = GetDC(window);
        RestoreBackground(dc, marker);
        ReleaseDC(window, dc);
        marker->LineTop = -1;
    }
    ReleaseCapture();
    int drop = marker->DropIndex;
    marker->DropIndex = -1;
    // A run started during the drag (from the keyboard) finds its rows by
    // index, so they stay where they are.
    if (!withTarget || ReadRunState() != RUN_IDLE)
        drop = -1;

    if (drop == -1) {
        ShowRowResult(list, (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED));
        return;
    }
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (drop < count && (SendMessageA(list, LVM_GETITEMSTATE, drop, LVIS_SELECTED) & LVIS_SELECTED))
        return;

    int used = -1, lastDeleted = -1, moved = -1;
    for (int source = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); source >= 0;
         source = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED)) {
        int inserted = CopyRowBefore(list, source, drop, &source);
        if (inserted < 0)
            return;     // nothing deleted; the selection stays
        used = drop;
        moved = inserted;
        if (drop < source)
            drop++;
        SendMessageA(list, LVM_DELETEITEM, source, 0);
        lastDeleted = source;
    }
    if (moved < 0)
        return;
    ForgetRowSort(list);
    int final = used > lastDeleted ? used - 1 : used;
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, final);
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, final, (LPARAM)&state);
    ShowRowResult(list, final);
}

void EndRowDrag(HWND window)
{
    FinishRowDrag(window, true);
}

void CancelRowDrag(HWND window)
{
    if (MainWnd.Dragging)
        FinishRowDrag(window, false);
}

// Reads a cell into a buffer that grows until the text fits whole.
static char *ReadWholeCell(HWND list, int row, int column, char *buffer, int *size)
{
    for (;;) {
        GetRowText(list, row, column, buffer, *size);
        if ((int)strlen(buffer) + 1 < *size)
            return buffer;
        char *larger = (char *)realloc(buffer, (size_t)*size * 2);
        if (larger == nullptr) {
            free(buffer);
            return nullptr;
        }
        buffer = larger;
        *size *= 2;
    }
}

int MoveSelectedRow(HWND window, int direction)
{
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    int mark = (int)SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0);
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    int other = mark + direction;
    if (mark < 0 || other < 0 || other >= count || SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 0)
        return 0;

    int firstSize = MOVE_TEXT_SIZE, secondSize = MOVE_TEXT_SIZE;
    char *first = (char *)malloc((size_t)firstSize);
    char *second = (char *)malloc((size_t)secondSize);
    if (first == nullptr || second == nullptr) {
        free(first);
        free(second);
        return -1;
    }
    LVITEMA data = {};
    data.mask = LVIF_PARAM;
    data.iItem = mark;
    SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&data);
    LPARAM markData = data.lParam;
    data.iItem = other;
    SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&data);
    LPARAM otherData = data.lParam;
    data.lParam = markData;
    SendMessageA(list, LVM_SETITEMA, 0, (LPARAM)&data);
    data.iItem = mark;
    data.lParam = otherData;
    SendMessageA(list, LVM_SETITEMA, 0, (LPARAM)&data);

    // A cell that shows its entry went with the entry; a text of its own
    // goes to the other row.
    for (int column = 1; column < 5; column++) {
        bool markEntry = RowCellShowsEntry(list, mark, column), otherEntry = RowCellShowsEntry(list, other, column);
        if (markEntry && otherEntry)
            continue;
        first = ReadWholeCell(list, mark, column, first, &firstSize);
        second = first ? ReadWholeCell(list, other, column, second, &secondSize) : second;
        if (first == nullptr || second == nullptr) {
            free(first);
            free(second);
            return -1;
        }
        SetRowText(list, other, column, markEntry ? LPSTR_TEXTCALLBACKA : first);
        SetRowText(list, mark, column, otherEntry ? LPSTR_TEXTCALLBACKA : second);
    }
    free(first);
    free(second);
    SendMessageA(list, LVM_REDRAWITEMS, mark < other ? mark : other, mark < other ? other : mark);

    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    SendMessageA(list, LVM_SETITEMSTATE, mark, (LPARAM)&state);
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, other, (LPARAM)&state);
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, other);
    ForgetRowSort(list);
    return 0;
}
