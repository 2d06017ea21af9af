// The SendTo shortcut and the options dialog, in the tests' own Wine prefix:
// its SendTo folder is emptied before and after every test.
#include "base/lang.h"
#include "base/program.h"
#include "base/settings.h"
#include "main_window_fixture.h"
#include "options/options_dlg.h"
#include "options/sendto.h"
#include "resources/resource.h"
#include "ui/mainwnd.h"
#include "win_support.h"

#include <io.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

std::string SendTo()
{
    char folder[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, folder, CSIDL_SENDTO, FALSE);
    return folder;
}

// The names in a folder, in the order the folder lists them.
Texts Listing(const std::string &folder)
{
    Texts names;
    struct __finddata64_t found;
    intptr_t search = _findfirst64((folder + "\\*").c_str(), &found);
    if (search == -1)
        return names;
    do {
        if (strcmp(found.name, ".") && strcmp(found.name, ".."))
            names.push_back(found.name);
    } while (_findnext64(search, &found) == 0);
    _findclose(search);
    return names;
}

void EmptyFolder(const std::string &folder)
{
    for (const std::string &name : Listing(folder)) {
        std::string path = folder + "\\" + name;
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!RemoveDirectoryA(path.c_str()))     // a link goes, its target stays
                DeleteTree(path);
        } else {
            DeleteFileA(path.c_str());
        }
    }
}

class Options : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        CoInitialize(nullptr);
        sendTo = SendTo();
        ASSERT_FALSE(sendTo.empty());
        CreateDirectoryA(sendTo.c_str(), nullptr);
        EmptyFolder(sendTo);
        snprintf(Program.ProgramFolder, sizeof Program.ProgramFolder, "%s", folder.c_str());
        snprintf(Program.ProgramFileName, sizeof Program.ProgramFileName, "Zunta.exe");
        program = folder + "\\Zunta.exe";
    }
    void TearDown() override
    {
        EmptyFolder(sendTo);
        CoUninitialize();
        MainWindowTest::TearDown();
    }
    void Link(const std::string &relative, const std::string &target)
    {
        EXPECT_EQ(CreateShortcut(target.c_str(), (sendTo + "\\" + relative).c_str(), nullptr), S_OK) << relative;
    }
    std::string Target(const std::string &relative)
    {
        char target[MAX_PATH] = "";
        ReadShortcutTarget((sendTo + "\\" + relative).c_str(), target, sizeof target);
        return target;
    }
    bool Exists(const std::string &relative) { return FileExists(sendTo + "\\" + relative); }
    int Find(std::string *path = nullptr)
    {
        char found[260] = "x";
        int count = ScanSendToFolder(found, sizeof found, SCAN_FIND);
        if (path)
            *path = found;
        return count;
    }

    // Opens the dialog from the main window, lets act work on it, then
    // presses the button id.
    void InDialog(const std::function<void(HWND)> &act, int button = IDOK)
    {
        if (window == nullptr)
            OpenWindow();
        WhenWindowOpens("Zunta Calculator Options", [act, button](HWND dialog) {
            act(dialog);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        });
        Command(IDC_OPTIONS);
        ForgetPendingWindows();
    }
    static void TypeName(HWND dialog, const char *name)
    {
        if (IsDlgButtonChecked(dialog, IDC_SENDTO) != BST_CHECKED)
            SendDlgItemMessageA(dialog, IDC_SENDTO, BM_CLICK, 0, 0);
        SetDlgItemTextA(dialog, IDC_SHORTCUT_NAME, name);
    }

    std::string sendTo, program;
};

} // namespace

