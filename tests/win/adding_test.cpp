// Files come in by drops and folder scans: what is admitted, in which order,
// and what is refused without harm.
#include "base/lang.h"
#include "base/pathorder.h"
#include "core/fileinfo.h"
#include "core/filelist.h"
#include "main_window_fixture.h"
#include "platform/codepage.h"
#include "resources/resource.h"
#include "ui/addfiles.h"
#include "ui/listview.h"
#include "ui/mainwnd.h"
#include "win_support.h"

#include <dlgs.h>
#include <shlobj.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// A drop of these paths as the shell hands it to the window.
HDROP MakeDrop(const std::vector<std::string> &paths)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string &path : paths)
        size += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char *text = (char *)(drop + 1);
    for (const std::string &path : paths) {
        memcpy(text, path.c_str(), path.size() + 1);
        text += path.size() + 1;
    }
    GlobalUnlock(memory);
    return (HDROP)memory;
}

class Adding : public MainWindowTest {
protected:
    std::string MakeFolder(const std::string &relative)
    {
        std::string path = folder + "\\" + relative;
        CreateDirectoryA(path.c_str(), nullptr);
        return path;
    }
    std::string MakeFileIn(const std::string &relative, size_t size = 3)
    {
        std::string path = folder + "\\" + relative;
        EXPECT_TRUE(WriteWholeFile(path, std::string(size, 'f')));
        return path;
    }
    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (int row = 0; row < Rows(); row++)
            names.push_back(Cell(row, 1));
        return names;
    }
    std::vector<std::string> Paths()
    {
        std::vector<std::string> paths;
        for (int row = 0; row < Rows(); row++) {
            FileEntry *entry = RowEntry(List(), row);
            paths.push_back(entry ? entry->Path + folder.size() + 1 : "?");
        }
        return paths;
    }
    // Adds a folder, answering the sub-folder question with answer when asked.
    bool AddFolderAnswering(const std::string &path, int answer)
    {
        bool asked = false;
        AnswerMessageBox("", [&](HWND, const std::string &text) {
            asked = text == "Do you want to add files which are in sub-folders ?";
            EXPECT_FALSE(window && IsWindowEnabled(window)) << "the question is owned by the main window";
        }, answer);
        EXPECT_EQ(AddFolder(path.c_str()), 0);
        ForgetPendingWindows();
        Pump();
        return asked;
    }
};

using Texts = std::vector<std::string>;

} // namespace

TEST_F(Adding, DropAddsFilesAndIgnoresFolders)
{
    OpenWindow();
    std::string sub = MakeFolder("dropped folder");
    MakeFileIn("dropped folder\\inside.txt");
    std::string one = MakeFileIn("one.txt");
    std::string hidden = MakeFileIn("hidden.txt");
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    SendMessageA(window, WM_DROPFILES, (WPARAM)MakeDrop({ sub, one, folder + "\\missing.txt", hidden }), 0);
    Pump();
    EXPECT_EQ(Names(), (Texts{ "one.txt", "hidden.txt" })) << "hidden files are added when dropped";

    SendMessageA(window, WM_DROPFILES, (WPARAM)MakeDrop({ sub }), 0);
    Pump();
    EXPECT_EQ(Rows(), 2);
}

TEST_F(Adding, DroppedPathTooLongForItsBufferIsSkipped)
{
    OpenWindow();
    std::string one = MakeFileIn("one.txt");
    std::string longPath = folder + "\\" + std::string(300, 'l') + ".txt";
    SendMessageA(window, WM_DROPFILES, (WPARAM)MakeDrop({ longPath, one }), 0);
    Pump();
    EXPECT_EQ(Names(), (Texts{ "one.txt" }));
}

TEST_F(Adding, FolderWithoutSubfoldersAddsItsFilesWithoutAsking)
{
    OpenWindow();
    MakeFolder("plain");
    MakeFileIn("plain\\b.txt");
    MakeFileIn("plain\\A.txt");
    MakeFileIn("plain\\c.txt");
    std::string hidden = MakeFileIn("plain\\secret.txt");
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(AddFolderAnswering(folder + "\\plain", IDYES));
    EXPECT_EQ(Names(), (Texts{ "A.txt", "b.txt", "c.txt" })) << "a block in path order, at the top";
    EXPECT_EQ(Cell(0, 0), "Ready");
}

