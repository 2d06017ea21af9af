// The options dialog.
#include "options/options_dlg.h"

#include "app/lang.h"
#include "app/settings.h"
#include "resources/resource.h"
#include "ui/dialogs.h"
#include "ui/mainwnd.h"

enum { LANGUAGE_ITEM_ENGLISH = 0, LANGUAGE_ITEM_FRENCH = 1 };

static void OnInitOptions(HWND window)
{
    HWND languages = GetDlgItem(window, IDC_LANGUAGE);
    SendMessageA(languages, CB_ADDSTRING, 0, (LPARAM)EnglishStrings[STR_LANGUAGE_NAME]);
    SendMessageA(languages, CB_ADDSTRING, 0, (LPARAM)FrenchStrings[STR_LANGUAGE_NAME]);
    SendMessageA(languages, CB_SETCURSEL,
                 Settings.LanguageId == LANGUAGE_ID_FRENCH ? LANGUAGE_ITEM_FRENCH : LANGUAGE_ITEM_ENGLISH, 0);
}

static void OnOptionsOk(HWND window)
{
    LRESULT item = SendDlgItemMessageA(window, IDC_LANGUAGE, CB_GETCURSEL, 0, 0);
    Settings.LanguageId = item == LANGUAGE_ITEM_FRENCH ? LANGUAGE_ID_FRENCH : LANGUAGE_ID_ENGLISH;
    EndDialog(window, 0);
}

static INT_PTR CALLBACK OptionsDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitOptions(window);
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            OnOptionsOk(window);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(window, 0);
        break;
    case WM_CLOSE:
        EndDialog(window, 0);
        break;
    }
    return FALSE;
}

int OpenOptionsDialog(HWND owner)
{
    const DLGTEMPLATE *dialog = LoadDialogTemplate(MainWnd.Instance, IDD_OPTIONS, Settings.LanguageId);
    if (dialog != nullptr)
        DialogBoxIndirectParamA(MainWnd.Instance, dialog, owner, OptionsDialogProc, 0);
    return 0;
}
