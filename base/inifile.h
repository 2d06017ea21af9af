// Settings files read and updated in memory as the system's profile-string
// functions read and update them, but byte for byte: every byte the update
// does not change is kept (the language's Windows-1252 name, blanks,
// comments, the line ends of the file), whatever the process code page.
#ifndef ZUNTA_INIFILE_H
#define ZUNTA_INIFILE_H

#include <stddef.h>

// The text of a settings file; Bytes is a heap block (null when empty).
struct IniText {
    char *Bytes;
    size_t Length, Capacity;
};

// The value of key in the first section named section (names compared with
// ASCII letters' case ignored; a section name between "[" and the line's
// last "]"; key and value without the blanks around them; a value in a pair
// of like quotes without them) copied into value of size bytes, cut on a
// character boundary. Returns 0, or -1 (value empty) when the key is not in
// that section or has no "=".
int IniGetValue(const char *text, size_t length, const char *section, const char *key, char *value, size_t size);
// Gives key the value in the first section named section: an existing value
// is replaced in place, a new key goes on a line after the section's last
// entry, a missing section is added at the end. New lines end as the file's
// first line does (CR LF in a file without one). Returns 1 when the text
// changed, 0 when it already held the value, -1 when memory ran out (text
// unchanged).
int IniSetValue(IniText *ini, const char *section, const char *key, const char *value);
void IniRelease(IniText *ini);

#endif
