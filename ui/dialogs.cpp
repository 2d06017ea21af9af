// Loading the dialog templates of the current language.
#include "ui/dialogs.h"

#include "app/lang.h"

const DLGTEMPLATE *LoadDialogTemplate(HINSTANCE instance, int id, uint16_t languageId)
{
    WORD language = ResourceLanguage(languageId);
    HRSRC found = FindResourceExA(instance, (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(id), language);
    if (found == nullptr)
        return nullptr;
    HGLOBAL loaded = LoadResource(instance, found);
    if (loaded == nullptr)
        return nullptr;
    return (const DLGTEMPLATE *)LockResource(loaded);
}

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
