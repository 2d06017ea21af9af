// What the run asks of the drive a file lies on, and of the processor.
#ifndef ZUNTA_DRIVES_H
#define ZUNTA_DRIVES_H

#include <stdbool.h>

// True when the file's drive reports a seek penalty (a rotating disk): its
// files are read one at a time. A drive that cannot answer has none.
extern bool (*DriveHasSeekPenalty)(const char *path);
bool AskDriveSeekPenalty(const char *path);
// Forgets the drives asked about (at the start of a run).
void ForgetDriveAnswers(void);

// Helper threads a run may use: one per processor beyond the first, at
// most seven. RunHelperCount fixes the number when 0 or more (tests).
extern int RunHelperCount;
int RunHelpers(void);

#endif
