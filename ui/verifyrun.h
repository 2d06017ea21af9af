// The run's half of a verification before any file is hashed: the checksum
// file read and planned, the one question asked through the window, and the
// listed files looked up inside the checksum file's folder.
#ifndef ZUNTA_VERIFYRUN_H
#define ZUNTA_VERIFYRUN_H

#include "core/verifyplan.h"

#include <windows.h>

// On the run's thread, with the bar moving and a cancel answered from the
// start: reads the checksum file CurrentRun.SumsPath and plans it into plan,
// has the window ask about absolute names (MSG_VERIFY_ASK), confines what
// the run opens to the checksum file's folder (EndOpensConfinement of
// core/fileinfo.h ends it), looks the listed files up, and has the window
// give the found ones rows (MSG_VERIFY_ROWS). Returns 0 when there are rows
// to hash; else -1 with the confinement ended and CurrentRun.VerifyProblem
// set to what to say instead of a summary (0 after a cancel).
int PrepareVerification(HWND window, VerifyPlan *plan);

#endif
