// The file list view.
#include "ui/listview.h"

#include "base/texts.h"
#include "base/settings.h"
#include "base/sizetext.h"
#include "base/textutil.h"
#include "checksum/checksum_text.h"
#include "core/entrytexts.h"
#include "platform/runlock.h"
#include "resources/resource.h"
#include "ui/historyrun.h"
#include "ui/listsort.h"
#include "ui/mainwnd.h"
#include "ui/reorder.h"
#include "ui/result.h"
#include "ui/runs.h"

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

const char *StateStatusText(int state)
{
    switch (state) {
    case ENTRY_READY: return LanguageStrings[TEXT_READY];
    case ENTRY_DISABLED: return LanguageStrings[TEXT_DISABLED];
    case ENTRY_PROCESSING: return ProcessingStatus;
    case ENTRY_DONE: return LanguageStrings[TEXT_DONE];
    default: return LanguageStrings[TEXT_ERROR];
    }
}

static int StateOfStatusText(const char *text)
{
    for (int state = ENTRY_READY; state <= ENTRY_ERROR; state++)
        if (!strcmp(text, StateStatusText(state)))
            return state;
    return -1;
}

void SetRowState(HWND list, int row, int state)
{
    FileEntry *entry = RowEntry(list, row);
    if (entry == nullptr)
        return;
    SetEntryState(entry, state);
    SendMessageA(list, LVM_REDRAWITEMS, row, row);
}

// The checksum column of an entry (see COLUMN_...).
static void FormatCrcColumn(HWND list, uint64_t column, char *text, size_t size)
{
    int flags = (int)(uint32_t)column;
    text[0] = '\0';
    if (!(flags & COLUMN_SHOWN))
        return;
    if (flags & COLUMN_CRC)
        FormatCrc32Text((uint32_t)(column >> 32), (flags & COLUMN_CRC_LOWER) != 0, text);
    else
        PadToCrcWidth(list, text, size, (flags & COLUMN_REBUILT) ? MAX_REBUILD_PADDING : MAX_RUN_PADDING);
    if (flags & COLUMN_MD5)
        AppendText(text, size, Md5Mark);
}

// The last cell the list asked for as it drew it, or read it.
static int AskedRow = -1, AskedColumn = -1;

// The text of a cell of a file row that shows its entry, in buffer or
// static; null for a cell of another column.
static const char *EntryCellText(HWND list, const FileEntry *entry, int column, char *buffer, size_t size)
{
    switch (column) {
    case 0:
        return StateStatusText(EntryStateOf(entry));
    case 2:
        FormatCrcColumn(list, EntryColumnOf(entry), buffer, size);
        return buffer;
    case 3:
    case 4:
        FormatGroupedSize(buffer, size, EntrySizeOf(entry));
        if (column == 3)
            FormatUnitSize(buffer, size, Settings.LanguageId);
        return buffer;
    default:
        return nullptr;
    }
}

// The list asks for a cell of a file row as it draws or reads it.
static void FillRowCell(HWND list, LVITEMA *item, LVITEMW *wide)
{
    LPARAM data = item ? item->lParam : wide->lParam;
    UINT mask = item ? item->mask : wide->mask;
    int column = item ? item->iSubItem : wide->iSubItem;
    AskedRow = item ? item->iItem : wide->iItem;
    AskedColumn = column;
    FileEntry *entry = FileListEntry(&Files, (int32_t)data);
    char buffer[CRC_COLUMN_SIZE];
    const char *text = entry != nullptr && (mask & LVIF_TEXT) ? EntryCellText(list, entry, column, buffer, sizeof buffer)
                                                               : nullptr;
    if (text == nullptr)
        return;
    if (item != nullptr && item->pszText != nullptr && item->cchTextMax > 0)
        lstrcpynA(item->pszText, text, item->cchTextMax);
    else if (wide != nullptr && wide->pszText != nullptr && wide->cchTextMax > 0 &&
             MultiByteToWideChar(CP_ACP, 0, text, -1, wide->pszText, wide->cchTextMax) == 0)
        wide->pszText[0] = L'\0';
}

