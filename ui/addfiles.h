// Every way a file gets into the list, and the one admission step they share.
#ifndef ZUNTA_ADDFILES_H
#define ZUNTA_ADDFILES_H

#include "base/pathorder.h"
#include "core/filelist.h"

#include <windows.h>
#include <shellapi.h>

// Results of AddFileToList.
enum {
    ADD_OUT_OF_MEMORY = -1,
    ADD_ADDED = 0,
    ADD_DROPPED = 1,    // the path names no file: a folder or nothing
};

enum {
    OPEN_SELECTION_SIZE = 1 << 20,  // characters of the folder and names chosen in the open dialog
    OPEN_FILTER_SIZE = 512,         // the open dialog's filter list, read wide
};

// How a folder's identity (volume and file index) is read; tests replace it.
extern BOOL(WINAPI *GetFolderInformation)(HANDLE, LPBY_HANDLE_FILE_INFORMATION);

// How a file's short 8.3 alias is read (GetShortPathNameW); tests replace it.
extern DWORD(WINAPI *GetShortName)(LPCWSTR, LPWSTR, DWORD);

// A file a folder search found: its name and size.
struct FoundFile {
    char *Name;
    uint64_t Size;
};
// Puts the files a folder search found in another order before they are
// added (tests: the rows must come out the same); null keeps the search's.
extern void (*ArrangeFoundFiles)(FoundFile *files, int count);

// Admits the file at path: a new entry in the FileList and a "Ready" row at
// position (negative: after the last row).
int AddFileToList(const char *path, int position);
// AddFileToList for a file already looked up: size is admitted as found.
int AddFoundFile(const char *path, uint64_t size, int position);

// Writes in codePage the file at path, whose name starts at name: from name
// on when name lies inside path (the alias then replaces the last component
// only), else the whole path. A text the code page cannot write is replaced
// by the short 8.3 alias, which is ASCII; a volume without aliases answers
// the long name, which still cannot be written. Returns 0, or -1 with the
// file noted as left out.
int SpellWideName(const WCHAR *path, const WCHAR *name, UINT codePage, char *out, size_t size);
// One message for the files an action left out (SpellWideName), if any;
// the record is emptied.
void ReportUnspellable(HWND window);

// The Add Files command: the open dialog and its chosen files (read wide,
// as a drop is, where the process code page is not UTF-8).
void AddFilesFromDialog(HWND window);
// Files dropped on the window from the shell; folders are not scanned. A
// name the system's code page cannot write comes in by its short alias, or
// is left out and named in one message.
void AddDroppedFiles(HWND window, HDROP drop);
// The Add Folder command: the folder browser, then AddFolder.
void AddFolderFromBrowser(HWND window);

// Adds the files of a folder, and of all its sub-folders when it has some
// and the user agrees; one message names the files whose names the system's
// code page cannot write (LegacyCodePage). Returns 0, or -1 when memory ran out.
int AddFolder(const char *path);
// 1 when the folder (path ends with a backslash) holds a sub-folder, hidden
// ones included, 0 when not, -1 when it cannot be searched.
int FolderHasSubfolders(const char *path);
// Appends to list every folder below path (ending with a backslash), breadth
// first, each real folder once however many links lead to it. Returns 0, or
// -1 when memory ran out.
int CollectSubfolders(PathList *list, const char *path);
// Adds the files of path and then of each folder of list (or none), each
// folder's files as one block in path order. Returns 0, or -1 out of memory.
int AddFolderFiles(const PathList *list, const char *path);

#endif
