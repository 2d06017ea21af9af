// The file list view.
#include "ui/listview.h"

#include "base/texts.h"
#include "base/settings.h"
#include "base/sizetext.h"
#include "base/textutil.h"
#include "core/entrytexts.h"
#include "platform/runlock.h"
#include "resources/resource.h"
#include "ui/historyrun.h"
#include "ui/listsort.h"
#include "ui/mainwnd.h"
#include "ui/reorder.h"
#include "ui/result.h"

#include <stdio.h>
#include <string.h>

const char ProcessingStatus[] = ">>";

static const char ExactSizeHeader[] = "   ";
static const char CrcWidthSample[] = "00000000";
static const char Md5Mark[] = " *";

HWND FileListView(void)
{
    return GetDlgItem(MainWnd.Window, IDC_FILE_LIST);
}

void InsertListColumns(HWND list)
{
    const char *headers[COLUMN_COUNT] = {
        LanguageStrings[TEXT_COLUMN_STATUS], LanguageStrings[TEXT_COLUMN_FILES], LanguageStrings[TEXT_COLUMN_CHECKSUMS],
        LanguageStrings[TEXT_COLUMN_SIZE], ExactSizeHeader,
    };
    for (int i = 0; i < COLUMN_COUNT; i++) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = WidthAtDpi(Settings.lvCol[i], MainWnd.Dpi);
        column.pszText = (char *)headers[i];
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, (LPARAM)&column);
    }
    ResetRowSort();
}

static int InsertRow(HWND list, int position, const char *status, LPARAM data)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = position;
    item.pszText = (char *)status;
    item.lParam = data;
    return (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
}

void SetRowText(HWND list, int row, int column, const char *text)
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = (char *)text;
    SendMessageA(list, LVM_SETITEMTEXTA, row, (LPARAM)&item);
}

void GetRowText(HWND list, int row, int column, char *text, int size)
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = size;
    if (size > 0)
        text[0] = '\0';
    SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
}

void InsertHintRows(HWND list)
{
    MainWnd.NoFileRows = true;
    InsertRow(list, 0, " ", 0);
    SetRowText(list, 0, 1, LanguageStrings[TEXT_HINT_ADD_FILES]);
    InsertRow(list, 1, " ", 0);
    SetRowText(list, 1, 1, LanguageStrings[TEXT_HINT_DRAG_DROP]);
}

int InsertFileRow(const char *path, int32_t index, uint32_t sizeLow, uint32_t sizeHigh, int position)
{
    if (path == nullptr)
        return -1;
    HWND list = FileListView();
    if (MainWnd.NoFileRows) {
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        MainWnd.NoFileRows = false;
    }
    if (position < 0)
        position = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) + 1;
    int row = InsertRow(list, position, LanguageStrings[TEXT_READY], (LPARAM)index);
    if (row < 0)
        return 1;
    ForgetRowSort(list);
    SetRowText(list, row, 1, PathFileName(path));
    char grouped[SIZE_TEXT_SIZE];
    char unit[SIZE_TEXT_SIZE];
    FormatGroupedSize(grouped, sizeof grouped, ((uint64_t)sizeHigh << 32) | sizeLow);
    SetRowText(list, row, 4, grouped);
    memcpy(unit, grouped, sizeof unit);
    FormatUnitSize(unit, sizeof unit, Settings.LanguageId);
    SetRowText(list, row, 3, unit);
    return 1;
}

static int RedrawSuspended;

void SuspendListRedraw(HWND list)
{
    if (RedrawSuspended++ == 0)
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
}

void ResumeListRedraw(HWND list)
{
    if (RedrawSuspended == 0 || --RedrawSuspended > 0)
        return;
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

int32_t RowIndex(HWND list, int row)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (row < 0 || !SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&item))
        return -1;
    return (int32_t)item.lParam;
}

FileEntry *RowEntry(HWND list, int row)
{
    int32_t index = RowIndex(list, row);
    return index < 0 ? nullptr : FileListEntry(&Files, index);
}

void PadToCrcWidth(HWND list, char *text, size_t size, int maxSpaces)
{
    int target = (int)SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, (LPARAM)CrcWidthSample);
    for (int spaces = 0; spaces < maxSpaces; spaces++) {
        if ((int)SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, (LPARAM)text) >= target)
            break;
        if (AppendText(text, size, " ") != 0)
            break;
    }
}

void RebuildCrcColumn(HWND list, int row, const FileEntry *entry)
{
    char text[CRC_COLUMN_SIZE] = "";
    if (entry->Flags & HAS_CRC32)
        snprintf(text, sizeof text, "%08X", (unsigned)entry->Crc32);
    else
        PadToCrcWidth(list, text, sizeof text, MAX_REBUILD_PADDING);
    if (entry->Flags & HAS_MD5)
        AppendText(text, sizeof text, Md5Mark);
    if (text[0] != '\0')
        SetRowText(list, row, 2, text);
}

