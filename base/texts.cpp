// The program's texts in both languages. Texts are Windows-1252 bytes; a
// hexadecimal escape is ended by splitting the literal where a letter a-f
// follows it.
#include "base/texts.h"

#include "base/lang.h"
#include "base/textutil.h"

namespace {

struct TextRow {
    int Id;
    const char *English;
    const char *French;
};

constexpr TextRow Rows[] = {
    { TEXT_LANGUAGE_NAME, "English", "Fran\xE7" "ais" },
    { TEXT_COLUMN_STATUS, "Status", "Statut" },
    { TEXT_COLUMN_FILES, "Files", "Fichiers" },
    { TEXT_COLUMN_SIZE, "Size", "Taille" },
    { TEXT_HINT_ADD_FILES, "Add files to check", "Ajouter les fichiers \xE0 v\xE9rifier" },
    { TEXT_HINT_DRAG_DROP, "(Drag&Drop allowed)", "(Glisser/D\xE9poser possible)" },
    { TEXT_OPEN_FILTER, "All Files (*.*)\0*.*\0", "Tous fichiers (*.*)\0*.*\0" },
    { TEXT_OPEN_TITLE, "Select file(s) to check", "S\xE9lectionner un ou plusieurs fichiers \xE0 v\xE9rifier" },
    { TEXT_CANCEL, "&Cancel", "&Annuler" },
    { TEXT_READY, "Ready", "Pr\xEAt" },
    { TEXT_DISABLED, "Disabled", "Inactif" },
    { TEXT_DONE, "Done", "Fini" },
    { TEXT_ERROR, "Error", "Erreur" },
    { TEXT_PROCESS, "&Process", "&Calculer" },
    { TEXT_PROCESS_ALL, "Process A&ll", "&Tout Calculer" },
    { TEXT_DURATION, "Duration", "Dur\xE9" "e" },
    { TEXT_MOVE_UP, "Move up", "Monter" },
    { TEXT_MOVE_DOWN, "Move down", "Descendre" },
    { TEXT_BROWSE_TITLE, "Select the folder containing files to check",
      "S\xE9lectionner le dossier qui contient des fichiers \xE0 v\xE9rifier" },
    { TEXT_SUBFOLDER_QUESTION, "Do you want to add files which are in sub-folders ?",
      "Ajouter aussi les fichiers se trouvant dans les sous-dossiers ?" },
    { TEXT_OPEN_LOG_CAPTION, "Error opening file", "Erreur d'ouverture de fichier" },
    { TEXT_SHORTCUT_ERROR, "Error creating shortcut", "Erreur de cr\xE9" "ation du raccourci" },
    { TEXT_NO_SENDTO_VARIABLES, "Error : environment variables UserProfile and windir don't exist",
      "Erreur : les variables d'environnement UserProfile et windir n'existe pas" },
    { TEXT_NO_SENDTO_FOLDER, "Error : the directory %s doesn't exist", "Erreur : le repertoire %s n'existe pas" },
    { TEXT_MENU_COPY_CRC32, "Copy &CRC32", "Copier le &CRC32" },
    { TEXT_MENU_COPY_MD5, "Copy &MD5", "Copier le &MD5" },
    { TEXT_MENU_COPY_PATH, "Copy &path", "Copier le chem&in" },
    { TEXT_MENU_COPY_ROW, "Copy &row\tCtrl+C", "Copier la &ligne\tCtrl+C" },
    { TEXT_MENU_COPY_RESULTS, "Copy all r&esults\tCtrl+Shift+C", "Copier tous les &r\xE9sultats\tCtrl+Maj+C" },
    { TEXT_MENU_COMPARE, "C&ompare with clipboard...\tCtrl+V", "C&omparer avec le presse-papiers...\tCtrl+V" },
    { TEXT_MENU_SAVE, "&Save checksum file...\tCtrl+S",
      "&Enregistrer un fichier de sommes de contr\xF4le...\tCtrl+S" },
    { TEXT_MENU_VERIFY, "&Verify checksum file...\tCtrl+O",
      "&V\xE9rifier un fichier de sommes de contr\xF4le...\tCtrl+O" },
    { TEXT_MENU_COPY_SHA256, "Copy SH&A-256", "Copier le SH&A-256" },
    { TEXT_MENU_COPY_BLAKE3, "Copy &BLAKE3", "Copier le &BLAKE3" },
    { TEXT_MENU_OPEN_FOLDER, "Open containing &folder", "Ouvrir le &dossier du fichier" },
    { TEXT_MENU_HISTORY, "Check against &history\tCtrl+H", "Comparer avec l'&historique\tCtrl+H" },
    { TEXT_MENU_EXPORT, "E&xport list...\tCtrl+E", "E&xporter la liste...\tCtrl+E" },
    { TEXT_MENU_SHELL_VERIFY, "\"Verify with &Zunta\" in the shell's menu",
      "\xAB V\xE9rifier avec &Zunta \xBB dans le menu de l'Explorateur" },
    { TEXT_COMPARE_TITLE, "Compare with clipboard", "Comparer avec le presse-papiers" },
    { TEXT_COMPARE_MATCH, "MATCH", "CORRESPOND" },
    { TEXT_COMPARE_NO_MATCH, "DOES NOT MATCH", "NE CORRESPOND PAS" },
    { TEXT_COMPARE_EXPECTED, "Expected", "Attendu" },
    { TEXT_COMPARE_COMPUTED, "Computed", "Calcul\xE9" },
    { TEXT_COMPARE_NO_CHECKSUM,
      "The clipboard holds no checksum.\r\n"
      "Copy a CRC32 of 8 hexadecimal digits, an MD5 of 32, a SHA-1 of 40, a SHA-256 of 64 or a SHA-512 of 128: "
      "alone, as a line of a checksum file (.sfv, .md5, .sha1, .sha256, .sha512), or the result box's text.",
      "Le presse-papiers ne contient aucune somme de contr\xF4le.\r\n"
      "Copiez un CRC32 de 8 chiffres hexad\xE9" "cimaux, un MD5 de 32, un SHA-1 de 40, un SHA-256 de 64 ou un "
      "SHA-512 de 128 : seul, sous forme de ligne d'un fichier de sommes de contr\xF4le (.sfv, .md5, .sha1, "
      ".sha256, .sha512), ou le texte de la zone de r\xE9sultat." },
    { TEXT_COMPARE_CANCELLED, "The comparison was cancelled: the checksum was not computed.",
      "La comparaison a \xE9t\xE9 annul\xE9" "e : la somme de contr\xF4le n'a pas \xE9t\xE9 calcul\xE9" "e." },
    { TEXT_COMPARE_UNREADABLE, "The file could not be read:", "Le fichier n'a pas pu \xEAtre lu :" },
    { TEXT_SAVE_TITLE, "Save checksum file", "Enregistrer un fichier de sommes de contr\xF4le" },
    { TEXT_SAVE_FILTER, "SFV (CRC32)\0*.sfv\0MD5\0*.md5\0", "SFV (CRC32)\0*.sfv\0MD5\0*.md5\0" },
    { TEXT_SAVE_REPLACE, "%s already exists.\r\nDo you want to replace it?",
      "%s existe d\xE9j\xE0.\r\nVoulez-vous le remplacer ?" },
    { TEXT_SAVE_NOT_WRITTEN, "The file %s could not be written.", "Le fichier %s n'a pas pu \xEAtre \xE9" "crit." },
    { TEXT_VERIFY_TITLE, "Verify checksum file", "V\xE9rifier un fichier de sommes de contr\xF4le" },
    { TEXT_VERIFY_FILTER,
      "Checksum files (*.sfv, *.md5, *.md5sum, *.txt)\0*.sfv;*.md5;*.md5sum;*.txt\0All files (*.*)\0*.*\0",
      "Fichiers de sommes de contr\xF4le (*.sfv, *.md5, *.md5sum, *.txt)\0*.sfv;*.md5;*.md5sum;*.txt\0"
      "Tous fichiers (*.*)\0*.*\0" },
    { TEXT_VERIFY_SUMMARY_TITLE, "Verification", "V\xE9rification" },
    { TEXT_VERIFY_UNREADABLE, "The file %s could not be read.", "Le fichier %s n'a pas pu \xEAtre lu." },
    { TEXT_RESULT_EXPECTED, "Expected : ", "Attendu : " },
    { TEXT_SAVED_ONE, "%d checksum written to %s", "%d somme de contr\xF4le \xE9" "crite dans %s" },
    { TEXT_SAVED_MANY, "%d checksums written to %s", "%d sommes de contr\xF4le \xE9" "crites dans %s" },
    { TEXT_LEFT_OUT_ONE, ", %d without %s left out", ", %d sans %s laiss\xE9 de c\xF4t\xE9" },
    { TEXT_LEFT_OUT_MANY, ", %d without %s left out", ", %d sans %s laiss\xE9s de c\xF4t\xE9" },
    { TEXT_KIND_CRC32, "a CRC32", "CRC32" },
    { TEXT_KIND_MD5, "an MD5", "MD5" },
    { TEXT_NOTHING_SAVED_EMPTY, "No file was written: the list holds no file.",
      "Aucun fichier n'a \xE9t\xE9 \xE9" "crit : la liste ne contient aucun fichier." },
    { TEXT_NOTHING_SAVED_ONE_FILE,
      "No file was written: the file in the list does not have %s yet. Process it first.",
      "Aucun fichier n'a \xE9t\xE9 \xE9" "crit : le fichier de la liste n'a pas encore de %s. "
      "Calculez-le d'abord." },
    { TEXT_NOTHING_SAVED_FILES, "No file was written: none of the %d files has %s yet. Process them first.",
      "Aucun fichier n'a \xE9t\xE9 \xE9" "crit : aucun des %d fichiers n'a encore de %s. "
      "Calculez-les d'abord." },
    { TEXT_CANCELLED_ONE, "Verification cancelled after %d of %d file.",
      "V\xE9rification annul\xE9" "e apr\xE8s %d sur %d fichier." },
    { TEXT_CANCELLED_MANY, "Verification cancelled after %d of %d files.",
      "V\xE9rification annul\xE9" "e apr\xE8s %d sur %d fichiers." },
    { TEXT_VERIFIED_ONE, "Verified %d file: ", "%d fichier v\xE9rifi\xE9 : " },
    { TEXT_VERIFIED_MANY, "Verified %d files: ", "%d fichiers v\xE9rifi\xE9s : " },
    { TEXT_VERIFIED_OK, "%d OK, ", "%d OK, " },
    { TEXT_VERIFIED_FAILED, "%d FAILED, ", "%d en \xC9" "CHEC, " },
    { TEXT_VERIFIED_MISSING_ONE, "%d missing", "%d manquant" },
    { TEXT_VERIFIED_MISSING_MANY, "%d missing", "%d manquants" },
    { TEXT_VERIFIED_MATCHED_AS_ONE, "%d file matched as %s", "%d fichier correspond en %s" },
    { TEXT_VERIFIED_MATCHED_AS_MANY, "%d files matched as %s", "%d fichiers correspondent en %s" },
    { TEXT_FAILED_HEADING, "FAILED:", "En \xC9" "CHEC :" },
    { TEXT_MISSING_HEADING, "Missing:", "Manquants :" },
    { TEXT_OTHER_NAMES_ONE, "and %d more", "et %d autre" },
    { TEXT_OTHER_NAMES_MANY, "and %d more", "et %d autres" },
    { TEXT_NOT_UNDERSTOOD_ONE, "%d line not understood (line %d)", "%d ligne non reconnue (ligne %d)" },
    { TEXT_NOT_UNDERSTOOD_MANY, "%d lines not understood (first: line %d)",
      "%d lignes non reconnues (premi\xE8re : ligne %d)" },
    { TEXT_NOT_OPENED_HEADING, "Not opened, outside the checksum file's folder: %d",
      "Non ouverts, hors du dossier du fichier de sommes de contr\xF4le : %d" },
    { TEXT_VERIFY_ABSOLUTE_ONE,
      "This checksum file lists %d file by absolute path, outside its folder.\r\nVerify it too?",
      "Ce fichier de sommes de contr\xF4le d\xE9signe %d fichier par son chemin absolu, hors de son dossier."
      "\r\nLe v\xE9rifier aussi ?" },
    { TEXT_VERIFY_ABSOLUTE_MANY,
      "This checksum file lists %d files by absolute path, outside its folder.\r\nVerify them too?",
      "Ce fichier de sommes de contr\xF4le d\xE9signe %d fichiers par leur chemin absolu, hors de son dossier."
      "\r\nLes v\xE9rifier aussi ?" },
    { TEXT_VERIFY_TOO_LARGE, "The file %s is too large for a checksum file (more than 256 MB).",
      "Le fichier %s est trop volumineux pour un fichier de sommes de contr\xF4le (plus de 256 Mo)." },
    { TEXT_KIND_SHA256, "a SHA-256", "SHA-256" },
    { TEXT_KIND_BLAKE3, "a BLAKE3", "BLAKE3" },
    { TEXT_SAVE_FILTER_SHA256, "SFV (CRC32)\0*.sfv\0MD5\0*.md5\0SHA-256\0*.sha256\0BLAKE3 (b3sum)\0*.b3\0",
      "SFV (CRC32)\0*.sfv\0MD5\0*.md5\0SHA-256\0*.sha256\0BLAKE3 (b3sum)\0*.b3\0" },
    { TEXT_VERIFY_FILTER_SHA,
      "Checksum files (*.sfv, *.md5, *.sha1, *.sha256, *.sha512, *.b3, *.xxh3, *.xxh128, *.xxh64, *SUMS, *.txt)\0"
      "*.sfv;*.md5;*.md5sum;*.sha1;*.sha1sum;*.sha256;*.sha256sum;*.sha512;*.sha512sum;*.b3;*.xxh3;*.xxh128;*.xxh64;"
      "*SUMS;*.txt\0"
      "All files (*.*)\0*.*\0",
      "Fichiers de sommes de contr\xF4le (*.sfv, *.md5, *.sha1, *.sha256, *.sha512, *.b3, *.xxh3, *.xxh128, *.xxh64, "
      "*SUMS, *.txt)\0"
      "*.sfv;*.md5;*.md5sum;*.sha1;*.sha1sum;*.sha256;*.sha256sum;*.sha512;*.sha512sum;*.b3;*.xxh3;*.xxh128;*.xxh64;"
      "*SUMS;*.txt\0"
      "Tous fichiers (*.*)\0*.*\0" },
    { TEXT_VERIFY_NO_MEMORY,
      "There is not enough memory to verify this checksum file. The list is as it was.",
      "La m\xE9moire manque pour v\xE9rifier ce fichier de sommes de contr\xF4le. La liste est rest\xE9"
      "e telle quelle." },
    { TEXT_HANDOFF_FAILED,
      "The files could not be handed over to the running Zunta: no memory it can read was available.",
      "Les fichiers n'ont pas pu \xEAtre transmis \xE0 Zunta d\xE9j\xE0 ouvert : aucune m\xE9moire lisible par lui "
      "n'\xE9tait disponible." },
    { TEXT_SAVE_CANCELLED, "%s was not written: computing the checksums it holds was cancelled.",
      "%s n'a pas \xE9t\xE9 \xE9" "crit : le calcul des sommes qu'il contient a \xE9t\xE9 annul\xE9." },
    { TEXT_HISTORY_WARNING_LINE, "Warning : contents changed, same size and time as on %s",
      "Attention : contenu modifi\xE9, m\xEAme taille et m\xEAme heure que le %s" },
    { TEXT_HISTORY_WARNING_TITLE, "Contents changed without a write", "Contenu modifi\xE9 sans \xE9" "criture" },
    { TEXT_HISTORY_WARNING_TEXT_ONE,
      "The contents of this file changed although its size and last-write time are what they were when "
      "first recorded. This may mean that a disk, memory or cable damaged it, or that a program put the old "
      "time back.",
      "Le contenu de ce fichier a chang\xE9 bien que sa taille et son heure de derni\xE8re modification "
      "soient celles de son premier enregistrement. Un disque, la m\xE9moire ou un c\xE2" "ble l'a "
      "peut-\xEAtre endommag\xE9, ou un programme a remis l'ancienne heure." },
    { TEXT_HISTORY_WARNING_TEXT_MANY,
      "The contents of these files changed although their size and last-write time are what they were when "
      "first recorded. This may mean that a disk, memory or cable damaged them, or that a program put the old "
      "time back.",
      "Le contenu de ces fichiers a chang\xE9 bien que leur taille et leur heure de derni\xE8re modification "
      "soient celles de leur premier enregistrement. Un disque, la m\xE9moire ou un c\xE2" "ble les a "
      "peut-\xEAtre endommag\xE9s, ou un programme a remis l'ancienne heure." },
    { TEXT_HISTORY_CHECK_TITLE, "Check against history", "Comparaison avec l'historique" },
    { TEXT_HISTORY_CHECKED_ONE, "Checked %d file against its history: ",
      "%d fichier compar\xE9 \xE0 son historique : " },
    { TEXT_HISTORY_CHECKED_MANY, "Checked %d files against their history: ",
      "%d fichiers compar\xE9s \xE0 leur historique : " },
    { TEXT_HISTORY_UNCHANGED_ONE, "%d unchanged", "%d inchang\xE9" },
    { TEXT_HISTORY_UNCHANGED_MANY, "%d unchanged", "%d inchang\xE9s" },
    { TEXT_HISTORY_CHANGED_ONE, ", %d changed without a write", ", %d modifi\xE9 sans \xE9" "criture" },
    { TEXT_HISTORY_CHANGED_MANY, ", %d changed without a write", ", %d modifi\xE9s sans \xE9" "criture" },
    { TEXT_HISTORY_ABSENT_ONE, ", %d not in the history", ", %d absent de l'historique" },
    { TEXT_HISTORY_ABSENT_MANY, ", %d not in the history", ", %d absents de l'historique" },
    { TEXT_HISTORY_UNREADABLE_ONE, ", %d could not be read", ", %d illisible" },
    { TEXT_HISTORY_UNREADABLE_MANY, ", %d could not be read", ", %d illisibles" },
    { TEXT_HISTORY_CANCELLED, "The check was cancelled: these counts are of the files checked before.",
      "La comparaison a \xE9t\xE9 annul\xE9" "e : ces nombres sont ceux des fichiers compar\xE9s avant." },
    { TEXT_HISTORY_OFF,
      "The history could not be loaded: memory ran out. It is off for this session.",
      "L'historique n'a pas pu \xEAtre charg\xE9 : la m\xE9moire manque. "
      "Il est d\xE9sactiv\xE9 pour cette session." },
    { TEXT_HISTORY_CHANGED_HEADING, "Changed without a write:", "Modifi\xE9s sans \xE9" "criture :" },
    { TEXT_UNSPELLABLE_TITLE, "Files not added", "Fichiers non ajout\xE9s" },
    { TEXT_UNSPELLABLE_ONE,
      "%d file was not added: its name cannot be written in this system's code page.",
      "%d fichier n'a pas \xE9t\xE9 ajout\xE9 : son nom ne peut pas s'\xE9"
      "crire dans la page de code de ce syst\xE8me." },
    { TEXT_UNSPELLABLE_MANY,
      "%d files were not added: their names cannot be written in this system's code page.",
      "%d fichiers n'ont pas \xE9t\xE9 ajout\xE9s : leurs noms ne peuvent pas s'\xE9"
      "crire dans la page de code de ce syst\xE8me." },
    { TEXT_VERIFY_TOO_MANY,
      "The checksum file %s lists too many files to be verified. The list is as it was.",
      "Le fichier de sommes de contr\xF4le %s d\xE9signe trop de fichiers pour \xEAtre v\xE9rifi\xE9. La liste est "
      "rest\xE9" "e telle quelle." },
    { TEXT_MISSING_LOG, "Error : File %s doesn't exist.", "Erreur : Le fichier %s n'existe pas." },
    { TEXT_UNIT_KB, " KB", " Ko" },
    { TEXT_UNIT_MB, " MB", " Mo" },
    { TEXT_UNIT_GB, " GB", " Go" },
    { TEXT_COLUMN_CHECKSUMS, "CRC - MD5", "CRC - MD5" },
    { TEXT_DURATION_FORMAT, "%s : %.3f sec", "%s : %.3f sec" },
    { TEXT_RESULT_CRC_MD5, "%s\r\nCRC : %s\tMD5 : %s", "%s\r\nCRC : %s\tMD5 : %s" },
    { TEXT_RESULT_CRC, "%s\r\nCRC : %s", "%s\r\nCRC : %s" },
    { TEXT_RESULT_MD5, "%s\r\nMD5 : %s", "%s\r\nMD5 : %s" },
    { TEXT_HANDOFF_REFUSED,
      "The running Zunta is an earlier version that cannot take paths this long. These files were not handed "
      "over:",
      "Zunta d\xE9j\xE0 ouvert est une version ant\xE9rieure qui ne prend pas des chemins aussi longs. Ces fichiers "
      "ne lui ont pas \xE9t\xE9 transmis :" },
    { TEXT_EXPORT_TITLE, "Export list", "Exporter la liste" },
    { TEXT_EXPORT_FILTER, "CSV (*.csv)\0*.csv\0", "CSV (*.csv)\0*.csv\0" },
    { TEXT_EXPORT_HEADER,
      "Name,Folder,Size (bytes),Last write,Status,CRC32,MD5,SHA-1,SHA-256,SHA-512,BLAKE3,XXH3,XXH128,XXH64",
      "Nom,Dossier,Taille (octets),Derni\xE8re modification,Statut,CRC32,MD5,SHA-1,SHA-256,SHA-512,BLAKE3,XXH3,"
      "XXH128,XXH64" },
    { TEXT_EXPORTED_ONE, "%d row written to %s", "%d ligne \xE9" "crite dans %s" },
    { TEXT_EXPORTED_MANY, "%d rows written to %s", "%d lignes \xE9" "crites dans %s" },
    { TEXT_SHELL_VERB, "Verify with Zunta", "V\xE9rifier avec Zunta" },
    { TEXT_SHELL_TYPE, "Checksum file", "Fichier de sommes de contr\xF4le" },
    { TEXT_SHELL_ELSEWHERE, " (for another Zunta.exe)", " (pour un autre Zunta.exe)" },
    { TEXT_SHELL_FAILED, "The shell's commands could not be changed in the registry.",
      "Les commandes de l'Explorateur n'ont pas pu \xEAtre modifi\xE9" "es dans le registre." },
};

constexpr bool EveryRowAtItsId()
{
    for (int i = 0; i < (int)ARRAY_SIZE(Rows); i++)
        if (Rows[i].Id != i)
            return false;
    return ARRAY_SIZE(Rows) == TEXT_COUNT;
}
static_assert(EveryRowAtItsId(), "each text's row sits at its id");

// One language's texts, addressed by id.
struct TextColumn {
    const char *Texts[TEXT_COUNT];
};

constexpr TextColumn ColumnOf(bool french)
{
    TextColumn column{};
    for (int i = 0; i < TEXT_COUNT; i++)
        column.Texts[i] = french ? Rows[i].French : Rows[i].English;
    return column;
}

// Filled before any code runs; ConvertLanguageTexts points them elsewhere.
TextColumn EnglishColumn = ColumnOf(false);
TextColumn FrenchColumn = ColumnOf(true);

} // namespace

const char **const EnglishStrings = EnglishColumn.Texts;
const char **const FrenchStrings = FrenchColumn.Texts;
const char *const *LanguageStrings = EnglishColumn.Texts;

const char *SourceText(uint16_t languageId, int id)
{
    if (id < 0 || id >= TEXT_COUNT)
        return "";
    return languageId == LANGUAGE_ID_FRENCH ? Rows[id].French : Rows[id].English;
}

const char *LanguageText(uint16_t languageId, int id)
{
    if (id < 0 || id >= TEXT_COUNT)
        return "";
    return LanguageTable(languageId)[id];
}

const char *CountText(int oneId, int32_t count)
{
    bool singular = LanguageStrings == FrenchStrings ? (count == 0 || count == 1) : count == 1;
    return LanguageStrings[singular ? oneId : oneId + 1];
}

const char *UnitSuffix(uint16_t languageId, int unitStep)
{
    if (unitStep < 1 || unitStep > 3)
        return "";
    return LanguageText(languageId, TEXT_UNIT_KB + unitStep - 1);
}