TEST_F(Options, ScanFindsAndRemovesShortcutsToTheProgramOnly)
{
    CreateDirectoryA((sendTo + "\\Tools").c_str(), nullptr);
    Link("Anything at all.lnk", program);
    Link("Tools\\Deeper.lnk", "C:\\Somewhere\\ZUNTA.EXE");
    Link("Old.lnk", "C:\\Old\\OldZunta.exe");
    Link("Notepad.lnk", "C:\\windows\\notepad.exe");
    ASSERT_TRUE(WriteWholeFile(sendTo + "\\Not a link.lnk", "plain text"));

    int found = Find();
    EXPECT_GE(found, 1);
    EXPECT_LE(found, 2) << "one per folder level at the most";
    char none[4];
    EXPECT_EQ(ScanSendToFolder(nullptr, 0, SCAN_FIND), -1);
    EXPECT_EQ(ScanForProgramShortcuts(nullptr, none, sizeof none, SCAN_REMOVE), -1);

    EXPECT_EQ(ScanSendToFolder(nullptr, 0, SCAN_REMOVE), 3);
    EXPECT_FALSE(Exists("Anything at all.lnk"));
    EXPECT_FALSE(Exists("Tools\\Deeper.lnk"));
    EXPECT_FALSE(Exists("Old.lnk")) << "OldZunta.exe ends with the program's name";
    EXPECT_TRUE(Exists("Notepad.lnk")) << "another program's shortcut is never touched";
    EXPECT_TRUE(Exists("Not a link.lnk"));
    EXPECT_EQ(Find(), 0);
}

TEST_F(Options, TargetOnlyAsLongAsTheProgramsNameDoesNotCount)
{
    Link("Short.lnk", "C:\\Z\\Zunta.exe");
    std::string target = Target("Short.lnk");
    ASSERT_LT(target.size(), sizeof Program.ProgramFileName);
    EXPECT_EQ(Find(), 1);
    // A name as long as the whole target: the target has no more than the name.
    snprintf(Program.ProgramFileName, sizeof Program.ProgramFileName, "%s", target.c_str());
    EXPECT_EQ(Find(), 0);
    snprintf(Program.ProgramFileName, sizeof Program.ProgramFileName, "%s", target.c_str() + 1);
    EXPECT_EQ(Find(), 1);
}

TEST_F(Options, FindModeStopsEachFolderAtItsFirstMatch)
{
    Link("One.lnk", program);
    Link("Two.lnk", program);
    std::string path;
    EXPECT_EQ(Find(&path), 1);
    Texts order = Listing(sendTo);
    std::string first = *std::find_if(order.begin(), order.end(), [](const std::string &n) { return n.size() > 4; });
    EXPECT_EQ(path, sendTo + "\\" + first) << "the first one listed";

    EmptyFolder(sendTo);
    CreateDirectoryA((sendTo + "\\Sub").c_str(), nullptr);
    Link("Sub\\Inner.lnk", program);
    Link("Outer.lnk", program);
    order = Listing(sendTo);
    bool subFirst = std::find(order.begin(), order.end(), "Sub") < std::find(order.begin(), order.end(), "Outer.lnk");
    EXPECT_EQ(Find(&path), subFirst ? 2 : 1);
    EXPECT_EQ(path, sendTo + "\\Outer.lnk") << "the one in SendTo itself is kept";
}

TEST_F(Options, ScanEndsInALoopOfFolderLinks)
{
    CreateDirectoryA((sendTo + "\\Sub").c_str(), nullptr);
    Link("Sub\\Inner.lnk", program);
    if (!CreateSymbolicLinkA((sendTo + "\\Sub\\Back").c_str(), sendTo.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY))
        GTEST_SKIP() << "no directory links here";
    EXPECT_EQ(ScanSendToFolder(nullptr, 0, SCAN_REMOVE), 1);
}

TEST_F(Options, OpeningWithoutAShortcutAndOkChangeNothing)
{
    Settings.DisplayCRC32Lower = 1;
    Settings.DisplayMD5Lower = 0;
    bool checked = false;
    InDialog([&](HWND dialog) {
        checked = true;
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SENDTO), BST_UNCHECKED);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SHORTCUT_NAME)));
        char name[64] = "x";
        GetDlgItemTextA(dialog, IDC_SHORTCUT_NAME, name, sizeof name);
        EXPECT_STREQ(name, "");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_LOWER_CRC32), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_LOWER_MD5), BST_UNCHECKED);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_LANGUAGE, CB_GETCOUNT, 0, 0), 2);
        char item[32];
        SendDlgItemMessageA(dialog, IDC_LANGUAGE, CB_GETLBTEXT, 1, (LPARAM)item);
        EXPECT_STREQ(item, "Fran\xC3\xA7" "ais");
        // The name box follows the check box.
        SendDlgItemMessageA(dialog, IDC_SENDTO, BM_CLICK, 0, 0);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_SHORTCUT_NAME)));
        SendDlgItemMessageA(dialog, IDC_SENDTO, BM_CLICK, 0, 0);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SHORTCUT_NAME)));
    });
    EXPECT_TRUE(checked);
    EXPECT_TRUE(Listing(sendTo).empty());
    EXPECT_EQ(Settings.DisplayCRC32Lower, 1);
    EXPECT_EQ(Settings.DisplayMD5Lower, 0);
}

