// Every text the program shows, in its two languages: one table, one row per
// text, and the texts of each language by id.
#ifndef ZUNTA_TEXTS_H
#define ZUNTA_TEXTS_H

#include <stdint.h>

// Text ids. The first 24 are the entries of LanguageStrings as the row
// snapshot and the settings know them (0 is the language's name as the
// settings file writes it); their numbers never change. An id named ..._ONE
// is followed by its ..._MANY form (see CountText); the two take the same
// arguments. No text is empty.
enum {
    TEXT_LANGUAGE_NAME = 0,
    TEXT_COLUMN_STATUS = 1,
    TEXT_COLUMN_FILES = 2,
    TEXT_COLUMN_SIZE = 3,
    TEXT_HINT_ADD_FILES = 4,
    TEXT_HINT_DRAG_DROP = 5,
    TEXT_OPEN_FILTER = 6,           // filter list
    TEXT_OPEN_TITLE = 7,
    TEXT_CANCEL = 8,
    TEXT_READY = 9,                 // row statuses, 9 to 12
    TEXT_DISABLED = 10,
    TEXT_DONE = 11,
    TEXT_ERROR = 12,
    TEXT_PROCESS = 13,
    TEXT_PROCESS_ALL = 14,
    TEXT_DURATION = 15,
    TEXT_MOVE_UP = 16,
    TEXT_MOVE_DOWN = 17,
    TEXT_BROWSE_TITLE = 18,
    TEXT_SUBFOLDER_QUESTION = 19,
    TEXT_OPEN_LOG_CAPTION = 20,
    TEXT_SHORTCUT_ERROR = 21,
    TEXT_NO_SENDTO_VARIABLES = 22,
    TEXT_NO_SENDTO_FOLDER = 23,     // %s: the folder

    // The list's context menu, every item of it from TEXT_MENU_FIRST to
    // TEXT_MENU_LAST; a shortcut follows a tab.
    TEXT_MENU_COPY_CRC32,
    TEXT_MENU_COPY_MD5,
    TEXT_MENU_COPY_PATH,
    TEXT_MENU_COPY_ROW,
    TEXT_MENU_COPY_RESULTS,
    TEXT_MENU_COMPARE,
    TEXT_MENU_SAVE,
    TEXT_MENU_VERIFY,
    TEXT_MENU_COPY_SHA256,
    TEXT_MENU_COPY_BLAKE3,
    TEXT_MENU_OPEN_FOLDER,
    TEXT_MENU_HISTORY,
    TEXT_MENU_EXPORT,
    TEXT_MENU_SHELL_VERIFY,         // the switch of the shell's commands

    // Compare with clipboard.
    TEXT_COMPARE_TITLE,
    TEXT_COMPARE_MATCH,             // first line of the answer
    TEXT_COMPARE_NO_MATCH,
    TEXT_COMPARE_EXPECTED,          // label of the checksum from the clipboard
    TEXT_COMPARE_COMPUTED,          // label of the file's checksum
    TEXT_COMPARE_NO_CHECKSUM,       // the clipboard text is not a checksum
    TEXT_COMPARE_CANCELLED,
    TEXT_COMPARE_UNREADABLE,        // followed by the path

    // Save checksum file.
    TEXT_SAVE_TITLE,
    TEXT_SAVE_FILTER,               // filter list: 1 = SFV, 2 = MD5, as CHECKSUM_FORMAT_...
    TEXT_SAVE_REPLACE,              // %s: the file
    TEXT_SAVE_NOT_WRITTEN,          // %s: the file

    // Verify checksum file.
    TEXT_VERIFY_TITLE,
    TEXT_VERIFY_FILTER,             // filter list
    TEXT_VERIFY_SUMMARY_TITLE,
    TEXT_VERIFY_UNREADABLE,         // %s: the checksum file
    TEXT_RESULT_EXPECTED,           // result box line of a failed row, before the digits

    // Summary after saving.
    TEXT_SAVED_ONE,                 // %d: checksums written, %s: to this file
    TEXT_SAVED_MANY,
    TEXT_LEFT_OUT_ONE,              // %d: files left out, %s: TEXT_KIND_...
    TEXT_LEFT_OUT_MANY,
    TEXT_KIND_CRC32,                // the checksum a file lacks, as the two texts above use it
    TEXT_KIND_MD5,
    TEXT_NOTHING_SAVED_EMPTY,       // no file in the list
    TEXT_NOTHING_SAVED_ONE_FILE,    // %s: TEXT_KIND_... (the list holds one file)
    TEXT_NOTHING_SAVED_FILES,       // %d: files in the list, %s: TEXT_KIND_...

    // Summary after verifying.
    TEXT_CANCELLED_ONE,             // %d: files verified, %d: files listed (chosen by the latter)
    TEXT_CANCELLED_MANY,
    TEXT_VERIFIED_ONE,              // %d: files verified
    TEXT_VERIFIED_MANY,
    TEXT_VERIFIED_OK,               // %d
    TEXT_VERIFIED_FAILED,           // %d
    TEXT_VERIFIED_MISSING_ONE,      // %d
    TEXT_VERIFIED_MISSING_MANY,
    TEXT_VERIFIED_MATCHED_AS_ONE,   // %d: files, %s: the kind they matched as
    TEXT_VERIFIED_MATCHED_AS_MANY,
    TEXT_FAILED_HEADING,
    TEXT_MISSING_HEADING,
    TEXT_OTHER_NAMES_ONE,           // %d: names not shown
    TEXT_OTHER_NAMES_MANY,
    TEXT_NOT_UNDERSTOOD_ONE,        // %d: lines, %d: the first one's number
    TEXT_NOT_UNDERSTOOD_MANY,

