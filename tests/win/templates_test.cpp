// The dialog templates of both languages, created as real dialogs and read
// back control by control in template (tab) order.
#include "base/lang.h"
#include "base/texts.h"
#include "checksum/kinds.h"
#include "platform/templates.h"
#include "resources/resource.h"
#include "ui/dialogs.h"
#include "ui/mainwnd.h"
#include "tests/support/mnemonic.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct ControlSpec {
    int id;
    const char *className;
    DWORD styleBits;        // all of these must be set
    int buttonType;         // BS_* type in the low four bits, or -1
    const char *english;
    const char *french;
    int x, y, width, height;
    int frenchY;            // -1: same as y
};

const char HeaderEnglish[] = "CRC32 and MD5 Calculator (v1.00 - 04/12/2020      zunta@example.org) ";
const char HeaderFrench[] = "Calculateur de CRC32 et MD5 (v1.00 - 12/04/2020      zunta@example.org) ";

const ControlSpec MainControls[] = {
    { IDC_OPTIONS, "Button", WS_TABSTOP, BS_PUSHBUTTON, "&Options", "&Options", 331, 3, 48, 12, -1 },
    { IDC_FILE_LIST, "SysListView32",
      LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, -1, "", "",
      7, 19, 372, 142, -1 },
    { IDC_ADD_FILES, "Button", 0, BS_PUSHBUTTON, "&Add Files", "Ajouter &Fichiers", 7, 162, 56, 15, -1 },
    { IDC_ADD_FOLDER, "Button", 0, BS_PUSHBUTTON, "Add &Folder", "Ajouter &Dossiers", 66, 162, 56, 15, -1 },
    { IDC_MOVE_UP, "Button", BS_ICON, BS_PUSHBUTTON, "Move &Up", "&Monter", 126, 162, 17, 15, -1 },
    { IDC_MOVE_DOWN, "Button", BS_ICON, BS_PUSHBUTTON, "Move &Down", "De&scendre", 147, 162, 17, 15, -1 },
    { IDC_CLEAR_ALL, "Button", 0, BS_PUSHBUTTON, "&Clear All", "Tout &Effacer", 168, 162, 50, 15, -1 },
    { IDC_PROCESS, "Button", 0, BS_PUSHBUTTON, "&Process", "&Calculer", 261, 162, 56, 15, -1 },
    { IDC_PROCESS_ALL, "Button", 0, BS_PUSHBUTTON, "Process A&ll", "&Tout Calculer", 323, 162, 56, 15, -1 },
    { IDC_STATIC, "Static", 0, -1, HeaderEnglish, HeaderFrench, 7, 4, 259, 11, -1 },
    { IDC_RESULT, "Edit", ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_NOHIDESEL, -1, "", "",
      9, 182, 366, 24, -1 },
    { IDC_STATIC, "Static", 0, -1, "Calculate :", "A calculer :", 7, 221, 39, 11, -1 },
    { IDC_CALC_CRC32, "Button", 0, BS_AUTOCHECKBOX, "CRC&32", "CRC&32", 48, 221, 41, 9, -1 },
    { IDC_CALC_MD5, "Button", 0, BS_AUTOCHECKBOX, "MD&5", "MD&5", 96, 220, 33, 9, -1 },
    { IDC_ALWAYS_ON_TOP, "Button", 0, BS_AUTOCHECKBOX, "Always on &Top", "&Toujours au premier plan",
      7, 234, 95, 12, -1 },
    { IDC_OPEN_CURRENT_LOG, "Button", 0, BS_PUSHBUTTON, "Open the current log file",
      "Voir fichier log courant", 209, 230, 82, 14, 231 },
    { IDC_OPEN_ARCHIVE_LOG, "Button", 0, BS_PUSHBUTTON, "Open the archive log file",
      "Voir fichier log complet", 297, 230, 82, 14, 231 },
    { IDC_PROGRESS, "msctls_progress32", WS_BORDER, -1, "", "", 134, 207, 112, 11, -1 },
    { IDC_PROGRESS_TEXT, "Static", 0, -1, "", "", 250, 209, 36, 8, -1 },
    { IDC_STATUS_TEXT, "Static", 0, -1, "", "", 7, 209, 122, 8, -1 },
};

