// Saving the list's checksums as an .sfv or .md5 file, and verifying files
// against such a file.
#ifndef ZUNTA_SUMFILE_H
#define ZUNTA_SUMFILE_H

#include "core/verifyplan.h"

#include <windows.h>

// The save dialog, then every row that has the checksum of the chosen
// format, in row order; rows without it are counted in a closing message.
void SaveChecksumFile(HWND window);
// After the run that computed the SHA-256 a save needs: the file written, or
// not when the run was cancelled.
void FinishSaveAfterRun(HWND window);
// The open dialog, then every listed file that exists is added to the list
// (rows already listed are reused) and those rows are verified in one run.
void VerifyChecksumFile(HWND window);
// On the window's thread, asked by the run once it has looked the listed
// files up (sizes: what it found, by plan file): each found file gets its
// row, added to the list when it has none, and the plan its rows. Returns 0,
// or -1 when memory ran out (the rows added are taken away again).
int GiveVerifiedFilesRows(HWND window, VerifyPlan *plan, const uint64_t *sizes);
// After that run: the first failed row selected, and the summary.
void ShowVerificationAfterRun(HWND window);
// A verification that was planned but will not be shown is let go.
void DiscardVerification(void);

#endif
