// The open and save dialogs of one file.
#ifndef ZUNTA_DIALOGS_H
#define ZUNTA_DIALOGS_H

#include <windows.h>
#include <commdlg.h>
#include <stdint.h>

// An open or save dialog's record in the form every Windows version reads
// (the size without the members added with Windows 2000), owned by owner.
void PrepareFileDialog(OPENFILENAMEA *dialog, HWND owner, const char *filter, DWORD filterIndex, char *file,
                       DWORD fileSize, const char *title, DWORD flags);

// An open (save false) or save dialog read wide, for a process whose code
// page is not UTF-8: filter (a list ended by two terminators) and title are
// in the process code page; filterIndex (when not null) is the filter shown
// first and receives the one chosen. The path chosen is written into file
// (size characters). False when nothing was chosen.
bool ShowWideFileDialog(HWND owner, bool save, const char *filter, DWORD *filterIndex, const char *title, DWORD flags,
                        WCHAR *file, DWORD size);
// The open or save dialog of one file: narrow under UTF-8, else read wide
// and the path written in the process code page (by its short alias where
// the code page cannot write its name), so that no best-fit spelling ever
// reaches another file. file (fileSize bytes) holds the name the dialog
// starts with and receives the path; filterIndex as ShowWideFileDialog.
// Returns 0, or -1 when nothing was chosen or the path cannot be written in
// the code page (one message then names it).
int ChooseFileName(HWND owner, bool save, const char *filter, DWORD *filterIndex, const char *title, DWORD flags,
                   char *file, DWORD fileSize);

#endif
