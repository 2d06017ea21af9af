// The options dialog: language, letter case of the checksums, SendTo shortcut.
#ifndef ZUNTA_OPTIONS_DLG_H
#define ZUNTA_OPTIONS_DLG_H

#include <windows.h>

// Shows the options dialog owned by owner; returns 0 however it was closed.
int OpenOptionsDialog(HWND owner);

#endif
