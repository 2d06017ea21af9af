// One running instance: later starts hand their paths over and end; the
// first start lists its arguments; rows dragged with real mouse input.
#include "main_window_fixture.h"
#include "remote_window.h"
#include "resources/resource.h"
#include "win_support.h"
#include "zunta_process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

class Instances : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = MakeScratchFolder("instance_e2e");
        exe = InstallZuntaInto(folder);
        ASSERT_FALSE(exe.empty());
    }
    void TearDown() override
    {
        if (first.window)
            CloseZunta(&first);
        ReleaseZunta(&first);
        DeleteTree(folder);
    }
    std::string File(const std::string &relative, const std::string &content = "123")
    {
        std::string path = folder + "\\" + relative;
        EXPECT_TRUE(WriteWholeFile(path, content));
        return path;
    }
    void StartFirst(const std::string &args = "")
    {
        ASSERT_TRUE(StartZunta(&first, exe, args));
        ASSERT_NE(WaitForMainWindow(&first), nullptr);
        list = GetDlgItem(first.window, IDC_FILE_LIST);
    }
    // Starts the program again with args; returns its exit code.
    long StartSecond(const std::string &args)
    {
        ZuntaProcess second;
        EXPECT_TRUE(StartZunta(&second, exe, args));
        long code = WaitForExit(&second, 20000);
        ReleaseZunta(&second);
        return code;
    }
    Texts Names()
    {
        if (RemoteCell(list, 0, 0) == " ")
            return Texts{};
        return RemoteColumn(list, 1);
    }

    std::string folder, exe;
    ZuntaProcess first;
    HWND list = nullptr;
};

} // namespace

TEST_F(Instances, SecondStartHandsItsPathsOverAndEnds)
{
    std::string quoted = File("quoted.txt");
    CreateDirectoryA((folder + "\\with space").c_str(), nullptr);
    std::string spaced = File("with space\\b file.txt");
    StartFirst();
    // The running instance owns the session log; a later start must leave it.
    ASSERT_TRUE(WriteWholeFile(folder + "\\LastSession.log", "record\r\n"));

    EXPECT_EQ(StartSecond("\"" + quoted + "\" " + spaced + " \"" + folder + "\""), 0);
    EXPECT_TRUE(WaitFor([&] { return Names().size() == 2; })) << "rows: " << Names().size();
    EXPECT_EQ(Names(), (Texts{ "quoted.txt", "b file.txt" }));
    EXPECT_EQ(RemoteControlText(first.window, IDC_RESULT), folder) << "the last path received";
    EXPECT_FALSE(FileExists(folder + "\\Zunta.ini")) << "the second start wrote no settings";
    EXPECT_EQ(ReadWholeFile(folder + "\\LastSession.log"), "record\r\n");

    EXPECT_EQ(StartSecond(""), 0) << "without arguments it only brings the window up";
    EXPECT_EQ(Names().size(), 2u);
    EXPECT_TRUE(IsWindowVisible(first.window));
}

TEST_F(Instances, HandOverWhileTheOptionsDialogIsOpen)
{
    std::string path = File("during options.txt");
    StartFirst();
    PostMessageA(first.window, WM_COMMAND, IDC_OPTIONS, 0);
    HWND options = WaitForProcessDialog(first.info.dwProcessId, "Zunta Calculator Options");
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(StartSecond("\"" + path + "\""), 0);
    EXPECT_TRUE(WaitFor([&] { return Names() == Texts{ "during options.txt" }; }));
    PostMessageA(options, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(options); }));
}

TEST_F(Instances, BareFileNamesAreTakenInTheFolderStartedFrom)
{
    CreateDirectoryA((folder + "\\elsewhere").c_str(), nullptr);
    std::string first = File("elsewhere\\bare one.txt");
    std::string second = File("elsewhere\\bare two.txt");
    ASSERT_TRUE(StartZunta(&this->first, exe, "\"bare one.txt\"", folder + "\\elsewhere"));
    ASSERT_NE(WaitForMainWindow(&this->first), nullptr);
    list = GetDlgItem(this->first.window, IDC_FILE_LIST);
    EXPECT_TRUE(WaitFor([&] { return Names() == Texts{ "bare one.txt" }; })) << "the first start's argument";

    ZuntaProcess later;
    ASSERT_TRUE(StartZunta(&later, exe, "bare two.txt", folder + "\\elsewhere"));
    EXPECT_EQ(WaitForExit(&later), 0);
    ReleaseZunta(&later);
    EXPECT_TRUE(WaitFor([&] { return Names() == Texts{ "bare one.txt", "bare two.txt" }; }))
        << "the handed-over argument";
    EXPECT_EQ(RemoteControlText(this->first.window, IDC_RESULT), second) << "handed over as a full path";
}

