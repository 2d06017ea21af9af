// The dialog templates of a language, from the program's resources.
#ifndef ZUNTA_TEMPLATES_H
#define ZUNTA_TEMPLATES_H

#include <windows.h>
#include <stdint.h>

// Template id in the resource language of languageId (1036 for French, else
// 1033), or null when it cannot be found or loaded.
const DLGTEMPLATE *LoadDialogTemplate(HINSTANCE instance, int id, uint16_t languageId);

#endif
