// Reading and writing the settings file, byte for byte.
#ifndef ZUNTA_SETTINGS_FILE_H
#define ZUNTA_SETTINGS_FILE_H

#include "base/settings.h"

// Reads every key of section General over the values already in settings
// (a missing or unreadable file changes nothing).
void LoadSettings(const char *path, SettingsRecord *settings);
// Writes every key, in key order, into the file's bytes as read: a missing
// file is made, one that cannot be read or written is left as it is.
// languageName is the language setting's value, Windows-1252 bytes
// (LanguageSettingName of the current table).
void SaveSettings(const char *path, const SettingsRecord *settings, const char *languageName);

// What the end of a session keeps: the session log archived (once) and the
// settings written. Shutdown calls it, and the main window when Windows ends
// the session, after which the process may be ended before shutdown runs.
void SaveSession(void);

#endif
