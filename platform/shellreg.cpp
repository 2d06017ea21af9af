// The user's classes in the registry, through the wide calls: a program
// path in any script reaches the registry as it is.
#include "platform/shellreg.h"

#include "base/textutil.h"
#include "platform/codepage.h"

#include <windows.h>
#include <shlwapi.h>
#include <stdlib.h>
#include <wchar.h>

static const char UserClasses[] = "Software\\Classes\\";

// A key below the user's classes (or, merged, below the classes root) and
// a value name, in UTF-16; false when memory ran out.
struct WideNames {
    WCHAR *Key;
    WCHAR *Name;    // null for the default value
};

static bool MakeNames(const char *key, const char *name, bool merged, WideNames *names)
{
    char *full = JoinTexts(merged ? "" : UserClasses, key, "");
    names->Key = full != nullptr ? WideText(full) : nullptr;
    names->Name = name != nullptr ? WideText(name) : nullptr;
    free(full);
    return names->Key != nullptr && (name == nullptr || names->Name != nullptr);
}

static void FreeNames(WideNames *names)
{
    free(names->Key);
    free(names->Name);
}

static char *ReadText(const char *key, const char *name, bool merged)
{
    WideNames names;
    HKEY opened = nullptr;
    char *text = nullptr;
    if (MakeNames(key, name, merged, &names) &&
        RegOpenKeyExW(merged ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER, names.Key, 0, KEY_QUERY_VALUE, &opened) ==
            ERROR_SUCCESS) {
        DWORD type = 0, bytes = 0;
        WCHAR *value = nullptr;
        if (RegQueryValueExW(opened, names.Name, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
            type == REG_SZ)
            value = (WCHAR *)calloc(bytes / sizeof(WCHAR) + 1, sizeof(WCHAR));
        // The value may lack its terminator: the block has one more unit.
        if (value != nullptr &&
            RegQueryValueExW(opened, names.Name, nullptr, &type, (BYTE *)value, &bytes) == ERROR_SUCCESS)
            text = NarrowText(value);
        free(value);
        RegCloseKey(opened);
    }
    FreeNames(&names);
    return text;
}

static int WriteText(const char *key, const char *name, const char *text)
{
    WideNames names;
    WCHAR *value = WideText(text);
    HKEY created = nullptr;
    int result = -1;
    if (MakeNames(key, name, false, &names) && value != nullptr &&
        RegCreateKeyExW(HKEY_CURRENT_USER, names.Key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created, nullptr) ==
            ERROR_SUCCESS) {
        DWORD bytes = (DWORD)((wcslen(value) + 1) * sizeof(WCHAR));
        result = RegSetValueExW(created, names.Name, 0, REG_SZ, (const BYTE *)value, bytes) == ERROR_SUCCESS ? 0 : -1;
        RegCloseKey(created);
    }
    FreeNames(&names);
    free(value);
    return result;
}

// The keys above key that the removal left empty go too, up to the classes.
static void DeleteEmptyParents(WCHAR *key)
{
    const size_t classes = sizeof UserClasses - 2;     // without its last separator
    for (WCHAR *separator = wcsrchr(key, L'\\'); separator != nullptr && (size_t)(separator - key) > classes;
         separator = wcsrchr(key, L'\\')) {
        *separator = L'\0';
        if (SHDeleteEmptyKeyW(HKEY_CURRENT_USER, key) != ERROR_SUCCESS)
            break;
    }
}

static int DeleteKey(const char *key)
{
    WideNames names;
    int result = -1;
    if (MakeNames(key, nullptr, false, &names)) {
        LSTATUS status = SHDeleteKeyW(HKEY_CURRENT_USER, names.Key);
        result = status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? 0 : -1;
        if (status == ERROR_SUCCESS)
            DeleteEmptyParents(names.Key);
    }
    FreeNames(&names);
    return result;
}

static int DeleteValue(const char *key, const char *name)
{
    WideNames names;
    HKEY opened = nullptr;
    int result = -1;
    if (MakeNames(key, name, false, &names)) {
        LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, names.Key, 0, KEY_SET_VALUE, &opened);
        if (status == ERROR_SUCCESS) {
            status = RegDeleteValueW(opened, names.Name);
            RegCloseKey(opened);
        }
        result = status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? 0 : -1;
        // The key itself too, when that left it empty.
        if (status == ERROR_SUCCESS && SHDeleteEmptyKeyW(HKEY_CURRENT_USER, names.Key) == ERROR_SUCCESS)
            DeleteEmptyParents(names.Key);
    }
    FreeNames(&names);
    return result;
}

const ShellRegistry UserClassesRegistry = { ReadText, WriteText, DeleteKey, DeleteValue };
