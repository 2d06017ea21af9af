// The two interface languages. Texts are Windows-1252 bytes.
#include "app/lang.h"

#include "app/textutil.h"

const char *const EnglishStrings[LANGUAGE_STRING_COUNT] = {
    "English",
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

const char *const FrenchStrings[LANGUAGE_STRING_COUNT] = {
    "Fran\xE7" "ais",
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
    return AsciiEqualNoCase(value, FrenchStrings[STR_LANGUAGE_NAME]) ? LANGUAGE_ID_FRENCH
                                                                    : LANGUAGE_ID_ENGLISH;
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
