// The user's classes in the registry (HKEY_CURRENT_USER\Software\Classes),
// as the shell's commands are written there.
#ifndef ZUNTA_SHELLREG_H
#define ZUNTA_SHELLREG_H

#include "core/shellverbs.h"

// The registry's functions for the switch; merged reads go to
// HKEY_CLASSES_ROOT.
extern const ShellRegistry UserClassesRegistry;

#endif