TEST_F(Options, CreatedShortcutIsFoundAgainAndPointsToTheProgram)
{
    InDialog([](HWND dialog) { TypeName(dialog, "Zunta Calculator"); });
    ASSERT_TRUE(Exists("Zunta Calculator.lnk"));
    EXPECT_EQ(Target("Zunta Calculator.lnk"), program);

    IShellLinkA *shell = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&shell), S_OK);
    IPersistFile *file = nullptr;
    shell->QueryInterface(IID_IPersistFile, (void **)&file);
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, (sendTo + "\\Zunta Calculator.lnk").c_str(), -1, wide, MAX_PATH);
    ASSERT_EQ(file->Load(wide, STGM_READ), S_OK);
    char text[MAX_PATH] = "x";
    shell->GetArguments(text, sizeof text);
    EXPECT_STREQ(text, "") << "no arguments";
    text[0] = 'x';
    shell->GetWorkingDirectory(text, sizeof text);
    EXPECT_STREQ(text, "") << "no working folder";
    text[0] = 'x';
    shell->GetDescription(text, sizeof text);
    EXPECT_STREQ(text, "") << "no description";
    file->Release();
    shell->Release();

    std::string shown;
    bool ticked = false;
    InDialog([&](HWND dialog) {
        char name[260] = "";
        GetDlgItemTextA(dialog, IDC_SHORTCUT_NAME, name, sizeof name);
        shown = name;
        ticked = IsDlgButtonChecked(dialog, IDC_SENDTO) == BST_CHECKED;
    }, IDCANCEL);
    EXPECT_TRUE(ticked);
    EXPECT_EQ(shown, "Zunta Calculator");
    EXPECT_STREQ(FoundShortcutName, "Zunta Calculator");
}

TEST_F(Options, UnchangedNameLeavesEveryShortcutInPlace)
{
    CreateDirectoryA((sendTo + "\\Tools").c_str(), nullptr);
    Link("Zunta.lnk", program);
    Link("Tools\\Second.lnk", program);
    InDialog([](HWND) {});
    EXPECT_TRUE(Exists("Zunta.lnk"));
    EXPECT_TRUE(Exists("Tools\\Second.lnk"));
}

TEST_F(Options, ChangedLetterCaseRecreatesTheShortcut)
{
    Link("Zunta Calculator.lnk", program);
    InDialog([](HWND dialog) { TypeName(dialog, "zunta calculator"); });
    EXPECT_EQ(Listing(sendTo), Texts{ "zunta calculator.lnk" });
}

TEST_F(Options, ChangeBeyondTheSixtyFourthCharacterDoesNotCount)
{
    // 63 "é" and a letter are 64 characters in 127 bytes.
    std::string accents;
    for (int i = 0; i < 63; i++)
        accents += "\xC3\xA9";
    for (const std::string &longName : { std::string(64, 'n'), accents + "n" }) {
        Link(longName + "a.lnk", program);
        InDialog([&](HWND dialog) { TypeName(dialog, (longName + "b").c_str()); });
        EXPECT_TRUE(Exists(longName + "a.lnk")) << longName;
        EXPECT_FALSE(Exists(longName + "b.lnk")) << longName;
        EmptyFolder(sendTo);
    }
    // A change in the 64th character counts, however many bytes come before it.
    Link(accents + "a.lnk", program);
    InDialog([&](HWND dialog) { TypeName(dialog, (accents + "b").c_str()); });
    EXPECT_EQ(Listing(sendTo), Texts{ accents + "b.lnk" }) << "a new 64th character left the old shortcut";
}