TEST_F(Adding, FolderBlockComesAfterExistingRowsAndTwiceGivesTwoBlocks)
{
    OpenWindow();
    AddFile(MakeFile("zz first.txt", 1));
    MakeFolder("block");
    MakeFileIn("block\\b.txt");
    MakeFileIn("block\\A.txt");
    MakeFileIn("block\\c.txt");
    AddFolderAnswering(folder + "\\block\\", IDYES);
    AddFolderAnswering(folder + "\\block", IDYES);
    EXPECT_EQ(Names(), (Texts{ "zz first.txt", "A.txt", "b.txt", "c.txt", "A.txt", "b.txt", "c.txt" }));
    EXPECT_EQ(Files.Count, 7);
}

TEST_F(Adding, SubfolderQuestionAndBlockOrder)
{
    OpenWindow();
    MakeFolder("tree");
    MakeFileIn("tree\\root.txt");
    for (const char *sub : { "ab", "a", "a b", "a\\deep" })
        MakeFolder(std::string("tree\\") + sub);
    MakeFileIn("tree\\ab\\x.txt");
    MakeFileIn("tree\\a\\y.txt");
    MakeFileIn("tree\\a b\\z.txt");
    MakeFileIn("tree\\a\\deep\\w.txt");

    EXPECT_TRUE(AddFolderAnswering(folder + "\\tree", IDNO));
    EXPECT_EQ(Names(), (Texts{ "root.txt" })) << "No adds only the folder's own files";

    Command(IDC_CLEAR_ALL);
    EXPECT_TRUE(AddFolderAnswering(folder + "\\tree", IDYES));
    EXPECT_EQ(Paths(), (Texts{ "tree\\root.txt", "tree\\a b\\z.txt", "tree\\a\\y.txt",
                               "tree\\a\\deep\\w.txt", "tree\\ab\\x.txt" }));
}

TEST_F(Adding, HiddenSubfolderStillCausesTheQuestion)
{
    OpenWindow();
    MakeFolder("only hidden");
    MakeFileIn("only hidden\\own.txt");
    std::string sub = MakeFolder("only hidden\\.cache");
    SetFileAttributesA(sub.c_str(), FILE_ATTRIBUTE_HIDDEN);
    MakeFileIn("only hidden\\.cache\\inner.txt");
    EXPECT_TRUE(AddFolderAnswering(folder + "\\only hidden", IDYES));
    EXPECT_EQ(Names(), (Texts{ "own.txt", "inner.txt" })) << "hidden folders are scanned, hidden files not";
}

TEST_F(Adding, EmptyFolderKeepsTheHintRows)
{
    OpenWindow();
    MakeFolder("empty");
    AddFolderAnswering(folder + "\\empty", IDYES);
    EXPECT_EQ(Rows(), 2);
    EXPECT_TRUE(MainWnd.NoFileRows);
    EXPECT_EQ(Cell(0, 1), "Add files to check");
}

TEST_F(Adding, LinkedFoldersAreScannedOnceEach)
{
    OpenWindow();
    MakeFolder("loop");
    MakeFolder("loop\\inner");
    MakeFileIn("loop\\inner\\file.txt");
    std::string link = folder + "\\loop\\inner\\back";
    if (!CreateSymbolicLinkA(link.c_str(), (folder + "\\loop").c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY))
        GTEST_SKIP() << "no directory links here";
    EXPECT_TRUE(AddFolderAnswering(folder + "\\loop", IDYES));
    EXPECT_EQ(Names(), (Texts{ "file.txt" })) << "the link back to the top is not followed again";
}

namespace {

// A drive that reports no file index, as network and cloud drives may.
BOOL WINAPI NoFileIndex(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info)
{
    BOOL ok = GetFileInformationByHandle(file, info);
    info->nFileIndexHigh = info->nFileIndexLow = 0;
    return ok;
}

} // namespace