const ControlSpec OptionsControls[] = {
    { IDOK, "Button", 0, BS_DEFPUSHBUTTON, "&Ok", "&Valider", 58, 126, 50, 14, -1 },
    { IDCANCEL, "Button", 0, BS_PUSHBUTTON, "&Cancel", "&Annuler", 112, 126, 50, 14, -1 },
    { IDC_LANGUAGE, "ComboBox", CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, -1, "", "",
      52, 22, 66, 0, 21 },
    { IDC_STATIC, "Static", 0, -1, "Language :", "Langage :", 7, 25, 40, 11, 24 },
    { IDC_SENDTO, "Button", 0, BS_AUTOCHECKBOX, "&Add a shortcut in SendTo contextual menu",
      "Ajouter un raccourci dans le &menu contextuel \"Envoyer vers\"", 7, 52, 206, 14, -1 },
    { IDC_STATIC, "Static", 0, -1, "Shortcut name :", "Nom du raccourci :", 20, 69, 62, 10, -1 },
    { IDC_SHORTCUT_NAME, "Edit", WS_BORDER | ES_AUTOHSCROLL, -1, "", "", 89, 67, 126, 13, -1 },
    { IDC_LOWER_CRC32, "Button", 0, BS_AUTOCHECKBOX, "Display CRC32 in lower case",
      "Afficher le CRC32 en minuscule", 7, 88, 208, 10, -1 },
    { IDC_LOWER_MD5, "Button", 0, BS_AUTOCHECKBOX, "Display MD5 in lower case",
      "Afficher le MD5 en minuscule", 7, 105, 208, 10, -1 },
};

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

HWND CreateFromTemplate(int id, uint16_t languageId)
{
    const DLGTEMPLATE *dialog = LoadDialogTemplate(MainWnd.Instance, id, languageId);
    if (dialog == nullptr)
        return nullptr;
    return CreateDialogIndirectParamA(MainWnd.Instance, dialog, nullptr, PlainDialogProc, 0);
}

