// The switch of the shell's "Verify with Zunta" on the list's menu: the
// commands of the checksum files registered for the current user, or not.
#ifndef ZUNTA_SHELLVERIFY_H
#define ZUNTA_SHELLVERIFY_H

#include "core/shellverbs.h"

#include <windows.h>

// The registry the switch uses (the user's classes; tests may replace it).
extern const ShellRegistry *ShellVerifyRegistry;

// Whether the commands are registered, and for this program: a
// ShellVerbsState.
int ShellVerifyState(void);
// The menu item's text as the state shows it, on the heap; null when
// memory ran out.
char *ShellVerifyMenuText(int state);
// Registered for this program: removes the commands; else registers them
// for it. The shell is told once; a failure is said in a message box.
void ToggleShellVerify(HWND window);

#endif
