// Helpers of the tests that run under Windows: scratch folders, whole-file
// reads and writes, and paths handed over from the Linux side.
#ifndef ZUNTA_TESTS_WIN_SUPPORT_H
#define ZUNTA_TESTS_WIN_SUPPORT_H

#include <windows.h>

#include <string>

// A path given by the build (a Linux path) as Wine sees it, on drive Z:.
std::string WindowsPathOf(const std::string &unixOrWindowsPath);
// The value of an environment variable, or the empty text.
std::string EnvironmentValue(const char *name);

// A new empty folder for one test: <ZUNTA_SCRATCH or %TEMP%>\<name>.
std::string MakeScratchFolder(const std::string &name);
// Deletes a folder and everything in it; 0 on success.
int DeleteTree(const std::string &path);

// Runs a shell command on the Linux side (Wine starts Linux programs too)
// and returns its exit status, or -1 when it could not be run.
int RunLinuxCommand(const std::string &command);

bool FileExists(const std::string &path);
// Whole file as bytes; the empty text when it cannot be read. Paths of any
// length, as are the writes and DeleteTree.
std::string ReadWholeFile(const std::string &path);
bool WriteWholeFile(const std::string &path, const std::string &bytes);
// Makes the folders of path below an existing one, at any length.
void MakeFolders(const std::string &folder, const std::string &relative);

#endif
