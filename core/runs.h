// Processing runs: Process hashes the selected row, Process All every
// "Ready" row, on a worker thread that reports to the window by sent messages.
#ifndef ZUNTA_RUNS_H
#define ZUNTA_RUNS_H

#include <windows.h>

// The run buttons: start a run when idle, else ask the running one to stop.
void OnRunButton(HWND window, int id);
// The worker's last message: the window gets its buttons back.
void OnRunFinished(HWND window);
// Asks a running run to stop and returns once its worker has ended,
// carrying out the messages the worker sends meanwhile. Nothing when idle.
void EndRunAndWait(void);

// How a run's worker thread is started (CreateThread; tests replace it).
extern HANDLE(WINAPI *CreateRunThread)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID,
                                       DWORD, LPDWORD);

#endif
