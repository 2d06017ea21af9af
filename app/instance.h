// One running instance per user: a later start hands its command-line paths
// to the instance that already runs, through MSG_REMOTE_FILE.
#ifndef ZUNTA_INSTANCE_H
#define ZUNTA_INSTANCE_H

#include <windows.h>

// Looks for a running instance; when one answers, hands the command line over,
// brings its window to the front and returns 1 (this process then ends).
// Returns 0 when this process is to become the running instance.
int HandOffToRunningInstance(void);
// Process id of an earlier process whose file name contains name, or 0.
DWORD FindEarlierInstanceProcess(const char *name);

#endif
