// The keys of the shell's "Verify with Zunta", written into and removed
// from a model of the registry.
#include "core/shellverbs.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <map>
#include <string>
#include <utility>

namespace {

using Values = std::map<std::pair<std::string, std::string>, std::string>;     // (key, name "" = default)
Values User, Machine;

char *Read(const char *key, const char *name, bool merged)
{
    auto at = std::make_pair(std::string(key), std::string(name ? name : ""));
    auto found = User.find(at);
    if (found == User.end() && merged)
        found = Machine.find(at);
    return found == User.end() || (merged && found == Machine.end()) ? nullptr : strdup(found->second.c_str());
}

int Write(const char *key, const char *name, const char *text)
{
    User[{ key, name ? name : "" }] = text;
    return 0;
}

int DeleteKey(const char *key)
{
    for (auto at = User.begin(); at != User.end();)
        at = at->first.first == key || at->first.first.rfind(std::string(key) + "\\", 0) == 0 ? User.erase(at) : ++at;
    return 0;
}

int DeleteValue(const char *key, const char *name)
{
    User.erase({ key, name ? name : "" });
    return 0;
}

std::string At(const std::string &key, const std::string &name = "")
{
    auto found = User.find({ key, name });
    return found != User.end() ? found->second : "<none>";
}

const ShellRegistry Model = { Read, Write, DeleteKey, DeleteValue };
const char Program[] = "C:\\Program Files\\Zunta\\Zunta.exe";
const char Command[] = "\"C:\\Program Files\\Zunta\\Zunta.exe\" /verify \"%1\"";

} // namespace

TEST(ShellVerbs, WrittenForThisProgramKeepingOtherProgramsDefaultsAndRemovedAgain)
{
    Machine = { { { ".md5", "" }, "Other.Md5" } };
    User = { { { ".sha1\\OpenWithProgids", "Other.Sha1" }, "" } };
    const Values before = User;
    EXPECT_EQ(ShellVerbsStateOf(&Model, Program), SHELL_VERBS_NONE);

    ASSERT_EQ(RegisterShellVerbs(&Model, Program, "Verify with Zunta", "Checksum file"), 0);
    for (const char *extension : { ".sfv", ".md5", ".sha1", ".sha256", ".sha512" }) {
        std::string verb = std::string("SystemFileAssociations\\") + extension + "\\shell\\ZuntaVerify";
        EXPECT_EQ(At(verb), "Verify with Zunta") << extension;
        EXPECT_EQ(At(verb + "\\command"), Command) << extension;
        EXPECT_EQ(At(std::string(extension) + "\\OpenWithProgids", "Zunta.ChecksumFile"), "")
            << extension << " lists the program under Open with";
        EXPECT_EQ(At(extension), strcmp(extension, ".md5") == 0 ? "<none>" : "Zunta.ChecksumFile")
            << extension << ": a default only where no program owns the type";
    }
    EXPECT_EQ(At("Zunta.ChecksumFile\\shell\\ZuntaVerify\\command"), Command);
    EXPECT_EQ(At("*\\shell\\ZuntaVerify\\command"), Command);
    EXPECT_EQ(At("*\\shell\\ZuntaVerify", "AppliesTo"),
              "System.FileName:=\"SHA1SUMS\" OR System.FileName:=\"SHA256SUMS\" OR System.FileName:=\"SHA512SUMS\" "
              "OR System.FileName:=\"MD5SUMS\"");
    EXPECT_EQ(ShellVerbsStateOf(&Model, Program), SHELL_VERBS_HERE);
    EXPECT_EQ(ShellVerbsStateOf(&Model, "D:\\Zunta.exe"), SHELL_VERBS_ELSEWHERE);

    User[{ ".sha256", "" }] = "Later.Program";
    ASSERT_EQ(UnregisterShellVerbs(&Model), 0);
    Values expected = before;
    expected[{ ".sha256", "" }] = "Later.Program";
    EXPECT_EQ(User, expected) << "everything written is gone, a default another program took stays";
    EXPECT_EQ(ShellVerbsStateOf(&Model, Program), SHELL_VERBS_NONE);
}
