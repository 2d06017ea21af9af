// The two interface languages. Texts are Windows-1252 bytes in the source;
// start-up converts them into the process code page.
#include "base/lang.h"

#include "base/texts.h"
#include "base/textutil.h"

#include <stdlib.h>
#include <string.h>

// The languages' names as the settings file holds them, in every code page.
static const char EnglishName[] = "English";
static const char FrenchName[] = "Fran\xE7" "ais";

const char *EnglishStrings[LANGUAGE_STRING_COUNT] = {
    EnglishName,
    "Status",
    "Files",
    "Size",
    "Add files to check",
    "(Drag&Drop allowed)",
    "All Files (*.*)\0*.*\0",
    "Select file(s) to check",
    "&Cancel",
    "Ready",
    "Disabled",
    "Done",
    "Error",
    "&Process",
    "Process A&ll",
    "Duration",
    "Move up",
    "Move down",
    "Select the folder containing files to check",
    "Do you want to add files which are in sub-folders ?",
    "Error opening file",
    "Error creating shortcut",
    "Error : environment variables UserProfile and windir don't exist",
    "Error : the directory %s doesn't exist",
};

const char *FrenchStrings[LANGUAGE_STRING_COUNT] = {
    FrenchName,
    "Statut",
    "Fichiers",
    "Taille",
    "Ajouter les fichiers \xE0 v\xE9rifier",
    "(Glisser/D\xE9poser possible)",
    "Tous fichiers (*.*)\0*.*\0",
    "S\xE9lectionner un ou plusieurs fichiers \xE0 v\xE9rifier",
    "&Annuler",
    "Pr\xEAt",
    "Inactif",
    "Fini",
    "Erreur",
    "&Calculer",
    "&Tout Calculer",
    "Dur\xE9" "e",
    "Monter",
    "Descendre",
    "S\xE9lectionner le dossier qui contient des fichiers \xE0 v\xE9rifier",
    "Ajouter aussi les fichiers se trouvant dans les sous-dossiers ?",
    "Erreur d'ouverture de fichier",
    "Erreur de cr\xE9" "ation du raccourci",
    "Erreur : les variables d'environnement UserProfile et windir n'existe pas",
    "Erreur : le repertoire %s n'existe pas",
};

const char *const *LanguageStrings = EnglishStrings;

const char *const *LanguageTable(uint16_t languageId)
{
    return languageId == LANGUAGE_ID_FRENCH ? FrenchStrings : EnglishStrings;
}

void SelectLanguageTable(uint16_t languageId)
{
    LanguageStrings = LanguageTable(languageId);
}

uint16_t LanguageFromLcid(uint32_t lcid)
{
    switch (lcid) {
    case 1036: // France
    case 2060: // Belgium
    case 3084: // Canada
    case 4108: // Switzerland
    case 5132: // Luxembourg
        return LANGUAGE_ID_FRENCH;
    default:
        return LANGUAGE_ID_ENGLISH;
    }
}

uint16_t LanguageFromSetting(const char *value, uint16_t current)
{
    if (value == nullptr || value[0] == '\0')
        return current;
    return AsciiEqualNoCase(value, FrenchName) ? LANGUAGE_ID_FRENCH : LANGUAGE_ID_ENGLISH;
}

const char *LanguageSettingName(const char *const *table)
{
    return table == FrenchStrings ? FrenchName : EnglishName;
}

uint16_t ResourceLanguage(uint16_t languageId)
{
    return languageId == LANGUAGE_ID_FRENCH ? 1036 : 1033;
}

const char *MissingLogFormat(uint16_t languageId)
{
    return languageId == LANGUAGE_ID_FRENCH ? "Erreur : Le fichier %s n'existe pas."
                                            : "Error : File %s doesn't exist.";
}

