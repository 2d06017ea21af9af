// The taskbar button's progress through the shell's taskbar list, called
// only on the window's thread, which enters COM for it while the window
// lives (the shortcut code's own entries and exits nest inside).
#include "ui/taskbar.h"

#include <shobjidl.h>

static ITaskbarList3 *List;
static bool ComEntered;

static int CreateTaskbarList(void)
{
    // S_FALSE (already entered on this thread) is an entry too.
    if (!ComEntered && FAILED(CoInitialize(nullptr)))
        return -1;
    ComEntered = true;
    ITaskbarList3 *list = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                (void **)&list)))
        return -1;
    if (FAILED(list->HrInit())) {
        list->Release();
        return -1;
    }
    List = list;
    return 0;
}

static void ReleaseTaskbarList(void)
{
    if (List != nullptr)
        List->Release();
    List = nullptr;
    if (ComEntered)
        CoUninitialize();
    ComEntered = false;
}

static void SetListState(HWND window, int state)
{
    static const TBPFLAG flags[] = { TBPF_NOPROGRESS, TBPF_NORMAL, TBPF_PAUSED, TBPF_ERROR };
    if (List != nullptr)
        List->SetProgressState(window, flags[state]);
}

static void SetListValue(HWND window, int percentage)
{
    if (List != nullptr)
        List->SetProgressValue(window, (ULONGLONG)percentage, 100);
}

TaskbarCalls Taskbar = { CreateTaskbarList, ReleaseTaskbarList, SetListState, SetListValue };

// The button of the window that is up, and what it is to show.
static struct {
    UINT CreatedMessage;    // "TaskbarButtonCreated", registered once
    bool Tried;             // Create was called for this window
    bool Ready;             // the button exists and the list was made
    int State;
    int Value;
} Button;

void TaskbarWatch(HWND window)
{
    if (Button.CreatedMessage == 0)
        Button.CreatedMessage = RegisterWindowMessageA("TaskbarButtonCreated");
    // Windows 7 and later keep the shell's messages from an elevated window
    // unless it lets them through.
    typedef BOOL(WINAPI * FilterFn)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
    static FilterFn filter = (FilterFn)(void (*)(void))GetProcAddress(GetModuleHandleA("user32.dll"),
                                                                       "ChangeWindowMessageFilterEx");
    if (filter != nullptr && Button.CreatedMessage != 0)
        filter(window, Button.CreatedMessage, MSGFLT_ALLOW, nullptr);
}

bool TaskbarButtonCreated(HWND window, UINT message)
{
    if (message == 0 || message != Button.CreatedMessage)
        return false;
    if (!Button.Ready) {
        Button.Tried = true;
        Button.Ready = Taskbar.Create() == 0;
    }
    if (Button.Ready && Button.State != TASKBAR_NONE) {
        Taskbar.SetState(window, Button.State);
        Taskbar.SetValue(window, Button.Value);
    }
    return true;
}

void TaskbarShow(HWND window, int state, int percentage)
{
    bool stateChanged = state != Button.State;
    // A button that showed nothing is given its value afresh.
    bool valueChanged = state != TASKBAR_NONE && ((percentage >= 0 && percentage != Button.Value) ||
                                                  Button.State == TASKBAR_NONE);
    Button.State = state;
    if (percentage >= 0)
        Button.Value = percentage;
    if (!Button.Ready)
        return;
    if (stateChanged)
        Taskbar.SetState(window, state);
    if (valueChanged)
        Taskbar.SetValue(window, Button.Value);
}

void TaskbarForget(void)
{
    if (Button.Tried)
        Taskbar.Release();
    Button.Tried = Button.Ready = false;
    Button.State = TASKBAR_NONE;
    Button.Value = 0;
}
