// Start-up, the main window loop and shutdown, in their fixed order.
#include "app/startup.h"

#include "app/instance.h"
#include "base/lang.h"
#include "base/program.h"
#include "base/settings.h"
#include "base/textutil.h"
#include "core/checksumfile.h"
#include "core/fileinfo.h"
#include "core/filelist.h"
#include "core/sessionlog.h"
#include "platform/codepage.h"
#include "platform/runlock.h"
#include "platform/settings_file.h"
#include "ui/mainwnd.h"
#include "ui/reorder.h"

#include <shlobj.h>
#include <direct.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#ifndef TRACE_LEVEL
#define TRACE_LEVEL 0
#endif

static const short TraceLevel = TRACE_LEVEL;
static const char TraceFolder[] = "c:\\temp\\Zunta";
static const char TracePath[] = "c:\\temp\\Zunta\\debug.txt";

enum { INITIAL_LIST_CAPACITY = 32 };

// Start-up trace; null when tracing is off or the file cannot be opened.
static FILE *Trace;

static void TraceLine(const char *label, const char *text)
{
    if (Trace != nullptr)
        fprintf(Trace, "%s%s\n", label, text);
}

static int IsDirectory(const char *path)
{
    struct _stat status;
    return _stat(path, &status) == 0 && (status.st_mode & _S_IFDIR) != 0;
}

static void EnsureDirectory(const char *path)
{
    if (!IsDirectory(path))
        _mkdir(path);
}

static void OpenTrace(void)
{
    if (TraceLevel <= 0)
        return;
    EnsureDirectory(TraceFolder);
    Trace = fopen(TracePath, "w");
}

// The program's folder and file name from the quoted path at the start of
// the full command line.
static void FindProgramFolder(void)
{
    // Relative paths on the command line are taken against the folder the
    // user started the program in, before it changes.
    DWORD started = GetCurrentDirectoryA(sizeof Program.StartFolder, Program.StartFolder);
    if (started == 0 || started >= sizeof Program.StartFolder)
        Program.StartFolder[0] = '\0';

    char folder[FOLDER_PATH_SIZE];
    char fileName[PROGRAM_FILE_NAME_SIZE];
    int split = SplitProgramPath(GetCommandLineA(), folder, sizeof folder, fileName, sizeof fileName);
    if (split != 0) {
        CopyText(Program.ProgramFileName, sizeof Program.ProgramFileName, fileName);
        SetCurrentDirectoryA(folder);
    }
    Program.ProgramFileNameCut = split == 2;
    DWORD length = GetCurrentDirectoryA(sizeof Program.ProgramFolder, Program.ProgramFolder);
    if (length == 0 || length >= sizeof Program.ProgramFolder)
        Program.ProgramFolder[0] = '\0';
}

static unsigned WindowsMajorVersion(void)
{
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    if (Trace != nullptr)
        fprintf(Trace, "Windows version is : %u.%u\n", (unsigned)version.dwMajorVersion,
                (unsigned)version.dwMinorVersion);
    return version.dwMajorVersion;
}

static void ChooseDataFolder(unsigned majorVersion)
{
    Program.DataFolder[0] = '\0';
    if (!UsesDataFolder(majorVersion, Program.ProgramFolder))
        return;
    char localAppData[MAX_PATH] = "";
    if (!SHGetSpecialFolderPathA(nullptr, localAppData, CSIDL_LOCAL_APPDATA, FALSE))
        localAppData[0] = '\0';
    TraceLine("Local APP Folder = ", localAppData);
    if (MakeDataFolderPath(localAppData, Program.DataFolder, sizeof Program.DataFolder) != 0)
        return;
    EnsureDirectory(Program.DataFolder);
    SetCurrentDirectoryA(Program.DataFolder);
    TraceLine("SetCurrentDirectory to = ", Program.DataFolder);
}

static int StartUp(HINSTANCE instance, const char *arguments)
{
    MainWnd.Instance = instance;
    Program.CommandLineCursor = arguments;
    CopyText(Program.ProgramFileName, sizeof Program.ProgramFileName, DefaultProgramFileName);

    // The program's texts, Windows-1252 in the source, in the process code
    // page from here on (their block lives as long as the process); a failed
    // conversion leaves them as they are.
    TextUseProcessCodePage();
    ListedNameConverter = ListedNameToProcessCodePage;
    char *convertedTexts;
    ConvertLanguageTexts(ConvertProgramText, nullptr, &convertedTexts);

    Settings.LanguageId = LanguageFromLcid(GetSystemDefaultLCID());
    SelectLanguageTable(Settings.LanguageId);
    SettingsSetDefaults(&Settings);

    FindProgramFolder();
    OpenTrace();
    TraceLine("Program dir is : ", Program.ProgramFolder);
    ChooseDataFolder(WindowsMajorVersion());

    if (HandOffToRunningInstance()) {
        if (Trace != nullptr)
            fclose(Trace);
        return -1;
    }

    ComputeProgramPaths(&Program);
    if (Program.DataFolder[0] != '\0') {
        TraceLine("CLogFileName : ", Program.LastSessionLogPath);
        TraceLine("LogFileName : ", Program.AllSessionsLogPath);
    }
    if (Trace != nullptr) {
        fclose(Trace);
        Trace = nullptr;
    }

    LoadSettings(Program.SettingsPath, &Settings);
    SelectLanguageTable(Settings.LanguageId);
    BeginSessionLog();

    if (FileListInit(&Files, INITIAL_LIST_CAPACITY) == nullptr)
        return -1;
    memset(Files.Items, 0, INITIAL_LIST_CAPACITY * sizeof Files.Items[0]);

    RunState = RUN_IDLE;
    MainWnd.RowSnapshot = nullptr;
    MainWnd.SavedWindowPos[0] = -1;
    MainWnd.SavedWindowPos[1] = -1;
    InitializeCriticalSection(&RunLock);
    return 0;
}

// Shows the main window, again from the other language's template for as
// long as the user switched the language in it.
static void RunMainWindows(void)
{
    do {
        const DLGTEMPLATE *dialog = PrepareMainWindow();
        if (dialog == nullptr)
            break;
        DialogBoxIndirectParamA(MainWnd.Instance, dialog, nullptr, MainDialogProc, 0);
    } while (Settings.LanguageId != Program.OpenedLanguageId);
}

static void ShutDown(void)
{
    FileListRelease(&Files);
    DeleteCriticalSection(&RunLock);
    SaveSession();
    ReleaseDropMarker(&MainDropMarker);
}

int RunProgram(HINSTANCE instance, const char *arguments)
{
    // A listed "A:\x" or an empty card reader answers as a missing file,
    // never with the system's "No disk" box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    InitFileAccess();
    if (StartUp(instance, arguments) != 0)
        return 0;
    RunMainWindows();
    ShutDown();
    return 0;
}
