// The state shared between the main window and the worker thread of a
// processing run, and the one lock that guards it.
#ifndef ZUNTA_RUNLOCK_H
#define ZUNTA_RUNLOCK_H

#include <windows.h>

enum {
    RUN_IDLE = 0,
    RUN_CANCEL_REQUESTED = 1,
    RUN_RUNNING = 2,
};

extern CRITICAL_SECTION RunLock;
extern signed char RunState;   // read and written only while holding RunLock

// RunState read under RunLock.
int ReadRunState(void);

#endif
