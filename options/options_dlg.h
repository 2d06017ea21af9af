// The options dialog: language, letter case of the checksums, SendTo shortcut.
#ifndef ZUNTA_OPTIONS_DLG_H
#define ZUNTA_OPTIONS_DLG_H

#include <windows.h>

// The program's shortcut found when the dialog opened, relative to the
// SendTo folder and without ".lnk"; empty when there was none.
extern char FoundShortcutName[260];

// Shows the options dialog owned by owner; returns 0 however it was closed.
// The caller tells a language change by comparing the language ids.
int OpenOptionsDialog(HWND owner);

#endif
