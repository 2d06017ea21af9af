// The options dialog.
#include "options/options_dlg.h"

#include "base/lang.h"
#include "base/texts.h"
#include "base/program.h"
#include "base/settings.h"
#include "base/textutil.h"
#include "core/fileinfo.h"
#include "options/sendto.h"
#include "platform/templates.h"
#include "resources/resource.h"

#include <direct.h>
#include <objbase.h>
#include <stdio.h>
#include <string.h>

char FoundShortcutName[260];

enum {
    LANGUAGE_ITEM_ENGLISH = 0,
    LANGUAGE_ITEM_FRENCH = 1,
    NAME_COMPARE_LENGTH = 64,
};

static const char LinkExtension[] = ".lnk";

static bool EndsWithLink(const char *text)
{
    size_t length = strlen(text);
    return length >= 4 && AsciiEqualNoCase(text + length - 4, LinkExtension);
}

// The shortcut found in SendTo, as the name box shows it.
static void ShowFoundShortcut(HWND window)
{
    FoundShortcutName[0] = '\0';
    if (ScanSendToFolder(FoundShortcutName, sizeof FoundShortcutName, SCAN_FIND) <= 0) {
        FoundShortcutName[0] = '\0';
        EnableWindow(GetDlgItem(window, IDC_SHORTCUT_NAME), FALSE);
        return;
    }
    if (EndsWithLink(FoundShortcutName))
        FoundShortcutName[strlen(FoundShortcutName) - 4] = '\0';
    char folder[PATH_SIZE];
    size_t length;
    if (LocateSendToFolder(folder, sizeof folder) == SENDTO_FOUND && (length = strlen(folder)) > 0 &&
        AsciiEqualNoCaseN(FoundShortcutName, folder, length) && FoundShortcutName[length] == '\\')
        memmove(FoundShortcutName, FoundShortcutName + length + 1, strlen(FoundShortcutName + length + 1) + 1);
    CheckDlgButton(window, IDC_SENDTO, BST_CHECKED);
    SetDlgItemTextA(window, IDC_SHORTCUT_NAME, FoundShortcutName);
}

static void OnInitOptions(HWND window)
{
    HWND languages = GetDlgItem(window, IDC_LANGUAGE);
    SendMessageA(languages, CB_ADDSTRING, 0, (LPARAM)EnglishStrings[TEXT_LANGUAGE_NAME]);
    SendMessageA(languages, CB_ADDSTRING, 0, (LPARAM)FrenchStrings[TEXT_LANGUAGE_NAME]);
    if (Settings.LanguageId == LANGUAGE_ID_ENGLISH)
        SendMessageA(languages, CB_SETCURSEL, LANGUAGE_ITEM_ENGLISH, 0);
    else if (Settings.LanguageId == LANGUAGE_ID_FRENCH)
        SendMessageA(languages, CB_SETCURSEL, LANGUAGE_ITEM_FRENCH, 0);
    if (Settings.DisplayCRC32Lower == 1)
        CheckDlgButton(window, IDC_LOWER_CRC32, BST_CHECKED);
    if (Settings.DisplayMD5Lower == 1)
        CheckDlgButton(window, IDC_LOWER_MD5, BST_CHECKED);
    ShowFoundShortcut(window);
}

static void Warn(const char *text)
{
    MessageBoxA(nullptr, text, nullptr, MB_OK | MB_ICONWARNING);
}

// Creates each folder that the name part of linkPath (from nameStart on)
// names before its last component.
static void CreateNameFolders(char *linkPath, size_t nameStart)
{
    for (char *p = linkPath + nameStart; *p; p++) {
        if (*p != '\\')
            continue;
        *p = '\0';
        _mkdir(linkPath);
        *p = '\\';
    }
}

// A new shortcut named name (ending with ".lnk") in SendTo, in place of the
// program's shortcuts there.
static void ShortcutError(void)
{
    MessageBoxA(nullptr, LanguageStrings[TEXT_SHORTCUT_ERROR], "", MB_OK);
}

