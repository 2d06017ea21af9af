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

// MSG_REMOTE_LONG_FILE in the running instance: reads the path at address
// (a 32-bit length, then as many bytes) and admits it as OnRemoteFile does.
// Returns REMOTE_LONG_FILE_TAKEN, which an instance that does not know the
// message never answers, or 0 when the sender could not be read.
enum { REMOTE_LONG_FILE_TAKEN = 0x5A4C };
LRESULT OnRemoteLongFile(HWND window, DWORD senderId, const void *address);

// A first argument /verify (core/cmdline.h): its checksum file waits for
// this instance's window or for the running one, and the command line is
// not read as paths. Returns 1, 0 when there is none, -1 when memory ran out.
int TakeVerifyRequest(void);
// Sends the waiting checksum files to window by MSG_REMOTE_VERIFY. False when
// the instance did not take one (an earlier version): they stay waiting.
bool HandVerificationsTo(HWND window);
// MSG_REMOTE_VERIFY in the running instance: the checksum file at address
// (as MSG_REMOTE_LONG_FILE's) waits for its turn. Returns REMOTE_VERIFY_TAKEN,
// which an earlier version never answers, or 0.
enum { REMOTE_VERIFY_TAKEN = 0x5A56, TIMER_PENDING_VERIFY = 6 };
LRESULT OnRemoteVerify(HWND window, DWORD senderId, const void *address);
// The window looks for a waiting verification's turn on a timer: once no run
// goes and no other window of the program is up, the first starts.
void ResumePendingVerifications(HWND window);
void StartPendingVerification(HWND window);

// Set when a path could not be handed over: no memory the running
// instance can read was had.
extern bool HandOffFailed;
// The paths the running instance did not take (an earlier version that
// knows no long paths), each ended by "\r\n"; null when there were none.
// The caller frees them.
char *TakeRefusedHandOffs(void);

#endif