TEST_F(Adding, SubfoldersOfADriveWithoutFileIndexesAreScanned)
{
    OpenWindow();
    MakeFolder("noindex");
    MakeFolder("noindex\\a");
    MakeFolder("noindex\\a\\deep");
    MakeFolder("noindex\\b");
    MakeFileIn("noindex\\top.txt");
    MakeFileIn("noindex\\a\\in a.txt");
    MakeFileIn("noindex\\a\\deep\\in deep.txt");
    MakeFileIn("noindex\\b\\in b.txt");
    bool linked = CreateSymbolicLinkA((folder + "\\noindex\\b\\back").c_str(), (folder + "\\noindex").c_str(),
                                      SYMBOLIC_LINK_FLAG_DIRECTORY) != 0;
    GetFolderInformation = NoFileIndex;
    EXPECT_TRUE(AddFolderAnswering(folder + "\\noindex", IDYES));
    GetFolderInformation = GetFileInformationByHandle;
    EXPECT_EQ(Names(), (Texts{ "top.txt", "in a.txt", "in deep.txt", "in b.txt" }))
        << (linked ? "every sub-folder once, the link back not followed" : "every sub-folder");
}

TEST_F(Adding, FolderPathsTooLongAreRefused)
{
    OpenWindow();
    std::string longFolder = "C:\\" + std::string(256, 'd');
    EXPECT_EQ(AddFolder(longFolder.c_str()), 0);
    EXPECT_EQ(AddFolder((std::string(400, 'x')).c_str()), 0);
    EXPECT_EQ(Rows(), 2);
}

TEST_F(Adding, FolderSubfoldersAreCollectedBreadthFirst)
{
    MakeFolder("bf");
    MakeFolder("bf\\one");
    MakeFolder("bf\\one\\two");
    MakeFolder("bf\\three");
    PathList list = {};
    CollectSubfolders(&list, (folder + "\\bf\\").c_str());
    std::vector<std::string> found;
    for (int32_t i = 0; i < list.Count; i++)
        found.push_back(list.Paths[i] + folder.size() + 1);
    PathListRelease(&list);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found.back(), "bf\\one\\two\\") << "deeper folders after their parents' level";
    EXPECT_EQ(FolderHasSubfolders((folder + "\\bf\\one\\two\\").c_str()), 0);
    EXPECT_EQ(FolderHasSubfolders((folder + "\\no such\\").c_str()), -1);
}

namespace {

// The text of a tree item, read in this process.
std::string TreeItemText(HWND tree, HTREEITEM item)
{
    char text[260] = "";
    TVITEMA data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&data);
    return text;
}

BOOL CALLBACK FindTree(HWND child, LPARAM found)
{
    char className[32];
    GetClassNameA(child, className, sizeof className);
    if (strcmp(className, WC_TREEVIEWA) != 0)
        return TRUE;
    *(HWND *)found = child;
    return FALSE;
}

} // namespace

TEST_F(Adding, VirtualFolderChosenInTheBrowserAddsNothing)
{
    OpenWindow();
    std::vector<std::string> seen;
    bool chosen = false;
    // The browser's own caption; its title text is ours.
    WhenWindowOpens("Browse for Folder", [&](HWND browser) {
        EXPECT_FALSE(IsWindowEnabled(window)) << "the browser is owned by the main window";
        HWND tree = nullptr;
        EnumChildWindows(browser, FindTree, (LPARAM)&tree);
        ASSERT_NE(tree, nullptr);
        HTREEITEM root = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)root);
        for (HTREEITEM item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)root); item;
             item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item)) {
            std::string text = TreeItemText(tree, item);
            seen.push_back(text);
            if (text == "My Computer" || text == "This PC") {
                SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
                chosen = true;
            }
        }
        SendMessageA(browser, WM_COMMAND, IDOK, 0);
    });
    Command(IDC_ADD_FOLDER);
    ForgetPendingWindows();
    std::string names;
    for (const std::string &text : seen)
        names += "[" + text + "]";
    EXPECT_TRUE(chosen) << "no computer folder among " << names;
    EXPECT_EQ(Rows(), 2) << "a folder without a file-system path is not scanned";
    EXPECT_TRUE(MainWnd.NoFileRows);
}

