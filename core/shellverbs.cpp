// The shell's "Verify with Zunta": which keys and values say it.
#include "core/shellverbs.h"

#include "base/textutil.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char ProgId[] = "Zunta.ChecksumFile";
static const char Verb[] = "ZuntaVerify";
// Every file's menu shows the verb for these names alone (Windows 7 and
// later), the names without an extension.
static const char AnyFileVerb[] = "*\\shell\\ZuntaVerify";
static const char AppliesTo[] = "System.FileName:=\"SHA1SUMS\" OR System.FileName:=\"SHA256SUMS\" OR "
                                "System.FileName:=\"SHA512SUMS\" OR System.FileName:=\"MD5SUMS\"";
static const char *const Extensions[] = { ".sfv", ".md5", ".sha1", ".sha256", ".sha512" };

enum { KEY_SIZE = 96 };     // the longest key below is far shorter

char *ShellVerbCommand(const char *programPath)
{
    return JoinTexts("\"", programPath, "\" /verify \"%1\"");
}

int ShellVerbsStateOf(const ShellRegistry *registry, const char *programPath)
{
    char key[KEY_SIZE];
    snprintf(key, sizeof key, "%s\\command", AnyFileVerb);
    char *registered = registry->ReadText(key, nullptr, false);
    if (registered == nullptr)
        return SHELL_VERBS_NONE;
    char *command = ShellVerbCommand(programPath);
    bool here = command != nullptr && strcmp(registered, command) == 0;
    free(command);
    free(registered);
    return here ? SHELL_VERBS_HERE : SHELL_VERBS_ELSEWHERE;
}

// A verb below key: its label and its command.
static int WriteVerb(const ShellRegistry *registry, const char *key, const char *label, const char *command)
{
    char commandKey[KEY_SIZE];
    snprintf(commandKey, sizeof commandKey, "%s\\command", key);
    return registry->WriteText(key, nullptr, label) == 0 && registry->WriteText(commandKey, nullptr, command) == 0
               ? 0
               : -1;
}

// An extension no program owns (no default in the classes the shell sees)
// opens with the program; one that is owned keeps its program.
static bool ExtensionOwned(const ShellRegistry *registry, const char *extension)
{
    char *owner = registry->ReadText(extension, nullptr, true);
    bool owned = owner != nullptr && owner[0] != '\0' && strcmp(owner, ProgId) != 0;
    free(owner);
    return owned;
}

int RegisterShellVerbs(const ShellRegistry *registry, const char *programPath, const char *label,
                       const char *typeName)
{
    char *command = ShellVerbCommand(programPath);
    if (command == nullptr)
        return -1;
    char key[KEY_SIZE];
    snprintf(key, sizeof key, "%s\\shell\\%s", ProgId, Verb);
    char shellKey[KEY_SIZE];
    snprintf(shellKey, sizeof shellKey, "%s\\shell", ProgId);
    bool written = registry->WriteText(ProgId, nullptr, typeName) == 0 &&
                   registry->WriteText(shellKey, nullptr, Verb) == 0 && WriteVerb(registry, key, label, command) == 0 &&
                   WriteVerb(registry, AnyFileVerb, label, command) == 0 &&
                   registry->WriteText(AnyFileVerb, "AppliesTo", AppliesTo) == 0;
    for (const char *extension : Extensions) {
        snprintf(key, sizeof key, "SystemFileAssociations\\%s\\shell\\%s", extension, Verb);
        written = written && WriteVerb(registry, key, label, command) == 0;
        snprintf(key, sizeof key, "%s\\OpenWithProgids", extension);
        written = written && registry->WriteText(key, ProgId, "") == 0;
        if (written && !ExtensionOwned(registry, extension))
            written = registry->WriteText(extension, nullptr, ProgId) == 0;
    }
    free(command);
    return written ? 0 : -1;
}

int UnregisterShellVerbs(const ShellRegistry *registry)
{
    bool removed = registry->DeleteKey(ProgId) == 0 && registry->DeleteKey(AnyFileVerb) == 0;
    for (const char *extension : Extensions) {
        char key[KEY_SIZE];
        snprintf(key, sizeof key, "SystemFileAssociations\\%s\\shell\\%s", extension, Verb);
        removed = registry->DeleteKey(key) == 0 && removed;
        snprintf(key, sizeof key, "%s\\OpenWithProgids", extension);
        removed = registry->DeleteValue(key, ProgId) == 0 && removed;
        char *owner = registry->ReadText(extension, nullptr, false);
        if (owner != nullptr && strcmp(owner, ProgId) == 0)
            removed = registry->DeleteValue(extension, nullptr) == 0 && removed;
        free(owner);
    }
    return removed ? 0 : -1;
}