bool RowCellShowsEntry(HWND list, int row, int column)
{
    AskedRow = AskedColumn = -1;
    char text[2];
    GetRowText(list, row, column, text, sizeof text);
    return AskedRow == row && AskedColumn == column;
}

void SetRowText(HWND list, int row, int column, const char *text)
{
    if (column == 0 && text != LPSTR_TEXTCALLBACKA && !MainWnd.NoFileRows && RowEntry(list, row) != nullptr) {
        int state = StateOfStatusText(text);
        if (state >= 0) {
            SetRowState(list, row, state);
            return;
        }
    }
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

int InsertFileRow(const char *path, int32_t index, int position)
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
    int row = InsertRow(list, position, LPSTR_TEXTCALLBACKA, (LPARAM)index);
    if (row < 0)
        return 1;
    RunRowInserted(row, index);
    ForgetRowSort(list);
    SetRowText(list, row, 1, PathFileName(path));
    for (int column = 2; column <= 4; column++)
        SetRowText(list, row, column, LPSTR_TEXTCALLBACKA);
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

// The spaces an empty cell needed last, for the font and width it was measured with.
static struct {
    HFONT Font;
    int Target, MaxSpaces, Spaces;
} EmptyPadding = { nullptr, -1, -1, 0 };

void PadToCrcWidth(HWND list, char *text, size_t size, int maxSpaces)
{
    int target = (int)SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, (LPARAM)CrcWidthSample);
    HFONT font = (HFONT)SendMessageA(list, WM_GETFONT, 0, 0);
    bool empty = text[0] == '\0';
    if (empty && EmptyPadding.Font == font && EmptyPadding.Target == target && EmptyPadding.MaxSpaces == maxSpaces) {
        for (int spaces = 0; spaces < EmptyPadding.Spaces && AppendText(text, size, " ") == 0; spaces++) {
        }
        return;
    }
    int spaces = 0;
    for (; spaces < maxSpaces; spaces++) {
        if ((int)SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, (LPARAM)text) >= target)
            break;
        if (AppendText(text, size, " ") != 0)
            return;     // cut short: not what an empty cell of a larger buffer needs
    }
    if (empty)
        EmptyPadding = { font, target, maxSpaces, spaces };
}

void RebuildCrcColumn(HWND list, int row, FileEntry *entry)
{
    SetEntryColumn(entry, entry->Crc32, COLUMN_SHOWN | COLUMN_REBUILT | ((entry->Flags & HAS_CRC32) ? COLUMN_CRC : 0) |
                                            ((entry->Flags & HAS_MD5) ? COLUMN_MD5 : 0));
    SendMessageA(list, LVM_REDRAWITEMS, row, row);
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
    FileEntry *entry = RowEntry(list, row);
    int state = entry != nullptr ? EntryStateOf(entry) : ENTRY_PROCESSING;
    if (state == ENTRY_READY || state == ENTRY_DONE || state == ENTRY_ERROR)
        SetRowState(list, row, ENTRY_DISABLED);
    else if (state == ENTRY_DISABLED)
        SetRowState(list, row, ENTRY_READY);
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
    int32_t index = RowIndex(list, mark);
    FileEntry *marked = index < 0 ? nullptr : FileListEntry(&Files, index);
    if ((marked != nullptr && EntryStateOf(marked) == ENTRY_PROCESSING) || SelectedCount(list) == 0)
        return;
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
    if (header->code == (UINT)LVN_GETDISPINFOA || header->code == (UINT)LVN_GETDISPINFOW) {
        if (header->code == (UINT)LVN_GETDISPINFOA)
            FillRowCell(list, &((NMLVDISPINFOA *)header)->item, nullptr);
        else
            FillRowCell(list, nullptr, &((NMLVDISPINFOW *)header)->item);
        return;
    }
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