namespace {

enum Arrangement { AS_FOUND, REVERSED, SHUFFLED, SORTED };
Arrangement Arrange;

void ArrangeNames(FoundFile *files, int count)
{
    std::vector<FoundFile> order(files, files + count);
    if (Arrange == REVERSED)
        std::reverse(order.begin(), order.end());
    else if (Arrange == SHUFFLED)
        std::shuffle(order.begin(), order.end(), std::mt19937(20261209));
    else if (Arrange == SORTED)
        std::sort(order.begin(), order.end(),
                  [](const FoundFile &a, const FoundFile &b) { return ComparePaths(a.Name, b.Name) < 0; });
    std::copy(order.begin(), order.end(), files);
}

} // namespace

TEST_F(Adding, FolderBlockOrderDoesNotDependOnTheSearchOrder)
{
    OpenWindow();
    MakeFolder("block order");
    std::vector<std::string> names;
    const char *stems[] = { "b", "A", "a b", "a0", "a_", "Zeta", "z 9", "10", "9", "~x", "\xC3\xA9t\xC3\xA9", "M" };
    for (int i = 0; i < 60; i++)
        names.push_back(std::string(stems[i % 12]) + std::to_string(i / 12) + ".txt");
    for (const std::string &name : names)
        MakeFileIn("block order\\" + name);
    // The order the row-by-row scan gives: each file before the first row
    // that sorts after it, in the order they are taken.
    std::vector<std::string> scanned;
    for (const std::string &name : names) {
        auto at = std::find_if(scanned.begin(), scanned.end(),
                               [&](const std::string &row) { return ComparePaths(row.c_str(), name.c_str()) > 0; });
        scanned.insert(at, name);
    }
    for (Arrangement arrangement : { AS_FOUND, REVERSED, SHUFFLED, SORTED }) {
        SCOPED_TRACE(arrangement);
        Command(IDC_CLEAR_ALL);
        AddFile(MakeFile("zz carried.txt", 1));
        AddFile(MakeFile("aa carried.txt", 1));
        Arrange = arrangement;
        ArrangeFoundFiles = ArrangeNames;
        AddFolderAnswering(folder + "\\block order", IDYES);
        ArrangeFoundFiles = nullptr;
        Texts expected = { "zz carried.txt", "aa carried.txt" };
        expected.insert(expected.end(), scanned.begin(), scanned.end());
        EXPECT_EQ(Names(), expected) << "rows from before stay first, the block in path order";
    }
}

namespace {

// Windows before 10 1903 keep a code page such as 1252 for the A functions.
UINT Legacy1252(void)
{
    return 1252;
}

// The volume's aliases, but none for a name with "emoji" in it.
DWORD WINAPI NoAliasForEmoji(LPCWSTR path, LPWSTR out, DWORD size)
{
    if (!wcsstr(path, L"emoji"))
        return GetShortPathNameW(path, out, size);
    size_t length = wcslen(path);
    if (length >= size)
        return (DWORD)length + 1;
    wcscpy(out, path);
    return (DWORD)length;
}

std::wstring Wide(const std::string &text)
{
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], (int)wide.size()) - 1);
    return wide;
}

// A drop of these UTF-8 paths as the shell hands it over in UTF-16.
HDROP MakeWideDrop(const std::vector<std::string> &paths)
{
    std::wstring list;
    for (const std::string &path : paths)
        list += Wide(path) + L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (list.size() + 1) * sizeof(WCHAR));
    DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(drop + 1, list.c_str(), list.size() * sizeof(WCHAR));
    GlobalUnlock(memory);
    return (HDROP)memory;
}

