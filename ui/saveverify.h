// Saving the list's checksums as an .sfv or .md5 file, and verifying files
// against such a file.
#ifndef ZUNTA_SAVEVERIFY_H
#define ZUNTA_SAVEVERIFY_H

#include "core/verifyplan.h"

#include <windows.h>

// The save dialog, then every row that has the checksum of the chosen
// format, in row order; rows without it are counted in a closing message.
void SaveChecksumFile(HWND window);
// Export list: the save dialog of a .csv file, then the table of the rows
// as the list knows them (nothing is computed), and what was written.
void ExportList(HWND window);
// Writes that table to path (through a file beside it): a header line and
// one line per file row, in row order (*written of them). Returns 0, or -1.
int WriteListTable(HWND window, const char *path, int32_t *written);
// After the run that computed the SHA-256 a save needs: the file written, or
// not when the run was cancelled.
void FinishSaveAfterRun(HWND window);
// The open dialog, then a run reads the chosen file, adds every listed file
// that exists to the list (rows already listed are reused) and verifies
// those rows.
void VerifyChecksumFile(HWND window);
// The same verification of the checksum file at path, chosen elsewhere (the
// command line's /verify): the run reports a file it cannot read.
void VerifyChecksumFileAt(HWND window, const char *path);
// Asked by the run once the checksum file is read: whether the count files
// it lists by absolute path are verified too. Returns IDYES or IDNO.
int AskAboutAbsoluteNames(HWND window, int32_t count);
// On the window's thread, asked by the run once it has looked the listed
// files up (found: what it found, by plan file): each found file gets its
// row: the row of the same file found before it, else the row whose path is
// its path in other letter case, else a row added to the list. Then the plan
// groups its rows. Returns 0, or -1 when memory ran out (the rows added are
// taken away again).
int GiveVerifiedFilesRows(HWND window, VerifyPlan *plan, const VerifyFound *found);
// After that run: the first failed row selected, and the summary.
void ShowVerificationAfterRun(HWND window);
// A verification that was planned but will not be shown is let go.
void DiscardVerification(void);
// The folder part of path (a full path of at most size bytes), without its
// last backslash.
void FolderOf(const char *path, char *folder, size_t size);

#endif