TEST_F(Instances, HandOffBetweenThe32And64BitBuilds)
{
    std::string i686 = WindowsPathOf(EnvironmentValue("ZUNTA_EXE_I686"));
    std::string x86_64 = WindowsPathOf(EnvironmentValue("ZUNTA_EXE_X86_64"));
    if (EnvironmentValue("ZUNTA_RUN32") != "1" || !FileExists(i686) || !FileExists(x86_64))
        GTEST_SKIP() << "needs both builds and a system that runs 32-bit programs";
    std::string paths[3] = { File("cross a.txt"), File("cross b.txt"), File("cross c.txt") };
    std::string args;
    for (const std::string &path : paths)
        args += "\"" + path + "\" ";
    for (bool firstIs32 : { true, false }) {
        SCOPED_TRACE(firstIs32 ? "64-bit start, 32-bit instance" : "32-bit start, 64-bit instance");
        std::string running = InstallZuntaInto(folder + "\\running", firstIs32 ? i686 : x86_64);
        std::string later = InstallZuntaInto(folder + "\\later", firstIs32 ? x86_64 : i686);
        ASSERT_TRUE(StartZunta(&first, running, ""));
        ASSERT_NE(WaitForMainWindow(&first), nullptr);
        ZuntaProcess second;
        ASSERT_TRUE(StartZunta(&second, later, args));
        EXPECT_EQ(WaitForExit(&second), 0);
        ReleaseZunta(&second);
        // Only texts and counts are read across the two builds.
        HWND rows = GetDlgItem(first.window, IDC_FILE_LIST);
        EXPECT_TRUE(WaitFor([&] { return RemoteRowCount(rows) == 3; })) << "rows: " << RemoteRowCount(rows);
        EXPECT_EQ(RemoteControlText(first.window, IDC_RESULT), paths[2]) << "the last path arrived";
        EXPECT_EQ(CloseZunta(&first), 0);
        ReleaseZunta(&first);
    }
}

TEST_F(Instances, FirstStartListsItsArgumentsInOrder)
{
    std::string one = File("one.txt"), two = File("two.txt"), three = File("three.txt");
    StartFirst("\"" + three + "\" " + one + " " + two);
    EXPECT_TRUE(WaitFor([&] { return Names().size() == 3; }));
    EXPECT_EQ(Names(), (Texts{ "three.txt", "one.txt", "two.txt" }));
}

namespace {

void MouseTo(POINT at)
{
    SetCursorPos(at.x, at.y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    SendInput(1, &input, sizeof input);
    Sleep(40);
}

void MouseButton(bool down)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
    Sleep(60);
}

} // namespace

TEST_F(Instances, RowDraggedWithTheMouse)
{
    std::string args;
    for (const char *name : { "A.txt", "B.txt", "C.txt", "D.txt" })
        args += "\"" + File(name) + "\" ";
    StartFirst(args);
    ASSERT_TRUE(WaitFor([&] { return Names().size() == 4; }));
    SetForegroundWindow(first.window);
    Sleep(200);

    // Mouse input reaches a window that is not busy: a few tries at most.
    Texts moved = { "A.txt", "C.txt", "B.txt", "D.txt" };
    for (int attempt = 0; attempt < 3 && Names() != moved; attempt++) {
        RECT b = RemoteRowRect(list, 1), c = RemoteRowRect(list, 2);
        POINT start = { b.left + 30, (b.top + b.bottom) / 2 };
        MouseTo(start);
        MouseButton(true);
        MouseButton(false);
        Sleep(GetDoubleClickTime() + 200);  // not a double click
        MouseButton(true);
        for (int step = 1; step <= 12; step++)
            MouseTo({ start.x + step, start.y + step * (c.bottom - 2 - start.y) / 12 });
        Sleep(200);
        if (attempt == 0)
            CaptureWindow(first.window, "drag-during", false);
        MouseButton(false);
        WaitFor([&] { return Names() == moved; }, 3000);
    }
    Texts names = Names();
    EXPECT_EQ(names, moved);
}
