// The program's start-up, main window loop and shutdown.
#ifndef ZUNTA_STARTUP_H
#define ZUNTA_STARTUP_H

#include <windows.h>

// Runs the whole program; returns its exit code (always 0).
int RunProgram(HINSTANCE instance, const char *arguments);

#endif
