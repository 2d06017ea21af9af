// The keys of the shell's "Verify with Zunta", written into and removed
// from a model of the registry.
#include "core/shellverbs.h"

#include <gtest/gtest.h>

#include <string.h>

#include <map>
#include <string>

namespace {

std::map<std::string, std::string> User, Machine;   // "key|name" (name empty: the default) to text

std::string Name(const char *key, const char *name) { return std::string(key) + "|" + (name ? name : ""); }

char *Read(const char *key, const char *name, bool merged)
{
    auto &values = User.count(Name(key, name)) || !merged ? User : Machine;
    auto found = values.find(Name(key, name));
    return found == values.end() ? nullptr : strdup(found->second.c_str());
}

int Write(const char *key, const char *name, const char *text) { return User[Name(key, name)] = text, 0; }

int DeleteKey(const char *key)
{
    for (auto at = User.begin(); at != User.end();)
        at = at->first.rfind(std::string(key) + "|", 0) == 0 || at->first.rfind(std::string(key) + "\\", 0) == 0
                 ? User.erase(at)
                 : ++at;
    return 0;
}

int DeleteValue(const char *key, const char *name) { return User.erase(Name(key, name)), 0; }

const ShellRegistry Model = { Read, Write, DeleteKey, DeleteValue };
const char Program[] = "C:\\Program Files\\Zunta\\Zunta.exe";

} // namespace

TEST(ShellVerbs, WrittenForThisProgramKeepingOtherProgramsDefaultsAndRemovedAgain)
{
    Machine = { { ".md5|", "Other.Md5" } };
    User = { { ".sha1\\OpenWithProgids|Other.Sha1", "" } };
    const auto before = User;
    ASSERT_EQ(RegisterShellVerbs(&Model, Program, "Verify with Zunta", "Checksum file"), 0);
    const std::string command = "\"C:\\Program Files\\Zunta\\Zunta.exe\" /verify \"%1\"";
    for (std::string extension : { ".sfv", ".md5", ".sha1", ".sha256", ".sha512" }) {
        std::string verb = "SystemFileAssociations\\" + extension + "\\shell\\ZuntaVerify";
        EXPECT_EQ(User[verb + "|"], "Verify with Zunta") << extension;
        EXPECT_EQ(User[verb + "\\command|"], command) << extension;
        EXPECT_EQ(User.count(extension + "\\OpenWithProgids|Zunta.ChecksumFile"), 1u) << extension << ": Open with";
        EXPECT_EQ(User.count(extension + "|"), extension == ".md5" ? 0u : 1u)
            << extension << ": a default only where no program owns the type";
    }
    EXPECT_EQ(User["Zunta.ChecksumFile\\shell\\ZuntaVerify\\command|"], command);
    EXPECT_EQ(User["*\\shell\\ZuntaVerify\\command|"], command);
    EXPECT_EQ(User["*\\shell\\ZuntaVerify|AppliesTo"],
              "System.FileName:=\"SHA1SUMS\" OR System.FileName:=\"SHA256SUMS\" OR System.FileName:=\"SHA512SUMS\" "
              "OR System.FileName:=\"MD5SUMS\"");
    EXPECT_EQ(ShellVerbsStateOf(&Model, Program), SHELL_VERBS_HERE);
    EXPECT_EQ(ShellVerbsStateOf(&Model, "D:\\Zunta.exe"), SHELL_VERBS_ELSEWHERE);

    User[".sha256|"] = "Later.Program";
    ASSERT_EQ(UnregisterShellVerbs(&Model), 0);
    auto expected = before;
    expected[".sha256|"] = "Later.Program";
    EXPECT_EQ(User, expected) << "everything written is gone, a default another program took stays";
    EXPECT_EQ(ShellVerbsStateOf(&Model, Program), SHELL_VERBS_NONE);
}
