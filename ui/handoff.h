// The paths of the command line, in this instance or handed to the running
// one through MSG_REMOTE_FILE.
#ifndef ZUNTA_HANDOFF_H
#define ZUNTA_HANDOFF_H

#include <windows.h>

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

// Set when a path could not be handed over: no memory the running
// instance can read was had.
extern bool HandOffFailed;

#endif
