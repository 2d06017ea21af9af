// The switch of the shell's "Verify with Zunta", on the list's menu.
#include "ui/shellverify.h"

#include "base/texts.h"
#include "base/textutil.h"
#include "platform/codepage.h"
#include "platform/shellreg.h"

#include <shlobj.h>
#include <stdlib.h>

const ShellRegistry *ShellVerifyRegistry = &UserClassesRegistry;

// This program's full path in the process code page, on the heap; null
// when it cannot be had.
static char *ProgramPath(void)
{
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        WCHAR *wide = (WCHAR *)malloc(size * sizeof(WCHAR));
        DWORD length = wide != nullptr ? GetModuleFileNameW(nullptr, wide, size) : 0;
        char *path = length > 0 && length < size ? NarrowText(wide) : nullptr;
        free(wide);
        if (length == 0 || length < size)
            return path;
    }
    return nullptr;
}

int ShellVerifyState(void)
{
    char *path = ProgramPath();
    int state = path != nullptr ? ShellVerbsStateOf(ShellVerifyRegistry, path) : SHELL_VERBS_NONE;
    free(path);
    return state;
}

char *ShellVerifyMenuText(int state)
{
    const char *suffix = state == SHELL_VERBS_ELSEWHERE ? LanguageStrings[TEXT_SHELL_ELSEWHERE] : "";
    return JoinTexts(LanguageStrings[TEXT_MENU_SHELL_VERIFY], suffix, "");
}

void ToggleShellVerify(HWND window)
{
    char *path = ProgramPath();
    int changed = -1;
    if (path != nullptr) {
        changed = ShellVerbsStateOf(ShellVerifyRegistry, path) == SHELL_VERBS_HERE
                      ? UnregisterShellVerbs(ShellVerifyRegistry)
                      : RegisterShellVerbs(ShellVerifyRegistry, path, LanguageStrings[TEXT_SHELL_VERB],
                                           LanguageStrings[TEXT_SHELL_TYPE]);
        SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    }
    free(path);
    if (changed != 0)
        MessageBoxA(window, LanguageStrings[TEXT_SHELL_FAILED], LanguageStrings[TEXT_SHELL_VERB],
                    MB_OK | MB_ICONWARNING);
}
