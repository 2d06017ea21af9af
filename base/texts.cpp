// The texts of the context menu, the comparison and the checksum files, in
// both languages. Texts are Windows-1252 bytes; a hexadecimal escape is ended
// by splitting the literal where a letter a-f follows it.
#include "base/texts.h"

#include "base/lang.h"

const char *EnglishMoreTexts[MORE_TEXT_COUNT] = {
    "Copy &CRC32",
    "Copy &MD5",
    "Copy &path",
    "Copy &row\tCtrl+C",
    "Copy all r&esults\tCtrl+Shift+C",
    "C&ompare with clipboard...\tCtrl+V",
    "&Save checksum file...\tCtrl+S",
    "&Verify checksum file...\tCtrl+O",
    "Open containing &folder",

    "Compare with clipboard",
    "MATCH",
    "DOES NOT MATCH",
    "Expected",
    "Computed",
    ("The clipboard holds no checksum.\r\n"
     "Copy a CRC32 of 8 hexadecimal digits or an MD5 of 32, alone or as a line of an .sfv or .md5 file."),
    "The comparison was cancelled: the checksum was not computed.",
    "The file could not be read:",

    "Save checksum file",
    "SFV (CRC32)\0*.sfv\0MD5\0*.md5\0",
    "%s already exists.\r\nDo you want to replace it?",
    "The file %s could not be written.",

    "Verify checksum file",
    "Checksum files (*.sfv, *.md5, *.md5sum, *.txt)\0*.sfv;*.md5;*.md5sum;*.txt\0All files (*.*)\0*.*\0",
    "Verification",
    "The file %s could not be read.",
    "Expected : ",

    "%d file written",
    "%d files written",
    ", %d without %s left out",
    ", %d without %s left out",
    "a CRC32",
    "an MD5",
    "No file was written: the list holds no file.",
    "No file was written: the file in the list does not have %s yet. Process it first.",
    "No file was written: none of the %d files has %s yet. Process them first.",

    "Verification cancelled after %d of %d file.",
    "Verification cancelled after %d of %d files.",
    "Verified %d file: ",
    "Verified %d files: ",
    "%d OK, ",
    "%d FAILED, ",
    "%d missing",
    "%d missing",
    "FAILED:",
    "Missing:",
    "and %d more",
    "and %d more",
    "%d line not understood (line %d)",
    "%d lines not understood (first: line %d)",

    "Not opened, outside the checksum file's folder: %d",
    "This checksum file lists %d file by absolute path, outside its folder.\r\nVerify it too?",
    "This checksum file lists %d files by absolute path, outside its folder.\r\nVerify them too?",
    "The file %s is too large for a checksum file (more than 256 MB).",
    "a SHA-256",
    "SFV (CRC32)\0*.sfv\0MD5\0*.md5\0SHA-256\0*.sha256\0",
    "Checksum files (*.sfv, *.md5, *.sha1, *.sha256, *.sha512, *SUMS, *.txt)\0"
    "*.sfv;*.md5;*.md5sum;*.sha1;*.sha1sum;*.sha256;*.sha256sum;*.sha512;*.sha512sum;*SUMS;*.txt\0"
    "All files (*.*)\0*.*\0",
    "There is not enough memory to verify this checksum file. The list is as it was.",
    "The files could not be handed over to the running Zunta: no memory it can read was available.",
    "Copy S&HA-256",
    "%s was not written: computing the SHA-256 was cancelled.",
    "Check against &history\tCtrl+H",
    "Warning : contents changed, same size and time as on %s",
    "Contents changed without a write",
    ("The contents of these files changed although their size and last-write time are what they were when "
     "first recorded. This may mean that a disk, memory or cable damaged them, or that a program put the old "
     "time back."),
    "Check against history",
    "Checked %d file against its history: %d unchanged, %d changed without a write, %d not in the history",
    "Checked %d files against their history: %d unchanged, %d changed without a write, %d not in the history",
    ", %d could not be read",
    "The check was cancelled: these counts are of the files checked before.",
    "The history could not be loaded: memory ran out. It is off for this session.",
    "Changed without a write:",
    "Files not added",
    "%d file was not added: its name cannot be written in this system's code page.",
    "%d files were not added: their names cannot be written in this system's code page.",
    "The checksum file %s lists too many files to be verified. The list is as it was.",
};