    // Names outside the checksum file's folder, SHA-256, very large files.
    TEXT_NOT_OPENED_HEADING,        // %d: files not opened; the summary's list of them
    TEXT_VERIFY_ABSOLUTE_ONE,       // %d: files listed by absolute path; a question, default No
    TEXT_VERIFY_ABSOLUTE_MANY,
    TEXT_VERIFY_TOO_LARGE,          // %s: the checksum file, over VERIFY_MAX_FILE_SIZE
    TEXT_KIND_SHA256,               // as TEXT_KIND_CRC32
    TEXT_KIND_BLAKE3,
    TEXT_SAVE_FILTER_SHA256,        // filter list: 1 = SFV, 2 = MD5, 3 = SHA-256, as CHECKSUM_FORMAT_...
    TEXT_VERIFY_FILTER_SHA,         // filter list with the SHA files
    TEXT_VERIFY_NO_MEMORY,          // memory ran out; the list is as it was
    TEXT_HANDOFF_FAILED,            // a later start could not hand its files over
    TEXT_SAVE_CANCELLED,            // %s: the file not written

    // The history of checksums: the warning of a run and Check against history.
    TEXT_HISTORY_WARNING_LINE,      // result box line, %s: the time field of the oldest record
    TEXT_HISTORY_WARNING_TITLE,
    TEXT_HISTORY_WARNING_TEXT_ONE,  // before the names
    TEXT_HISTORY_WARNING_TEXT_MANY,
    TEXT_HISTORY_CHECK_TITLE,
    TEXT_HISTORY_CHECKED_ONE,       // %d: rows; the counts follow, each with its own noun
    TEXT_HISTORY_CHECKED_MANY,
    TEXT_HISTORY_UNCHANGED_ONE,
    TEXT_HISTORY_UNCHANGED_MANY,
    TEXT_HISTORY_CHANGED_ONE,
    TEXT_HISTORY_CHANGED_MANY,
    TEXT_HISTORY_ABSENT_ONE,
    TEXT_HISTORY_ABSENT_MANY,
    TEXT_HISTORY_UNREADABLE_ONE,    // %d: files that could not be read
    TEXT_HISTORY_UNREADABLE_MANY,
    TEXT_HISTORY_CANCELLED,
    TEXT_HISTORY_OFF,               // the history could not be loaded
    TEXT_HISTORY_CHANGED_HEADING,

    // Names the system's code page cannot write (Windows before UTF-8).
    TEXT_UNSPELLABLE_TITLE,
    TEXT_UNSPELLABLE_ONE,           // %d: files left out of one action, before their names
    TEXT_UNSPELLABLE_MANY,
    TEXT_VERIFY_TOO_MANY,           // %s: the checksum file, listing more files than can be verified

    // The main window's own texts.
    TEXT_MISSING_LOG,               // %s: the log file that does not exist
    TEXT_UNIT_KB,                   // unit suffixes of sizes, with their leading space
    TEXT_UNIT_MB,
    TEXT_UNIT_GB,
    TEXT_COLUMN_CHECKSUMS,          // heading of the list's checksum column
    TEXT_DURATION_FORMAT,           // %s: TEXT_DURATION, %.3f: seconds
    TEXT_RESULT_CRC_MD5,            // result box: %s path, %s CRC32, %s MD5
    TEXT_RESULT_CRC,                // %s path, %s CRC32
    TEXT_RESULT_MD5,                // %s path, %s MD5

    // Paths the running instance did not take (an earlier version).
    TEXT_HANDOFF_REFUSED,           // before the paths, one per line

    // Export list.
    TEXT_EXPORT_TITLE,
    TEXT_EXPORT_FILTER,             // filter list: CSV
    TEXT_EXPORT_HEADER,             // the table's first line, ten comma-separated names
    TEXT_EXPORTED_ONE,              // %d: rows written, %s: to this file
    TEXT_EXPORTED_MANY,

    // The shell's commands (/verify).
    TEXT_SHELL_VERB,                // the command on the shell's menu of a checksum file
    TEXT_SHELL_TYPE,                // the kind of file, as the shell names it
    TEXT_SHELL_ELSEWHERE,           // after TEXT_MENU_SHELL_VERIFY: registered for another program path
    TEXT_SHELL_FAILED,              // the registry could not be changed

    TEXT_COUNT,
    TEXT_MENU_FIRST = TEXT_MENU_COPY_CRC32,
    TEXT_MENU_LAST = TEXT_MENU_SHELL_VERIFY,
};

// The texts of each language by id. Windows-1252 bytes in the source;
// ConvertLanguageTexts (base/lang.h) turns them into the process code page
// at start-up.
extern const char **const EnglishStrings;
extern const char **const FrenchStrings;
// The current language's texts, EnglishStrings or FrenchStrings (see
// SelectLanguageTable); agrees with the language id except during a language
// switch.
extern const char *const *LanguageStrings;

// The text of id as the source holds it (Windows-1252, never converted) in
// the language of languageId.
const char *SourceText(uint16_t languageId, int id);
// The text of id in the language of languageId, whatever the current one.
const char *LanguageText(uint16_t languageId, int id);
// The text for count of an id named ..._ONE in the current language: that
// one, or the ..._MANY after it, by the language's rule (English: 1 alone is
// singular; French: 0 and 1 are).
const char *CountText(int oneId, int32_t count);
// Unit suffix with its leading space for unit step 1 (KB), 2 (MB) or 3 (GB);
// "" for any other step.
const char *UnitSuffix(uint16_t languageId, int unitStep);

#endif
