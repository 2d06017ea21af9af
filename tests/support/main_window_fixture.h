// A main window created from the real template, in the process state that
// start-up leaves, driven with the messages a user's actions produce.
#ifndef ZUNTA_TESTS_MAIN_WINDOW_FIXTURE_H
#define ZUNTA_TESTS_MAIN_WINDOW_FIXTURE_H

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the main window (modeless) in the current language and shows it.
    HWND OpenWindow();
    void DestroyMainWindow();

    // A file of size bytes of content fill in the test's scratch folder.
    std::string MakeFile(const std::string &name, size_t size, char fill = 'z');
    int AddFile(const std::string &path);

    HWND List() const;
    int Rows() const;
    std::string Cell(int row, int column) const;
    std::string ControlText(int id) const;
    int SelectionMark() const;

    // User input on the list: a click or double click in column 1 of row, a key.
    void Click(int row);
    void DoubleClick(int row);
    void Key(WORD key);
    // A key pressed with Ctrl (and Shift) while target has the focus.
    void ControlKey(HWND target, WORD key, bool shift = false);
    // A button press as the dialog receives it.
    void Command(int id);
    // Dispatches every queued message of this thread.
    void Pump();
    // Pumps until done() holds or timeoutMs passes; returns done().
    bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs = 20000);
    // Records the progress bar's positions in ProgressPositions from now on;
    // with cancelAtFirst, the first position past 0 asks the run to stop, as
    // the Cancel button does, and clears CancelAtFirstProgress.
    void WatchProgressBar(bool cancelAtFirst);
    // Tells the window, as the shell does, that its taskbar button exists (the
    // system offering a taskbar list or not); the list's calls and the bar's
    // states are then recorded in TaskbarSeen. Watches the bar as WatchProgressBar(false).
    void RecordTaskbar(bool offered);

    HWND window = nullptr;
    std::string folder;
};

extern std::vector<int> ProgressPositions;
extern bool CancelAtFirstProgress;
// "created" or "absent"; the states "NONE", "NORMAL", "PAUSED", "ERROR" and
// the percentages the button was given; "bar NORMAL" and so on.
extern std::vector<std::string> TaskbarSeen;

// Calls act once a dialog titled title (a message box too) appears on this
// thread, from inside whatever modal loop is running then.
void WhenWindowOpens(const char *title, std::function<void(HWND)> act);
// Once a message box titled title appears, hands its box and text to seen,
// then presses button.
void AnswerMessageBox(const char *title, std::function<void(HWND box, const std::string &text)> seen,
                      int button = IDOK);
// Forgets the windows waited for that did not open.
void ForgetPendingWindows();
// While on, a dialog other than the main window that stays open 30 seconds
// with nobody waiting for its title fails the test and is closed
// (MainWindowTest turns it on for each test).
void WatchForUnansweredDialogs(bool on);

// Saves what the screen shows of window as a bitmap file when ZUNTA_SHOTS
// names a folder; returns the number of distinct colours seen. With redraw
// the window is painted afresh first; without, the screen is taken as it is.
int CaptureWindow(HWND window, const char *name, bool redraw = true);

#endif
