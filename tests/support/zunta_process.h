// Starting Zunta.exe as a user would, finding its main window and closing it.
#ifndef ZUNTA_TESTS_ZUNTA_PROCESS_H
#define ZUNTA_TESTS_ZUNTA_PROCESS_H

#include <windows.h>

#include <functional>
#include <string>

// Zunta.exe of this build (from ZUNTA_EXE).
std::string BuiltZuntaExe();
// Copies a built program (default: Zunta.exe) into folder as Zunta.exe and
// returns the copy's path, or the empty text.
std::string InstallZuntaInto(const std::string &folder, const std::string &built = BuiltZuntaExe());

struct ZuntaProcess {
    PROCESS_INFORMATION info = {};
    HWND window = nullptr;      // its main window, once found
};

// Starts "exe" args with the given current directory (empty: the exe's
// folder). Returns false when the process cannot be created.
bool StartZunta(ZuntaProcess *zunta, const std::string &exe, const std::string &args,
                const std::string &currentDirectory = std::string());
// Waits for the process's main window (dialog class, title "Zunta Calculator").
HWND WaitForMainWindow(ZuntaProcess *zunta, DWORD timeoutMs = 20000);
// Waits for the process to end; returns its exit code, or -1 on a time-out
// (the process is then killed).
long WaitForExit(ZuntaProcess *zunta, DWORD timeoutMs = 20000);
// Closes the main window as the title bar's close button does and waits
// for the process to end; returns the exit code as WaitForExit.
long CloseZunta(ZuntaProcess *zunta);
void ReleaseZunta(ZuntaProcess *zunta);

// Polls done() every 20 ms until it holds or timeoutMs passes; returns done().
bool WaitFor(const std::function<bool()> &done, DWORD timeoutMs = 20000);

#endif