int SelectedFileRow(HWND list, int32_t *index)
{
    *index = -1;
    if (MainWnd.NoFileRows || SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) <= 0)
        return -1;
    int row = (int)SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0);
    int32_t found = RowIndex(list, row);
    if (row < 0 || found < 0 || FileListEntry(&Files, found) == nullptr)
        return -1;
    *index = found;
    return row;
}

void ShowRowResult(HWND list, int row)
{
    int32_t index = RowIndex(list, row);
    FileEntry *entry = index < 0 ? nullptr : FileListEntry(&Files, index);
    if (entry == nullptr)
        return;
    MainWnd.CurrentEntry = entry;
    ShowEntryResultOf(entry, index);
}

static void ClearResult(void)
{
    SetDlgItemTextA(MainWnd.Window, IDC_RESULT, "");
    SetDlgItemTextA(MainWnd.Window, IDC_STATUS_TEXT, "");
}

static int RowCount(HWND list)
{
    return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
}

static int SelectedCount(HWND list)
{
    return (int)SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0);
}

static int SelectionMark(HWND list)
{
    return (int)SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0);
}

static void ToggleStatus(HWND list, int row)
{
    char status[STATUS_TEXT_SIZE];
    GetRowText(list, row, 0, status, sizeof status);
    if (!strcmp(status, LanguageStrings[TEXT_READY]) || !strcmp(status, LanguageStrings[TEXT_DONE]) ||
        !strcmp(status, LanguageStrings[TEXT_ERROR]))
        SetRowText(list, row, 0, LanguageStrings[TEXT_DISABLED]);
    else if (!strcmp(status, LanguageStrings[TEXT_DISABLED]))
        SetRowText(list, row, 0, LanguageStrings[TEXT_READY]);
}

void SelectRow(HWND list, int row)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, row, (LPARAM)&item);
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, row);
}

static void DeleteSelectedRow(HWND list)
{
    int mark = SelectionMark(list);
    if (mark < 0)
        return;
    char status[ROW_TEXT_SIZE];
    GetRowText(list, mark, 0, status, sizeof status);
    if (!strcmp(status, ProcessingStatus) || SelectedCount(list) == 0)
        return;
    int32_t index = RowIndex(list, mark);
    if (!SendMessageA(list, LVM_DELETEITEM, mark, 0))
        return;
    FileEntry *entry = FileListEntry(&Files, index);
    if (entry != nullptr && entry == MainWnd.CurrentEntry)
        MainWnd.CurrentEntry = nullptr;
    FileListRemoveEntry(&Files, index);
    ClearEntryExtras(index);

    int count = RowCount(list);
    if (count == 0)
        return;
    int next = mark < count ? mark : count - 1;
    SelectRow(list, next);
    ShowRowResult(list, next);
}

// The row that an arrow key is about to select, or the mark itself.
static int RowAfterArrow(HWND list, WORD key)
{
    int mark = SelectionMark(list);
    if (key == VK_UP && mark > 0)
        return mark - 1;
    if (key == VK_DOWN && mark >= 0 && mark < RowCount(list) - 1)
        return mark + 1;
    return mark;
}

void OnListNotify(const NMHDR *header)
{
    HWND list = header->hwndFrom;
    if (header->code == (UINT)LVN_BEGINDRAG) {
        // Rows are not moved under a run, which addresses its row by index.
        if (!MainWnd.NoFileRows && ReadRunState() == RUN_IDLE)
            BeginRowDrag(MainWnd.Window, (const NMLISTVIEW *)header);
        return;
    }
    if (MainWnd.NoFileRows || RowCount(list) == 0)
        return;
    if (header->code == (UINT)NM_KILLFOCUS && SelectedCount(list) == 0) {
        ClearResult();
        return;
    }
    bool idle = ReadRunState() == RUN_IDLE;

    switch (header->code) {
    case NM_CLICK:
        ShowRowResult(list, SelectionMark(list));
        break;
    case NM_DBLCLK: {
        int row = ((const NMITEMACTIVATE *)header)->iItem;
        if (idle && row >= 0)
            ToggleStatus(list, row);
        break;
    }
    case LVN_KEYDOWN: {
        WORD key = ((const NMLVKEYDOWN *)header)->wVKey;
        if (!idle)
            break;
        if (key == VK_DELETE && !MainWnd.Dragging)
            DeleteSelectedRow(list);
        else if (key == VK_UP || key == VK_DOWN)
            ShowRowResult(list, RowAfterArrow(list, key));
        break;
    }
    case LVN_COLUMNCLICK:
        if (SortRowsByColumn(list, ((const NMLISTVIEW *)header)->iSubItem) != 0)
            EndMainDialog(MainWnd.Window);
        break;
    case LVN_DELETEITEM:
        if (RowCount(list) == 1)
            ClearResult();
        break;
    case LVN_DELETEALLITEMS:
        ClearResult();
        break;
    }
}

void ClearAllRows(HWND window)
{
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    if (!SendMessageA(list, LVM_DELETEALLITEMS, 0, 0))
        return;
    ForgetRowSort(list);
    MainWnd.CurrentEntry = nullptr;
    FileListClearEntries(&Files);
    ClearAllEntryExtras();
    MainWnd.NoFileRows = true;
}
