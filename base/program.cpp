// Rules by which start-up finds the program's folders and paths.
#include "base/program.h"

#include "base/textutil.h"

#include <string.h>

ProgramState Program;

const char DefaultProgramFileName[] = "Zunta.exe";
const char SettingsFileName[] = "Zunta.ini";
const char LastSessionLogName[] = "LastSession.log";
const char AllSessionsLogName[] = "AllSessions.log";
const char SessionMarkName[] = "LastSession.pending";
const char HistoryStoreName[] = "History.log";

static const char DataFolderName[] = "Zunta";

int SplitProgramPath(const char *commandLine, char *folder, size_t folderSize,
                     char *fileName, size_t fileNameSize)
{
    if (commandLine == nullptr || commandLine[0] != '"')
        return 0;
    const char *start = commandLine + 1;
    const char *end = strchr(start, '"');
    if (end == nullptr)
        return 0;
    const char *slash = nullptr;
    bool second = false;
    for (const char *p = start; p < end; p++)
        if (!TextInPair(&second, p) && *p == '\\')
            slash = p;
    if (slash == nullptr)
        return 0;

    size_t folderLength = (size_t)(slash + 1 - start);
    if (folderLength >= folderSize || fileNameSize == 0)
        return 0;
    memcpy(folder, start, folderLength);
    folder[folderLength] = '\0';

    size_t nameLength = (size_t)(end - (slash + 1));
    int found = 1;
    if (nameLength >= fileNameSize) {
        // Cut on a character's boundary: never half a character.
        nameLength = TextFitLength(slash + 1, fileNameSize - 1);
        found = 2;
    }
    memcpy(fileName, slash + 1, nameLength);
    fileName[nameLength] = '\0';
    return found;
}

// Windows takes "C:\\program files" for "C:\\Program Files": the program
// started by a lower-case spelling is installed there all the same.
int UsesDataFolder(unsigned majorVersion, const char *programFolder)
{
    static const char marker[] = "\\Program Files";
    if (majorVersion < 6)
        return 0;
    bool second = false;
    for (const char *at = programFolder; *at != '\0'; at++)
        if (!TextInPair(&second, at) && AsciiEqualNoCaseN(at, marker, sizeof marker - 1))
            return 1;
    return 0;
}

int MakeDataFolderPath(const char *localAppData, char *dataFolder, size_t size)
{
    if (size > 0)
        dataFolder[0] = '\0';
    if (localAppData == nullptr || localAppData[0] == '\0')
        return -1;
    char candidate[PATH_SIZE];
    if (FormatText(candidate, sizeof candidate, "%s\\%s", localAppData, DataFolderName) != 0)
        return -1;
    // The log paths are built from it and must fit their buffers too.
    const char *const names[] = { LastSessionLogName, AllSessionsLogName, SessionMarkName, HistoryStoreName };
    size_t longest = 0;
    for (const char *name : names)
        longest = strlen(name) > longest ? strlen(name) : longest;
    if (strlen(candidate) + 1 + longest >= LOG_PATH_SIZE)
        return -1;
    return CopyText(dataFolder, size, candidate);
}

void ComputeProgramPaths(ProgramState *p)
{
    if (p->DataFolder[0] != '\0') {
        FormatText(p->SettingsPath, sizeof p->SettingsPath, "%s\\%s", p->DataFolder, SettingsFileName);
        FormatText(p->LastSessionLogPath, sizeof p->LastSessionLogPath, "%s\\%s", p->DataFolder,
                   LastSessionLogName);
        FormatText(p->AllSessionsLogPath, sizeof p->AllSessionsLogPath, "%s\\%s", p->DataFolder,
                   AllSessionsLogName);
        FormatText(p->SessionMarkPath, sizeof p->SessionMarkPath, "%s\\%s", p->DataFolder, SessionMarkName);
        FormatText(p->HistoryStorePath, sizeof p->HistoryStorePath, "%s\\%s", p->DataFolder, HistoryStoreName);
        return;
    }
    // A folder too long for the buffer falls back to the current directory,
    // which start-up made the program folder.
    if (FormatText(p->SettingsPath, sizeof p->SettingsPath, "%s\\%s", p->ProgramFolder,
                   SettingsFileName) != 0)
        FormatText(p->SettingsPath, sizeof p->SettingsPath, ".\\%s", SettingsFileName);
    CopyText(p->LastSessionLogPath, sizeof p->LastSessionLogPath, LastSessionLogName);
    CopyText(p->AllSessionsLogPath, sizeof p->AllSessionsLogPath, AllSessionsLogName);
    CopyText(p->SessionMarkPath, sizeof p->SessionMarkPath, SessionMarkName);
    CopyText(p->HistoryStorePath, sizeof p->HistoryStorePath, HistoryStoreName);
}
