// One running instance per user.
#include "app/instance.h"

#include "base/program.h"
#include "base/texts.h"
#include "base/textutil.h"
#include "core/cmdline.h"
#include "ui/handoff.h"

#include <tlhelp32.h>
#include <stdlib.h>
#include <string.h>

static const char MainWindowClass[] = "#32770";
static const char MainWindowTitle[] = "Zunta Calculator";
enum {
    PROCESS_TRIES = 3, PROCESS_WAIT_MS = 15,
    WINDOW_TRIES = 30, WINDOW_WAIT_MS = 25,
};

DWORD FindEarlierInstanceProcess(const char *name)
{
    DWORD own = GetCurrentProcessId();
    DWORD earliest = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 process;
    process.dwSize = sizeof process;
    for (BOOL more = Process32First(snapshot, &process); more; more = Process32Next(snapshot, &process)) {
        DWORD id = process.th32ProcessID;
        if (id != own && id < own && strstr(process.szExeFile, name) != nullptr &&
            (earliest == 0 || id < earliest))
            earliest = id;
    }
    CloseHandle(snapshot);
    return earliest;
}

static HWND FindRunningWindow(void)
{
    return FindWindowA(MainWindowClass, MainWindowTitle);
}

static int HandOff(HWND window)
{
    // An earlier version knows no /verify: this start verifies on its own.
    if (!HandVerificationsTo(window))
        return 0;
    ParseCommandLine(SEND_TO_INSTANCE, window);
    if (HandOffFailed)
        MessageBoxA(nullptr, LanguageStrings[TEXT_HANDOFF_FAILED], "Zunta Calculator", MB_OK | MB_ICONWARNING);
    // Named rather than lost: the paths an earlier version could not take.
    char *refused = TakeRefusedHandOffs();
    char *text = refused != nullptr ? JoinTexts(LanguageStrings[TEXT_HANDOFF_REFUSED], "\r\n", refused) : nullptr;
    if (text != nullptr)
        MessageBoxA(nullptr, text, "Zunta Calculator", MB_OK | MB_ICONWARNING);
    free(text);
    free(refused);
    ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_SHOWNORMAL);
    return 1;
}

int HandOffToRunningInstance(void)
{
    const char *arguments = Program.CommandLineCursor;
    TakeVerifyRequest();
    HWND window = FindRunningWindow();
    if (window != nullptr)
        return HandOff(window);

    int colons = 0;
    for (const char *p = arguments; p && *p; p++)
        colons += *p == ':';
    DWORD earlier = 0;
    for (int i = 0; colons == 1 && i < PROCESS_TRIES && earlier == 0; i++) {
        earlier = FindEarlierInstanceProcess(Program.ProgramFileName);
        if (earlier == 0)
            Sleep(PROCESS_WAIT_MS);
    }
    if (earlier == 0)
        earlier = FindEarlierInstanceProcess(Program.ProgramFileName);
    if (earlier == 0)
        return 0;

    // The earlier process may not have shown its window yet.
    for (int i = 0; i < WINDOW_TRIES; i++) {
        window = FindRunningWindow();
        if (window != nullptr)
            return HandOff(window);
        Sleep(WINDOW_WAIT_MS);
    }
    return 0;
}
