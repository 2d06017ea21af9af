// Starting Zunta.exe as a user would, finding its main window and closing it.
#include "zunta_process.h"

#include "win_support.h"

std::string BuiltZuntaExe()
{
    return WindowsPathOf(EnvironmentValue("ZUNTA_EXE"));
}

std::string InstallZuntaInto(const std::string &folder, const std::string &built)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string target = folder + "\\Zunta.exe";
    if (!CopyFileA(built.c_str(), target.c_str(), FALSE))
        return std::string();
    return target;
}

bool StartZunta(ZuntaProcess *zunta, const std::string &exe, const std::string &args,
                const std::string &currentDirectory)
{
    std::string folder = currentDirectory;
    if (folder.empty())
        folder = exe.substr(0, exe.find_last_of('\\'));
    std::string commandLine = "\"" + exe + "\"";
    if (!args.empty())
        commandLine += " " + args;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &zunta->info) != 0;
}

namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND window, LPARAM lParam)
{
    WindowSearch *search = (WindowSearch *)lParam;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[32], title[64];
    if (owner == search->processId && IsWindowVisible(window) &&
        GetClassNameA(window, className, sizeof className) && !strcmp(className, "#32770") &&
        GetWindowTextA(window, title, sizeof title) && !strcmp(title, "Zunta Calculator")) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND WaitForMainWindow(ZuntaProcess *zunta, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        WindowSearch search = { zunta->info.dwProcessId, nullptr };
        EnumWindows(MatchMainWindow, (LPARAM)&search);
        if (search.found) {
            zunta->window = search.found;
            return search.found;
        }
        if (WaitForSingleObject(zunta->info.hProcess, 20) == WAIT_OBJECT_0)
            return nullptr;
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

long WaitForExit(ZuntaProcess *zunta, DWORD timeoutMs)
{
    if (WaitForSingleObject(zunta->info.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(zunta->info.hProcess, 99);
        WaitForSingleObject(zunta->info.hProcess, 5000);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(zunta->info.hProcess, &code);
    return (long)code;
}

long CloseZunta(ZuntaProcess *zunta)
{
    if (zunta->window)
        PostMessageA(zunta->window, WM_CLOSE, 0, 0);
    return WaitForExit(zunta);
}

void ReleaseZunta(ZuntaProcess *zunta)
{
    if (zunta->info.hProcess) {
        if (WaitForSingleObject(zunta->info.hProcess, 0) != WAIT_OBJECT_0)
            TerminateProcess(zunta->info.hProcess, 99);
        CloseHandle(zunta->info.hProcess);
        CloseHandle(zunta->info.hThread);
    }
    *zunta = ZuntaProcess();
}

bool WaitFor(const std::function<bool()> &done, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(20))
        if (done())
            return true;
    return done();
}