std::string WindowText(HWND window)
{
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::vector<HWND> ChildrenInOrder(HWND dialog)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// One control as the template describes it.
struct TemplateItem {
    DWORD style, exStyle;
    int id, x, y, width, height;
};

// Reads the items of an extended dialog template.
std::vector<TemplateItem> TemplateItems(const DLGTEMPLATE *dialog)
{
    const WORD *p = (const WORD *)dialog;
    EXPECT_EQ(p[1], 0xFFFF) << "an extended template";
    DWORD style = *(const DWORD *)(p + 6);
    WORD count = p[8];
    p += 13; // past the fixed header and the rectangle
    auto skipText = [&](const WORD *q) {
        if (*q == 0xFFFF)
            return q + 2;
        while (*q)
            q++;
        return q + 1;
    };
    p = skipText(p); // menu
    p = skipText(p); // class
    p = skipText(p); // title
    if (style & DS_SETFONT)
        p = skipText(p + 3);
    std::vector<TemplateItem> items;
    for (WORD i = 0; i < count; i++) {
        p = (const WORD *)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
        const DWORD *d = (const DWORD *)p;
        const short *r = (const short *)(p + 6);
        items.push_back({ d[2], d[1], (int)*(const DWORD *)(p + 10), r[0], r[1], r[2], r[3] });
        p = skipText(skipText(p + 12));
        p = (const WORD *)((const BYTE *)(p + 1) + *p);
    }
    return items;
}

void CheckControls(int templateId, const ControlSpec *specs, size_t count, bool french)
{
    uint16_t language = french ? LANGUAGE_ID_FRENCH : LANGUAGE_ID_ENGLISH;
    const DLGTEMPLATE *dialogTemplate = LoadDialogTemplate(MainWnd.Instance, templateId, language);
    ASSERT_NE(dialogTemplate, nullptr);
    std::vector<TemplateItem> items = TemplateItems(dialogTemplate);
    HWND dialog = CreateFromTemplate(templateId, language);
    ASSERT_NE(dialog, nullptr);
    std::vector<HWND> children = ChildrenInOrder(dialog);
    ASSERT_EQ(items.size(), count);
    ASSERT_EQ(children.size(), count);
    for (size_t i = 0; i < count; i++) {
        const ControlSpec &spec = specs[i];
        const TemplateItem &item = items[i];
        HWND control = children[i];
        SCOPED_TRACE(std::string("control ") + std::to_string(i) + " (" + spec.english + ")");
        EXPECT_EQ(item.id, spec.id);
        EXPECT_EQ(GetDlgCtrlID(control), spec.id);
        EXPECT_EQ(item.style & spec.styleBits, spec.styleBits);
        if (spec.buttonType >= 0)
            EXPECT_EQ((int)(item.style & BS_TYPEMASK), spec.buttonType);
        EXPECT_EQ((item.exStyle & WS_EX_TRANSPARENT) != 0, spec.id == IDC_RESULT);
        EXPECT_EQ(item.x, spec.x);
        EXPECT_EQ(item.y, french && spec.frenchY >= 0 ? spec.frenchY : spec.y);
        EXPECT_EQ(item.width, spec.width);
        if (spec.height > 0)
            EXPECT_EQ(item.height, spec.height);
        else
            EXPECT_EQ(item.height, 63);

        char className[64];
        GetClassNameA(control, className, sizeof className);
        EXPECT_STRCASEEQ(className, spec.className);
        if (spec.id != IDC_LANGUAGE)
            EXPECT_EQ(WindowText(control), french ? spec.french : spec.english);
    }
    DestroyWindow(dialog);
}

void CheckDialogFrame(HWND dialog, const char *title, int width, int height)
{
    EXPECT_EQ(WindowText(dialog), title);
    DWORD style = (DWORD)GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME), (DWORD)(WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    EXPECT_FALSE(style & WS_THICKFRAME) << "the dialog is not resizable";
    RECT size = { 0, 0, width, height };
    MapDialogRect(dialog, &size);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    LOGFONTA font;
    ASSERT_TRUE(GetObjectA((HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0), sizeof font, &font));
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
}

// The controls of a dialog that take each mnemonic, in template order: the
// buttons and labels, with the captions given instead of their own, and
// without the ones given as disabled.
std::map<char, std::vector<int>> Mnemonics(HWND dialog, const std::map<int, const char *> &captions,
                                           const std::set<int> &disabled)
{
    std::map<char, std::vector<int>> taken;
    for (HWND child : ChildrenInOrder(dialog)) {
        int id = GetDlgCtrlID(child);
        char className[64];
        GetClassNameA(child, className, sizeof className);
        if (disabled.count(id) || (lstrcmpiA(className, "Button") && lstrcmpiA(className, "Static")))
            continue;
        auto caption = captions.find(id);
        char mnemonic = TextMnemonic(caption != captions.end() ? caption->second : WindowText(child).c_str());
        if (mnemonic != 0)
            taken[mnemonic].push_back(id);
    }
    return taken;
}

// The width of text in the dialog's font at 96 dpi (scale 2) or 144 dpi
// (scale 3: the same face at 1.5 times the height).
int TextWidth(HWND dialog, const char *text, int scale)
{
    LOGFONTA font;
    GetObjectA((HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0), sizeof font, &font);
    font.lfHeight = font.lfHeight * scale / 2;
    font.lfWidth = font.lfWidth * scale / 2;
    HFONT scaled = CreateFontIndirectA(&font);
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, scaled);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, (int)strlen(text), &size);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    DeleteObject(scaled);
    return size.cx;
}

class Templates : public ::testing::TestWithParam<uint16_t> {};

} // namespace

TEST_P(Templates, MainDialog)
{
    bool french = GetParam() == LANGUAGE_ID_FRENCH;
    HWND dialog = CreateFromTemplate(IDD_MAIN, GetParam());
    ASSERT_NE(dialog, nullptr) << "template 101 of language " << GetParam();
    CheckDialogFrame(dialog, "Zunta Calculator", 386, 250);
    DWORD style = (DWORD)GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_EQ((style & WS_POPUP) != 0, french) << "English overlapped, French pop-up";
    CheckControls(IDD_MAIN, MainControls, ARRAYSIZE(MainControls), french);
    DestroyWindow(dialog);
}

TEST_P(Templates, OptionsDialog)
{
    bool french = GetParam() == LANGUAGE_ID_FRENCH;
    HWND dialog = CreateFromTemplate(IDD_OPTIONS, GetParam());
    ASSERT_NE(dialog, nullptr) << "template 104 of language " << GetParam();
    CheckDialogFrame(dialog, "Zunta Calculator Options", 222, 147);
    CheckControls(IDD_OPTIONS, OptionsControls, ARRAYSIZE(OptionsControls), french);
    DestroyWindow(dialog);
}