TEST_F(Options, TypedLinkEndingIsKeptAndAClearedNameGivesDotLnk)
{
    InDialog([](HWND dialog) { TypeName(dialog, "Zunta.LNK"); });
    EXPECT_EQ(Listing(sendTo), Texts{ "Zunta.LNK" });

    InDialog([](HWND dialog) { SetDlgItemTextA(dialog, IDC_SHORTCUT_NAME, ""); });
    EXPECT_EQ(Listing(sendTo), Texts{ ".lnk" }) << "the old one removed, a file named .lnk made";
}

TEST_F(Options, SlashesMakeSubfoldersAndUntickingRemovesAll)
{
    InDialog([](HWND dialog) { TypeName(dialog, "Tools/Zunta"); });
    EXPECT_TRUE(Exists("Tools\\Zunta.lnk"));
    bool shown = false;
    InDialog([&](HWND dialog) {
        char name[260] = "";
        GetDlgItemTextA(dialog, IDC_SHORTCUT_NAME, name, sizeof name);
        shown = !strcmp(name, "Tools\\Zunta");
    }, IDCANCEL);
    EXPECT_TRUE(shown) << "the sub-folder part is kept";

    Link("Top.lnk", program);
    InDialog([](HWND dialog) { SendDlgItemMessageA(dialog, IDC_SENDTO, BM_CLICK, 0, 0); });
    EXPECT_FALSE(Exists("Tools\\Zunta.lnk"));
    EXPECT_FALSE(Exists("Top.lnk"));
}

TEST_F(Options, PathsTooLongForAShortcutAreRefused)
{
    Link("Kept.lnk", program);
    Texts messages;
    auto answer = [&] {
        AnswerMessageBox("", [&](HWND, const std::string &text) { messages.push_back(text); });
    };
    answer();
    std::string name(259 - 4, 'L');
    InDialog([&](HWND dialog) { TypeName(dialog, name.c_str()); });

    // The program's own path is longer than a shortcut's target can be.
    std::string deep = "C:\\" + std::string(250, 'P');
    snprintf(Program.ProgramFolder, sizeof Program.ProgramFolder, "%s", deep.c_str());
    answer();
    InDialog([&](HWND dialog) { TypeName(dialog, "Zunta"); });

    EXPECT_EQ(messages, Texts({"Error creating shortcut", "Error creating shortcut"}));
    EXPECT_TRUE(Exists("Kept.lnk")) << "nothing else changes";
    EXPECT_EQ(Listing(sendTo).size(), 1u);
}

namespace {

BOOL WINAPI NoSpecialFolder(HWND, LPSTR, int, BOOL)
{
    return FALSE;
}

} // namespace

TEST_F(Options, EachSendToFaultHasItsOwnMessage)
{
    Texts messages;
    auto answer = [&] {
        for (const char *title : { "", "Error" })
            AnswerMessageBox(title, [&](HWND, const std::string &text) { messages.push_back(text); });
    };
    std::string profile = EnvironmentValue("UserProfile"), windir = EnvironmentValue("windir");
    GetSpecialFolderPath = NoSpecialFolder;
    _putenv(("UserProfile=C:\\" + std::string(252, 'u')).c_str());
    answer();
    InDialog([](HWND dialog) { TypeName(dialog, "Zunta"); });
    _putenv("UserProfile=");
    _putenv("windir=");
    answer();
    InDialog([](HWND dialog) { TypeName(dialog, "Zunta"); });
    _putenv(("UserProfile=" + profile).c_str());
    _putenv(("windir=" + windir).c_str());
    GetSpecialFolderPath = SHGetSpecialFolderPathA;
    EXPECT_EQ(messages, (Texts{ "Error creating shortcut",
                                "Error : environment variables UserProfile and windir don't exist" }))
        << "a SendTo path that does not fit is no missing variable";

    // A program name cut to its buffer names no file: nothing is removed or made.
    std::string cut(PROGRAM_FILE_NAME_SIZE - 1, 'n');
    snprintf(Program.ProgramFileName, sizeof Program.ProgramFileName, "%s", cut.c_str());
    Program.ProgramFileNameCut = true;
    Link("Kept.lnk", "C:\\Somewhere\\" + cut);
    messages.clear();
    answer();
    InDialog([](HWND dialog) { TypeName(dialog, "New name"); });
    Program.ProgramFileNameCut = false;
    EXPECT_EQ(messages, Texts{ "Error creating shortcut" });
    EXPECT_EQ(Listing(sendTo), Texts{ "Kept.lnk" });
}

