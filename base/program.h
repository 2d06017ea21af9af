// Process-wide state of the program: its folders, the settings and log paths,
// and the command-line text still to be handled.
#ifndef ZUNTA_PROGRAM_H
#define ZUNTA_PROGRAM_H

#include <stddef.h>
#include <stdint.h>

enum {
    PATH_SIZE = 260,                // paths of files and folders
    FOLDER_PATH_SIZE = 300,         // the program folder and the settings path
    PROGRAM_FILE_NAME_SIZE = 64,
    LOG_PATH_SIZE = 264,
};

struct ProgramState {
    char StartFolder[FOLDER_PATH_SIZE];     // current directory the process was started in
    char ProgramFolder[FOLDER_PATH_SIZE];
    char ProgramFileName[PROGRAM_FILE_NAME_SIZE];
    bool ProgramFileNameCut;        // the program's file name was too long for its buffer
    char DataFolder[PATH_SIZE];     // empty: settings and logs stay in the program folder
    char SettingsPath[FOLDER_PATH_SIZE];
    char LastSessionLogPath[LOG_PATH_SIZE];
    char AllSessionsLogPath[LOG_PATH_SIZE];
    char SessionMarkPath[LOG_PATH_SIZE];    // there while this session's log is not archived
    char HistoryStorePath[LOG_PATH_SIZE];   // the record store (core/historystore.h)
    uint16_t OpenedLanguageId;      // language of the main window last opened
    const char *CommandLineCursor;  // arguments not handled yet; null once handled
};

extern ProgramState Program;

extern const char DefaultProgramFileName[];
extern const char SettingsFileName[];
extern const char LastSessionLogName[];
extern const char AllSessionsLogName[];
extern const char SessionMarkName[];
extern const char HistoryStoreName[];

// Finds the program's own path at the start of the full command line. When it
// is quoted and holds a backslash, writes the folder part (up to and including
// the last backslash) and the file name part, and returns 1, or 2 when the
// file name was longer than its buffer and was cut; else returns 0 and
// writes nothing.
int SplitProgramPath(const char *commandLine, char *folder, size_t folderSize,
                     char *fileName, size_t fileNameSize);

// 1 when settings and logs go to a per-user data folder: Windows 6 or later
// and the program folder under "\Program Files" (Program Files (x86) included).
int UsesDataFolder(unsigned majorVersion, const char *programFolder);
// The data folder "<localAppData>\Zunta". Returns 0, or -1 with the empty text
// when there is no local application data folder or when the folder would be
// too long for the log paths built from it.
int MakeDataFolderPath(const char *localAppData, char *dataFolder, size_t size);

// Settings path and log paths from the data folder, or from the program
// folder (logs as bare names, resolved against the current directory).
void ComputeProgramPaths(ProgramState *program);

#endif