class LegacyCodePageAdding : public Adding {
protected:
    void SetUp() override
    {
        Adding::SetUp();
        LegacyCodePage = Legacy1252;
        GetShortName = NoAliasForEmoji;
    }
    void TearDown() override
    {
        LegacyCodePage = SavedCodePage;
        GetShortName = GetShortPathNameW;
        Adding::TearDown();
    }
    std::string MakeWideFile(const std::string &relative)
    {
        std::string path = folder + "\\" + relative;
        HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << relative;
        CloseHandle(file);
        return path;
    }
    // Every row names a file that opens, in ASCII; the message boxes seen.
    void ExpectRowsOpenable(size_t rows)
    {
        ASSERT_EQ((size_t)Rows(), rows);
        for (int row = 0; row < Rows(); row++) {
            const char *path = RowEntry(List(), row)->Path;
            EXPECT_NE(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES) << path;
            EXPECT_EQ(strchr(path, '?'), nullptr) << path;
            for (const char *c = path; *c; c++)
                EXPECT_LT((unsigned char)*c, 0x80) << path;
        }
    }
    UINT (*SavedCodePage)(void) = LegacyCodePage;
};

int Count(const std::string &text, const std::string &part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        count++;
    return count;
}

} // namespace

TEST_F(Adding, PathsPastMaxPathAndInEveryScriptComeByFolderAndDrop)
{
    OpenWindow();
    const std::string d(60, 'd'), han = "\xE4\xB8\xAD";   // a Han character, three bytes
    std::string cn;
    for (int i = 0; i < 40; i++)
        cn += han;
    const std::string deepFolder = "long\\" + d + "\\" + d + "\\" + d + "\\" + d;
    const std::string cnFolder = "long\\" + cn + "\\" + cn;
    const std::string deep = folder + "\\" + deepFolder + "\\" + d + ".bin";
    const std::string chinese = folder + "\\" + cnFolder + "\\" + cn + ".txt";
    MakeFolders(folder, deepFolder);
    MakeFolders(folder, cnFolder);
    ASSERT_TRUE(WriteWholeFile(deep, "abc") && WriteWholeFile(chinese, "abc"));
    ASSERT_GT(deep.size(), 336u);
    ASSERT_GT(chinese.size(), 360u);
    EXPECT_TRUE(AddFolderAnswering(folder + "\\long", IDYES));
    EXPECT_EQ(Paths(), (Texts{ deep.substr(folder.size() + 1), chinese.substr(folder.size() + 1) }))
        << "found below folders past MAX_PATH";
    SendMessageA(window, WM_DROPFILES, (WPARAM)MakeWideDrop({ chinese, deep }), 0);
    Pump();
    ASSERT_EQ(Rows(), 4);
    for (int row = 0; row < Rows(); row++) {
        uint64_t size = 0;
        EXPECT_EQ(QueryFileInfo(RowEntry(List(), row)->Path, &size, nullptr), QUERY_FILE) << row;
        EXPECT_EQ(size, 3u) << row;
    }
}