TEST_F(Options, MissingSendToFolderIsReportedAndNothingIsCreated)
{
    std::string moved = sendTo + " moved away";
    EmptyFolder(sendTo);
    ASSERT_TRUE(MoveFileA(sendTo.c_str(), moved.c_str()));
    std::string message;
    AnswerMessageBox("Error", [&](HWND, const std::string &text) { message = text; });
    InDialog([](HWND dialog) { TypeName(dialog, "Zunta"); });
    MoveFileA(moved.c_str(), sendTo.c_str());
    EXPECT_EQ(message.rfind("Error : the directory ", 0), 0u) << message;
    EXPECT_NE(message.find(" doesn't exist"), std::string::npos) << message;
    EXPECT_TRUE(Listing(sendTo).empty()) << "no shortcut anywhere";
    EXPECT_FALSE(FileExists(folder + "\\Zunta.lnk"));
}

TEST_F(Options, LanguageAndLetterCaseAreAppliedOnOk)
{
    InDialog([](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_LANGUAGE, CB_SETCURSEL, 1, 0);
        SendDlgItemMessageA(dialog, IDC_LOWER_CRC32, BM_CLICK, 0, 0);
        SendDlgItemMessageA(dialog, IDC_LOWER_MD5, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(Settings.LanguageId, LANGUAGE_ID_FRENCH);
    EXPECT_EQ(Settings.DisplayCRC32Lower, 1);
    EXPECT_EQ(Settings.DisplayMD5Lower, 0);
}

TEST_F(Options, CancelCloseBoxAndEscapeChangeNothing)
{
    Link("Zunta.lnk", program);
    for (int way = 0; way < 3; way++) {
        WhenWindowOpens("Zunta Calculator Options", [way](HWND dialog) {
            SendDlgItemMessageA(dialog, IDC_LANGUAGE, CB_SETCURSEL, 1, 0);
            SendDlgItemMessageA(dialog, IDC_SENDTO, BM_CLICK, 0, 0);
            SendDlgItemMessageA(dialog, IDC_LOWER_MD5, BM_CLICK, 0, 0);
            if (way == 0)
                SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            else if (way == 1)
                SendMessageA(dialog, WM_CLOSE, 0, 0);
            else
                SendMessageA(GetDlgItem(dialog, IDC_SHORTCUT_NAME), WM_KEYDOWN, VK_ESCAPE, 0),
                    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        if (window == nullptr)
            OpenWindow();
        Command(IDC_OPTIONS);
        EXPECT_EQ(Settings.LanguageId, LANGUAGE_ID_ENGLISH) << "way " << way;
        EXPECT_EQ(Settings.DisplayMD5Lower, 1);
        EXPECT_TRUE(Exists("Zunta.lnk"));
    }
}

TEST_F(Options, DialogInBothLanguagesOnScreen)
{
    for (uint16_t language : { (uint16_t)LANGUAGE_ID_ENGLISH, (uint16_t)LANGUAGE_ID_FRENCH }) {
        Settings.LanguageId = language;
        SelectLanguageTable(language);
        DestroyMainWindow();
        Link("Zunta Calculator.lnk", program);
        InDialog([language](HWND dialog) {
            EXPECT_GT(CaptureWindow(dialog, language == LANGUAGE_ID_FRENCH ? "options-french" : "options-english"), 10);
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_LANGUAGE, CB_GETCURSEL, 0, 0),
                      language == LANGUAGE_ID_FRENCH ? 1 : 0);
        }, IDCANCEL);
    }
}
