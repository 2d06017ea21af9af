// The taskbar button's progress (Windows 7 and later): the button shows
// what the run's bar shows. The shell's taskbar list lives on the window's
// thread and is used only once the shell has said that the button exists.
#ifndef ZUNTA_TASKBAR_H
#define ZUNTA_TASKBAR_H

#include <windows.h>

// What the button shows besides its icon.
enum TaskbarState { TASKBAR_NONE, TASKBAR_NORMAL, TASKBAR_PAUSED, TASKBAR_ERROR };

// The calls that reach the shell's taskbar list; tests put a recorder in.
struct TaskbarCalls {
    // Makes the list on the window's thread: 0, or -1 when the system
    // offers none (before Windows 7).
    int (*Create)(void);
    // Lets go of what Create made, also after a failed Create.
    void (*Release)(void);
    void (*SetState)(HWND window, int state);
    void (*SetValue)(HWND window, int percentage);
};
extern TaskbarCalls Taskbar;

// WM_INITDIALOG: the window is to hear the shell's word that its button
// exists, also when the program runs elevated and the shell does not.
void TaskbarWatch(HWND window);
// Any message of the window: when it is that word (again after the shell
// restarted), the list is made if need be and the button shown what it
// should show. Returns true for that message.
bool TaskbarButtonCreated(HWND window, UINT message);
// The button is to show state at percentage (of 100; below 0 keeps the one
// it shows). Nothing reaches the shell before the button exists.
void TaskbarShow(HWND window, int state, int percentage);
// WM_DESTROY: the list is let go; the next window starts afresh.
void TaskbarForget(void);

#endif