TEST_F(Adding, NamesInEveryScriptComeWholeByFolderAndDrop)
{
    ASSERT_EQ(LegacyCodePage(), 0u) << "the test program runs in UTF-8, as Zunta.exe";
    OpenWindow();
    const std::vector<std::string> names = { "caf\xC3\xA9.txt", "\xD0\x9F\xD1\x80\xD0\xB8 \xD0\xBC\xD0\xB8\xD1\x80.txt",
                                             "\xE6\x97\xA5\xE6\x9C\xAC.txt", "emoji \xF0\x9F\x98\x80.txt",
                                             "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD.bin" };
    MakeFolder("scripts");
    std::vector<std::string> paths;
    for (const std::string &name : names) {
        paths.push_back(folder + "\\scripts\\" + name);
        HANDLE file = CreateFileW(Wide(paths.back()).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
        CloseHandle(file);
    }
    EXPECT_EQ(AddFolder((folder + "\\scripts").c_str()), 0);
    ASSERT_EQ(Rows(), (int)names.size());
    for (int row = 0; row < Rows(); row++)
        EXPECT_NE(GetFileAttributesA(RowEntry(List(), row)->Path), INVALID_FILE_ATTRIBUTES) << Cell(row, 1);
    SendMessageA(window, WM_DROPFILES, (WPARAM)MakeWideDrop(paths), 0);
    Pump();
    ASSERT_EQ(Rows(), 2 * (int)names.size());
    std::vector<std::string> dropped;
    for (int row = (int)names.size(); row < Rows(); row++)
        dropped.push_back(Cell(row, 1));
    EXPECT_EQ(dropped, names) << "each name spelled whole";
}

TEST_F(LegacyCodePageAdding, FolderNamesOutsideTheCodePageComeByAliasOrAreNamedOnce)
{
    OpenWindow();
    MakeFolder("names");
    MakeFileIn("names\\plain.txt");
    MakeWideFile("names\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt");
    for (int i = 0; i < 21; i++)
        MakeWideFile("names\\emoji \xF0\x9F\x98\x80 " + std::to_string(i) + ".txt");
    int boxes = 0;
    std::string text;
    AnswerMessageBox("Files not added", [&](HWND, const std::string &shown) {
        boxes++;
        text = shown;
    });
    EXPECT_EQ(AddFolder((folder + "\\names").c_str()), 0);
    ForgetPendingWindows();
    Pump();
    ExpectRowsOpenable(2);
    Texts names = Names();
    EXPECT_EQ(std::count(names.begin(), names.end(), "plain.txt"), 1) << "the other row is the alias";
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(text.rfind("21 files were not added: their names cannot be written in this system's code page.", 0), 0u)
        << text;
    EXPECT_EQ(Count(text, "emoji \xF0\x9F\x98\x80 "), 20) << "the first 20 names, shown in the process code page";
}

TEST_F(LegacyCodePageAdding, SubfolderNamesOutsideTheCodePageAreScannedByAlias)
{
    MakeFolder("tree");
    ASSERT_TRUE(CreateDirectoryW(Wide(folder + "\\tree\\\xE6\x97\xA5\xE6\x9C\xAC").c_str(), nullptr));
    MakeWideFile("tree\\\xE6\x97\xA5\xE6\x9C\xAC\\inner.txt");
    PathList list = {};
    EXPECT_EQ(CollectSubfolders(&list, (folder + "\\tree\\").c_str()), 0);
    ASSERT_EQ(list.Count, 1);
    std::string path = list.Paths[0];
    PathListRelease(&list);
    EXPECT_EQ(std::count_if(path.begin(), path.end(), [](char c) { return (unsigned char)c >= 0x80; }), 0)
        << "the sub-folder by a name the code page can write: " << path;
    EXPECT_NE(GetFileAttributesA((path + "inner.txt").c_str()), INVALID_FILE_ATTRIBUTES) << path;
}

TEST_F(LegacyCodePageAdding, DroppedNamesOutsideTheCodePageComeByAliasOrAreNamedOnce)
{
    OpenWindow();
    std::string plain = MakeFileIn("plain.txt");
    std::string japanese = MakeWideFile("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt");
    std::string emoji = MakeWideFile("emoji \xF0\x9F\x98\x80.txt");
    std::string text;
    int boxes = 0;
    AnswerMessageBox("Files not added", [&](HWND, const std::string &shown) {
        boxes++;
        text = shown;
    });
    SendMessageA(window, WM_DROPFILES, (WPARAM)MakeWideDrop({ plain, japanese, emoji }), 0);
    ForgetPendingWindows();
    Pump();
    ExpectRowsOpenable(2);
    EXPECT_EQ(Names().front(), "plain.txt");
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(text, "1 file was not added: its name cannot be written in this system's code page.\r\n\r\n"
                    "emoji \xF0\x9F\x98\x80.txt");
}

TEST_F(LegacyCodePageAdding, ChosenNameOutsideTheCodePageComesByAlias)
{
    OpenWindow();
    std::wstring japanese = Wide(MakeWideFile("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt"));
    WhenWindowOpens("Select file(s) to check", [&](HWND dialog) {
        // The file name box: a combo box or an edit box, as the dialog has it.
        SetDlgItemTextW(dialog, cmb13, japanese.c_str());
        SetDlgItemTextW(dialog, edt1, japanese.c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    Command(IDC_ADD_FILES);
    ForgetPendingWindows();
    Pump();
    ExpectRowsOpenable(1);
}
