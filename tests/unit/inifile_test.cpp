// Settings file texts read and updated as the profile functions read and
// update them, every other byte kept.
#include "base/inifile.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

// The value of key in section General, or "(none)".
std::string Get(const std::string &text, const char *key, size_t size = 64)
{
    char value[64];
    memset(value, '#', sizeof value);
    if (IniGetValue(text.c_str(), text.size(), "General", key, value, size) != 0)
        return value[0] == '\0' ? "(none)" : "(none, not emptied)";
    return value;
}

// The text after setting key to value in section General.
std::string Set(const std::string &text, const char *key, const char *value, int *result = nullptr)
{
    IniText ini = {};
    ini.Bytes = (char *)malloc(text.size() + 1);
    memcpy(ini.Bytes, text.c_str(), text.size() + 1);
    ini.Length = text.size();
    ini.Capacity = text.size() + 1;
    int changed = IniSetValue(&ini, "General", key, value);
    if (result)
        *result = changed;
    std::string out(ini.Bytes, ini.Length);
    IniRelease(&ini);
    return out;
}

} // namespace

TEST(IniFile, ValuesAreReadAsTheProfileFunctionsReadThem)
{
    struct { std::string text; const char *key, *value; } cases[] = {
        { "[General]\r\nlanguage=Fran\xE7" "ais\r\n", "language", "Fran\xE7" "ais" },
        { "[GENERAL]\nLANGUAGE = x y \t\n", "language", "x y" },
        { "[General]\na=1\n[General]\nb=2\n", "b", "(none)" },      // the first section only
        { "[General]\na=1\n[General]\nb=2\n", "a", "1" },
        { "a=1\n[General]\n", "a", "(none)" },                      // before any section
        { "[Other]\na=1\n", "a", "(none)" },
        { "[ General ]\na=1\n", "a", "(none)" },                    // the name between the brackets
        { "[General] ; note\na=1\n", "a", "1" },
        { "[General]\na=\"q v\"\n", "a", "q v" },
        { "[General]\na='q'\n", "a", "q" },
        { "[General]\na=\"q'\n", "a", "\"q'" },
        { "[General]\na=\"\n", "a", "\"" },
        { "[General]\ra=1\rb=2", "b", "2" },                        // lone CR line ends
        { "\xEF\xBB\xBF[General]\na=1", "a", "1" },                 // a UTF-8 mark before the first line
        { "[General]\na\n", "a", "(none)" },                        // a key without "="
        { "[General]\na=\nb=2", "a", "" },
        { "[General]\na=1\na=2\n", "a", "1" },
        { std::string("[General]\na=x\0y\n", 15), "a", "x" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(Get(c.text, c.key), c.value) << c.text;

    // A value cut to its buffer ends before a character that does not fit.
    std::string text = "[General]\na=abc\xC3\xA9z\n";
    EXPECT_EQ(Get(text, "a", 5), "abc");
    EXPECT_EQ(Get(text, "a", 6), "abc\xC3\xA9");
    EXPECT_EQ(Get(text, "a", 1), "");
}

TEST(IniFile, UpdatesKeepEveryOtherByte)
{
    struct { std::string before; const char *key, *value; std::string after; } cases[] = {
        { "", "language", "Fran\xE7" "ais", "[General]\r\nlanguage=Fran\xE7" "ais\r\n" },
        { "[General]\r\nlanguage=English\r\n", "OnTop", "0", "[General]\r\nlanguage=English\r\nOnTop=0\r\n" },
        { "; note\r\n[general]\r\n  Language = English  \r\nx=1\r\n", "language", "Fran\xE7" "ais",
          "; note\r\n[general]\r\n  Language = Fran\xE7" "ais  \r\nx=1\r\n" },
        { "[General]\nA=1\n\n[Other]\nB=2\n", "C", "3", "[General]\nA=1\nC=3\n\n[Other]\nB=2\n" },
        { "[General]\rA=1", "B", "2", "[General]\rA=1\rB=2\r" },
        { "[Other]\nB=2", "A", "1", "[Other]\nB=2\n[General]\nA=1\n" },
        { "[General]\nA\n", "A", "1", "[General]\nA=1\n" },
        { "[General]\nA=\n", "A", "1", "[General]\nA=1\n" },
        { "\xEF\xBB\xBF[General]\r\nA=1\r\n", "A", "2", "\xEF\xBB\xBF[General]\r\nA=2\r\n" },
        { "[General]\n[Other]\n", "A", "1", "[General]\nA=1\n[Other]\n" },
        { "[General]\na=1\n[General]\nb=2\n", "b", "3", "[General]\na=1\nb=3\n[General]\nb=2\n" },
    };
    for (const auto &c : cases) {
        int result = 0;
        EXPECT_EQ(Set(c.before, c.key, c.value, &result), c.after) << c.before;
        EXPECT_EQ(result, 1) << c.before;
        EXPECT_EQ(Get(c.after, c.key), c.value) << c.after;
    }
    int result = 1;
    std::string same = "[General]\r\nA = 1 \r\n";
    EXPECT_EQ(Set(same, "A", "1", &result), same);
    EXPECT_EQ(result, 0) << "an unchanged value is no change";
}