TEST_P(Templates, NoMnemonicTwiceInADialog)
{
    bool french = GetParam() == LANGUAGE_ID_FRENCH;
    SelectLanguageTable(GetParam());
    HWND dialog = CreateFromTemplate(IDD_MAIN, GetParam());
    ASSERT_NE(dialog, nullptr);
    for (int pressed : { 0, IDC_PROCESS, IDC_PROCESS_ALL }) {
        // During a run the pressed button reads Cancel; the other one and the
        // list's editing buttons are disabled.
        std::map<int, const char *> captions = { { IDC_PROCESS, LanguageStrings[TEXT_PROCESS] },
                                                 { IDC_PROCESS_ALL, LanguageStrings[TEXT_PROCESS_ALL] } };
        std::set<int> disabled;
        if (pressed != 0) {
            captions[pressed] = LanguageStrings[TEXT_CANCEL];
            disabled = { IDC_CLEAR_ALL, IDC_MOVE_UP, IDC_MOVE_DOWN, pressed == IDC_PROCESS ? IDC_PROCESS_ALL : IDC_PROCESS };
        }
        for (const auto &taken : Mnemonics(dialog, captions, disabled)) {
            // The French templates have always given Alt+T to Process All and Always on top.
            bool known = french && taken.second == std::vector<int>{ IDC_PROCESS_ALL, IDC_ALWAYS_ON_TOP };
            EXPECT_TRUE(taken.second.size() == 1 || known)
                << "Alt+" << taken.first << " belongs to controls " << taken.second[0] << " and " << taken.second[1]
                << " of the main window, run button pressed: " << pressed;
        }
    }
    DestroyWindow(dialog);
    dialog = CreateFromTemplate(IDD_OPTIONS, GetParam());
    ASSERT_NE(dialog, nullptr);
    for (const auto &taken : Mnemonics(dialog, {}, {}))
        EXPECT_EQ(taken.second.size(), 1u) << "Alt+" << taken.first << " in the options dialog";
    DestroyWindow(dialog);
    SelectLanguageTable(LANGUAGE_ID_ENGLISH);
}

// The lines the program adds to the result box read whole without
// scrolling, at 96 and at 144 dpi.
TEST_P(Templates, AddedResultLinesFitTheResultBox)
{
    SelectLanguageTable(GetParam());
    HWND dialog = CreateFromTemplate(IDD_MAIN, GetParam());
    ASSERT_NE(dialog, nullptr);
    RECT box = {};
    SendMessageA(GetDlgItem(dialog, IDC_RESULT), EM_GETRECT, 0, (LPARAM)&box);
    char warning[256];
    snprintf(warning, sizeof warning, LanguageStrings[TEXT_HISTORY_WARNING_LINE], "2026-12-10T23:59:58");
    std::string digits;
    for (int i = 0; i < 4; i++)
        digits += "0123456789ABCDEF";
    std::string sha256 = std::string(ChecksumKinds[KIND_SHA256].Name) + " : " + digits;
    std::string expected = LanguageStrings[TEXT_RESULT_EXPECTED] + digits;
    for (const char *line : { (const char *)warning, sha256.c_str(), expected.c_str() }) {
        for (int scale : { 2, 3 })
            EXPECT_LE(TextWidth(dialog, line, scale), (box.right - box.left) * scale / 2)
                << "at " << 48 * scale << " dpi the result box cuts \"" << line << "\"";
    }
    DestroyWindow(dialog);
    SelectLanguageTable(LANGUAGE_ID_ENGLISH);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, Templates,
                         ::testing::Values((uint16_t)LANGUAGE_ID_ENGLISH, (uint16_t)LANGUAGE_ID_FRENCH),
                         [](const ::testing::TestParamInfo<uint16_t> &info) {
                             return std::string(info.param == LANGUAGE_ID_FRENCH ? "French" : "English");
                         });

TEST(Resources, IconsInBothSizesAndVersion)
{
    for (int id : { IDI_ZUNTA, IDI_MOVE_UP, IDI_MOVE_DOWN }) {
        for (int size : { 16, 32 }) {
            HICON icon = (HICON)LoadImageA(MainWnd.Instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size,
                                           size, 0);
            ASSERT_NE(icon, nullptr) << "icon " << id << " at " << size;
            ICONINFO info;
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP bitmap;
            GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
            EXPECT_EQ(bitmap.bmWidth, size);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(icon);
        }
    }

    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, data.data()));
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", (void **)&fixed, &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    char *text = nullptr;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\StringFileInfo\\040904E4\\FileDescription",
                               (void **)&text, &length));
    EXPECT_STREQ(text, "Generate CRC32 or MD5 for any file");
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\StringFileInfo\\040904E4\\ProductVersion",
                               (void **)&text, &length));
    EXPECT_STREQ(text, "1.0");
}
