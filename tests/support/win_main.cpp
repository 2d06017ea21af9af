// Entry point of the test programs that create windows: the common controls
// are registered, the program's texts are converted into the process code
// page as Zunta.exe converts them, and the program's module is this test
// program, which holds the same resources as Zunta.exe.
#include "base/lang.h"
#include "core/checksumfile.h"
#include "core/fileinfo.h"
#include "platform/codepage.h"
#include "ui/mainwnd.h"

#include <gtest/gtest.h>

#include <commctrl.h>

int main(int argc, char **argv)
{
    INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_WIN95_CLASSES };
    InitCommonControlsEx(&controls);
    MainWnd.Instance = GetModuleHandleA(nullptr);
    InitFileAccess();
    TextUseProcessCodePage();
    ListedNameConverter = ListedNameToProcessCodePage;
    char *texts;
    if (ConvertLanguageTexts(ConvertProgramText, nullptr, &texts) != 0)
        return 1;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