static void ReplaceShortcut(const char *name)
{
    // A program name cut to its buffer names no file: the shortcut would
    // point nowhere. Refused before anything is removed, as are paths that
    // do not fit.
    if (Program.ProgramFileNameCut) {
        ShortcutError();
        return;
    }
    char folder[PATH_SIZE];
    int located = LocateSendToFolder(folder, sizeof folder);
    if (located == SENDTO_TOO_LONG) {
        ShortcutError();
        return;
    }
    if (located != SENDTO_FOUND) {
        ScanSendToFolder(nullptr, 0, SCAN_REMOVE);
        Warn(LanguageStrings[TEXT_NO_SENDTO_VARIABLES]);
        return;
    }
    if (QueryFileInfo(folder, nullptr, nullptr) != QUERY_DIRECTORY) {
        ScanSendToFolder(nullptr, 0, SCAN_REMOVE);
        char text[PATH_SIZE + 128];
        snprintf(text, sizeof text, LanguageStrings[TEXT_NO_SENDTO_FOLDER], folder);
        Warn(text);
        return;
    }
    // A shortcut holds paths of fewer than 260 characters: refused before
    // anything is removed when the link's or the program's path is longer.
    char linkPath[PATH_SIZE];
    char target[PATH_SIZE];
    if (FormatText(linkPath, sizeof linkPath, "%s\\%s", folder, name) != 0 ||
        FormatText(target, sizeof target, "%s\\%s", Program.ProgramFolder, Program.ProgramFileName) != 0) {
        ShortcutError();
        return;
    }
    ScanSendToFolder(nullptr, 0, SCAN_REMOVE);
    size_t nameStart = strlen(folder) + 1;
    for (char *p = linkPath + nameStart; *p; p++)
        if (*p == '/')
            *p = '\\';
    CreateNameFolders(linkPath, nameStart);

    CoInitialize(nullptr);
    if (CreateShortcut(target, linkPath, nullptr) != S_OK)
        ShortcutError();
    CoUninitialize();
}

static void OnOptionsOk(HWND window)
{
    LRESULT item = SendDlgItemMessageA(window, IDC_LANGUAGE, CB_GETCURSEL, 0, 0);
    uint16_t languageId = item == LANGUAGE_ITEM_FRENCH ? LANGUAGE_ID_FRENCH : LANGUAGE_ID_ENGLISH;
    ChangeShownSettings(languageId, Settings.DisplayCRC32Lower, Settings.DisplayMD5Lower);

    if (IsWindowEnabled(GetDlgItem(window, IDC_SHORTCUT_NAME))) {
        char name[PATH_SIZE] = "";
        GetDlgItemTextA(window, IDC_SHORTCUT_NAME, name, sizeof name);
        size_t compared = strlen(name);
        if (EndsWithLink(name))
            compared -= 4;
        else
            AppendText(name, sizeof name, LinkExtension);
        // The first 64 characters decide, however many bytes each takes.
        bool capped = TextCharCount(name, compared) >= NAME_COMPARE_LENGTH;
        if (capped)
            compared = TextPrefixLength(name, NAME_COMPARE_LENGTH);
        bool same = strncmp(name, FoundShortcutName, compared) == 0 &&
                    (capped || FoundShortcutName[compared] == '\0');
        if (!same)
            ReplaceShortcut(name);
    } else {
        ScanSendToFolder(nullptr, 0, SCAN_REMOVE);
    }

    // A run reads these while this dialog is open.
    ChangeShownSettings(Settings.LanguageId, IsDlgButtonChecked(window, IDC_LOWER_CRC32) == BST_CHECKED ? 1 : 0,
                        IsDlgButtonChecked(window, IDC_LOWER_MD5) == BST_CHECKED ? 1 : 0);
    EndDialog(window, 0);
}

static INT_PTR CALLBACK OptionsDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitOptions(window);
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOptionsOk(window);
            break;
        case IDCANCEL:
            EndDialog(window, 0);
            break;
        case IDC_SENDTO:
            if (HIWORD(wParam) == BN_CLICKED)
                EnableWindow(GetDlgItem(window, IDC_SHORTCUT_NAME),
                             IsDlgButtonChecked(window, IDC_SENDTO) == BST_CHECKED);
            break;
        }
        break;
    case WM_CLOSE:
        EndDialog(window, 0);
        break;
    }
    return FALSE;
}

int OpenOptionsDialog(HWND owner)
{
    // The program's own templates: the module that made the main window.
    HINSTANCE instance = owner ? (HINSTANCE)GetWindowLongPtrA(owner, GWLP_HINSTANCE) : GetModuleHandleA(nullptr);
    const DLGTEMPLATE *dialog = LoadDialogTemplate(instance, IDD_OPTIONS, Settings.LanguageId);
    if (dialog != nullptr)
        DialogBoxIndirectParamA(instance, dialog, owner, OptionsDialogProc, 0);
    return 0;
}
