// The progress bar of the main window as the hashing job sees it.
#ifndef ZUNTA_PROGRESS_H
#define ZUNTA_PROGRESS_H

#include <stdint.h>

// Progress report of a run's hashing job; context is the main window. Reads
// the run state under the run lock, then sets the bar: to 0 with the answer
// -1 when a cancel was requested, else to the percentage with the answer 0.
int ReportProgress(void *mainWindow, int32_t percentage);

#endif
