// The main window: a modal dialog shown again for as long as the user
// switches the language.
#ifndef ZUNTA_MAINWND_H
#define ZUNTA_MAINWND_H

#include "core/filelist.h"

#include <windows.h>
#include <stdint.h>

enum {
    MSG_KEEP_ALIVE = WM_USER + 2,       // answered with 60, nothing else
    MSG_REMOTE_FILE = WM_USER + 3,      // a path handed over by a later instance
    MSG_RUN_FINISHED = WM_USER + 4,     // the worker of a run has ended it
    MSG_RUN_FOLLOW_UP = WM_APP + 1,     // a compare, verify, history or rows run has ended, or a run found files changed without a write: show it
    MSG_VERIFY_ROWS = WM_APP + 2,       // sent by a verification's worker: give the files found rows
    MSG_VERIFY_ASK = WM_APP + 3,        // sent by a verification's worker: verify the wParam absolute names too? IDYES or IDNO
    MSG_REMOTE_LONG_FILE = WM_APP + 4,  // a path too long for MSG_REMOTE_FILE handed over by a later instance
    MSG_REMOTE_VERIFY = WM_APP + 6,     // a checksum file to verify, handed over by a later instance (/verify)
    MSG_RUN_SHOW = WM_APP + 10,         // sent by a run's worker: show what it did since the window last caught up
};

// One row carried across a language switch.
struct RowSnapshotRecord {
    uint16_t StatusIndex;       // LanguageStrings index of the row's status
    int32_t IndexPlusOne;       // FileList index + 1; 0 ends the array
};

struct MainWindowState {
    HINSTANCE Instance;         // the program's module, for templates and icons
    HWND Window;                // the main window, or null between two showings
    bool NoFileRows;            // the list holds no file row
    FileEntry *CurrentEntry;    // the entry the result box shows
    HANDLE RunThread;           // worker of the running run, or null
    int32_t Dragging;           // a row drag is in progress
    RowSnapshotRecord *RowSnapshot;     // rows carried across a language switch
    int16_t SavedWindowPos[2];  // left and top carried across a switch; -1 = none
    HICON Icons[4];             // small and large window icon, the two arrows
    int Dpi;                    // the window's dots an inch, as its columns and icons are sized
    HFONT ListFont;             // the list's and the result box's font, or null
};

extern MainWindowState MainWnd;

// Prepares the next showing of the main window in the current language and
// returns its template, or null when it cannot be loaded.
const DLGTEMPLATE *PrepareMainWindow(void);

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Ends the main dialog, after the run that may be going has ended.
void EndMainDialog(HWND window);
// Enables or disables Clear All, Move up and Move down together.
void SetListEditing(bool enabled);
// The dots an inch of window's monitor as the window is scaled (96 where
// the system tells nothing finer than the screen's).
int WindowDpi(HWND window);
// Gives the list and the result box, which show names of every script, the
// shell's dialog font (which the system links to fonts of other scripts) at
// the height of the dialog's own font; the font it replaces is deleted.
void ApplyListFonts(HWND window);
// Gives button a tooltip with text, wrapped at maxWidth pixels.
void AddButtonTooltip(HWND button, const char *text, int maxWidth);

#endif