const char *FrenchMoreTexts[MORE_TEXT_COUNT] = {
    "Copier le &CRC32",
    "Copier le &MD5",
    "Copier le c&hemin",
    "Copier la &ligne\tCtrl+C",
    "Copier tous les &r\xE9sultats\tCtrl+Maj+C",
    "C&omparer avec le presse-papiers...\tCtrl+V",
    "&Enregistrer un fichier de sommes de contr\xF4le...\tCtrl+S",
    "&V\xE9rifier un fichier de sommes de contr\xF4le...\tCtrl+O",
    "Ouvrir le &dossier du fichier",

    "Comparer avec le presse-papiers",
    "CORRESPOND",
    "NE CORRESPOND PAS",
    "Attendu",
    "Calcul\xE9",
    ("Le presse-papiers ne contient aucune somme de contr\xF4le.\r\n"
     "Copiez un CRC32 de 8 chiffres hexad\xE9" "cimaux ou un MD5 de 32, seul ou sous forme de ligne "
     "d'un fichier .sfv ou .md5."),
    "La comparaison a \xE9t\xE9 annul\xE9" "e : la somme de contr\xF4le n'a pas \xE9t\xE9 calcul\xE9" "e.",
    "Le fichier n'a pas pu \xEAtre lu :",

    "Enregistrer un fichier de sommes de contr\xF4le",
    "SFV (CRC32)\0*.sfv\0MD5\0*.md5\0",
    "%s existe d\xE9j\xE0.\r\nVoulez-vous le remplacer ?",
    "Le fichier %s n'a pas pu \xEAtre \xE9" "crit.",

    "V\xE9rifier un fichier de sommes de contr\xF4le",
    "Fichiers de sommes de contr\xF4le (*.sfv, *.md5, *.md5sum, *.txt)\0*.sfv;*.md5;*.md5sum;*.txt\0"
    "Tous fichiers (*.*)\0*.*\0",
    "V\xE9rification",
    "Le fichier %s n'a pas pu \xEAtre lu.",
    "Attendu : ",

    "%d fichier \xE9" "crit",
    "%d fichiers \xE9" "crits",
    ", %d sans %s laiss\xE9 de c\xF4t\xE9",
    ", %d sans %s laiss\xE9s de c\xF4t\xE9",
    "CRC32",
    "MD5",
    "Aucun fichier n'a \xE9t\xE9 \xE9" "crit : la liste ne contient aucun fichier.",
    "Aucun fichier n'a \xE9t\xE9 \xE9" "crit : le fichier de la liste n'a pas encore de %s. "
    "Calculez-le d'abord.",
    "Aucun fichier n'a \xE9t\xE9 \xE9" "crit : aucun des %d fichiers n'a encore de %s. "
    "Calculez-les d'abord.",

    "V\xE9rification annul\xE9" "e apr\xE8s %d sur %d fichier.",
    "V\xE9rification annul\xE9" "e apr\xE8s %d sur %d fichiers.",
    "%d fichier v\xE9rifi\xE9 : ",
    "%d fichiers v\xE9rifi\xE9s : ",
    "%d OK, ",
    "%d en \xC9" "CHEC, ",
    "%d manquant",
    "%d manquants",
    "En \xC9" "CHEC :",
    "Manquants :",
    "et %d autre",
    "et %d autres",
    "%d ligne non reconnue (ligne %d)",
    "%d lignes non reconnues (premi\xE8re : ligne %d)",

    "Non ouverts, hors du dossier du fichier de sommes de contr\xF4le : %d",
    "Ce fichier de sommes de contr\xF4le d\xE9signe %d fichier par son chemin absolu, hors de son dossier."
    "\r\nLe v\xE9rifier aussi ?",
    "Ce fichier de sommes de contr\xF4le d\xE9signe %d fichiers par leur chemin absolu, hors de son dossier."
    "\r\nLes v\xE9rifier aussi ?",
    "Le fichier %s est trop volumineux pour un fichier de sommes de contr\xF4le (plus de 256 Mo).",
    "SHA-256",
    "SFV (CRC32)\0*.sfv\0MD5\0*.md5\0SHA-256\0*.sha256\0",
    "Fichiers de sommes de contr\xF4le (*.sfv, *.md5, *.sha1, *.sha256, *.sha512, *SUMS, *.txt)\0"
    "*.sfv;*.md5;*.md5sum;*.sha1;*.sha1sum;*.sha256;*.sha256sum;*.sha512;*.sha512sum;*SUMS;*.txt\0"
    "Tous fichiers (*.*)\0*.*\0",
    "La m\xE9moire manque pour v\xE9rifier ce fichier de sommes de contr\xF4le. La liste est rest\xE9" "e telle quelle.",
    "Les fichiers n'ont pas pu \xEAtre transmis \xE0 Zunta d\xE9j\xE0 ouvert : aucune m\xE9moire lisible par lui n'\xE9tait disponible.",
    "Copier le S&HA-256",
    "%s n'a pas \xE9t\xE9 \xE9" "crit : le calcul du SHA-256 a \xE9t\xE9 annul\xE9.",
    "Comparer avec l'&historique\tCtrl+H",
    "Attention : contenu modifi\xE9, m\xEAme taille et m\xEAme heure que le %s",
    "Contenu modifi\xE9 sans \xE9" "criture",
    ("Le contenu de ces fichiers a chang\xE9 bien que leur taille et leur heure de derni\xE8re modification "
     "soient celles de leur premier enregistrement. Un disque, la m\xE9moire ou un c\xE2" "ble les a "
     "peut-\xEAtre endommag\xE9s, ou un programme a remis l'ancienne heure."),
    "Comparaison avec l'historique",
    "%d fichier compar\xE9 \xE0 son historique : %d inchang\xE9, %d modifi\xE9 sans \xE9" "criture, "
    "%d absent de l'historique",
    "%d fichiers compar\xE9s \xE0 leur historique : %d inchang\xE9s, %d modifi\xE9s sans \xE9" "criture, "
    "%d absents de l'historique",
    ", %d illisibles",
    "La comparaison a \xE9t\xE9 annul\xE9" "e : ces nombres sont ceux des fichiers compar\xE9s avant.",
    "L'historique n'a pas pu \xEAtre charg\xE9 : la m\xE9moire manque. Il est d\xE9sactiv\xE9 pour cette session.",
    "Modifi\xE9s sans \xE9" "criture :",
    "Fichiers non ajout\xE9s",
    "%d fichier n'a pas \xE9t\xE9 ajout\xE9 : son nom ne peut pas s'\xE9" "crire dans la page de code de ce syst\xE8me.",
    "%d fichiers n'ont pas \xE9t\xE9 ajout\xE9s : leurs noms ne peuvent pas s'\xE9" "crire dans la page de code de ce "
    "syst\xE8me.",
    "Le fichier de sommes de contr\xF4le %s d\xE9signe trop de fichiers pour \xEAtre v\xE9rifi\xE9. La liste est "
    "rest\xE9" "e telle quelle.",
};

static bool FrenchIsCurrent(void)
{
    return LanguageStrings == FrenchStrings;
}

const char *MoreText(int index)
{
    if (index < 0 || index >= MORE_TEXT_COUNT)
        return "";
    return FrenchIsCurrent() ? FrenchMoreTexts[index] : EnglishMoreTexts[index];
}

const char *MoreCountText(int oneIndex, int32_t count)
{
    bool singular = FrenchIsCurrent() ? (count == 0 || count == 1) : count == 1;
    return MoreText(singular ? oneIndex : oneIndex + 1);
}
