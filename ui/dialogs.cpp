// The open and save dialogs of one file.
#include "ui/dialogs.h"

#include "platform/codepage.h"
#include "ui/addfiles.h"

void PrepareFileDialog(OPENFILENAMEA *dialog, HWND owner, const char *filter, DWORD filterIndex, char *file,
                       DWORD fileSize, const char *title, DWORD flags)
{
    *dialog = OPENFILENAMEA();
    dialog->lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog->hwndOwner = owner;
    dialog->lpstrFilter = filter;
    dialog->nFilterIndex = filterIndex;
    dialog->lpstrFile = file;
    dialog->nMaxFile = fileSize;
    dialog->lpstrTitle = title;
    dialog->Flags = flags;
}

bool ShowWideFileDialog(HWND owner, bool save, const char *filter, DWORD *filterIndex, const char *title, DWORD flags,
                        WCHAR *file, DWORD size)
{
    // The filter list ends with two terminators, both converted.
    int filterLength = 0;
    while (filter[filterLength] != '\0' || filter[filterLength + 1] != '\0')
        filterLength++;
    WCHAR wideFilter[OPEN_FILTER_SIZE], wideTitle[MAX_PATH];
    if (filterLength + 2 > OPEN_FILTER_SIZE ||
        !MultiByteToWideChar(CP_ACP, 0, filter, filterLength + 2, wideFilter, OPEN_FILTER_SIZE) ||
        !MultiByteToWideChar(CP_ACP, 0, title, -1, wideTitle, MAX_PATH))
        return false;
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = wideFilter;
    dialog.nFilterIndex = filterIndex != nullptr ? *filterIndex : 0;
    dialog.lpstrFile = file;
    dialog.nMaxFile = size;
    dialog.lpstrTitle = wideTitle;
    dialog.Flags = flags;
    if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog)))
        return false;
    if (filterIndex != nullptr)
        *filterIndex = dialog.nFilterIndex;
    return true;
}

int ChooseFileName(HWND owner, bool save, const char *filter, DWORD *filterIndex, const char *title, DWORD flags,
                   char *file, DWORD fileSize)
{
    UINT codePage = LegacyCodePage();
    if (codePage == 0) {
        OPENFILENAMEA dialog;
        PrepareFileDialog(&dialog, owner, filter, filterIndex != nullptr ? *filterIndex : 0, file, fileSize, title,
                          flags);
        if (!(save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog)))
            return -1;
        if (filterIndex != nullptr)
            *filterIndex = dialog.nFilterIndex;
        return 0;
    }
    WCHAR chosen[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, file, -1, chosen, MAX_PATH) == 0)
        chosen[0] = L'\0';
    if (!ShowWideFileDialog(owner, save, filter, filterIndex, title, flags, chosen, MAX_PATH))
        return -1;
    if (SpellWideName(chosen, chosen, codePage, file, fileSize) == 0)
        return 0;
    ReportUnspellable(owner);
    return -1;
}
