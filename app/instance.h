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
// Parses the pending command line: ADD_LOCALLY adds its files to the list,
// SEND_TO_INSTANCE sends them to window. Returns as ParseCommandLineText.
int ParseCommandLine(int mode, HWND window);
// The buffer a later start sends its paths from: 260 bytes at an address
// that fits in 32 bits, so that a 32-bit instance can read it.
char *HandOffBuffer(void);
// Reads byteCount bytes at address in process processId into buffer.
// Returns 0, or -1 for bad arguments, a process that cannot be opened or a
// failed read.
int ReadRemotePath(DWORD processId, const void *address, char *buffer, int byteCount);
// MSG_REMOTE_FILE in the running instance: shows and admits the path.
void OnRemoteFile(HWND window, DWORD senderId, const void *address);

#endif
