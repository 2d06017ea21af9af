// The state shared between the main window and the worker thread of a run.
#include "platform/runlock.h"

CRITICAL_SECTION RunLock;
signed char RunState;

int ReadRunState(void)
{
    EnterCriticalSection(&RunLock);
    int state = RunState;
    LeaveCriticalSection(&RunLock);
    return state;
}