const char *UnitSuffix(uint16_t languageId, int unitStep)
{
    static const char *const english[] = { "", " KB", " MB", " GB" };
    static const char *const french[] = { "", " Ko", " Mo", " Go" };
    if (unitStep < 0 || unitStep > 3)
        return "";
    return languageId == LANGUAGE_ID_FRENCH ? french[unitStep] : english[unitStep];
}

// Converts one entry (each piece of a filter list, then its empty end) into
// out, or measures it when out is null. Returns the bytes it takes with its
// terminators, or -1.
static long ConvertEntry(const char *text, bool filter, TextConverter convert, void *context, char *out,
                         size_t size)
{
    size_t used = 0;
    do {
        int length = convert(text, out ? out + used : nullptr, out ? size - used : 0, context);
        if (length < 0 || (out != nullptr && (size_t)length >= size - used))
            return -1;
        used += (size_t)length + 1;
        text += strlen(text) + 1;
    } while (filter && text[0] != '\0');
    if (filter) {
        if (out != nullptr) {
            if (used >= size)
                return -1;
            out[used] = '\0';
        }
        used++;
    }
    return (long)used;
}

static bool IsFilter(const TextTable *table, int index)
{
    for (int i = 0; i < table->FilterCount; i++)
        if (table->Filters[i] == index)
            return true;
    return false;
}

// Measures every entry (block null) or converts it into block of size bytes.
// Returns the bytes used, or -1.
static long ConvertAll(const TextTable *tables, int count, TextConverter convert, void *context, char *block,
                       size_t size)
{
    size_t used = 0;
    for (int t = 0; t < count; t++) {
        for (int i = 0; i < tables[t].Count; i++) {
            long entry = ConvertEntry(tables[t].Texts[i], IsFilter(&tables[t], i), convert, context,
                                      block ? block + used : nullptr, block ? size - used : 0);
            if (entry < 0)
                return -1;
            used += (size_t)entry;
        }
    }
    return (long)used;
}

int ConvertTextTables(const TextTable *tables, int count, TextConverter convert, void *context, char **block)
{
    *block = nullptr;
    long size = ConvertAll(tables, count, convert, context, nullptr, 0);
    if (size <= 0)
        return size == 0 ? 0 : -1;
    char *converted = (char *)malloc((size_t)size);
    if (converted == nullptr)
        return -1;
    if (ConvertAll(tables, count, convert, context, converted, (size_t)size) != size) {
        free(converted);
        return -1;
    }
    // Every entry converted: the tables now point into the block, in order.
    const char *next = converted;
    for (int t = 0; t < count; t++) {
        for (int i = 0; i < tables[t].Count; i++) {
            tables[t].Texts[i] = next;
            bool filter = IsFilter(&tables[t], i);
            do
                next += strlen(next) + 1;
            while (filter && next[0] != '\0');
            if (filter)
                next++;
        }
    }
    *block = converted;
    return 0;
}

int ConvertLanguageTexts(TextConverter convert, void *context, char **block)
{
    // The entries that are filter lists; a new filter text is added here.
    static const int StringFilters[] = { STR_OPEN_FILTER };
    static const int MoreFilters[] = { MORE_SAVE_FILTER, MORE_VERIFY_FILTER, MORE_SAVE_FILTER_SHA256,
                                       MORE_VERIFY_FILTER_SHA };
    const TextTable tables[] = {
        { EnglishStrings, LANGUAGE_STRING_COUNT, StringFilters, (int)ARRAY_SIZE(StringFilters) },
        { FrenchStrings, LANGUAGE_STRING_COUNT, StringFilters, (int)ARRAY_SIZE(StringFilters) },
        { EnglishMoreTexts, MORE_TEXT_COUNT, MoreFilters, (int)ARRAY_SIZE(MoreFilters) },
        { FrenchMoreTexts, MORE_TEXT_COUNT, MoreFilters, (int)ARRAY_SIZE(MoreFilters) },
    };
    return ConvertTextTables(tables, (int)ARRAY_SIZE(tables), convert, context, block);
}
