// The dialog templates of a language, from the program's resources.
#include "platform/templates.h"

#include "base/lang.h"

const DLGTEMPLATE *LoadDialogTemplate(HINSTANCE instance, int id, uint16_t languageId)
{
    WORD language = ResourceLanguage(languageId);
    HRSRC found = FindResourceExA(instance, (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(id), language);
    if (found == nullptr)
        return nullptr;
    HGLOBAL loaded = LoadResource(instance, found);
    if (loaded == nullptr)
        return nullptr;
    return (const DLGTEMPLATE *)LockResource(loaded);
}
