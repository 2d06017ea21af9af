// Loading the dialog templates of the current language.
#ifndef ZUNTA_DIALOGS_H
#define ZUNTA_DIALOGS_H

#include <windows.h>
#include <commdlg.h>
#include <stdint.h>

// Template id in the resource language of languageId (1036 for French, else
// 1033), or null when it cannot be found or loaded.
const DLGTEMPLATE *LoadDialogTemplate(HINSTANCE instance, int id, uint16_t languageId);

// An open or save dialog's record in the form every Windows version reads
// (the size without the members added with Windows 2000), owned by owner.
void PrepareFileDialog(OPENFILENAMEA *dialog, HWND owner, const char *filter, DWORD filterIndex, char *file,
                       DWORD fileSize, const char *title, DWORD flags);

#endif
