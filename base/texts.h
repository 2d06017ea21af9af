// The texts of the list's context menu and of what it opens: copying,
// comparing with the clipboard, saving and verifying checksum files. Two
// tables beside the ones of base/lang.h, in the same language.
#ifndef ZUNTA_TEXTS_H
#define ZUNTA_TEXTS_H

#include <stdint.h>

// Indexes into a table of MoreText. An index named ..._ONE is followed by its
// ..._MANY form (see MoreCountText); the two take the same arguments.
enum {
    // Context menu items; a shortcut follows a tab.
    MORE_MENU_COPY_CRC32 = 0,
    MORE_MENU_COPY_MD5,
    MORE_MENU_COPY_PATH,
    MORE_MENU_COPY_ROW,
    MORE_MENU_COPY_RESULTS,
    MORE_MENU_COMPARE,
    MORE_MENU_SAVE,
    MORE_MENU_VERIFY,
    MORE_MENU_OPEN_FOLDER,

    // Compare with clipboard.
    MORE_COMPARE_TITLE,
    MORE_COMPARE_MATCH,             // first line of the answer
    MORE_COMPARE_NO_MATCH,
    MORE_COMPARE_EXPECTED,          // label of the checksum from the clipboard
    MORE_COMPARE_COMPUTED,          // label of the file's checksum
    MORE_COMPARE_NO_CHECKSUM,       // the clipboard text is not a checksum
    MORE_COMPARE_CANCELLED,
    MORE_COMPARE_UNREADABLE,        // followed by the path

    // Save checksum file.
    MORE_SAVE_TITLE,
    MORE_SAVE_FILTER,               // filter list: 1 = SFV, 2 = MD5, as CHECKSUM_FORMAT_...
    MORE_SAVE_REPLACE,              // %s: the file
    MORE_SAVE_NOT_WRITTEN,          // %s: the file

    // Verify checksum file.
    MORE_VERIFY_TITLE,
    MORE_VERIFY_FILTER,             // filter list
    MORE_VERIFY_SUMMARY_TITLE,
    MORE_VERIFY_UNREADABLE,         // %s: the checksum file
    MORE_RESULT_EXPECTED,           // result box line of a failed row, before the digits

    // Summary after saving.
    MORE_SAVED_ONE,                 // %d: files written
    MORE_SAVED_MANY,
    MORE_LEFT_OUT_ONE,              // %d: files left out, %s: MORE_KIND_...
    MORE_LEFT_OUT_MANY,
    MORE_KIND_CRC32,                // the checksum a file lacks, as the two texts above use it
    MORE_KIND_MD5,
    MORE_NOTHING_SAVED_EMPTY,       // no file in the list
    MORE_NOTHING_SAVED_ONE_FILE,    // %s: MORE_KIND_... (the list holds one file)
    MORE_NOTHING_SAVED_FILES,       // %d: files in the list, %s: MORE_KIND_...

    // Summary after verifying.
    MORE_CANCELLED_ONE,             // %d: files verified, %d: files listed (chosen by the latter)
    MORE_CANCELLED_MANY,
    MORE_VERIFIED_ONE,              // %d: files verified
    MORE_VERIFIED_MANY,
    MORE_VERIFIED_OK,               // %d
    MORE_VERIFIED_FAILED,           // %d
    MORE_VERIFIED_MISSING_ONE,      // %d
    MORE_VERIFIED_MISSING_MANY,
    MORE_FAILED_HEADING,
    MORE_MISSING_HEADING,
    MORE_OTHER_NAMES_ONE,           // %d: names not shown
    MORE_OTHER_NAMES_MANY,
    MORE_NOT_UNDERSTOOD_ONE,        // %d: lines, %d: the first one's number
    MORE_NOT_UNDERSTOOD_MANY,

    // Names outside the checksum file's folder, SHA-256, very large files.
    MORE_NOT_OPENED_HEADING,        // %d: files not opened; the summary's list of them
    MORE_VERIFY_ABSOLUTE_ONE,       // %d: files listed by absolute path; a question, default No
    MORE_VERIFY_ABSOLUTE_MANY,
    MORE_VERIFY_TOO_LARGE,          // %s: the checksum file, over VERIFY_MAX_FILE_SIZE
    MORE_KIND_SHA256,               // as MORE_KIND_CRC32
    MORE_SAVE_FILTER_SHA256,        // filter list: 1 = SFV, 2 = MD5, 3 = SHA-256, as CHECKSUM_FORMAT_...
    MORE_VERIFY_FILTER_SHA,         // filter list with the SHA files
    MORE_VERIFY_NO_MEMORY,          // memory ran out; the list is as it was
    MORE_HANDOFF_FAILED,            // a later start could not hand its files over
    MORE_MENU_COPY_SHA256,
    MORE_SAVE_CANCELLED,            // %s: the file not written
    // The history of checksums: the warning of a run and Check against history.
    MORE_MENU_HISTORY,
    MORE_HISTORY_WARNING_LINE,      // result box line, %s: the time field of the oldest record
    MORE_HISTORY_WARNING_TITLE,
    MORE_HISTORY_WARNING_TEXT,      // before the names
    MORE_HISTORY_CHECK_TITLE,
    MORE_HISTORY_CHECKED_ONE,       // %d: rows, %d unchanged, %d changed, %d not in the history
    MORE_HISTORY_CHECKED_MANY,
    MORE_HISTORY_UNREADABLE,        // %d: files that could not be read
    MORE_HISTORY_CANCELLED,
    MORE_HISTORY_OFF,               // the history could not be loaded
    MORE_HISTORY_CHANGED_HEADING,
    // Names the system's code page cannot write (Windows before UTF-8).
    MORE_UNSPELLABLE_TITLE,
    MORE_UNSPELLABLE_ONE,           // %d: files left out of one action, before their names
    MORE_UNSPELLABLE_MANY,
    MORE_VERIFY_TOO_MANY,           // %s: the checksum file, listing more files than can be verified

    MORE_TEXT_COUNT
};

// Converted at start-up as the tables of base/lang.h (a new filter list is
// named in ConvertLanguageTexts).
extern const char *EnglishMoreTexts[MORE_TEXT_COUNT];
extern const char *FrenchMoreTexts[MORE_TEXT_COUNT];

// The text of index in the current language (French while LanguageStrings
// is FrenchStrings, else English); "" for an index out of range.
const char *MoreText(int index);
// The text for count of an index named ..._ONE: that one, or the ..._MANY
// after it, by the current language's rule (English: 1 alone is singular;
// French: 0 and 1 are).
const char *MoreCountText(int oneIndex, int32_t count);

#endif
