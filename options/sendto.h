// The program's shortcuts in the user's SendTo folder: finding, removing
// and creating them through the shell link object.
#ifndef ZUNTA_SENDTO_H
#define ZUNTA_SENDTO_H

#include <windows.h>
#include <stddef.h>

enum {
    SCAN_REMOVE = 1,    // remove every shortcut to the program
    SCAN_FIND = 2,      // find one and return its path
    LAST_COMPONENT_SIZE = 64,
};

// How the shell's special folders are asked for (tests replace it).
extern BOOL(WINAPI *GetSpecialFolderPath)(HWND, LPSTR, int, BOOL);

// What LocateSendToFolder found.
enum {
    SENDTO_FOUND = 0,
    SENDTO_UNKNOWN = -1,        // none of the places is known
    SENDTO_TOO_LONG = -2,       // the folder's path does not fit in size
};

// The SendTo folder: the shell's special folder, else "SendTo" in the
// folder of "UserProfile", else of "windir". Returns a SENDTO_ result.
int LocateSendToFolder(char *folder, size_t size);
// Scans the SendTo folder and its sub-folders. Returns the number of
// shortcuts to the program found (SCAN_FIND, the path of the one found in
// output) or removed (SCAN_REMOVE); -1 for SCAN_FIND without an output.
int ScanSendToFolder(char *output, int outputSize, int mode);
// The recursive scan of one folder given as a search pattern ("<folder>\*").
// Each real folder is scanned once however many links lead to it, and paths
// too long for the scan's buffers are not followed. Returns as
// ScanSendToFolder, and -1 for no pattern.
int ScanForProgramShortcuts(const char *pattern, char *output, int outputSize, int mode);
// Creates a shortcut file at linkPath pointing to target. COM must be
// initialised on the thread. Returns S_OK, or the failing step's code.
HRESULT CreateShortcut(const char *target, const char *linkPath, const char *description);
// Reads the target path of a shortcut file. COM must be initialised.
// Returns S_OK when the target was read, else another code.
HRESULT ReadShortcutTarget(const char *linkPath, char *output, int outputSize);

#endif
