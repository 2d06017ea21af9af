// The shell's "Verify with Zunta": the keys and values written for the
// current user below HKEY_CURRENT_USER\Software\Classes, read, written and
// removed through a seam of plain functions (platform/shellreg.cpp gives
// the registry's, tests a model of it).
#ifndef ZUNTA_SHELLVERBS_H
#define ZUNTA_SHELLVERBS_H

// The registry as the switch uses it. Keys are below the user's classes;
// a null value name is the key's default value; texts are in the process
// code page.
struct ShellRegistry {
    // The text of a value, on the heap; null when there is none. merged
    // reads the classes as the shell sees them (the user's over the
    // machine's), else the user's alone.
    char *(*ReadText)(const char *key, const char *name, bool merged);
    // Writes a text value, making the key and those above it. 0, or -1.
    int (*WriteText)(const char *key, const char *name, const char *text);
    // Removes a key with everything below it; 0 also when there was none.
    int (*DeleteKey)(const char *key);
    // Removes a value; 0 also when there was none.
    int (*DeleteValue)(const char *key, const char *name);
};

// Whether the commands are registered, and for which program.
enum ShellVerbsState {
    SHELL_VERBS_NONE = 0,
    SHELL_VERBS_HERE,           // for the program path asked about
    SHELL_VERBS_ELSEWHERE,      // for another program path
};

// The command the shell runs: the program's path quoted, then
// /verify "%1". A heap text, or null when memory ran out.
char *ShellVerbCommand(const char *programPath);
int ShellVerbsStateOf(const ShellRegistry *registry, const char *programPath);
// Registers the command (labelled label) on the menu of the checksum files'
// extensions and names, and the program in the extensions' "Open with"
// list (a kind named typeName); an extension that no program owns yet
// opens with it. Returns 0, or -1 when a write failed.
int RegisterShellVerbs(const ShellRegistry *registry, const char *programPath, const char *label,
                       const char *typeName);
// Removes all of it again, whichever program it names, and an extension's
// default only where it is the program's. Returns 0, or -1.
int UnregisterShellVerbs(const ShellRegistry *registry);

#endif
